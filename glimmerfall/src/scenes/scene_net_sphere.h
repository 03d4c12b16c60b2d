// The net spheres: three geodesic nets nested around a glowing core, each turning on its own
// axis and breathing with the bar, with the glow over their bright edges.
#pragma once

#include "postprocessing/glow.h"
#include "scene.h"

class iMesh;
struct GLUquadric;

class cSceneNetSphere : public cScene
{
public:
    static constexpr int NETS = 3;

    explicit cSceneNetSphere(const cClock* in_clock);
    ~cSceneNetSphere() override;

    std::string get_name() const override { return "netsphere glowtest"; }
    // Fetches "netsphere.bzobj" from "../data/models".
    void load() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()

    float m_spin = 1.0f; // speed of the nets' turn, 0..4
    glow_params m_glow;

private:
    void draw_core(float in_seconds);

    iMesh* m_net = nullptr; // owned by the mesh manager
    GLUquadric* m_quadric = nullptr;
};
