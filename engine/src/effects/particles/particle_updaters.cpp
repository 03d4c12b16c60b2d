// Particle updaters (see particle_updaters.h).
#include "effects/particles/particle_updaters.h"

#include <algorithm>

#include "effects/particles/particle_system.h"
#include "gui/slider_entries.h"

namespace {

constexpr float POSITION_RANGE = 100.0f; // slider range of positions, +-units
constexpr float STRENGTH_RANGE = 20.0f;  // slider range of strengths, +-

} // namespace

void cGravitySink::update(cParticleSystem& in_system, int)
{
    const float min_dist2 = MIN_DISTANCE * MIN_DISTANCE;
    for (int i = 0; i < in_system.m_capacity; ++i) {
        if (!in_system.m_pt_Alive[i])
            continue;
        const Vec3<float> d = m_position - in_system.m_pt_Pos[i];
        const float r2 = std::max(d.dot(d), min_dist2);
        in_system.m_pt_Vel[i] += d * (m_strength / r2);
    }
    in_system.m_last_update = in_system.demo_time();
}

void cGravitySink::add_gui(iGuiNode* in_gui)
{
    add_vec3_slider(in_gui, "sinkpos", &m_position, -POSITION_RANGE, POSITION_RANGE);
    add_slider(in_gui, "sinkstrength", &m_strength, -STRENGTH_RANGE, STRENGTH_RANGE);
}

void cSphereConstraint::update(cParticleSystem& in_system, int)
{
    for (int i = 0; i < in_system.m_capacity; ++i) {
        if (!in_system.m_pt_Alive[i])
            continue;
        Vec3<float>& p = in_system.m_pt_Pos[i];
        const Vec3<float> out = p - m_center;
        const float r = out.length();
        if (!(r < m_radius))
            continue; // outside (or on) the surface: left where it is
        // At the very centre there is no direction to push along; take +z.
        const Vec3<float> dir = r > 0.0f ? out / r : Vec3<float>(0, 0, 1);
        p = m_center + dir * m_radius;
    }
}

void cSphereConstraint::add_gui(iGuiNode* in_gui)
{
    add_vec3_slider(in_gui, "sphpos", &m_center, -POSITION_RANGE, POSITION_RANGE);
    add_slider(in_gui, "sphrad", &m_radius, 0.0f, POSITION_RANGE);
}

void cVortex::update(cParticleSystem& in_system, int)
{
    for (int i = 0; i < in_system.m_capacity; ++i) {
        if (!in_system.m_pt_Alive[i])
            continue;
        const Vec3<float>& p = in_system.m_pt_Pos[i];
        const float k = m_axis.dot(p - m_point);
        const Vec3<float> w = p - (m_point + m_axis * k);
        in_system.m_pt_Vel[i] += m_axis.cross(w) * m_strength;
    }
    in_system.m_last_update = in_system.demo_time();
}

void cVortex::add_gui(iGuiNode* in_gui)
{
    add_vec3_slider(in_gui, "vtxvec", &m_axis, -1.0f, 1.0f);
    add_vec3_slider(in_gui, "vtxpos", &m_point, -POSITION_RANGE, POSITION_RANGE);
    add_slider(in_gui, "vtxstrength", &m_strength, -STRENGTH_RANGE, STRENGTH_RANGE);
}
