// The spike ball: a self-illuminated spiked ball, white-hot at the tips, with two rings of small
// ones around it, rays and rushing streaks behind, the camera circling; the hats make the inner
// ring dodge outwards, the clap pumps the big ball and sends a shock ring out.
#pragma once

#include "scene.h"
#include "tex_proxy.h"

class iMesh;

class cSceneSpike : public cScene
{
public:
    static constexpr int SATELLITES = 8;

    explicit cSceneSpike(const cClock* in_clock);

    std::string get_name() const override { return "spikeball"; }
    // Fetches "spikeball2.bzobj", its glow picture and "self_illum_shader".
    void load() override;
    // Hats (note on, track 10): the ring dodges out and back within 180 ms. Clap (note on,
    // track 4): the big ball pumps up and settles within 300 ms.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    // "dodgering", "rotspeed" and the camera.
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;

    float m_dodgering = 0.6f; // how far the ring dodges on the hats, in ball radii, 0..2
    float m_rotspeed = 35.0f; // turn of the big ball in degrees per second, 0..360
    float m_dodge = 0.0f;     // hat pulse, 1 back to 0
    float m_pump = 0.0f;      // clap pulse, 1 back to 0

private:
    // One ball at the current matrix in a colour, through the self-illumination shader.
    void draw_ball(const float in_rgb[3], float in_brightness);
    void draw_halo(float in_radius, const float in_rgb[3], float in_alpha);
    // Rays, streaks and the clap's shock ring behind the ball, facing the viewer.
    void draw_burst(float in_seconds);

    iMesh* m_ball = nullptr; // owned by the mesh manager
    cTexProxy m_glow;
};
