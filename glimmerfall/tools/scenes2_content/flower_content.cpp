// Light flowers and the leaf picture (see flower_content.h).
#include "flower_content.h"

#include <cmath>
#include <functional>

#include "image_writer.h"
#include "mesh_builder.h"
#include "picture_tools.h"

namespace content {

namespace {

// Regions of leaf.png: the blade fills u 0..0.75; the strip at u 0.8..1 is stem grey below
// v 0.8 and white above v 0.85 (the flower's heart).
constexpr double STEM_U = 0.9, STEM_V = 0.4;
constexpr double HEART_U = 0.9, HEART_V = 0.93;
constexpr double BLADE_U = 0.75;

struct sFlower
{
    double height; // top of the stem
    int petals;
    double petal_length;
    double petal_width;
    double cup; // how far the petals rise before they open, radians from horizontal
    double dissolve;
};

tVec3 rotate_y(const tVec3& v, double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return {c * v[0] + s * v[2], v[1], -s * v[0] + c * v[2]};
}

// The stem's centre line: a gentle bow towards +x.
tVec3 stem_point(const sFlower& f, double t)
{
    return {0.06 * std::sin(PI * t) * f.height, t * f.height, 0.0};
}

void add_stem(cQuadBuilder& mesh, const sFlower& f)
{
    constexpr int SIDES = 6, RINGS = 8;
    const double radius = 0.018;
    const uint32_t first = uint32_t(mesh.vertex_count());
    for (int r = 0; r <= RINGS; ++r) {
        const double t = double(r) / RINGS;
        const tVec3 c = stem_point(f, t);
        const double taper = 1.0 - 0.4 * t;
        for (int s = 0; s <= SIDES; ++s) {
            const double a = 2.0 * PI * s / SIDES;
            const tVec3 n{std::cos(a), 0.0, std::sin(a)};
            mesh.vertex(add(c, scale(n, radius * taper)), n, STEM_U, STEM_V * t);
        }
    }
    for (int r = 0; r < RINGS; ++r) {
        for (int s = 0; s < SIDES; ++s) {
            const uint32_t a = first + uint32_t(r * (SIDES + 1) + s);
            const uint32_t b = a + SIDES + 1;
            mesh.triangle(a, b, b + 1);
            mesh.triangle(a, b + 1, a + 1);
        }
    }
}

// A blade (leaf or petal) from `base` along the curve given by `spine` (0..1 -> offset from
// the base) with half-width `width` times the blade profile, facing `up` at its base; both
// skins, the lower one a hair below the upper so that culling shows the right one.
void add_blade(cQuadBuilder& mesh, const tVec3& base, const std::function<tVec3(double)>& spine,
               const tVec3& across, double width)
{
    constexpr int ALONG = 5, ACROSS = 2;
    for (int skin = 0; skin < 2; ++skin) {
        const uint32_t first = uint32_t(mesh.vertex_count());
        for (int i = 0; i <= ALONG; ++i) {
            const double s = double(i) / ALONG;
            const tVec3 c = add(base, spine(s));
            const tVec3 tangent =
                normalized(sub(spine(std::min(1.0, s + 0.05)), spine(std::max(0.0, s - 0.05))));
            tVec3 n = normalized(cross(tangent, across));
            if (skin == 1)
                n = scale(n, -1.0);
            const double half = width * std::pow(std::sin(PI * std::clamp(s, 0.02, 0.98)), 0.6);
            for (int j = 0; j <= ACROSS; ++j) {
                const double w = -1.0 + 2.0 * j / ACROSS;
                const tVec3 p = add(add(c, scale(across, w * half)), scale(n, 0.002));
                const double u = BLADE_U * (0.5 + 0.5 * w);
                mesh.vertex(p, n, u, s);
            }
        }
        for (int i = 0; i < ALONG; ++i) {
            for (int j = 0; j < ACROSS; ++j) {
                const uint32_t a = first + uint32_t(i * (ACROSS + 1) + j);
                const uint32_t b = a + ACROSS + 1;
                if (skin == 0) {
                    mesh.triangle(a, b + 1, a + 1);
                    mesh.triangle(a, b, b + 1);
                } else {
                    mesh.triangle(a, a + 1, b + 1);
                    mesh.triangle(a, b + 1, b);
                }
            }
        }
    }
}

void add_heart(cQuadBuilder& mesh, const tVec3& centre, double radius)
{
    constexpr int RINGS = 4, SIDES = 8;
    const uint32_t first = uint32_t(mesh.vertex_count());
    for (int r = 0; r <= RINGS; ++r) {
        const double lat = -0.3 * PI + 0.8 * PI * r / RINGS;
        for (int s = 0; s <= SIDES; ++s) {
            const double a = 2.0 * PI * s / SIDES;
            const tVec3 n{std::cos(lat) * std::cos(a), std::sin(lat), std::cos(lat) * std::sin(a)};
            mesh.vertex(add(centre, scale(n, radius)), n, HEART_U, HEART_V);
        }
    }
    for (int r = 0; r < RINGS; ++r) {
        for (int s = 0; s < SIDES; ++s) {
            const uint32_t a = first + uint32_t(r * (SIDES + 1) + s);
            const uint32_t b = a + SIDES + 1;
            mesh.triangle(a, b, b + 1);
            mesh.triangle(a, b + 1, a + 1);
        }
    }
}

bool write_flower(const std::string& path, const sFlower& f)
{
    sMaterialSpec m;
    m.name = "lightflower";
    m.diffuse_map = "leaf.png";
    m.ambient = {0.6f, 0.6f, 0.6f, 1.0f};
    m.diffuse = {1.0f, 1.0f, 1.0f, float(f.dissolve)};
    m.specular = {0.6f, 0.6f, 0.6f, 1.0f};
    m.shininess = 30.0f;
    m.dissolve = float(f.dissolve);

    cQuadBuilder mesh;
    mesh.begin_material(m);
    add_stem(mesh, f);

    // Two leaves on opposite sides, arching out and down.
    for (int i = 0; i < 2; ++i) {
        const double t = 0.28 + 0.2 * i;
        const double dir = i == 0 ? 0.4 : 0.4 + PI;
        const tVec3 out = rotate_y({1, 0, 0}, dir);
        const tVec3 across = rotate_y({0, 0, 1}, dir);
        const double len = 0.32 * f.height;
        add_blade(
            mesh, stem_point(f, t),
            [&](double s) {
                return add(scale(out, len * s), {0.0, len * (0.55 * s - 0.6 * s * s), 0.0});
            },
            across, 0.07 * f.height);
    }

    // The cup: petals rise at `cup` and open out towards their tips.
    const tVec3 top = stem_point(f, 1.0);
    for (int p = 0; p < f.petals; ++p) {
        const double dir = 2.0 * PI * p / f.petals;
        const tVec3 out = rotate_y({1, 0, 0}, dir);
        const tVec3 across = rotate_y({0, 0, 1}, dir);
        const double len = f.petal_length;
        add_blade(
            mesh, top,
            [&](double s) {
                const double a = f.cup * (1.0 - 0.8 * s);
                const double r = len * s;
                return add(scale(out, r * std::cos(a) + 0.02),
                           {0.0, r * std::sin(a) + 0.25 * len * s * (1 - s), 0.0});
            },
            across, f.petal_width);
    }
    add_heart(mesh, add(top, {0.0, 0.02, 0.0}), 0.045);
    return mesh.save(path);
}

// The blade: a pointed leaf with a bright midrib and veins, soft-edged alpha; beside it the
// stem strip (grey) and the heart patch (white).
bool write_leaf_picture(const std::string& path)
{
    constexpr int S = 256;
    assets::sImage img(S, S);
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const double u = (x + 0.5) / S, v = (y + 0.5) / S;
            if (u > 0.78) {
                const double g = v > 0.85 ? 1.0 : (v < 0.8 ? 0.32 + 0.1 * v : 0.6);
                img.set(x, y, float(g), float(g), float(g), 1.0f);
                continue;
            }
            const double across = (u / BLADE_U) * 2.0 - 1.0;
            const double profile = std::pow(std::sin(PI * std::clamp(v, 0.0, 1.0)), 0.6);
            const double edge = std::fabs(across) - 0.96 * profile;
            const double alpha = fill(edge, 0.02);
            double g = 0.55 + 0.35 * v;
            g += 0.5 * line(across, 0.025, 0.01);
            const double vein = std::fmod(std::fabs(across) * 2.2 + (1.0 - v) * 3.0, 1.0);
            g += 0.22 * line(vein - 0.5, 0.035, 0.015) * (std::fabs(across) < 0.85 * profile);
            g += 0.3 * line(edge + 0.06, 0.03, 0.015);
            const float c = float(clamp01(g));
            img.set(x, y, c, c, c, float(alpha));
        }
    }
    return assets::write_image(path, img);
}

} // namespace

bool write_flower_content(const std::string& data_dir)
{
    const std::string models = data_dir + "/models/";
    return write_flower(models + "lightflower_alpha050.bzobj", {1.1, 5, 0.3, 0.07, 1.1, 0.5}) &&
           write_flower(models + "lightflower_alpha075.bzobj", {0.85, 7, 0.26, 0.06, 0.9, 0.75}) &&
           write_flower(models + "lightflower_alpha100.bzobj", {0.65, 9, 0.24, 0.055, 0.7, 1.0}) &&
           write_leaf_picture(data_dir + "/textures/leaf.png");
}

} // namespace content
