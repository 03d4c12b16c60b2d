// The knot: a trefoil tube turning in a warm light over a dark plum backdrop, glowing; every
// kick of the music makes it swell and flare.
#pragma once

#include <vector>

#include "vantor.h"

class cSceneKnot : public cScene
{
public:
    static constexpr int KICK_TRACK = 1; // the MIDI track of the kick drum
    static constexpr float PULSE_MS = 180.0f;

    explicit cSceneKnot(const cClock* in_clock);

    std::string get_name() const override { return "knot"; }
    // Builds the tube and registers "knot_shader".
    void load() override;
    // A kick (note on, KICK_TRACK) restarts the pulse.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    // The knot into a full-size target, then the glow, which the pulse strengthens.
    cRTProxy render_to_texture(int in_time_ms) override;
    // "spin" (float, degrees).
    tVarList get_vars() override;

    // 1 at the last kick, dying away over PULSE_MS; 0 before any kick.
    float pulse(int in_time_ms) const;

    float m_spin = 0.0f;  // turn about the vertical on top of the tumble, degrees
    int m_last_kick = -1; // demo ms of the last kick; -1: none yet
    glow_params m_glow;

private:
    void draw_backdrop() const;
    void draw_tube() const;

    std::vector<float> m_vertices;   // position and normal, six floats per vertex
    std::vector<unsigned> m_indices; // triangles
};
