// Mesh builder for the compressed mesh writer (see bzobj_builder.h).
#include "mesh_files/bzobj/bzobj_builder.h"

#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"

void cBobjBuilder::begin_material(const cMaterial_GL& in_material)
{
    if (!m_range_starts.empty() && m_range_starts.back() == m_elem.size()) {
        m_materials.back() = in_material;
        return;
    }
    m_range_starts.push_back(uint32_t(m_elem.size()));
    m_materials.push_back(in_material);
}

uint32_t cBobjBuilder::vertex(const Vec3<float>& in_pos, const Vec3<float>& in_normal, float in_u,
                              float in_v)
{
    m_pos.insert(m_pos.end(), {in_pos.x, in_pos.y, in_pos.z});
    m_norm.insert(m_norm.end(), {in_normal.x, in_normal.y, in_normal.z});
    m_tex.insert(m_tex.end(), {in_u, in_v});
    return uint32_t(m_pos.size() / 3 - 1);
}

void cBobjBuilder::triangle(uint32_t in_a, uint32_t in_b, uint32_t in_c)
{
    m_elem.insert(m_elem.end(), {in_a, in_b, in_c});
}

void cBobjBuilder::append(const cBobjBuilder& in_other)
{
    const uint32_t base = uint32_t(vertex_count());
    const uint32_t first = uint32_t(m_elem.size());
    m_pos.insert(m_pos.end(), in_other.m_pos.begin(), in_other.m_pos.end());
    m_norm.insert(m_norm.end(), in_other.m_norm.begin(), in_other.m_norm.end());
    m_tex.insert(m_tex.end(), in_other.m_tex.begin(), in_other.m_tex.end());
    for (uint32_t i : in_other.m_elem)
        m_elem.push_back(base + i);
    for (size_t k = 0; k < in_other.m_range_starts.size(); ++k) {
        // The other's triangles before its first material keep whatever material is current
        // here; its ranges start where they stood.
        const uint32_t start = k == 0 && m_range_starts.empty() ? 0 : in_other.m_range_starts[k];
        if (!m_range_starts.empty() && m_range_starts.back() == first + start) {
            m_range_starts.pop_back(); // this one's last material got no triangle
            m_materials.pop_back();
        }
        m_range_starts.push_back(first + start);
        m_materials.push_back(in_other.m_materials[k]);
    }
}

void cBobjBuilder::fill(cMeshObj& out_mesh) const
{
    out_mesh.m_flags = iMeshType::T_DTEX_BIT | iMeshType::T_NORMALS_BIT;
    out_mesh.m_pos = m_pos;
    out_mesh.m_norm = m_norm;
    out_mesh.m_tex0 = m_tex;
    out_mesh.m_elem = m_elem;
    out_mesh.m_matranges.clear();
    out_mesh.m_materials.clear();
    const uint32_t end = uint32_t(m_elem.size());
    if (m_materials.empty()) {
        out_mesh.m_matranges = {{0, 0}, {end, -1}};
        return;
    }
    out_mesh.m_flags |= iMeshType::T_MATERIALS_BIT;
    for (size_t k = 0; k < m_range_starts.size(); ++k) {
        // Only the last range can be empty (begin_material reuses an empty one): a material
        // begun after the last triangle draws nothing and is not written.
        const uint32_t next = k + 1 < m_range_starts.size() ? m_range_starts[k + 1] : end;
        if (next == m_range_starts[k] && !out_mesh.m_matranges.empty())
            continue;
        const uint32_t start = out_mesh.m_matranges.empty() ? 0 : m_range_starts[k];
        out_mesh.m_matranges.emplace_back(start, int32_t(out_mesh.m_materials.size()));
        out_mesh.m_materials.push_back(m_materials[k]);
    }
    out_mesh.m_matranges.emplace_back(end, -1);
}

bool cBobjBuilder::save(const std::string& in_path, std::string& out_error) const
{
    cMeshObj mesh;
    fill(mesh);
    return bobj_save(mesh, in_path, out_error);
}
