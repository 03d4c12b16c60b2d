// Particle store (see particle_system.h).
#include "effects/particles/particle_system.h"

#include <cassert>

#include "clock.h"
#include "gui/slider_entries.h"
#include "scene_manager.h"

cParticleSystem::~cParticleSystem() = default;

void cParticleSystem::init(int in_capacity, float in_drag)
{
    assert(in_capacity >= 0 && "capacity must not be negative");
    if (in_capacity < 0)
        in_capacity = 0;
    const size_t slots = size_t(in_capacity);
    m_pt_Pos.assign(slots, Vec3<float>());
    m_pt_Vel.assign(slots, Vec3<float>());
    m_pt_Alive.assign(slots, 0);
    m_pt_Life.assign(slots, 0.0f);
    m_capacity = in_capacity;
    m_drag = in_drag;
}

int cParticleSystem::demo_time() const
{
    if (m_clock)
        return m_clock->demo_time();
    if (cSceneManager::has_instance())
        return cSceneManager::get_instance()->get_time();
    return 0;
}

void cParticleSystem::update(float in_dt)
{
    m_last_update = demo_time();
    // The damping is one factor per update, not scaled by the step length.
    const float keep = 1.0f - m_drag;
    for (int i = 0; i < m_capacity; ++i) {
        if (!m_pt_Alive[i])
            continue;
        m_pt_Life[i] -= in_dt;
        m_pt_Alive[i] = m_pt_Life[i] > 0.0f;
        m_pt_Pos[i] += m_pt_Vel[i] * in_dt;
        m_pt_Vel[i] *= keep;
    }
}

void cParticleSystem::add_gui(iGuiNode* in_gui)
{
    add_slider(in_gui, "drag", &m_drag, 0.0f, 0.2f);
}

int cParticleSystem::count_alive() const
{
    int alive = 0;
    for (int i = 0; i < m_capacity; ++i)
        alive += m_pt_Alive[i] ? 1 : 0;
    return alive;
}
