// Emitters fill the free slots of a particle system with new particles. The emitter template
// takes two controllers: one answers how many particles a call emits, the other how many
// seconds each lives, either as a constant or as a value varying linearly about a centre.
#pragma once

#include <algorithm>

#include "effects/particles/particle_system.h"
#include "effects/particles/random_table.h"
#include "math/vec3.h"

class iParticleEmitter
{
public:
    virtual ~iParticleEmitter() = default;
    // Fills free slots of the system; `in_dt` is not used by the shapes here.
    virtual void emit(cParticleSystem& in_system, float in_dt) = 0;
    // The emitter's origin.
    virtual void set_position(const Vec3<float>& in_position) = 0;
    // Particles per call, from the count controller.
    virtual int get_count() const = 0;
    // Seconds of life for the next particle, from the life controller.
    virtual int get_life() const = 0;
};

// Always N.
template <int N> struct ControllerConstant
{
    static int get() { return N; }
};

// An integer in [A - B, A + B] from the next random value r: A - trunc((1 - 2r) * B), never
// below 0.
template <int A, int B> struct ControllerVaryingLinear
{
    static int get()
    {
        const float r = particle_random();
        return std::max(0, A - int((1.0f - 2.0f * r) * float(B)));
    }
};

template <class tCount, class tLife> class cParticleEmitter : public iParticleEmitter
{
public:
    explicit cParticleEmitter(const Vec3<float>& in_origin = Vec3<float>()) : m_origin(in_origin) {}

    void set_position(const Vec3<float>& in_position) override { m_origin = in_position; }
    const Vec3<float>& get_position() const { return m_origin; }
    int get_count() const override { return tCount::get(); }
    int get_life() const override { return tLife::get(); }

protected:
    // Walks the slots in index order and gives every free one a particle placed by
    // `in_place(position, velocity)`, stopping once more than get_count() have been emitted
    // (so a call emits up to count + 1). Stamps the system when anything was emitted.
    template <class tPlace> void emit_into(cParticleSystem& in_system, tPlace in_place)
    {
        int emitted = 0;
        for (int i = 0; i < in_system.m_capacity; ++i) {
            if (emitted > get_count())
                break;
            if (in_system.m_pt_Alive[i])
                continue;
            in_place(in_system.m_pt_Pos[i], in_system.m_pt_Vel[i]);
            const float life = float(get_life());
            in_system.m_pt_Life[i] = life;
            in_system.m_pt_Alive[i] = life > 0.0f;
            ++emitted;
        }
        if (emitted > 0)
            in_system.m_last_update = in_system.demo_time();
    }

    Vec3<float> m_origin; // where the shape is anchored
};
