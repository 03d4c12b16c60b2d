// Mesh building and the solids of the scene content (see mesh_builder.h).
#include "mesh_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <map>

namespace content {

namespace {

constexpr float PI = 3.14159265358979f;

// Any unit vector at right angles to `n`.
V3 perpendicular(const V3& n)
{
    const V3 helper = std::fabs(n.x) < 0.9f ? V3(1, 0, 0) : V3(0, 1, 0);
    return n.cross(helper).normalized();
}

// The twelve corners and twenty faces of the unit icosahedron.
void icosahedron(std::vector<V3>& corners, std::vector<std::array<int, 3>>& faces)
{
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    corners = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
               {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (V3& c : corners)
        c = c.normalized();
    faces = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
             {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
             {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
}

// Index of a point in a list, merging points that coincide after rounding.
class cPointIndex
{
public:
    int find_or_add(const V3& p, std::vector<V3>& points)
    {
        const std::array<long, 3> key = {std::lround(p.x * 1e5f), std::lround(p.y * 1e5f),
                                         std::lround(p.z * 1e5f)};
        auto it = m_map.find(key);
        if (it != m_map.end())
            return it->second;
        points.push_back(p);
        const int index = int(points.size()) - 1;
        m_map.emplace(key, index);
        return index;
    }

private:
    std::map<std::array<long, 3>, int> m_map;
};

// The triangles of the icosahedron's faces split `levels` times into four, on the sphere.
void subdivided_icosahedron(int levels, std::vector<V3>& points,
                            std::vector<std::array<int, 3>>& faces)
{
    icosahedron(points, faces);
    for (int level = 0; level < levels; ++level) {
        cPointIndex index;
        std::vector<V3> next_points;
        std::vector<std::array<int, 3>> next_faces;
        for (const V3& p : points)
            index.find_or_add(p, next_points);
        for (const auto& f : faces) {
            const V3 &a = points[size_t(f[0])], &b = points[size_t(f[1])],
                     &c = points[size_t(f[2])];
            const int ab = index.find_or_add(((a + b) * 0.5f).normalized(), next_points);
            const int bc = index.find_or_add(((b + c) * 0.5f).normalized(), next_points);
            const int ca = index.find_or_add(((c + a) * 0.5f).normalized(), next_points);
            next_faces.push_back({f[0], ab, ca});
            next_faces.push_back({f[1], bc, ab});
            next_faces.push_back({f[2], ca, bc});
            next_faces.push_back({ab, bc, ca});
        }
        points.swap(next_points);
        faces.swap(next_faces);
    }
}

} // namespace

cMaterial_GL material_of(const sMaterialDesc& in_desc)
{
    cMaterial_GL m;
    m.m_name = in_desc.name;
    for (int c = 0; c < 4; ++c) {
        m.m_diffuse[c] = in_desc.diffuse[c];
        m.m_ambient[c] = c < 3 ? in_desc.diffuse[c] * 0.25f : in_desc.diffuse[c];
        m.m_specular[c] = in_desc.specular[c];
    }
    m.m_shininess = in_desc.shininess;
    m.m_illum = in_desc.illum;
    m.m_tex_diffuse = in_desc.diffuse_map;
    return m;
}

void cSolidBuilder::flat_triangle(const V3& in_a, const V3& in_b, const V3& in_c,
                                  const float in_uv[6])
{
    const V3 n = (in_b - in_a).cross(in_c - in_a).normalized();
    const uint32_t a = vertex(in_a, n, in_uv[0], in_uv[1]);
    const uint32_t b = vertex(in_b, n, in_uv[2], in_uv[3]);
    const uint32_t c = vertex(in_c, n, in_uv[4], in_uv[5]);
    triangle(a, b, c);
}

void cSolidBuilder::flat_quad(const V3& in_a, const V3& in_b, const V3& in_c, const V3& in_d)
{
    const V3 n = ((in_c - in_a).cross(in_d - in_b)).normalized();
    const uint32_t a = vertex(in_a, n, 0, 0);
    const uint32_t b = vertex(in_b, n, 1, 0);
    const uint32_t c = vertex(in_c, n, 1, 1);
    const uint32_t d = vertex(in_d, n, 0, 1);
    triangle(a, b, c);
    triangle(a, c, d);
}

void cSolidBuilder::translate(const V3& in_offset)
{
    std::vector<float>& pos = positions();
    for (size_t i = 0; i + 2 < pos.size(); i += 3) {
        pos[i] += in_offset.x;
        pos[i + 1] += in_offset.y;
        pos[i + 2] += in_offset.z;
    }
}

void cSolidBuilder::rotate(const V3& in_x, const V3& in_y, const V3& in_z)
{
    for (std::vector<float>* list : {&positions(), &normals()}) {
        for (size_t i = 0; i + 2 < list->size(); i += 3) {
            float* p = &(*list)[i];
            const V3 turned = in_x * p[0] + in_y * p[1] + in_z * p[2];
            p[0] = turned.x;
            p[1] = turned.y;
            p[2] = turned.z;
        }
    }
}

bool cSolidBuilder::save(const std::string& in_path) const
{
    std::string error;
    if (!cBobjBuilder::save(in_path, error)) {
        std::cerr << "## ERROR: cannot write " << in_path << ": " << error << std::endl;
        return false;
    }
    return true;
}

void add_box(cSolidBuilder& io_mesh, const V3& in_centre, const V3& in_ax, const V3& in_ay,
             const V3& in_az)
{
    // Each face: its outward axis and the two axes spanning it, counter-clockwise from outside.
    const V3 axes[3] = {in_ax, in_ay, in_az};
    for (int a = 0; a < 3; ++a) {
        const V3& n = axes[a];
        const V3& s = axes[(a + 1) % 3];
        const V3& t = axes[(a + 2) % 3];
        for (float sign : {1.0f, -1.0f}) {
            const V3 c = in_centre + n * sign;
            const V3 ss = s * sign;
            io_mesh.flat_quad(c - ss - t, c + ss - t, c + ss + t, c - ss + t);
        }
    }
}

void add_beam(cSolidBuilder& io_mesh, const V3& in_a, const V3& in_b, float in_radius, int in_sides,
              float in_twist)
{
    const V3 axis = (in_b - in_a).normalized();
    const V3 u = perpendicular(axis);
    const V3 v = axis.cross(u);
    std::vector<V3> ring;
    for (int i = 0; i < in_sides; ++i) {
        const float angle = in_twist + 2.0f * PI * float(i) / float(in_sides);
        ring.push_back((u * std::cos(angle) + v * std::sin(angle)) * in_radius);
    }
    for (int i = 0; i < in_sides; ++i) {
        const V3& r0 = ring[size_t(i)];
        const V3& r1 = ring[size_t((i + 1) % in_sides)];
        io_mesh.flat_quad(in_a + r0, in_a + r1, in_b + r1, in_b + r0);
    }
    // End caps as fans.
    for (int i = 1; i + 1 < in_sides; ++i) {
        const float uv[6] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
        io_mesh.flat_triangle(in_b + ring[0], in_b + ring[size_t(i)], in_b + ring[size_t(i + 1)],
                              uv);
        io_mesh.flat_triangle(in_a + ring[0], in_a + ring[size_t(i + 1)], in_a + ring[size_t(i)],
                              uv);
    }
}

void add_octahedron(cSolidBuilder& io_mesh, const V3& in_centre, const V3& in_ax, const V3& in_ay,
                    const V3& in_az)
{
    const V3 axes[3] = {in_ax, in_ay, in_az};
    for (int octant = 0; octant < 8; ++octant) {
        const V3 a = in_centre + axes[0] * ((octant & 1) ? -1.0f : 1.0f);
        const V3 b = in_centre + axes[1] * ((octant & 2) ? -1.0f : 1.0f);
        const V3 c = in_centre + axes[2] * ((octant & 4) ? -1.0f : 1.0f);
        const float uv[6] = {0, 0, 1, 0, 0.5f, 1};
        // Orientation: the face's normal must point away from the centre.
        const V3 n = (b - a).cross(c - a);
        if (n.dot(a - in_centre) >= 0)
            io_mesh.flat_triangle(a, b, c, uv);
        else
            io_mesh.flat_triangle(a, c, b, uv);
    }
}

void add_bipyramid(cSolidBuilder& io_mesh, const V3& in_a, const V3& in_b, float in_radius,
                   int in_sides, float in_waist)
{
    const V3 axis = in_b - in_a;
    const V3 dir = axis.normalized();
    const V3 u = perpendicular(dir);
    const V3 v = dir.cross(u);
    const V3 waist = in_a + axis * in_waist;
    for (int i = 0; i < in_sides; ++i) {
        const float a0 = 2.0f * PI * float(i) / float(in_sides);
        const float a1 = 2.0f * PI * float(i + 1) / float(in_sides);
        const V3 p0 = waist + (u * std::cos(a0) + v * std::sin(a0)) * in_radius;
        const V3 p1 = waist + (u * std::cos(a1) + v * std::sin(a1)) * in_radius;
        const float top[6] = {0, in_waist, 1, in_waist, 0.5f, 1};
        const float bottom[6] = {0, in_waist, 0.5f, 0, 1, in_waist};
        io_mesh.flat_triangle(p0, p1, in_b, top);
        io_mesh.flat_triangle(p0, in_a, p1, bottom);
    }
}

void add_cone(cSolidBuilder& io_mesh, const V3& in_base, const V3& in_tip, float in_radius,
              int in_sides)
{
    const V3 dir = (in_tip - in_base).normalized();
    const V3 u = perpendicular(dir);
    const V3 v = dir.cross(u);
    for (int i = 0; i < in_sides; ++i) {
        const float a0 = 2.0f * PI * float(i) / float(in_sides);
        const float a1 = 2.0f * PI * float(i + 1) / float(in_sides);
        const V3 p0 = in_base + (u * std::cos(a0) + v * std::sin(a0)) * in_radius;
        const V3 p1 = in_base + (u * std::cos(a1) + v * std::sin(a1)) * in_radius;
        const float su0 = float(i) / float(in_sides), su1 = float(i + 1) / float(in_sides);
        const float uv[6] = {su0, 0, su1, 0, (su0 + su1) / 2, 1};
        io_mesh.flat_triangle(p0, p1, in_tip, uv);
    }
}

void add_icosphere(cSolidBuilder& io_mesh, const V3& in_centre, float in_radius, int in_levels,
                   bool in_smooth)
{
    std::vector<V3> points;
    std::vector<std::array<int, 3>> faces;
    subdivided_icosahedron(in_levels, points, faces);
    if (in_smooth) {
        std::vector<uint32_t> index;
        for (const V3& p : points) {
            const float u = 0.5f + std::atan2(p.y, p.x) / (2.0f * PI);
            const float v = 0.5f + std::asin(std::clamp(p.z, -1.0f, 1.0f)) / PI;
            index.push_back(io_mesh.vertex(in_centre + p * in_radius, p, u, v));
        }
        for (const auto& f : faces)
            io_mesh.triangle(index[size_t(f[0])], index[size_t(f[1])], index[size_t(f[2])]);
        return;
    }
    for (const auto& f : faces) {
        const float uv[6] = {0, 0, 1, 0, 0.5f, 1};
        io_mesh.flat_triangle(in_centre + points[size_t(f[0])] * in_radius,
                              in_centre + points[size_t(f[1])] * in_radius,
                              in_centre + points[size_t(f[2])] * in_radius, uv);
    }
}

void geodesic_sphere(int in_frequency, std::vector<V3>& out_nodes,
                     std::vector<std::pair<int, int>>& out_edges)
{
    std::vector<V3> corners;
    std::vector<std::array<int, 3>> faces;
    icosahedron(corners, faces);
    out_nodes.clear();
    out_edges.clear();
    cPointIndex index;
    std::map<std::pair<int, int>, bool> seen;
    auto edge = [&](int a, int b) {
        const std::pair<int, int> key(std::min(a, b), std::max(a, b));
        if (a != b && seen.emplace(key, true).second)
            out_edges.push_back(key);
    };
    const int f = std::max(1, in_frequency);
    for (const auto& face : faces) {
        const V3 &a = corners[size_t(face[0])], &b = corners[size_t(face[1])],
                 &c = corners[size_t(face[2])];
        // Grid point (i, j) of the face: a + (b - a) i / f + (c - a) j / f, with i + j <= f.
        auto node = [&](int i, int j) {
            const V3 p = a + (b - a) * (float(i) / float(f)) + (c - a) * (float(j) / float(f));
            return index.find_or_add(p.normalized(), out_nodes);
        };
        for (int i = 0; i <= f; ++i) {
            for (int j = 0; i + j <= f; ++j) {
                const int n = node(i, j);
                if (i + j < f) {
                    edge(n, node(i + 1, j));
                    edge(n, node(i, j + 1));
                    edge(node(i + 1, j), node(i, j + 1));
                }
            }
        }
    }
}

void add_torus(cSolidBuilder& io_mesh, float in_major, float in_minor, int in_segments,
               int in_sides)
{
    const uint32_t base = uint32_t(io_mesh.vertex_count());
    for (int i = 0; i <= in_segments; ++i) {
        const float a = 2.0f * PI * float(i) / float(in_segments);
        const V3 radial(std::cos(a), std::sin(a), 0);
        for (int j = 0; j <= in_sides; ++j) {
            const float b = 2.0f * PI * float(j) / float(in_sides);
            const V3 n = radial * std::cos(b) + V3(0, 0, 1) * std::sin(b);
            io_mesh.vertex(radial * in_major + n * in_minor, n, float(i) / float(in_segments),
                           float(j) / float(in_sides));
        }
    }
    const uint32_t row = uint32_t(in_sides + 1);
    for (int i = 0; i < in_segments; ++i) {
        for (int j = 0; j < in_sides; ++j) {
            const uint32_t a = base + uint32_t(i) * row + uint32_t(j);
            const uint32_t b = a + row;
            io_mesh.triangle(a, b, b + 1);
            io_mesh.triangle(a, b + 1, a + 1);
        }
    }
}

void add_tube(cSolidBuilder& io_mesh, const std::vector<V3>& in_path,
              const std::function<float(float)>& in_radius, int in_sides)
{
    const size_t n = in_path.size();
    if (n < 2)
        return;
    // Tangents, then frames carried along by the smallest rotation between tangents.
    std::vector<V3> tangent(n);
    for (size_t i = 0; i < n; ++i) {
        const V3 d = in_path[std::min(i + 1, n - 1)] - in_path[i > 0 ? i - 1 : 0];
        tangent[i] = d.normalized();
    }
    std::vector<V3> normal(n);
    normal[0] = perpendicular(tangent[0]);
    for (size_t i = 1; i < n; ++i) {
        const V3 prev = normal[i - 1];
        const V3 projected = prev - tangent[i] * prev.dot(tangent[i]);
        normal[i] = projected.length() > 1e-6f ? projected.normalized() : perpendicular(tangent[i]);
    }
    const uint32_t base = uint32_t(io_mesh.vertex_count());
    for (size_t i = 0; i < n; ++i) {
        const float s = float(i) / float(n - 1);
        const float r = in_radius(s);
        const V3 binormal = tangent[i].cross(normal[i]);
        for (int j = 0; j <= in_sides; ++j) {
            const float a = 2.0f * PI * float(j) / float(in_sides);
            const V3 dir = normal[i] * std::cos(a) + binormal * std::sin(a);
            io_mesh.vertex(in_path[i] + dir * r, dir, s, float(j) / float(in_sides));
        }
    }
    const uint32_t row = uint32_t(in_sides + 1);
    for (size_t i = 0; i + 1 < n; ++i) {
        for (int j = 0; j < in_sides; ++j) {
            const uint32_t a = base + uint32_t(i) * row + uint32_t(j);
            const uint32_t b = a + row;
            io_mesh.triangle(a, a + 1, b + 1);
            io_mesh.triangle(a, b + 1, b);
        }
    }
    // Caps: a fan around each end point, facing along the path.
    for (int end = 0; end < 2; ++end) {
        const size_t i = end == 0 ? 0 : n - 1;
        const V3 out = end == 0 ? -tangent[i] : tangent[i];
        const uint32_t centre = io_mesh.vertex(in_path[i], out, 0.5f, 0.5f);
        std::vector<uint32_t> rim;
        const float r = in_radius(end == 0 ? 0.0f : 1.0f);
        const V3 binormal = tangent[i].cross(normal[i]);
        for (int j = 0; j < in_sides; ++j) {
            const float a = 2.0f * PI * float(j) / float(in_sides);
            const V3 dir = normal[i] * std::cos(a) + binormal * std::sin(a);
            rim.push_back(io_mesh.vertex(in_path[i] + dir * r, out, 0.5f, 0.5f));
        }
        for (int j = 0; j < in_sides; ++j) {
            const uint32_t a = rim[size_t(j)], b = rim[size_t((j + 1) % in_sides)];
            if (end == 0)
                io_mesh.triangle(centre, b, a);
            else
                io_mesh.triangle(centre, a, b);
        }
    }
}

} // namespace content
