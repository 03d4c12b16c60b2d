// Sheet building: clipping, triangulation and vertex sharing (see sheet_builder.h).
#include "sheet_builder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "mesh_files/mesh_obj.h"

namespace mirrors {

namespace {

// The point where the edge a-b crosses the clip line. The two ends are ordered first, so the
// neighbour that walks the same edge the other way gets the very same point (no cracks).
sCorner cut(sCorner a, sCorner b, const std::function<double(const sCorner&)>& side)
{
    if (std::tie(b.x, b.z) < std::tie(a.x, a.z))
        std::swap(a, b);
    const double t = side(a) / (side(a) - side(b));
    return {a.x + t * (b.x - a.x), a.z + t * (b.z - a.z), a.u + t * (b.u - a.u),
            a.v + t * (b.v - a.v)};
}

// Keeps the part where side() >= 0.
std::vector<sCorner> clip(const std::vector<sCorner>& in,
                          const std::function<double(const sCorner&)>& side)
{
    std::vector<sCorner> out;
    for (size_t i = 0; i < in.size(); ++i) {
        const sCorner& a = in[i];
        const sCorner& b = in[(i + 1) % in.size()];
        const bool a_in = side(a) >= 0;
        const bool b_in = side(b) >= 0;
        if (a_in)
            out.push_back(a);
        if (a_in != b_in)
            out.push_back(cut(a, b, side));
    }
    return out;
}

double signed_area(const std::vector<sCorner>& p)
{
    double area = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const sCorner& a = p[i];
        const sCorner& b = p[(i + 1) % p.size()];
        area += a.x * b.z - b.x * a.z;
    }
    return area / 2;
}

} // namespace

uint32_t cSheet::vertex(const sCorner& c)
{
    const std::array<float, 4> key{float(c.x), float(c.z), float(c.u), float(c.v)};
    const auto found = m_index.find(key);
    if (found != m_index.end())
        return found->second;
    const uint32_t index = uint32_t(m_pos.size() / 3);
    m_pos.insert(m_pos.end(), {key[0], 0.0f, key[1]});
    m_tex.insert(m_tex.end(), {key[2], key[3]});
    m_index.emplace(key, index);
    return index;
}

void cSheet::add_polygon(const std::vector<sCorner>& polygon)
{
    std::vector<sCorner> p = polygon;
    p = clip(p, [](const sCorner& c) { return c.x; });
    p = clip(p, [](const sCorner& c) { return 1.0 - c.x; });
    p = clip(p, [](const sCorner& c) { return c.z; });
    p = clip(p, [](const sCorner& c) { return 1.0 - c.z; });
    if (p.size() < 3)
        return;
    const double area = signed_area(p);
    if (std::abs(area) < 1e-12)
        return;
    if (area < 0)
        std::reverse(p.begin(), p.end());
    std::vector<uint32_t> ids;
    for (const sCorner& c : p)
        ids.push_back(vertex(c));
    for (size_t k = 1; k + 1 < ids.size(); ++k) {
        // Corners that fell together after rounding make no triangle.
        if (ids[0] == ids[k] || ids[k] == ids[k + 1] || ids[0] == ids[k + 1])
            continue;
        m_elem.insert(m_elem.end(), {ids[0], ids[k], ids[k + 1]});
    }
}

void cSheet::fill(cMeshObj& mesh) const
{
    mesh.m_flags = iMeshType::T_DTEX_BIT;
    mesh.m_pos = m_pos;
    mesh.m_tex0 = m_tex;
    mesh.m_norm.clear();
    mesh.m_elem = m_elem;
    mesh.m_matranges = {{0, 0}, {uint32_t(m_elem.size()), -1}};
    mesh.m_materials.clear();
}

} // namespace mirrors
