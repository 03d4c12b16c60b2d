// The space sphere: a banded planet with a glowing horizon ring around its equator, an
// atmosphere halo and a small moon, turning in front of a field of stars.
#pragma once

#include <vector>

#include "scene.h"
#include "tex_proxy.h"

struct GLUquadric;

class cSceneSpacesphere : public cScene
{
public:
    static constexpr int NUM_STARS = 700;

    explicit cSceneSpacesphere(const cClock* in_clock);
    ~cSceneSpacesphere() override;

    std::string get_name() const override { return "spacesphere"; }
    // Fetches "sphere_horizon.jpg".
    void load() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;

    float m_spin = 7.0f; // planet turn, degrees per second

private:
    void draw_stars(float in_seconds);
    void draw_halo(const float in_centre[3], float in_inner, float in_outer);

    cTexProxy m_horizon;
    GLUquadric* m_quadric = nullptr;
    std::vector<float> m_stars; // x y z, brightness per star
};
