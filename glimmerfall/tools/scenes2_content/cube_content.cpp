// Mandala cube layers and pictures (see cube_content.h).
#include "cube_content.h"

#include <cmath>
#include <cstdio>

#include "image_writer.h"
#include "mesh_builder.h"
#include "picture_tools.h"

namespace content {

namespace {

constexpr int FIRST_LAYER = 2;
constexpr int LAST_LAYER = 9;
constexpr int ALONG = 6;  // petal rows from base to tip
constexpr int ACROSS = 3; // petal columns from edge to edge

// A face of the cube: centre direction n and two in-face axes with a x b = n.
struct sFace
{
    tVec3 n, a, b;
};

const sFace FACES[6] = {
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
};

// Rodrigues rotation of v about the unit axis k.
tVec3 rotate(const tVec3& v, const tVec3& k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return add(add(scale(v, c), scale(cross(k, v), s)), scale(k, dot(k, v) * (1.0 - c)));
}

struct sLayer
{
    int petals;
    double ring;   // distance of the petal bases from the face centre
    double length; // base to tip
    double width;  // largest half-width
};

sLayer layer_shape(int k)
{
    const int i = k - FIRST_LAYER;
    sLayer l;
    l.petals = 6 + 2 * i;
    l.ring = 0.08 + 0.088 * i;
    l.length = 0.14 + 0.017 * i;
    l.width = std::min(0.85 * PI * (l.ring + 0.5 * l.length) / l.petals, 0.085);
    return l;
}

// A point of a petal in its own frame: x along from the base, y across, z up; `top` picks
// the upper or the lower skin.
tVec3 petal_point(const sLayer& l, double along, double across, bool top)
{
    const double s = along;
    const double half = l.width * std::pow(std::sin(PI * std::clamp(s, 0.0, 1.0)), 0.6);
    const double bulge = 0.012 * std::sin(PI * s) * (1.0 - across * across);
    const double curl = 0.05 * s * s; // tips lift a little
    return {s * l.length, across * half, curl + (top ? bulge : -bulge * 0.3)};
}

tVec3 petal_normal(const sLayer& l, double along, double across, bool top)
{
    const double e = 1e-3;
    const tVec3 ds =
        sub(petal_point(l, along + e, across, top), petal_point(l, along - e, across, top));
    const double a0 = std::max(-1.0, across - e), a1 = std::min(1.0, across + e);
    const tVec3 dw = sub(petal_point(l, along, a1, top), petal_point(l, along, a0, top));
    const tVec3 n = normalized(cross(ds, dw));
    // Where the skin pinches to a point the derivative vanishes: fall back to straight up.
    if (!(std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2])) ||
        dot(cross(ds, dw), cross(ds, dw)) < 1e-14)
        return {0, 0, top ? 1.0 : -1.0};
    return top ? n : scale(n, -1.0);
}

// Every petal of layer k on all six faces. `opened` 0 lays them on the face, 1 lifts,
// twists and raises them; the vertex order does not depend on it.
bool write_layer(const std::string& path, int k, bool opened)
{
    const sLayer l = layer_shape(k);
    const int i = k - FIRST_LAYER;
    sMaterialSpec m;
    m.name = "petal_layer" + std::to_string(k);
    m.diffuse_map = "petal_gray.png";
    // Around the palette from the middle outwards: magenta, gold, cyan, acid green.
    const tColour ring_colours[4] = {MAGENTA, GOLD, CYAN, ACID};
    const tColour tint = scaled(ring_colours[i % 4], 0.9);
    m.ambient = {float(tint[0]), float(tint[1]), float(tint[2]), 1.0f};
    m.specular = {0.9f, 0.9f, 0.9f, 1.0f};
    m.shininess = 40.0f;

    cQuadBuilder mesh;
    mesh.begin_material(m);
    const double lift = opened ? (30.0 + 6.0 * i) * PI / 180.0 : 0.0;
    const double twist = opened ? (i % 2 ? -1.0 : 1.0) * 22.0 * PI / 180.0 : 0.0;
    const double height = opened ? 0.06 + 0.075 * i : 0.012 + 0.014 * i;
    const double push = opened ? 1.0 + 0.05 * i : 1.0;
    for (const sFace& f : FACES) {
        for (int p = 0; p < l.petals; ++p) {
            const double phi = 2.0 * PI * (p + 0.5 * (i % 2)) / l.petals + twist;
            const tVec3 radial = add(scale(f.a, std::cos(phi)), scale(f.b, std::sin(phi)));
            const tVec3 side = cross(f.n, radial);
            // Petal frame: x along `radial`, y along `side`, z along the face normal; opening
            // turns the petal about `side` so that its tip rises.
            const tVec3 ex = rotate(radial, side, -lift);
            const tVec3 ez = rotate(f.n, side, -lift);
            const tVec3 base = add(scale(f.n, 1.0 + height), scale(radial, l.ring * push));
            for (bool top : {true, false}) {
                const uint32_t first = uint32_t(mesh.vertex_count());
                for (int r = 0; r <= ALONG; ++r) {
                    const double s = double(r) / ALONG;
                    for (int c = 0; c <= ACROSS; ++c) {
                        const double w = -1.0 + 2.0 * c / ACROSS;
                        const tVec3 q = petal_point(l, s, w, top);
                        const tVec3 qn = petal_normal(l, s, w, top);
                        const tVec3 pos = add(
                            base, add(add(scale(ex, q[0]), scale(side, q[1])), scale(ez, q[2])));
                        const tVec3 nrm =
                            add(add(scale(ex, qn[0]), scale(side, qn[1])), scale(ez, qn[2]));
                        mesh.vertex(pos, nrm, 0.5 + 0.5 * w, s);
                    }
                }
                for (int r = 0; r < ALONG; ++r) {
                    for (int c = 0; c < ACROSS; ++c) {
                        const uint32_t a = first + uint32_t(r * (ACROSS + 1) + c);
                        const uint32_t b = a + ACROSS + 1;
                        if (top) {
                            mesh.triangle(a, a + 1, b + 1);
                            mesh.triangle(a, b + 1, b);
                        } else {
                            mesh.triangle(a, b + 1, a + 1);
                            mesh.triangle(a, b, b + 1);
                        }
                    }
                }
            }
        }
    }
    return mesh.save(path);
}

// The six faces of the cube from -1 to 1, each a grid so the lighting varies across it.
bool write_cube_faces(const std::string& path)
{
    constexpr int N = 8;
    sMaterialSpec m;
    m.name = "cube_face";
    m.diffuse_map = "cube_face_gray.png";
    m.ambient = {float(INDIGO[0] * 3), float(INDIGO[1] * 3), float(INDIGO[2] * 3), 1.0f};
    m.specular = {0.5f, 0.5f, 0.6f, 1.0f};
    m.shininess = 24.0f;
    cQuadBuilder mesh;
    mesh.begin_material(m);
    for (const sFace& f : FACES) {
        const uint32_t first = uint32_t(mesh.vertex_count());
        for (int i = 0; i <= N; ++i) {
            for (int j = 0; j <= N; ++j) {
                const double u = double(i) / N, v = double(j) / N;
                const tVec3 p = add(f.n, add(scale(f.a, 2 * u - 1), scale(f.b, 2 * v - 1)));
                mesh.vertex(p, f.n, u, v);
            }
        }
        for (int i = 0; i < N; ++i) {
            for (int j = 0; j < N; ++j) {
                const uint32_t a = first + uint32_t(i * (N + 1) + j);
                const uint32_t b = a + N + 1;
                mesh.triangle(a, b, b + 1);
                mesh.triangle(a, b + 1, a + 1);
            }
        }
    }
    return mesh.save(path);
}

// Grey ornament for the cube faces: a frame, concentric rings and a star of rays.
bool write_face_picture(const std::string& path)
{
    constexpr int S = 256;
    assets::sImage img(S, S);
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const double u = (x + 0.5) / S * 2 - 1, v = (y + 0.5) / S * 2 - 1;
            const double r = std::hypot(u, v), a = std::atan2(v, u);
            const double w = 1.5 / S;
            double g = 0.22;
            g += 0.5 * line(std::max(std::fabs(u), std::fabs(v)) - 0.93, 0.012, w);
            g += 0.35 * line(std::max(std::fabs(u), std::fabs(v)) - 0.86, 0.005, w);
            for (double ring : {0.25, 0.5, 0.75})
                g += 0.3 * line(r - ring, 0.006, w);
            g += 0.18 * line(std::sin(8.0 * a) * r, 0.01, w) * (r < 0.8);
            g += 0.12 * std::pow(0.5 + 0.5 * std::cos(24.0 * a), 8.0) * smoothstep(0.9, 0.3, r);
            const float c = float(clamp01(g));
            img.set(x, y, c, c, c, 1.0f);
        }
    }
    return assets::write_image(path, img);
}

// Grey petal skin: a bright midrib, veins fanning out, a lighter rim.
bool write_petal_picture(const std::string& path)
{
    constexpr int S = 128;
    assets::sImage img(S, S);
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const double u = (x + 0.5) / S * 2 - 1, v = (y + 0.5) / S;
            const double w = 2.0 / S;
            double g = 0.45 + 0.25 * v;
            g += 0.45 * line(u, 0.03, w);
            g += 0.2 * line(std::fmod(std::fabs(u) * 3.0 + (1.0 - v) * 2.0, 1.0) - 0.5, 0.04, w);
            g += 0.25 * smoothstep(0.75, 1.0, std::fabs(u));
            const float c = float(clamp01(g));
            img.set(x, y, c, c, c, 1.0f);
        }
    }
    return assets::write_image(path, img);
}

} // namespace

bool write_cube_content(const std::string& data_dir)
{
    const std::string folder = data_dir + "/models/mandala_cube/";
    if (!write_cube_faces(folder + "layer01_cubeface.bzobj"))
        return false;
    for (int k = FIRST_LAYER; k <= LAST_LAYER; ++k) {
        char in_name[32], out_name[32];
        std::snprintf(in_name, sizeof(in_name), "layer%02d_in.bzobj", k);
        std::snprintf(out_name, sizeof(out_name), "layer%02d_out.bzobj", k);
        if (!write_layer(folder + in_name, k, false) || !write_layer(folder + out_name, k, true))
            return false;
    }
    return write_face_picture(folder + "tex_gray/cube_face_gray.png") &&
           write_petal_picture(folder + "tex_gray/petal_gray.png");
}

} // namespace content
