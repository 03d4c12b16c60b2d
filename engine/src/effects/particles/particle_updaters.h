// Updaters bend the particles of a system once per step: a gravity sink pulling velocities
// towards a point, a sphere the particles cannot enter, a vortex turning velocities about an
// axis.
#pragma once

#include "math/vec3.h"

class cParticleSystem;
class iGuiNode;

class iParticleSystemUpdater
{
public:
    virtual ~iParticleSystemUpdater() = default;
    // Applied once to every live particle; `in_step_ms` is not used by these updaters.
    virtual void update(cParticleSystem& in_system, int in_step_ms) = 0;
    // Adds the updater's sliders.
    virtual void add_gui(iGuiNode* in_gui) {}
};

// v += strength * d / r^2 with d from the particle to the sink and r = |d|, at least 0.5: a
// pull proportional to 1/r, per step (not scaled by the step length).
class cGravitySink : public iParticleSystemUpdater
{
public:
    explicit cGravitySink(const Vec3<float>& in_position = Vec3<float>(), float in_strength = 1.0f)
        : m_position(in_position), m_strength(in_strength)
    {
    }
    void update(cParticleSystem& in_system, int in_step_ms) override;
    // "sinkpos", "sinkstrength"
    void add_gui(iGuiNode* in_gui) override;

    static constexpr float MIN_DISTANCE = 0.5f;

    Vec3<float> m_position;
    float m_strength = 1.0f;
};

// Particles inside the sphere are moved out to its surface along the line from the centre;
// those outside stay. One exactly at the centre goes out along +z.
class cSphereConstraint : public iParticleSystemUpdater
{
public:
    explicit cSphereConstraint(const Vec3<float>& in_center = Vec3<float>(), float in_radius = 1.0f)
        : m_center(in_center), m_radius(in_radius)
    {
    }
    void update(cParticleSystem& in_system, int in_step_ms) override;
    // "sphpos", "sphrad"
    void add_gui(iGuiNode* in_gui) override;

    Vec3<float> m_center;
    float m_radius = 1.0f;
};

// v += (axis x w) * strength, w being the particle's offset from the axis line through
// `m_point`. The axis is not normalised: its length scales the effect.
class cVortex : public iParticleSystemUpdater
{
public:
    explicit cVortex(const Vec3<float>& in_axis = Vec3<float>(0, 0, 1),
                     const Vec3<float>& in_point = Vec3<float>(), float in_strength = 1.0f)
        : m_axis(in_axis), m_point(in_point), m_strength(in_strength)
    {
    }
    void update(cParticleSystem& in_system, int in_step_ms) override;
    // "vtxvec", "vtxpos", "vtxstrength"
    void add_gui(iGuiNode* in_gui) override;

    Vec3<float> m_axis;
    Vec3<float> m_point;
    float m_strength = 1.0f;
};
