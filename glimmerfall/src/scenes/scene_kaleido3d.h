// The 3D kaleidoscope: rings of symbol meshes in dihedral symmetry (every other copy mirrored)
// around a turning centre piece, unfolding and flying apart with "cur_t"; light rays streak
// from the symbols (radial blur) and the bright parts glow.
#pragma once

#include "postprocessing/glow.h"
#include "postprocessing/radial_blur.h"
#include "scene.h"

class iMesh;

class cSceneKaleido3d : public cScene
{
public:
    static constexpr int NUM_MESHES = 7;
    // The symbols of the kaleido3d folder.
    static const char* const mesh_files[NUM_MESHES];
    static constexpr int NUM_CONFIGS = 4;
    static constexpr int RINGS = 3;

    // One arrangement: the fold of its symmetry, the mesh of the centre and of each ring.
    struct sConfig
    {
        int fold;
        int centre;
        int rings[RINGS];
    };
    static const sConfig configs[NUM_CONFIGS];

    explicit cSceneKaleido3d(const cClock* in_clock);

    std::string get_name() const override { return "kaleido3d"; }
    void load() override;
    // No reactions of its own.
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()
    // "cur_config" (int 0..3), "cur_t" (0..3), "cam_t" (0..3), "rot" (0..720).
    tVarList get_vars() override;

    int m_cur_config = 1; // arrangement, 0..3
    float m_cur_t = 0.5f; // 0 folded away, 0.5 fully open, 1 and beyond flown apart
    float m_cam_t = 0.0f; // 0 straight on, 1 seen from below at an angle
    float m_rot = 0.0f;   // degrees about the viewing axis
    radialblur_params m_rays;
    glow_params m_glow;

    // How far open the arrangement is (0..1) and how far it has flown apart (0..1).
    static float unfold(float in_cur_t);
    static float fly_apart(float in_cur_t);

private:
    void place_camera();
    void draw_arrangement(float in_seconds);
    // The scene's picture over its rays, into `out`.
    void add_rays(iRenderTarget& in_picture, iRenderTarget& out);

    iMesh* m_meshes[NUM_MESHES] = {};
};
