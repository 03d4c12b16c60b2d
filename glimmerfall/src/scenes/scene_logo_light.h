// The logo light: the cubes logo sphere-mapped with a soap-bubble picture, shedding shells of
// itself that drift out along the normals and fade; the clap sheds a bright one.
#pragma once

#include "scene.h"
#include "tex_proxy.h"

class iMesh;

class cSceneLogoLight : public cScene
{
public:
    static constexpr int SHELLS = 5;

    explicit cSceneLogoLight(const cClock* in_clock);

    std::string get_name() const override { return "logolight"; }
    // Fetches "logo_cubes.bzobj", "sphere_soapbubble01.png" and "normext_shader".
    void load() override;
    // Clap (note on, track 4): the shells jump out and settle within 400 ms.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    // "cur_t", "max-ext" and the camera.
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;

    // The extrusion of shell `in_shell` at a phase (0..1 per cycle): spread evenly, 0 up to
    // the maximum.
    static float shell_extrusion(int in_shell, float in_phase, float in_max);

    float m_cur_t = 0.0f;   // phase offset of the shells, 0..1
    float m_max_ext = 0.6f; // extrusion at which a shell has faded out, 0..3
    float m_kick = 0.0f;    // clap pulse, 1 back to 0

private:
    // The logo pushed `in_extrude` out along its normals, faded by `in_reach`; the matrices
    // turn it before and after the push.
    void draw_logo(float in_extrude, float in_reach, const float (&in_inner)[16],
                   const float (&in_outer)[16], float in_alpha);

    iMesh* m_logo = nullptr; // owned by the mesh manager
    cTexProxy m_bubble;
};
