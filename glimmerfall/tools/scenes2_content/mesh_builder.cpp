// Mesh accumulation and writing (see mesh_builder.h).
#include "mesh_builder.h"

#include <cmath>
#include <iostream>

namespace content {

tVec3 add(const tVec3& a, const tVec3& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
tVec3 sub(const tVec3& a, const tVec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
tVec3 scale(const tVec3& a, double s)
{
    return {a[0] * s, a[1] * s, a[2] * s};
}
tVec3 cross(const tVec3& a, const tVec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const tVec3& a, const tVec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
tVec3 normalized(const tVec3& a)
{
    const double len = std::sqrt(dot(a, a));
    return len > 0 ? scale(a, 1.0 / len) : tVec3{0, 0, 1};
}

cMaterial_GL material_of(const sMaterialSpec& material)
{
    cMaterial_GL m;
    m.m_name = material.name;
    m.m_tex_diffuse = material.diffuse_map;
    for (int c = 0; c < 4; ++c) {
        m.m_ambient[c] = material.ambient[size_t(c)];
        m.m_diffuse[c] = material.diffuse[size_t(c)];
        m.m_specular[c] = material.specular[size_t(c)];
    }
    m.m_shininess = material.shininess;
    m.m_illum = 2;
    m.m_dissolve = material.dissolve;
    return m;
}

uint32_t cQuadBuilder::vertex(const tVec3& pos, const tVec3& normal, double u, double v)
{
    const tVec3 n = normalized(normal);
    return cBobjBuilder::vertex(Vec3<float>(float(pos[0]), float(pos[1]), float(pos[2])),
                                Vec3<float>(float(n[0]), float(n[1]), float(n[2])), float(u),
                                float(v));
}

void cQuadBuilder::quad(const tVec3& a, const tVec3& b, const tVec3& c, const tVec3& d,
                        const std::array<double, 8>& uv)
{
    const tVec3 n = normalized(cross(sub(b, a), sub(d, a)));
    const uint32_t ia = vertex(a, n, uv[0], uv[1]);
    const uint32_t ib = vertex(b, n, uv[2], uv[3]);
    const uint32_t ic = vertex(c, n, uv[4], uv[5]);
    const uint32_t id = vertex(d, n, uv[6], uv[7]);
    triangle(ia, ib, ic);
    triangle(ia, ic, id);
}

bool cQuadBuilder::save(const std::string& path) const
{
    std::string error;
    if (!cBobjBuilder::save(path, error)) {
        std::cerr << "## ERROR: cannot write \"" << path << "\": " << error << std::endl;
        return false;
    }
    return true;
}

} // namespace content
