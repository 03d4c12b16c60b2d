// Mesh objects: upload, drawing, the normal debug view and smooth-normal generation.
#include "mesh_files/mesh_obj.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <iostream>

#include "fatal.h"
#include "math/defmath.h"

namespace {

constexpr double COINCIDENCE_DISTANCE = 0.0001;
// Cells twice the coincidence distance: two coincident points lie in the same or in
// neighbouring cells, so each point needs to look at 27 cells only.
constexpr double CELL_SIZE = 2.0 * COINCIDENCE_DISTANCE;
constexpr double CELL_LIMIT = double(int64_t(1) << 60);

using tCell = std::array<int64_t, 3>;

tCell cell_of(const float* p)
{
    tCell c;
    for (int i = 0; i < 3; ++i)
        c[i] = int64_t(std::clamp(std::floor(double(p[i]) / CELL_SIZE), -CELL_LIMIT, CELL_LIMIT));
    return c;
}

bool is_finite3(const float* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// Largest index used plus one; asserts that every index addresses a position.
size_t used_vertex_count(const cMeshObj_data& mesh)
{
    uint32_t largest = 0;
    for (uint32_t i : mesh.m_elem)
        largest = std::max(largest, i);
    const size_t n = mesh.m_elem.empty() ? 0 : size_t(largest) + 1;
    assert(n * 3 <= mesh.m_pos.size() && "element index outside the vertex list");
    return n;
}

} // namespace

bool positions_coincide(const float* a, const float* b)
{
    const double dx = double(a[0]) - double(b[0]);
    const double dy = double(a[1]) - double(b[1]);
    const double dz = double(a[2]) - double(b[2]);
    return std::sqrt(dx * dx + dy * dy + dz * dz) < COINCIDENCE_DISTANCE;
}

sCoincidence find_coincident_vertices(const cMeshObj_data& mesh)
{
    const size_t n = used_vertex_count(mesh);
    std::vector<char> used(n, 0);
    for (uint32_t i : mesh.m_elem)
        used[i] = 1;

    // Every used vertex with a finite position, sorted by its cell.
    std::vector<std::pair<tCell, uint32_t>> cells;
    for (size_t v = 0; v < n; ++v) {
        if (used[v] && is_finite3(&mesh.m_pos[v * 3]))
            cells.emplace_back(cell_of(&mesh.m_pos[v * 3]), uint32_t(v));
    }
    std::sort(cells.begin(), cells.end());

    sCoincidence out;
    out.offset.assign(n + 1, 0);
    std::vector<uint32_t> list;
    for (size_t v = 0; v < n; ++v) {
        out.offset[v] = uint32_t(out.index.size());
        const float* p = &mesh.m_pos[v * 3];
        if (!used[v] || !is_finite3(p))
            continue;
        list.clear();
        const tCell home = cell_of(p);
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    const tCell c{home[0] + dx, home[1] + dy, home[2] + dz};
                    auto lo = std::lower_bound(cells.begin(), cells.end(),
                                               std::make_pair(c, uint32_t(0)));
                    for (; lo != cells.end() && lo->first == c; ++lo) {
                        if (positions_coincide(p, &mesh.m_pos[size_t(lo->second) * 3]))
                            list.push_back(lo->second);
                    }
                }
            }
        }
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        out.index.insert(out.index.end(), list.begin(), list.end());
    }
    out.offset[n] = uint32_t(out.index.size());
    return out;
}

void accumulate_smooth_normals(cMeshObj_data& mesh, const sCoincidence& lists)
{
    assert(!(mesh.m_elem.size() % 3));
    mesh.m_norm.assign(mesh.m_pos.size() - mesh.m_pos.size() % 3, 0.0f);
    for (size_t t = 0; t + 2 < mesh.m_elem.size(); t += 3) {
        const uint32_t corner[3] = {mesh.m_elem[t], mesh.m_elem[t + 1], mesh.m_elem[t + 2]};
        const float* p0 = &mesh.m_pos[size_t(corner[0]) * 3];
        const float* p1 = &mesh.m_pos[size_t(corner[1]) * 3];
        const float* p2 = &mesh.m_pos[size_t(corner[2]) * 3];
        float e1[3], e2[3], face[3];
        vnt::vec_sub(e1, p0, p1);
        vnt::vec_sub(e2, p2, p1);
        // A triangle with coincident corners or on a line has no direction: it adds nothing.
        if (!(vnt::vec_normalize(e1) > 0.0f) || !(vnt::vec_normalize(e2) > 0.0f))
            continue;
        vnt::vec_cross(face, e2, e1);
        const float len = vnt::vec_normalize(face);
        if (!(len > 0.0f) || !std::isfinite(len))
            continue;
        for (uint32_t c : corner) {
            for (uint32_t k = lists.offset[c]; k < lists.offset[c + 1]; ++k) {
                float* n = &mesh.m_norm[size_t(lists.index[k]) * 3];
                vnt::vec_add(n, n, face);
            }
        }
    }
    for (size_t v = 0; v + 2 < mesh.m_norm.size(); v += 3)
        vnt::vec_normalize(&mesh.m_norm[v]);
}

void smooth_normals(cMeshObj_data& mesh)
{
    accumulate_smooth_normals(mesh, find_coincident_vertices(mesh));
}

void cMeshObj::upload(bool clear)
{
    assert(!(m_pos.size() % 3) && "did you upload previously and clear?");
    assert(!(m_norm.size() % 3));
    assert(!(m_tex0.size() % 2));
    if (m_pos.empty() && m_vertex_count > 0) {
        std::cerr << "# warning: cMeshObj::upload: lists already uploaded and cleared, "
                     "keeping the buffers"
                  << std::endl;
        return;
    }
    const size_t vertices = m_pos.size() / 3;
    // Attribute lists that do not match the positions would let OpenGL read past a buffer.
    if (checktypebit(T_NORMALS_BIT) && m_norm.size() != vertices * 3) {
        std::cerr << "# warning: cMeshObj::upload: normal list does not match the positions, "
                     "drawing without normals"
                  << std::endl;
        m_flags &= uint8_t(~T_NORMALS_BIT);
    }
    if (checktypebit(T_DTEX_BIT) && m_tex0.size() != vertices * 2) {
        std::cerr << "# warning: cMeshObj::upload: texture-coordinate list does not match the "
                     "positions, drawing without them"
                  << std::endl;
        m_flags &= uint8_t(~T_DTEX_BIT);
    }
    for (uint32_t i : m_elem)
        assert(i < vertices && "element index outside the vertex list");

    m_vbo_pos.upload(m_pos);
    m_vbo_norm.upload(m_norm);
    m_vbo_tex0.upload(m_tex0);
    m_vbo_elem.upload(m_elem);
    m_vertex_count = vertices;
    m_element_count = m_elem.size();

    if (clear) {
        std::vector<float>().swap(m_pos);
        std::vector<float>().swap(m_norm);
        std::vector<float>().swap(m_tex0);
        std::vector<uint32_t>().swap(m_elem);
    }
}

cVBO* cMeshObj::get_vbo(int kind)
{
    switch (kind) {
    case VBO_POS:
        return &m_vbo_pos;
    case VBO_NORM:
        return &m_vbo_norm;
    case VBO_TEX0:
        return &m_vbo_tex0;
    case VBO_ELEM:
        return &m_vbo_elem;
    default:
        std::cerr << "# ERROR in " << __FILE__ << ", line " << __LINE__
                  << ": Unknown vbo. Exiting..." << std::endl;
        vnt::fatal_exit(-1);
    }
}

void cMeshObj::draw()
{
    const bool normals = checktypebit(T_NORMALS_BIT);
    const bool texcoords = checktypebit(T_DTEX_BIT);
    m_vbo_pos.bind_as_vertex_array();
    if (normals)
        m_vbo_norm.bind_as_normal_array();
    if (texcoords)
        m_vbo_tex0.bind_as_texcoord_array(GL_TEXTURE0);
    m_vbo_elem.bind_as_element_array();

    if (checktypebit(T_MATERIALS_BIT) && m_matranges.size() >= 2)
        draw_ranges();
    else
        glDrawElements(GL_TRIANGLES, GLsizei(m_element_count), GL_UNSIGNED_INT, nullptr);

    m_vbo_pos.unbind();
    m_vbo_elem.unbind();
    if (texcoords)
        m_vbo_tex0.unbind();
    if (normals)
        m_vbo_norm.unbind();
}

void cMeshObj::draw_ranges()
{
    const int64_t no_matswitches = int64_t(m_matranges.size());
    assert(int64_t(m_materials.size()) >= no_matswitches - 1);
    int32_t bound = -1;
    for (int64_t i = 0; i + 1 < no_matswitches; ++i) {
        const tMatRange& range = m_matranges[size_t(i)];
        const int32_t material = range.second;
        if (material != bound && material >= 0 && size_t(material) < m_materials.size()) {
            // The maps of the previous material must not show through on one without them.
            if (bound >= 0)
                m_materials[size_t(bound)].unbind();
            m_materials[size_t(material)].bind();
            bound = material;
        }
        // Ranges never reach past the element buffer.
        const size_t first = std::min<size_t>(range.first, m_element_count);
        const size_t last = std::min<size_t>(m_matranges[size_t(i) + 1].first, m_element_count);
        if (last > first)
            glDrawElements(GL_TRIANGLES, GLsizei(last - first), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(first * sizeof(uint32_t)));
    }
    // Texture units 2, 1 and 0 are cleared in this order; unit 0 stays active.
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTextureARB(unit);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

void cMeshObj::draw_normals(float scale)
{
    if (!checktypebit(T_NORMALS_BIT))
        return;
    std::vector<float> pos = m_pos;
    std::vector<float> norm = m_norm;
    if (pos.empty() && m_vertex_count > 0) {
        // The CPU lists were cleared at upload: read the buffers back.
        pos.resize(m_vertex_count * 3);
        norm.resize(m_vertex_count * 3);
        if (const void* p = m_vbo_pos.map(GL_READ_ONLY_ARB))
            std::memcpy(pos.data(), p, pos.size() * sizeof(float));
        m_vbo_pos.unmap();
        if (const void* n = m_vbo_norm.map(GL_READ_ONLY_ARB))
            std::memcpy(norm.data(), n, norm.size() * sizeof(float));
        m_vbo_norm.unmap();
    }
    const size_t count = std::min(pos.size(), norm.size()) / 3;

    // Everything changed here is pushed and popped.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT |
                 GL_POINT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDepthMask(GL_FALSE);
    glBegin(GL_LINES);
    for (size_t v = 0; v < count; ++v) {
        const float* p = &pos[v * 3];
        const float* n = &norm[v * 3];
        if (std::fabs(vnt::vec_length(n) - 1.0f) > 0.01f)
            glColor4f(1, 0, 0, 0.5f);
        else
            glColor4f(1, 1, 1, 0.1f);
        glVertex3fv(p);
        glVertex3f(p[0] + scale * n[0], p[1] + scale * n[1], p[2] + scale * n[2]);
    }
    glEnd();
    glPointSize(2.0f);
    glColor4f(0, 0, 0, 1);
    glBegin(GL_POINTS);
    for (size_t v = 0; v < count; ++v) {
        const float* p = &pos[v * 3];
        const float* n = &norm[v * 3];
        glVertex3f(p[0] + scale * n[0], p[1] + scale * n[1], p[2] + scale * n[2]);
    }
    glEnd();
    glPopAttrib();
}
