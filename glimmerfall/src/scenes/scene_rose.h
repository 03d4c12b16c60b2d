// The rose: the rose component wandering and leaning over a turning sunburst, glowing, then
// folded by the 2D kaleidoscope; the clap makes the rose swell and the sunburst flare.
#pragma once

#include "postprocessing/glow.h"
#include "scene.h"
#include "scenes/component_rose.h"

class cSceneRose : public cScene
{
public:
    explicit cSceneRose(const cClock* in_clock);

    std::string get_name() const override { return "rose"; }
    // Loads the rose component.
    void load() override;
    // Clap (note on, track 4): the rose swells and settles within 350 ms.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    // Draws at half size, glows at half size, then folds into a full-size target.
    cRTProxy render_to_texture(int in_time_ms) override;
    // "kaleido2d" (0..number of mirror meshes), "scale" (0..10).
    tVarList get_vars() override;

    int m_kaleido2d = 5;  // 2D kaleidoscope type, 0 plain
    float m_scale = 2.0f; // zoom of the rose: 2 fills the middle of the frame
    glow_params m_glow;
    cComponentRose m_rose;

private:
    void draw_sunburst(float in_seconds);
};
