// The kaleidoscope mesh: the cubes logo repeated around the viewing axis, every other copy
// mirrored, in rings that come towards the viewer out of the dark.
#pragma once

#include "scene.h"

class iMesh;
class iRenderTarget;

class cSceneKaleidoMesh : public cScene
{
public:
    static constexpr int RINGS = 6;

    explicit cSceneKaleidoMesh(const cClock* in_clock);

    // The same name as the kaleidoscope tunnel (so it never enters the scene map).
    std::string get_name() const override { return "kaleidotunnel"; }
    // Fetches "logo_cubes2.bzobj".
    void load() override;
    void init() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    // "segwidth", "num_segments", "offset" and the camera.
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    using cScene::render_to_texture;
    // Rendering into a given target is not supported.
    virtual cRTProxy render_to_texture(iRenderTarget& in_target, int in_time_ms);

    float m_segwidth = 1.0f; // share of its segment a copy fills, 0..2
    int m_num_segments = 8;  // copies around the axis, 2..50
    float m_offset = 2.2f;   // distance of the copies from the axis, 0..5

private:
    iMesh* m_logo = nullptr; // owned by the mesh manager
};
