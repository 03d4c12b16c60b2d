// The hexagonal cube tunnel: rings of cubes rushing towards the viewer out of a dark haze, each
// ring in its own colour and turned against its neighbours; the clap flashes the rings.
#pragma once

#include "scene.h"

class iMesh;

class cSceneCubeTunnel : public cScene
{
public:
    explicit cSceneCubeTunnel(const cClock* in_clock);

    std::string get_name() const override { return "cubetunnel"; }
    // Fetches "hex_tunnel.bzobj".
    void load() override;
    void init() override;
    // Clap (note on, track 4): the rings flash.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "fov" (10..160, the camera's), "cur_t" (0..1).
    tVarList get_vars() override;

    float m_cur_t = 1.0f;    // presence of the tunnel: 1 closed rings, 0 opened and dark
    float m_flash = 0.0f;    // clap flash, 1 at the clap back to 0
    float m_speed = 7.0f;    // travel in units per second
    float m_twist = 9.0f;    // degrees each ring is turned against the one before
    float m_position = 0.0f; // units travelled
    static constexpr int NUM_RINGS = 34;
    static constexpr float RING_SPACING = 0.9f; // units between rings

private:
    void draw_rings(float in_seconds);
    void draw_core_light(float in_seconds);

    iMesh* m_ring = nullptr; // owned by the mesh manager
};
