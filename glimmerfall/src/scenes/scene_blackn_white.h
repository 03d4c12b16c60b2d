// Black and white: op-art stars of concentric bands, laid over each other with an exclusive-or
// of their colours so that their turning against each other makes moving interference.
#pragma once

#include "scene.h"

class iMesh;

class cSceneBlacknWhite : public cScene
{
public:
    static constexpr int MAX_STARS = 4;

    explicit cSceneBlacknWhite(const cClock* in_clock);

    std::string get_name() const override { return "blacknwhite"; }
    // Fetches "blacknwhite_star.bzobj" with its white and black materials.
    void load() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_t" (0..1).
    tVarList get_vars() override;

    // How many stars are laid over each other at a progress (2 at 0 up to MAX_STARS at 1).
    static int star_count(float in_cur_t);

    float m_cur_t = 0.0f;  // 0 one calm star pair, 1 the full interference, zoomed in
    float m_speed = 18.0f; // degrees per second of the stars' turn

private:
    iMesh* m_star = nullptr; // owned by the mesh manager
};
