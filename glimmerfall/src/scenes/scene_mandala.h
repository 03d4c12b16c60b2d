// The mandala: four rings of mirrored ornament slices turning against each other around a lit
// heart, framed by strings of beads, swaying in depth before rays of light as it opens, graded
// through one of three colour lookups, then hue, saturation and brightness, then glow.
#pragma once

#include <memory>

#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "scene.h"
#include "tex_proxy.h"

class cPostColorCorrection;
class iMesh;

class cSceneMandala : public cScene
{
public:
    static constexpr int NUM_PLANES = 4;
    static constexpr int NUM_CONFIGS = 4;
    // The grading pass (registered by load()) and its parameters: ADJUST three floats as
    // cPostHSB takes them, LIGHT_SCALE one, the light picture's size over the picture's.
    static constexpr const char* GRADE_SHADER = "mandala_grade_shader";
    static constexpr int GRADE_ADJUST = 1;
    static constexpr int GRADE_LIGHT_SCALE = 2;

    explicit cSceneMandala(const cClock* in_clock);
    ~cSceneMandala() override;

    std::string get_name() const override { return "mandala"; }
    // Fetches the four ring planes, the wide circle, the slice and string pictures and the
    // three colour lookups; registers its shaders.
    void load() override;
    void handle_event(cEvent* in_event) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()
    // "cur_config" (0..3), "cur_t" (0..1), "render_circles" (0..1).
    tVarList get_vars() override;

    // The colour lookup a configuration grades with: 0 none (the picture as drawn), 1 blue-green,
    // 2 green-blue, 3 red-yellow; null for 0 and out-of-range values.
    cPostColorCorrection* correction_for(int in_config) const;
    // How far ring plane `in_plane` (0 innermost) has unfolded at `in_cur_t`, 0..1.
    static float plane_reveal(int in_plane, float in_cur_t);

    int m_cur_config = 2;     // colour lookup, 0..3
    float m_cur_t = 0.33f;    // unfolding of the mandala, 0..1
    int m_render_circles = 1; // 1 draws the bead strings
    float m_spin = 1.0f;      // speed of the rings' turning, 1 = as designed
    hsb_params m_hsb;
    glow_params m_glow;

private:
    // The camera on its small drifting loop.
    void apply_drifting_camera(float in_seconds);
    void draw_backdrop(float in_alpha) const;
    void draw_rays(float in_seconds) const;
    void draw_heart(float in_seconds);
    void draw_rings(float in_seconds);
    void draw_circles(float in_seconds);
    // Grades `io_picture` in place through the scene's chain (lookup, HSB, glow); `in_light`,
    // when valid, is added to it first (see render_to_texture()).
    void grade(cRTProxy& io_picture, cRTProxy in_light);

    iMesh* m_planes[NUM_PLANES] = {nullptr, nullptr, nullptr, nullptr};
    iMesh* m_circle = nullptr; // owned by the mesh manager
    cTexProxy m_slices;
    cTexProxy m_string;
    std::unique_ptr<cPostColorCorrection> m_corrections[NUM_CONFIGS - 1];
};
