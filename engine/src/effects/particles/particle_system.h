// A fixed-capacity particle store in parallel arrays: positions, velocities, live flags and
// remaining lives. Emitters fill its free slots, updaters bend velocities or positions, and
// update() moves every live particle by one time step.
#pragma once

#include <vector>

#include "math/vec3.h"

struct cClock;
class iGuiNode;

class cParticleSystem
{
public:
    cParticleSystem() = default;
    virtual ~cParticleSystem();
    cParticleSystem(const cParticleSystem&) = delete;
    cParticleSystem& operator=(const cParticleSystem&) = delete;

    // Allocates `in_capacity` zeroed slots (no live particles) and stores the drag.
    void init(int in_capacity, float in_drag);
    int get_capacity() const { return m_capacity; }

    // One step of `in_dt` seconds: lives run down, every live particle moves by v * dt (one
    // that dies in this step still moves in it) and its velocity is damped by the drag.
    void update(float in_dt);

    // The "drag" slider (0..0.2).
    void add_gui(iGuiNode* in_gui);

    // Where the time stamps (m_last_update) are read: this clock, or the scene manager's when
    // none is set, or 0 when there is neither.
    void set_clock(const cClock* in_clock) { m_clock = in_clock; }
    int demo_time() const;

    // Number of slots holding a live particle.
    int count_alive() const;

    std::vector<Vec3<float>> m_pt_Pos;     // positions
    std::vector<Vec3<float>> m_pt_Vel;     // velocities, units per second
    std::vector<unsigned char> m_pt_Alive; // slot holds a live particle
    std::vector<float> m_pt_Life;          // remaining life, seconds; live while > 0
    int m_last_update = -1;                // demo ms of the last update, emission or updater pass
    float m_drag = 0.0f;                   // share of the velocity removed per update, 0..0.2
    int m_capacity = 0;                    // number of slots

private:
    const cClock* m_clock = nullptr;
};
