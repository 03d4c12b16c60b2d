// The helix: eight double helices radiating from the centre like spokes, each spinning about its
// own axis, the wheel turning slowly; the bright strands glow.
#pragma once

#include "postprocessing/glow.h"
#include "scene.h"

class iMesh;

class cSceneHelix : public cScene
{
public:
    static constexpr int SPOKES = 8;

    explicit cSceneHelix(const cClock* in_clock);

    std::string get_name() const override { return "helix"; }
    // Fetches "helix.bzobj".
    void load() override;
    void init() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()

    float m_spin = 90.0f; // degrees per second of each helix about its axis
    glow_params m_glow;

private:
    iMesh* m_helix = nullptr; // owned by the mesh manager
};
