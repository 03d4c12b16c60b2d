// The particle field: a fountain of sparks pulled about by two wandering gravity sinks, kept
// off a sphere in the middle and turned by a vortex, folded by the 2D kaleidoscope and glowing,
// all at half size; a "beat" mark makes the field flare.
#pragma once

#include <memory>

#include "postprocessing/glow.h"
#include "scene.h"

struct sParticleEffect;
class cGravitySink;
class cSphereConstraint;
class cVortex;

class cSceneParticles : public cScene
{
public:
    explicit cSceneParticles(const cClock* in_clock);
    ~cSceneParticles() override;

    std::string get_name() const override { return "particlescene"; }
    // The particle effect: a plane emitter, two sinks, the sphere and the vortex.
    void load() override;
    // A "beat" mark (id 25): its time becomes the last beat. Nothing else is handled.
    void handle_event(cEvent* in_event) override;
    // Interpolators, the sinks' wander, one step of the particles.
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    // The field at half size, through the kaleidoscope ("kaleidotype") and the glow into a
    // full-size target.
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()
    // "kaleidotype" (int 0..7).
    tVarList get_vars() override;

    static constexpr int CAPACITY = 12000;
    static constexpr int FLARE_MS = 600; // how long a beat's flare lasts

    // Strength of the flare at a demo time: 1 at the last beat, fading to 0 over FLARE_MS; 0
    // before any beat and before the last beat's time.
    float flare(int in_time_ms) const;
    const sParticleEffect* effect() const { return m_effect.get(); }

    int m_kaleidotype = 0;        // 2D kaleidoscope type, 0 (none) .. 7
    int m_last_beat = -1;         // demo ms of the last "beat" mark; -1: none yet
    float m_orbit = 12.0f;        // camera distance from the centre
    float m_sprite_size = 2.5f;   // GL point size of the sprites (edge 0.1 x this, in units)
    float m_sink_strength = 0.4f; // pull of each sink at rest; a beat multiplies it up to 2.5
    glow_params m_glow;

private:
    void wander(float in_seconds);
    // The sparks, seen by the circling camera, into a half-size target.
    cRTProxy render_field(int in_time_ms);

    std::unique_ptr<sParticleEffect> m_effect;
    cGravitySink* m_sinks[2] = {nullptr, nullptr}; // owned by the effect
    cSphereConstraint* m_sphere = nullptr;
    cVortex* m_vortex = nullptr;
};
