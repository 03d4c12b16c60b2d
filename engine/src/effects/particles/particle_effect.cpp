// Particle effect (see particle_effect.h).
#include "effects/particles/particle_effect.h"

#include "clock.h"
#include "effects/particles/particle_emitter.h"
#include "effects/particles/particle_updaters.h"

sParticleEffect::~sParticleEffect()
{
    for (iParticleEmitter* emitter : emitters)
        delete emitter;
    for (iParticleSystemUpdater* updater : updaters)
        delete updater;
}

void sParticleEffect::create(int in_capacity)
{
    system.reset(new cParticleSystem());
    system->init(in_capacity, 0.0f);
    renderer.reset(new cPSRenderBillboards());
    renderer->init(in_capacity);
}

void sParticleEffect::step(const cClock& in_clock)
{
    if (in_clock.paused || !system)
        return;
    system->set_clock(&in_clock);
    for (iParticleEmitter* emitter : emitters)
        emitter->emit(*system, STEP_SECONDS);
    for (iParticleSystemUpdater* updater : updaters)
        updater->update(*system, STEP_MS);
    system->update(STEP_SECONDS);
}

void sParticleEffect::render(const std::string& in_shader)
{
    if (system && renderer)
        renderer->render(*system, in_shader);
}

void sParticleEffect::add_gui(iGuiNode* in_gui)
{
    if (system)
        system->add_gui(in_gui);
    for (iParticleSystemUpdater* updater : updaters)
        updater->add_gui(in_gui);
}
