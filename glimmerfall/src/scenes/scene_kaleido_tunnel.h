// The kaleidoscope tunnel: rings of symbol meshes rushing out of a white haze, six copies per
// ring, alternate rings mirrored, inside a wall of winding ink checks; the clap pulls the haze
// in, the phrase cue surges ahead.
#pragma once

#include "math/vec3.h"
#include "scene.h"

class iMesh;
class iRenderTarget;

class cSceneKaleidoTunnel : public cScene
{
public:
    static constexpr int NUM_MESHES = 10;
    // The kaleido3d folder's seven symbols and the three crystal spikes, in "curmesh" order.
    static const char* const mesh_files[NUM_MESHES];
    static constexpr int COPIES = 6; // meshes around the axis in every segment

    explicit cSceneKaleidoTunnel(const cClock* in_clock);

    std::string get_name() const override { return "kaleidotunnel"; }
    void load() override;
    // Clap (note on, track 4): the fog end eases from 5 back to 8 within 250 ms. Phrase cue
    // (note on, track 1, note 48): the speed boost eases from 6 back to 0 within a second.
    void handle_event(cEvent* in_event) override;
    // Interpolators, then the travel: position += dt / 1000 * (boost + 1), dt 0 while paused.
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    using cScene::render_to_texture;
    // Rendering into a given target is not supported.
    virtual cRTProxy render_to_texture(iRenderTarget& in_target, int in_time_ms);
    // "cur_t" (0..1).
    tVarList get_vars() override;

    int m_curmesh = 8;                       // "curmesh", 0..9
    int m_kaleidomode = 1;                   // "kaleidomode", 1 mirrors alternate segments
    float m_segwidth = 0.7f;                 // "segwidth", units between segments, 0..5
    int m_num_segments = 16;                 // "num_segments", 2..50
    Vec3<float> m_offset{1.05f, 0.0f, 0.0f}; // "offset", of each copy from the axis, -3..3
    float m_meshscale = 0.42f;               // "meshscale", 0..1
    float m_position = 0.0f;                 // seconds of travel at unit speed
    float m_fogend = 8.0f;                   // end of the linear fog, in units
    float m_speedboost = 0.0f;               // extra speed, in units per second
    float m_roll = 0.0f;                     // degrees about the viewing axis
    float m_cur_t = 0.5f;                    // "cur_t": how far the segments wind, 0..1

private:
    void draw_walls(float in_seconds);
    void draw_segments(float in_seconds);

    iMesh* m_meshes[NUM_MESHES] = {};
};
