// An emitter that starts particles at random on the parallelogram spanned by u and v at its
// origin, moving up and outwards (x and z speeds in [0, 1), y speed in [0, 10) units per
// second).
#pragma once

#include "effects/particles/particle_emitter.h"

template <class tCount, class tLife>
class cParticleEmitterPlane : public cParticleEmitter<tCount, tLife>
{
public:
    explicit cParticleEmitterPlane(const Vec3<float>& in_origin = Vec3<float>(),
                                   const Vec3<float>& in_u = Vec3<float>(1, 0, 0),
                                   const Vec3<float>& in_v = Vec3<float>(0, 0, 1))
        : cParticleEmitter<tCount, tLife>(in_origin), m_u(in_u), m_v(in_v)
    {
    }

    void emit(cParticleSystem& in_system, float) override
    {
        const Vec3<float> origin = this->m_origin;
        const Vec3<float> u = m_u, v = m_v;
        this->emit_into(in_system, [&](Vec3<float>& out_pos, Vec3<float>& out_vel) {
            const float r1 = particle_random();
            const float r2 = particle_random();
            const float r3 = particle_random();
            out_vel = Vec3<float>(r3, 10.0f * r2, r1);
            const float s = particle_random();
            const float t = particle_random();
            out_pos = origin + u * t + v * s;
        });
    }

    Vec3<float> m_u; // first edge of the parallelogram
    Vec3<float> m_v; // second edge
};
