// An emitter that places resting particles at random inside a box centred on its origin.
#pragma once

#include "effects/particles/particle_emitter.h"

template <class tCount, class tLife>
class cParticleEmitterCubeVolume : public cParticleEmitter<tCount, tLife>
{
public:
    explicit cParticleEmitterCubeVolume(const Vec3<float>& in_origin = Vec3<float>(),
                                        const Vec3<float>& in_size = Vec3<float>(1, 1, 1))
        : cParticleEmitter<tCount, tLife>(in_origin), m_size(in_size)
    {
    }

    void emit(cParticleSystem& in_system, float) override
    {
        const Vec3<float> corner = this->m_origin - m_size * 0.5f;
        const Vec3<float> size = m_size;
        this->emit_into(in_system, [&](Vec3<float>& out_pos, Vec3<float>& out_vel) {
            // x takes the third value drawn, z the first.
            const float r1 = particle_random();
            const float r2 = particle_random();
            const float r3 = particle_random();
            out_pos =
                Vec3<float>(corner.x + size.x * r3, corner.y + size.y * r2, corner.z + size.z * r1);
            // The particles start at rest; the three draws keep the table's sequence.
            const float v1 = particle_random();
            const float v2 = particle_random();
            const float v3 = particle_random();
            out_vel = Vec3<float>(v3, v2, v1) * 0.0f;
        });
    }

    Vec3<float> m_size; // edge lengths of the box
};
