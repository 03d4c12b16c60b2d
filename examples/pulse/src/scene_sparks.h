// The sparks: a disc of particles swirling about a hollow centre like a small galaxy, seen from
// above by a circling camera, blue and violet, glowing; every bell of the music blows the swirl
// outwards in a white flare. The timeline can fold the picture with the kaleidoscope.
#pragma once

#include <memory>

#include "vantor.h"

class cSceneSparks : public cScene
{
public:
    static constexpr int BELL_TRACK = 2; // the MIDI track of the bells
    static constexpr int CAPACITY = 6000;
    static constexpr float FLARE_MS = 400.0f;

    explicit cSceneSparks(const cClock* in_clock);
    ~cSceneSparks() override;

    std::string get_name() const override { return "sparks"; }
    // The particle effect: a slab emitter, the vortex, the sink and the hollow in the middle.
    void load() override;
    // A bell (note on, BELL_TRACK) restarts the flare.
    void handle_event(cEvent* in_event) override;
    // The flare turns the sink's pull into a push; then one step of the particles.
    bool update() override;
    // The sparks at half size, folded by the kaleidoscope ("mirror"), glowing into a full-size
    // target.
    cRTProxy render_to_texture(int in_time_ms) override;
    // "mirror" (int, 0 = none .. 7).
    tVarList get_vars() override;

    // 1 at the last bell, dying away over FLARE_MS; 0 before any bell.
    float flare(int in_time_ms) const;

    int m_mirror = 0;     // kaleidoscope type, 0..cPostKaleidoscope::NUM_MIRRORS
    int m_last_bell = -1; // demo ms of the last bell; -1: none yet
    glow_params m_glow;

private:
    cRTProxy render_sparks(int in_time_ms);

    std::unique_ptr<sParticleEffect> m_effect;
    cGravitySink* m_sink = nullptr; // owned by the effect
};
