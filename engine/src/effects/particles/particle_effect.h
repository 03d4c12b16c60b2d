// A particle effect as a scene holds it: the store, its billboard renderer, and the emitters
// and updaters run in order each step. The simulation advances a fixed 50 ms per drawn frame,
// whatever the frame time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effects/particles/particle_system.h"
#include "effects/particles/ps_render_billboards.h"

struct cClock;
class iGuiNode;
class iParticleEmitter;
class iParticleSystemUpdater;

struct sParticleEffect
{
    static constexpr float STEP_SECONDS = 0.05f;
    static constexpr int STEP_MS = 50;

    sParticleEffect() = default;
    ~sParticleEffect();
    sParticleEffect(const sParticleEffect&) = delete;
    sParticleEffect& operator=(const sParticleEffect&) = delete;

    // Makes the system (no drag) and its renderer for `in_capacity` particles.
    void create(int in_capacity);
    // Once per frame, unless the clock is paused: every emitter, every updater, then the
    // system's update by 50 ms. The system's time stamps come from this clock.
    void step(const cClock& in_clock);
    // Draws the particles as the renderer last filled them (an empty name: "pexpshader").
    void render(const std::string& in_shader = std::string());
    // The system's and the updaters' sliders.
    void add_gui(iGuiNode* in_gui);

    std::unique_ptr<cParticleSystem> system;
    std::unique_ptr<cPSRenderBillboards> renderer;
    std::vector<iParticleEmitter*> emitters;       // owned; run in order
    std::vector<iParticleSystemUpdater*> updaters; // owned; run in order
};
