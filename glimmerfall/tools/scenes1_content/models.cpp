// The scene meshes (see models.h). Sizes are in scene units: symbols fit the unit sphere, the
// tunnels run along -z from the origin.
#include "models.h"

#include <cmath>

#include "image_writer.h"

namespace content {

namespace {

constexpr float PI = 3.14159265358979f;

sMaterialDesc lit(const char* name, float r, float g, float b, float shininess = 40.0f)
{
    sMaterialDesc m;
    m.name = name;
    m.diffuse[0] = r;
    m.diffuse[1] = g;
    m.diffuse[2] = b;
    m.specular[0] = m.specular[1] = m.specular[2] = 0.6f;
    m.shininess = shininess;
    m.illum = 2;
    return m;
}

sMaterialDesc flat(const char* name, float r, float g, float b)
{
    sMaterialDesc m = lit(name, r, g, b, 0.0f);
    m.specular[0] = m.specular[1] = m.specular[2] = 0.0f;
    m.illum = 0;
    return m;
}

V3 on_circle(float angle, float radius, float z = 0.0f)
{
    return V3(std::cos(angle) * radius, std::sin(angle) * radius, z);
}

// A cube of half size h whose faces follow the axes.
void add_cube(cSolidBuilder& mesh, const V3& centre, float h)
{
    add_box(mesh, centre, V3(h, 0, 0), V3(0, h, 0), V3(0, 0, h));
}

// A cube turned about z by `angle`.
void add_turned_cube(cSolidBuilder& mesh, const V3& centre, float h, float angle)
{
    const V3 ax(std::cos(angle) * h, std::sin(angle) * h, 0);
    const V3 ay(-std::sin(angle) * h, std::cos(angle) * h, 0);
    add_box(mesh, centre, ax, ay, V3(0, 0, h));
}

// --- tunnels ---------------------------------------------------------------------------------

// One segment of the hexagonal tunnel at z = 0: corner cubes on a hexagon of radius 2, three
// smaller cubes on every side, and thin bars joining them.
cSolidBuilder hex_tunnel()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("hex_cubes", 0.9f, 0.9f, 0.95f, 60.0f));
    const float radius = 2.0f;
    for (int i = 0; i < 6; ++i) {
        const float a0 = PI / 3.0f * float(i), a1 = PI / 3.0f * float(i + 1);
        const V3 c0 = on_circle(a0, radius), c1 = on_circle(a1, radius);
        add_turned_cube(mesh, c0, 0.2f, a0);
        for (int k = 1; k <= 3; ++k) {
            const float t = float(k) / 4.0f;
            const V3 p = c0 + (c1 - c0) * t;
            // The middle cube sits a little inwards: the wall is not flat.
            const V3 inward = p.normalized() * (k == 2 ? -0.12f : 0.0f);
            add_turned_cube(mesh, p + inward, k == 2 ? 0.11f : 0.08f, (a0 + a1) / 2.0f);
        }
        add_beam(mesh, c0, c1, 0.035f, 4, PI / 4.0f);
    }
    return mesh;
}

// The gate's tunnel wall: rings of leaf-shaped petals on a cylinder of radius 1.6 from z = 0
// to z = -12, the rings cycling through four colours and turned half a petal against each
// other. Normals face the axis, where the camera flies.
cSolidBuilder mandala_tunnel_bg()
{
    cSolidBuilder mesh;
    const sMaterialDesc colours[4] = {
        lit("petal_magenta", 0.95f, 0.15f, 0.75f), lit("petal_gold", 1.0f, 0.72f, 0.15f),
        lit("petal_cyan", 0.1f, 0.85f, 1.0f), lit("petal_violet", 0.45f, 0.2f, 1.0f)};
    const float radius = 1.6f;
    const int rings = 24, petals = 12;
    for (int colour = 0; colour < 4; ++colour) {
        mesh.begin_material(colours[colour]);
        for (int ring = colour; ring < rings; ring += 4) {
            const float z0 = -0.5f * float(ring);
            const float offset = (ring % 2) ? PI / float(petals) : 0.0f;
            for (int p = 0; p < petals; ++p) {
                const float a = offset + 2.0f * PI * float(p) / float(petals);
                const float half = PI / float(petals) * 0.9f;
                // Leaf outline: base, two flanks, tip; the middle vein bulges towards the axis.
                const V3 base = on_circle(a, radius, z0);
                const V3 left = on_circle(a - half, radius * 0.985f, z0 - 0.3f);
                const V3 right = on_circle(a + half, radius * 0.985f, z0 - 0.3f);
                const V3 tip = on_circle(a, radius, z0 - 0.85f);
                const V3 vein = on_circle(a, radius - 0.14f, z0 - 0.32f);
                const float uv0[6] = {0.5f, 0, 0, 0.35f, 0.5f, 0.4f};
                const float uv1[6] = {0.5f, 0, 0.5f, 0.4f, 1, 0.35f};
                const float uv2[6] = {0, 0.35f, 0.5f, 1, 0.5f, 0.4f};
                const float uv3[6] = {1, 0.35f, 0.5f, 0.4f, 0.5f, 1};
                // Counter-clockwise seen from the axis.
                mesh.flat_triangle(base, vein, left, uv0);
                mesh.flat_triangle(base, right, vein, uv1);
                mesh.flat_triangle(left, vein, tip, uv2);
                mesh.flat_triangle(right, tip, vein, uv3);
            }
        }
    }
    return mesh;
}

// Light streaks for the gate: thin ribbons along -z, facing the axis, at scattered angles and
// radii, staggered in depth over the tunnel's 12 units.
cSolidBuilder mandala_tunnel_streak()
{
    cSolidBuilder mesh;
    mesh.begin_material(flat("streak", 1, 1, 1));
    assets::cRandom random(12);
    for (int i = 0; i < 40; ++i) {
        const float a = float(random.range(0.0, 2.0 * PI));
        const float r = float(random.range(0.35, 1.45));
        const float z0 = float(random.range(0.0, -12.0));
        const float length = float(random.range(1.2, 3.2));
        const float width = float(random.range(0.012, 0.035));
        const V3 centre = on_circle(a, r);
        const V3 side = V3(-std::sin(a), std::cos(a), 0) * width;
        const V3 p0 = centre + V3(0, 0, z0), p1 = centre + V3(0, 0, z0 - length);
        mesh.flat_quad(p0 - side, p0 + side, p1 + side, p1 - side);
    }
    return mesh;
}

// --- spheres and stars -----------------------------------------------------------------------

// A faceted core of radius 0.55 with 42 spikes, long ones on the icosahedron's corners and
// shorter ones between; texture v runs from the base of a spike (0) to its tip (1) so the
// glow picture lights the tips.
cSolidBuilder spikeball2()
{
    cSolidBuilder mesh;
    sMaterialDesc material = lit("spikes", 1, 1, 1);
    material.diffuse_map = "spike_glow.png";
    mesh.begin_material(material);
    cSolidBuilder core;
    add_icosphere(core, V3(0, 0, 0), 0.55f, 1, false);
    // The core shows the dim start of the glow picture.
    {
        const std::vector<uint32_t>& elem = core.elements();
        for (size_t i = 0; i + 2 < elem.size(); i += 3) {
            V3 p[3];
            for (int k = 0; k < 3; ++k) {
                const float* q = &core.positions()[size_t(elem[i + size_t(k)]) * 3];
                p[k] = V3(q[0], q[1], q[2]);
            }
            const float uv[6] = {0.2f, 0.05f, 0.8f, 0.05f, 0.5f, 0.2f};
            mesh.flat_triangle(p[0], p[1], p[2], uv);
        }
    }
    std::vector<V3> nodes;
    std::vector<std::pair<int, int>> edges;
    geodesic_sphere(2, nodes, edges);
    // The icosahedron's corners are the nodes with five neighbours.
    std::vector<int> valence(nodes.size(), 0);
    for (const auto& e : edges) {
        ++valence[size_t(e.first)];
        ++valence[size_t(e.second)];
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        const bool corner = valence[i] == 5;
        const V3 dir = nodes[i];
        add_cone(mesh, dir * 0.48f, dir * (corner ? 1.3f : 1.0f), corner ? 0.13f : 0.1f, 6);
    }
    return mesh;
}

// A geodesic net: struts along the edges of a frequency-3 geodesic sphere of radius 1, small
// octahedra on its 92 nodes.
cSolidBuilder netsphere()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("net", 0.85f, 0.95f, 1.0f, 80.0f));
    std::vector<V3> nodes;
    std::vector<std::pair<int, int>> edges;
    geodesic_sphere(3, nodes, edges);
    for (const auto& e : edges)
        add_beam(mesh, nodes[size_t(e.first)], nodes[size_t(e.second)], 0.016f, 3);
    for (const V3& n : nodes) {
        const V3 u = (std::fabs(n.z) < 0.9f ? V3(0, 0, 1) : V3(1, 0, 0)).cross(n).normalized();
        const V3 v = n.cross(u);
        add_octahedron(mesh, n, n * 0.05f, u * 0.035f, v * 0.035f);
    }
    return mesh;
}

// An op-art star in the x-y plane, facing +z: twelve points, cut into fourteen concentric
// bands that turn a little further each, alternately white (first material) and black.
cSolidBuilder blacknwhite_star()
{
    cSolidBuilder mesh;
    const int points = 12, bands = 14;
    auto outline = [&](int k, float scale, float twist) {
        // Corner k of the star's outline (2 per point), radius 1 at the tips.
        const float a = twist + PI * float(k) / float(points);
        return on_circle(a, scale * ((k % 2) ? 0.58f : 1.0f));
    };
    for (int colour = 0; colour < 2; ++colour) {
        mesh.begin_material(colour == 0 ? flat("white", 1, 1, 1) : flat("black", 0, 0, 0));
        for (int band = colour; band < bands; band += 2) {
            const float s0 = float(band) / float(bands), s1 = float(band + 1) / float(bands);
            // The twist stays small enough that no band folds over itself.
            const float t0 = 0.02f * float(band), t1 = 0.02f * float(band + 1);
            for (int k = 0; k < 2 * points; ++k) {
                const V3 a = outline(k, s0, t0), b = outline(k + 1, s0, t0);
                const V3 c = outline(k + 1, s1, t1), d = outline(k, s1, t1);
                const float u0 = float(k) / float(2 * points),
                            u1 = float(k + 1) / float(2 * points);
                const float uv0[6] = {u0, s0, u0, s1, u1, s0};
                const float uv1[6] = {u1, s0, u0, s1, u1, s1};
                const float fan[6] = {0.5f, 0, u0, s1, u1, s1};
                // Counter-clockwise seen from +z; the innermost band is a fan. The quads are
                // cut along b-d, which keeps both halves facing +z however the bands turn.
                if (band == 0) {
                    mesh.flat_triangle(V3(0, 0, 0), d, c, fan);
                } else {
                    mesh.flat_triangle(a, d, b, uv0);
                    mesh.flat_triangle(b, d, c, uv1);
                }
            }
        }
    }
    return mesh;
}

// --- symbols of the kaleidoscopes (folder kaleido3d) -------------------------------------------

// A "G" of cubes on a 5 x 5 grid, every other cube raised: the cubes logo.
cSolidBuilder logo_cubes2()
{
    static const char* rows[5] = {"XXXX.", "X....", "X.XXX", "X...X", "XXXXX"};
    cSolidBuilder mesh;
    mesh.begin_material(lit("logo", 0.9f, 0.9f, 0.9f));
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            if (rows[r][c] != 'X')
                continue;
            const V3 p(-0.8f + 0.4f * float(c), 0.8f - 0.4f * float(r),
                       (r + c) % 2 ? 0.12f : -0.12f);
            add_cube(mesh, p, 0.16f);
        }
    }
    return mesh;
}

cSolidBuilder torus04()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("torus", 0.9f, 0.9f, 0.9f, 90.0f));
    add_torus(mesh, 0.7f, 0.22f, 40, 14);
    return mesh;
}

// Five worms curling out from the centre, thick at the head, thin at the tail.
cSolidBuilder worms()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("worms", 0.9f, 0.9f, 0.9f, 60.0f));
    for (int w = 0; w < 5; ++w) {
        std::vector<V3> path;
        const float a0 = 2.0f * PI * float(w) / 5.0f;
        for (int i = 0; i < 48; ++i) {
            const float s = float(i) / 47.0f;
            const float a = a0 + 2.2f * s + 0.12f * std::sin(9.0f * s);
            // Never tighter than the worm is thick: its skin must not fold inside out.
            const float r = 0.22f + 0.75f * s;
            path.push_back(on_circle(a, r, 0.18f * std::sin(6.0f * s + float(w))));
        }
        add_tube(
            mesh, path, [](float s) { return 0.09f * (1.0f - 0.7f * s) + 0.01f; }, 8);
    }
    return mesh;
}

// A triangular frame around a small, turned solid prism.
cSolidBuilder mt_prism_symbol()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("prism", 0.9f, 0.9f, 0.9f));
    V3 corner[3], inner[3];
    for (int i = 0; i < 3; ++i) {
        corner[i] = on_circle(PI / 2.0f + 2.0f * PI * float(i) / 3.0f, 0.85f);
        inner[i] = on_circle(-PI / 2.0f + 2.0f * PI * float(i) / 3.0f, 0.38f);
    }
    for (int i = 0; i < 3; ++i) {
        add_beam(mesh, corner[i], corner[(i + 1) % 3], 0.07f, 4, PI / 4.0f);
        add_octahedron(mesh, corner[i], V3(0.12f, 0, 0), V3(0, 0.12f, 0), V3(0, 0, 0.12f));
    }
    const V3 front(0, 0, 0.14f);
    for (int i = 0; i < 3; ++i) {
        const V3 a = inner[i], b = inner[(i + 1) % 3];
        mesh.flat_quad(a - front, b - front, b + front, a + front);
    }
    const float uv[6] = {0, 0, 1, 0, 0.5f, 1};
    mesh.flat_triangle(inner[0] + front, inner[1] + front, inner[2] + front, uv);
    mesh.flat_triangle(inner[0] - front, inner[2] - front, inner[1] - front, uv);
    return mesh;
}

// A ring of 24 bars with twelve crystal teeth pointing outwards.
cSolidBuilder mt_ring_symbol()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("ring", 0.9f, 0.9f, 0.9f));
    const int bars = 24;
    for (int i = 0; i < bars; ++i) {
        const V3 a = on_circle(2.0f * PI * float(i) / float(bars), 0.7f);
        const V3 b = on_circle(2.0f * PI * float(i + 1) / float(bars), 0.7f);
        add_beam(mesh, a, b, 0.08f, 6);
    }
    for (int i = 0; i < 12; ++i) {
        const float a = 2.0f * PI * (float(i) + 0.5f) / 12.0f;
        add_bipyramid(mesh, on_circle(a, 0.72f), on_circle(a, 1.0f), 0.07f, 4, 0.3f);
    }
    return mesh;
}

// A faceted sphere inside three rings at right angles.
cSolidBuilder mig_sphere_symbol()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("sphere", 0.9f, 0.9f, 0.9f, 90.0f));
    add_icosphere(mesh, V3(0, 0, 0), 0.45f, 1, false);
    const V3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    const V3 frames[3][3] = {{x, y, z}, {y, z, x}, {z, x, y}};
    for (int i = 0; i < 3; ++i) {
        cSolidBuilder ring;
        add_torus(ring, 0.78f - 0.06f * float(i), 0.035f, 48, 6);
        ring.rotate(frames[i][0], frames[i][1], frames[i][2]);
        mesh.append(ring);
    }
    return mesh;
}

// Two interleaved waves, like a tilde drawn twice.
cSolidBuilder mt_wave_symbol()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("wave", 0.9f, 0.9f, 0.9f, 60.0f));
    for (int w = 0; w < 2; ++w) {
        std::vector<V3> path;
        for (int i = 0; i < 64; ++i) {
            const float s = float(i) / 63.0f;
            const float x = -0.95f + 1.9f * s;
            const float y =
                0.3f * std::sin(2.0f * PI * 1.25f * s + PI * float(w)) + (w ? -0.12f : 0.12f);
            path.push_back(V3(x, y, 0.12f * std::cos(2.0f * PI * s + PI * float(w))));
        }
        add_tube(
            mesh, path, [](float s) { return 0.05f + 0.05f * std::sin(PI * s); }, 8);
    }
    return mesh;
}

// One long hexagonal crystal with two small ones at its foot.
cSolidBuilder glimspike01()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("crystal", 0.95f, 0.95f, 1.0f, 120.0f));
    add_bipyramid(mesh, V3(0, -0.9f, 0), V3(0, 1.0f, 0), 0.2f, 6, 0.3f);
    add_bipyramid(mesh, V3(0, -0.9f, 0), V3(0.45f, -0.1f, 0.1f), 0.1f, 6, 0.3f);
    add_bipyramid(mesh, V3(0, -0.9f, 0), V3(-0.4f, -0.2f, -0.15f), 0.09f, 6, 0.3f);
    return mesh;
}

// A cluster of seven crystals fanning out from one root.
cSolidBuilder glimspike02()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("crystal", 0.95f, 0.95f, 1.0f, 120.0f));
    const V3 root(0, -0.7f, 0);
    for (int i = 0; i < 7; ++i) {
        const float a = 2.0f * PI * float(i) / 7.0f;
        const float lean = i == 0 ? 0.0f : 0.55f;
        const V3 dir = V3(std::cos(a) * lean, 1.0f, std::sin(a) * lean).normalized();
        const float length = i == 0 ? 1.7f : 1.0f + 0.1f * float(i % 3);
        add_bipyramid(mesh, root, root + dir * length, i == 0 ? 0.17f : 0.11f, 6, 0.25f);
    }
    return mesh;
}

// A star of fourteen spikes: six along the axes, eight along the cube's diagonals.
cSolidBuilder glimspike03()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("crystal", 0.95f, 0.95f, 1.0f, 120.0f));
    const V3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const V3& d : axes)
        add_bipyramid(mesh, d * 0.05f, d * 1.0f, 0.12f, 4, 0.2f);
    for (int i = 0; i < 8; ++i) {
        const V3 d =
            V3((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f).normalized();
        add_bipyramid(mesh, d * 0.05f, d * 0.7f, 0.09f, 4, 0.2f);
    }
    return mesh;
}

// --- the rose's octahedra, the helix, the cubes logo -------------------------------------------

// Eight octahedra on the unit circle of the x-y plane, drawn out along the radius like
// diamonds, large and small in turn.
cSolidBuilder octahedra()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("octahedra", 1, 1, 1, 80.0f));
    for (int i = 0; i < 8; ++i) {
        const float a = 2.0f * PI * float(i) / 8.0f;
        const float s = (i % 2) ? 0.09f : 0.16f;
        const V3 radial = on_circle(a, 1.0f);
        const V3 tangent(-radial.y, radial.x, 0);
        add_octahedron(mesh, radial, radial * (1.7f * s), tangent * s, V3(0, 0, s));
    }
    return mesh;
}

// Two strands winding three times around the z axis from -2 to 2, with rungs between them.
cSolidBuilder helix()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("helix", 0.9f, 0.9f, 0.9f, 80.0f));
    const int steps = 120;
    for (int strand = 0; strand < 2; ++strand) {
        std::vector<V3> path;
        for (int i = 0; i <= steps; ++i) {
            const float s = float(i) / float(steps);
            path.push_back(on_circle(6.0f * PI * s + PI * float(strand), 0.6f, -2.0f + 4.0f * s));
        }
        add_tube(
            mesh, path, [](float) { return 0.07f; }, 8);
    }
    for (int i = 2; i < steps; i += 4) {
        const float s = float(i) / float(steps);
        const float a = 6.0f * PI * s;
        const float z = -2.0f + 4.0f * s;
        add_beam(mesh, on_circle(a, 0.6f, z), on_circle(a + PI, 0.6f, z), 0.025f, 6);
    }
    return mesh;
}

// Twenty cubes on the edges and corners of a 3 x 3 x 3 block (its faces and centre are open).
cSolidBuilder logo_cubes()
{
    cSolidBuilder mesh;
    mesh.begin_material(lit("logo", 0.9f, 0.9f, 0.9f));
    for (int x = -1; x <= 1; ++x) {
        for (int y = -1; y <= 1; ++y) {
            for (int z = -1; z <= 1; ++z) {
                if ((x == 0) + (y == 0) + (z == 0) >= 2)
                    continue;
                add_cube(mesh, V3(float(x), float(y), float(z)) * 0.36f, 0.15f);
            }
        }
    }
    return mesh;
}

} // namespace

const std::vector<sModel>& models()
{
    static const std::vector<sModel> table = {
        {"models/hex_tunnel.bzobj", hex_tunnel},
        {"models/octahedra.bzobj", octahedra},
        {"models/spikeball2.bzobj", spikeball2},
        {"models/netsphere.bzobj", netsphere},
        {"models/blacknwhite_star.bzobj", blacknwhite_star},
        {"models/mandala_tunnel_bg.bzobj", mandala_tunnel_bg},
        {"models/mandala_tunnel_streak.bzobj", mandala_tunnel_streak},
        {"models/helix.bzobj", helix},
        {"models/logo_cubes.bzobj", logo_cubes},
        // The kaleidoscope mesh asks for the cubes logo by its bare name.
        {"models/logo_cubes2.bzobj", logo_cubes2},
        {"models/kaleido3d/logo_cubes2.bzobj", logo_cubes2},
        {"models/kaleido3d/torus04.bzobj", torus04},
        {"models/kaleido3d/worms.bzobj", worms},
        {"models/kaleido3d/mt_prismSymbol.bzobj", mt_prism_symbol},
        {"models/kaleido3d/mt_ringSymbol.bzobj", mt_ring_symbol},
        {"models/kaleido3d/mig_sphereSymbol.bzobj", mig_sphere_symbol},
        {"models/kaleido3d/mt_waveSymbol.bzobj", mt_wave_symbol},
        {"models/kaleido3d/glimspike01.bzobj", glimspike01},
        {"models/kaleido3d/glimspike02.bzobj", glimspike02},
        {"models/kaleido3d/glimspike03.bzobj", glimspike03},
    };
    return table;
}

} // namespace content
