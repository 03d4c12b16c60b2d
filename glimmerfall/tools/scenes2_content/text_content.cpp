// Title and greetings meshes and pictures (see text_content.h).
#include "text_content.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "block_font.h"
#include "image_writer.h"
#include "mesh_builder.h"
#include "picture_tools.h"

namespace content {

namespace {

// A flat strip facing +z from radius r0 to r1 over the angles a0..a1: u runs across the
// strip (0 at a0, 1 at a1), v along the radius from v0 to v1.
void add_sector(cQuadBuilder& mesh, double r0, double r1, double a0, double a1, int steps,
                double v0, double v1, double z)
{
    const uint32_t first = uint32_t(mesh.vertex_count());
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double a = a0 + (a1 - a0) * t;
        const double c = std::cos(a), s = std::sin(a);
        mesh.vertex({r0 * c, r0 * s, z}, {0, 0, 1}, t, v0);
        mesh.vertex({r1 * c, r1 * s, z}, {0, 0, 1}, t, v1);
    }
    for (int i = 0; i < steps; ++i) {
        const uint32_t a = first + uint32_t(2 * i);
        mesh.triangle(a, a + 1, a + 3);
        mesh.triangle(a, a + 3, a + 2);
    }
}

// The title's backdrop: 72 rays of two lengths around a gap for the logo, and three rings.
bool write_intro_bg(const std::string& path)
{
    sMaterialSpec m;
    m.name = "intro_rays";
    m.diffuse_map = "intro_rays.png";
    cQuadBuilder mesh;
    mesh.begin_material(m);
    constexpr int RAYS = 72;
    for (int i = 0; i < RAYS; ++i) {
        const double centre = 2.0 * PI * i / RAYS;
        const double half = (i % 2 ? 0.55 : 0.85) * PI / RAYS;
        const double outer = i % 2 ? 4.2 : 6.0;
        add_sector(mesh, 1.1, outer, centre - half, centre + half, 1, 0.0, 1.0, 0.0);
    }
    // Rings: the strip's width runs across the picture's bright core (u), at its inner end.
    for (double r : {1.0, 1.6, 2.6}) {
        constexpr int STEPS = 128;
        const double w = r == 1.6 ? 0.05 : 0.03;
        const uint32_t first = uint32_t(mesh.vertex_count());
        for (int i = 0; i <= STEPS; ++i) {
            const double a = 2.0 * PI * i / STEPS;
            const double c = std::cos(a), s = std::sin(a);
            mesh.vertex({(r - w) * c, (r - w) * s, -0.01}, {0, 0, 1}, 0.0, 0.05);
            mesh.vertex({(r + w) * c, (r + w) * s, -0.01}, {0, 0, 1}, 1.0, 0.05);
        }
        for (int i = 0; i < STEPS; ++i) {
            const uint32_t a = first + uint32_t(2 * i);
            mesh.triangle(a, a + 1, a + 3);
            mesh.triangle(a, a + 3, a + 2);
        }
    }
    return mesh.save(path);
}

// The greetings' backdrop: rings of arc segments receding along -z, a tunnel to fly through.
bool write_greetings_bg(const std::string& path)
{
    sMaterialSpec m;
    m.name = "greets_ring";
    m.diffuse_map = "greets_ring.png";
    cQuadBuilder mesh;
    mesh.begin_material(m);
    constexpr int RINGS = 14;
    for (int ring = 0; ring < RINGS; ++ring) {
        const double z = -2.0 - 3.0 * ring;
        const int arcs = 3 + ring % 4;
        const double gap = 0.25 * 2.0 * PI / arcs;
        const double offset = 0.7 * ring;
        for (int a = 0; a < arcs; ++a) {
            const double a0 = offset + 2.0 * PI * a / arcs;
            const double a1 = a0 + 2.0 * PI / arcs - gap;
            add_sector(mesh, 2.3, 2.5 + 0.1 * (ring % 3), a0, a1, 24, 0.0, 1.0, z);
        }
    }
    return mesh.save(path);
}

sMaterialSpec text_material(const std::string& name, const std::string& map)
{
    sMaterialSpec m;
    m.name = name;
    m.diffuse_map = map;
    m.ambient = {0.35f, 0.35f, 0.35f, 1.0f};
    m.specular = {0.8f, 0.8f, 0.8f, 1.0f};
    m.shininess = 40.0f;
    return m;
}

// A ray: a bright soft core across u, fading out along v.
bool write_rays_picture(const std::string& path)
{
    constexpr int W = 64, H = 256;
    assets::sImage img(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double u = (x + 0.5) / W * 2 - 1, v = (y + 0.5) / H;
            const double core = std::exp(-u * u * 3.0) * (1.0 - smoothstep(0.05, 1.0, v));
            const double a = clamp01(core * (0.8 + 0.2 * std::cos(v * 40.0)));
            img.set(x, y, 1.0f, 1.0f, 1.0f, float(a));
        }
    }
    return assets::write_image(path, img);
}

// A text picture: the faces' colours on the left part (u across the text, v up the letters),
// the side walls' colour on the right part (v over the depth: bright rims at front and back).
bool write_text_atlas(const std::string& path, const std::function<tColour(double, double)>& face,
                      const tColour& rim)
{
    constexpr int W = 512, H = 64;
    assets::sImage img(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double u = (x + 0.5) / W, v = (y + 0.5) / H;
            tColour c;
            if (u < 0.5) {
                const double across = clamp01((u - TEXT_FACE_U0) / (TEXT_FACE_U1 - TEXT_FACE_U0));
                c = scaled(face(across, v), 0.82 + 0.18 * std::cos(v * H * PI / 2.0));
            } else {
                const double edge =
                    std::max(line(v - 0.06, 0.05, 0.03), line(v - 0.94, 0.05, 0.03));
                c = mix(scaled(INDIGO, 2.5), rim, edge);
            }
            img.set(x, y, float(c[0]), float(c[1]), float(c[2]), 1.0f);
        }
    }
    return assets::write_image(path, img);
}

// The logo: magenta through gold to cyan across the name, a white sheen along the top.
tColour logo_face(double u, double v)
{
    const tColour c = u < 0.5 ? mix(MAGENTA, GOLD, u * 2) : mix(GOLD, CYAN, u * 2 - 1);
    return mix(c, WHITE, 0.45 * smoothstep(0.55, 1.0, v));
}

// The greetings: cyan and violet below to white above.
tColour greet_face(double u, double v)
{
    return mix(mix(CYAN, MAGENTA, 0.2 + 0.2 * u), WHITE, smoothstep(0.2, 1.0, v));
}

// A ring segment: bright rims, a dashed middle, soft alpha at the ends.
bool write_ring_picture(const std::string& path)
{
    constexpr int W = 256, H = 32;
    assets::sImage img(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double u = (x + 0.5) / W, v = (y + 0.5) / H;
            double a = 0.25;
            a = std::max(a, line(v - 0.1, 0.07, 0.05));
            a = std::max(a, line(v - 0.9, 0.07, 0.05));
            a = std::max(a, 0.8 * line(v - 0.5, 0.08, 0.05) *
                                (std::fmod(u * 24.0, 1.0) < 0.6 ? 1.0 : 0.0));
            a *= smoothstep(0.0, 0.04, u) * smoothstep(1.0, 0.96, u);
            img.set(x, y, 1.0f, 1.0f, 1.0f, float(a));
        }
    }
    return assets::write_image(path, img);
}

} // namespace

const std::vector<std::string>& greeted_groups()
{
    static const std::vector<std::string> groups = {
        "Nebula Foundry", "Quartz Lotus", "Helix Orchard", "Velvet Arcana", "Moth Signal",
        "Saffron Loop",   "Tidal Glyph",  "Ember Choir",   "Obsidian Kite", "Prism Weavers",
    };
    return groups;
}

bool write_text_content(const std::string& data_dir)
{
    const std::string models = data_dir + "/models/";
    const std::string textures = data_dir + "/textures/";

    cQuadBuilder logo;
    build_text(logo, "Glimmerfall", 0.1, 0.18, text_material("logo", "intro_logo_atlas.png"));
    if (!logo.save(models + "intro_logo.bzobj") || !write_intro_bg(models + "intro_bg.bzobj") ||
        !write_greetings_bg(models + "greetings_bg_03.bzobj"))
        return false;

    const auto& groups = greeted_groups();
    for (size_t i = 0; i < groups.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "greet_%02d.bzobj", int(i + 1));
        cQuadBuilder text;
        build_text(text, groups[i], 0.1, 0.12, text_material("greet", "greet_atlas.png"));
        if (!text.save(models + name))
            return false;
    }
    return write_rays_picture(textures + "intro_rays.png") &&
           write_text_atlas(textures + "intro_logo_atlas.png", logo_face, GOLD) &&
           write_text_atlas(textures + "greet_atlas.png", greet_face, CYAN) &&
           write_ring_picture(textures + "greets_ring.png");
}

} // namespace content
