// The title: the name "Glimmerfall" in solid letters, etched out of the dark from left to
// right by a scanning line of light, over a slowly turning sun of rays and its reflection.
#pragma once

#include "scene.h"
#include "tex_proxy.h"

class iMesh;

class cSceneTitle : public cScene
{
public:
    explicit cSceneTitle(const cClock* in_clock);

    // The same name as the greetings scene, which was registered first and keeps it.
    std::string get_name() const override { return "greets"; }
    // Fetches "intro_bg.bzobj" and "intro_logo.bzobj"; registers its shaders.
    void load() override;
    // One frame with the name half etched (every pass drawn), thrown away.
    void warm_up() override;
    void handle_event(cEvent* in_event) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_t" (0..1).
    tVarList get_vars() override;

    // How much of the name is revealed at `in_cur_t`, 0..1 from left to right.
    static float reveal(float in_cur_t);
    // The x (object units of the logo) up to which the name shows at a reveal share.
    static float reveal_edge(float in_reveal);

    float m_cur_t = 0.0f;      // progress of the title, 0..1
    float m_ray_speed = 4.0f;  // degrees per second
    float m_reflection = 0.3f; // brightness of the mirror image
    float m_rays = 1.0f;       // brightness of the sun of rays and the light behind the name

private:
    void place_camera(float in_seconds);
    void draw_rays(float in_seconds) const;
    void draw_halo(float in_seconds) const;
    void draw_logo(float in_seconds, float in_light, bool in_mirrored);
    void draw_scan_line(float in_edge) const;
    // The window x (pixels of the bound target) of the logo point (x, 0, 0).
    int project_x(float in_x) const;

    iMesh* m_bg = nullptr;   // owned by the mesh manager
    iMesh* m_logo = nullptr; // owned by the mesh manager
    cTexProxy m_logo_tex;
};
