// The Ganesh sculpture: a golden elephant-headed figure on its lotus before a turning mandala,
// seen along seven recorded camera flights, a rose of light as its halo and a trail drifting
// behind the picture; the clap kicks the mandala and the halo.
#pragma once

#include <memory>
#include <string>

#include "cam_path.h"
#include "gl_state.h"
#include "postprocessing/feedback.h"
#include "scene.h"
#include "tex_proxy.h"

class cComponentRose;
class iMesh;

class cSceneGanesh : public cScene
{
public:
    explicit cSceneGanesh(const cClock* in_clock);
    // Gives the trail's image back to the pool (the trail pass goes with its one user).
    ~cSceneGanesh() override;

    std::string get_name() const override { return "ganesh"; }
    // Meshes and camera paths from "../data/models/ganesh", the textures, the two shaders and
    // the rose.
    void load() override;
    void init() override;
    // Clap (note on, track 4): the mandala and the halo kick.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    // Camera, trail, rose and state-diff controls.
    void add_gui(iGuiNode* in_gui) override;
    // The picture over the drifting trail. With the state diff on, the GL state after the frame
    // is compared with the one before it and the differing lines written to "ganesh_diff".
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_under() const override { return true; } // its trail, through finish_over()
    // "cam_t" (0..1), "scene_t" (0..1), "campath" (int 0..6), "campath_t" (0..1).
    tVarList get_vars() override;

    static constexpr int NUM_PATHS = 7;
    static const char* const path_files[NUM_PATHS];
    static constexpr int NUM_MESHES = 13;
    // The sculpture first, then the mandala pieces and the logos.
    static const char* const mesh_files[NUM_MESHES];
    static const char* const diff_file; // "ganesh_diff"

    // Whether frames write the state diff: on in unoptimised (debug) builds, else on request.
    static bool diff_by_default();

    int m_campath = 0;        // index into path_files
    float m_campath_t = 0.0f; // progress along the path, 0..1
    float m_cam_t = 0.0f;     // 0: the path's camera, 1: straight in front of the figure
    float m_scene_t = 0.0f;   // the finale: the mandala opens out, 0..1
    float m_kick = 0.0f;      // clap, 1 at the clap back to 0
    int m_write_diff = 0;     // 1: every frame writes the state diff (slider "ganesh_diff")
    feedback_params m_trail;
    CCamPath m_paths[NUM_PATHS];
    std::unique_ptr<cComponentRose> m_rose;

private:
    void place_camera();
    void draw_mandala(float in_seconds);
    void draw_figure();
    void draw_glow(float in_seconds);
    // The trail's turn, spread and fade for the moment of the finale.
    void set_trail();

    enum eMesh
    {
        M_FIGURE,
        M_CIRCLES_BG,
        M_PLATE,
        M_FRAME,
        M_WHITECENTER,
        M_STREAKS,
        M_LEAFS,
        M_BLOB,
        M_VANTOR_LOGO,
        M_HAND_LOGO,
        M_FRAMES,
        M_CIRCLES_INNER,
        M_CIRCLE_OUTER,
        M_COUNT
    };
    iMesh* m_meshes[M_COUNT] = {}; // owned by the mesh manager
    cTexProxy m_gold, m_plate, m_ornament, m_glow;
    sGLstate m_reference; // the state a frame starts from
};
