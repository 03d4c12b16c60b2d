// Mesh accumulation and writing (see mesh_builder.h).
#include "mesh_builder.h"

#include <cmath>
#include <iostream>

#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"

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

void cMeshBuilder::begin_material(const sMaterialSpec& material)
{
    // An empty range would be dropped by the writer and shift the material numbers.
    if (!m_range_starts.empty() && m_range_starts.back() == m_elem.size()) {
        m_materials.back() = material;
        return;
    }
    m_range_starts.push_back(uint32_t(m_elem.size()));
    m_materials.push_back(material);
}

uint32_t cMeshBuilder::vertex(const tVec3& pos, const tVec3& normal, double u, double v)
{
    const uint32_t index = uint32_t(m_pos.size() / 3);
    const tVec3 n = normalized(normal);
    for (int i = 0; i < 3; ++i) {
        m_pos.push_back(float(pos[i]));
        m_norm.push_back(float(n[i]));
    }
    m_tex.push_back(float(u));
    m_tex.push_back(float(v));
    return index;
}

void cMeshBuilder::triangle(uint32_t a, uint32_t b, uint32_t c)
{
    m_elem.insert(m_elem.end(), {a, b, c});
}

void cMeshBuilder::quad(const tVec3& a, const tVec3& b, const tVec3& c, const tVec3& d,
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

void cMeshBuilder::fill(cMeshObj& mesh) const
{
    mesh.m_flags = iMeshType::T_DTEX_BIT | iMeshType::T_NORMALS_BIT;
    mesh.m_pos = m_pos;
    mesh.m_norm = m_norm;
    mesh.m_tex0 = m_tex;
    mesh.m_elem = m_elem;
    mesh.m_matranges.clear();
    mesh.m_materials.clear();
    if (m_materials.empty())
        return;
    mesh.m_flags |= iMeshType::T_MATERIALS_BIT;
    for (size_t k = 0; k < m_range_starts.size(); ++k)
        mesh.m_matranges.emplace_back(m_range_starts[k], int32_t(k));
    mesh.m_matranges.emplace_back(uint32_t(m_elem.size()), -1);
    for (const sMaterialSpec& material : m_materials) {
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
        mesh.m_materials.push_back(m);
    }
}

bool cMeshBuilder::save(const std::string& path) const
{
    cMeshObj mesh;
    fill(mesh);
    std::string error;
    if (!bobj_save(mesh, path, error)) {
        std::cerr << "## ERROR: cannot write \"" << path << "\": " << error << std::endl;
        return false;
    }
    return true;
}

} // namespace content
