// Mandala planes, circle and pictures (see mandala_content.h).
#include "mandala_content.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "image_writer.h"
#include "mesh_builder.h"
#include "picture_tools.h"

namespace content {

namespace {

constexpr int SLICE_W = 512;
constexpr int BAND_H = 128;
constexpr int BANDS = 4;

// One ring plane in the x-y plane facing +z: `sectors` wedges between the radii, each wedge
// two mirrored halves whose texture runs u 0 (wedge border) to 1 (wedge middle) and v over the
// band of the slice picture.
bool write_plane(const std::string& path, int sectors, double r_in, double r_out, int band)
{
    constexpr int STEPS_A = 4; // across a half wedge
    constexpr int STEPS_R = 6; // along the radius
    cQuadBuilder mesh;
    const double half = PI / sectors;
    for (int w = 0; w < 2 * sectors; ++w) {
        const bool mirrored = (w % 2) == 1;
        const uint32_t first = uint32_t(mesh.vertex_count());
        for (int i = 0; i <= STEPS_A; ++i) {
            const double s = double(i) / STEPS_A;
            const double angle = (w + s) * half;
            const double u = mirrored ? 1.0 - s : s;
            for (int j = 0; j <= STEPS_R; ++j) {
                const double t = double(j) / STEPS_R;
                const double r = r_in + (r_out - r_in) * t;
                const double v = (band + 0.02 + 0.96 * t) / BANDS;
                mesh.vertex({r * std::cos(angle), r * std::sin(angle), 0.0}, {0, 0, 1}, u, v);
            }
        }
        for (int i = 0; i < STEPS_A; ++i) {
            for (int j = 0; j < STEPS_R; ++j) {
                const uint32_t a = first + uint32_t(i * (STEPS_R + 1) + j);
                const uint32_t b = a + STEPS_R + 1;
                // Counter-clockwise seen from +z: outward along the radius, then around.
                mesh.triangle(a, a + 1, b + 1);
                mesh.triangle(a, b + 1, b);
            }
        }
    }
    return mesh.save(path);
}

// A wide flat ring facing +z; u runs `repeats` times around it, v across its width.
bool write_circle(const std::string& path, double r_in, double r_out, int segments, int repeats)
{
    cQuadBuilder mesh;
    for (int i = 0; i <= segments; ++i) {
        const double a = 2.0 * PI * i / segments;
        const double u = double(repeats) * i / segments;
        mesh.vertex({r_in * std::cos(a), r_in * std::sin(a), 0}, {0, 0, 1}, u, 0.0);
        mesh.vertex({r_out * std::cos(a), r_out * std::sin(a), 0}, {0, 0, 1}, u, 1.0);
    }
    for (int i = 0; i < segments; ++i) {
        const uint32_t a = uint32_t(2 * i);
        mesh.triangle(a, a + 1, a + 3);
        mesh.triangle(a, a + 3, a + 2);
    }
    return mesh.save(path);
}

struct sTexel
{
    tColour colour{0, 0, 0};
    double alpha = 0;
    // Lays colour c with coverage a over what is there.
    void over(const tColour& c, double a)
    {
        a = clamp01(a);
        colour = mix(colour, c, a);
        alpha = alpha + a * (1.0 - alpha);
    }
};

// Width of a half wedge over the depth of its ring, as the planes lay the bands out (at the
// middle radius): round shapes in the picture are drawn squeezed by it so they come out round.
const double BAND_ASPECT[BANDS] = {0.23, 0.37, 0.39, 0.29};
double g_aspect = 1.0; // of the band being painted

// Distance, in pixels of the band's depth, from (s, t) to (s0, t0) as it shows on the plane.
double pixel_distance(double s, double t, double s0, double t0)
{
    const double dx = (s - s0) * g_aspect * BAND_H, dy = (t - t0) * BAND_H;
    return std::sqrt(dx * dx + dy * dy);
}

// Band 0, innermost: nested petals pointing outwards with dots along their midribs, small
// drops between them.
sTexel petals(double s, double t)
{
    const double ws = 1.5 / SLICE_W, wt = 1.5 / BAND_H;
    sTexel out;
    const double across = 1.0 - s;
    const double profile = std::pow(std::sin(PI * t), 0.7);
    const double outer = across - 0.85 * profile;
    const double inner = across - 0.45 * std::pow(std::sin(PI * t), 1.2);
    const tColour base = mix(GOLD, MAGENTA, t);
    out.over(scaled(base, 0.55), 0.5 * fill(outer, ws * 2));
    for (double k : {0.7, 0.56})
        out.over(mix(base, WHITE, 0.2), 0.7 * line(across - k * profile, 0.006, ws * 1.5));
    out.over(mix(base, WHITE, 0.35), 0.9 * fill(inner, ws * 2));
    out.over(mix(GOLD, WHITE, 0.5), line(outer, 0.012, ws * 2));
    out.over(WHITE, 0.8 * line(across, 0.01, ws) * fill(inner, ws));
    for (double d : {0.25, 0.45, 0.65})
        out.over(CYAN, fill(pixel_distance(s, t, 1.0, d) - 4.0, 1.2));
    out.over(CYAN, fill(pixel_distance(s, t, 0.0, 0.78) - 11.0, 1.5));
    out.over(mix(MAGENTA, WHITE, 0.4), fill(pixel_distance(s, t, 0.0, 0.78) - 5.0, 1.5));
    const double drop = pixel_distance(s * 1.6, t, 0.0, 0.35) - 14.0 * (1.0 - (t - 0.35) * 2.0);
    out.over(scaled(ACID, 0.9), 0.8 * fill(drop, 1.5));
    out.over(CYAN, 0.7 * line(t - 0.04, 0.012, wt));
    return out;
}

// Band 1: a bead chain on a zigzag between two dotted arcs.
sTexel beads(double s, double t)
{
    const double wt = 1.5 / BAND_H;
    sTexel out;
    out.over(scaled(mix(INDIGO, MAGENTA, 0.4), 0.8), 0.3 * fill(std::fabs(t - 0.5) - 0.36, wt));
    out.over(CYAN, line(t - 0.12, 0.016, wt));
    out.over(CYAN, line(t - 0.88, 0.016, wt));
    for (double a : {0.04, 0.96})
        out.over(mix(CYAN, WHITE, 0.4), 0.8 * line(t - a, 0.006, wt));
    // Dots riding on the arcs.
    const double cell = std::fmod(s * 3.0, 1.0) / 3.0;
    for (double a : {0.12, 0.88})
        out.over(WHITE, fill(pixel_distance(cell, t, 1.0 / 6.0, a) - 4.5, 1.2));
    // The zigzag from the wedge border (low) to the middle (high) and mirrored.
    out.over(scaled(GOLD, 0.9), line(t - (0.22 + 0.56 * s), 0.012, wt * 1.5));
    out.over(scaled(GOLD, 0.9), line(t - (0.78 - 0.56 * s), 0.012, wt * 1.5));
    const double r = pixel_distance(s, t, 1.0, 0.5);
    out.over(MAGENTA, fill(r - 26.0, 1.5));
    out.over(mix(MAGENTA, WHITE, 0.6), fill(r - 12.0, 1.5));
    out.over(mix(CYAN, WHITE, 0.3), line(r - 38.0, 3.0, 1.5));
    out.over(mix(CYAN, WHITE, 0.3), 0.6 * line(r - 47.0, 1.2, 1.2));
    out.over(GOLD, fill(pixel_distance(s, t, 0.42, 0.5) - 13.0, 1.5));
    out.over(WHITE, fill(pixel_distance(s, t, 0.42, 0.5) - 5.0, 1.2));
    out.over(ACID, fill(pixel_distance(s, t, 0.0, 0.5) - 9.0, 1.5));
    return out;
}

// Band 2: scalloped arches peaking in the wedge middle, hatched inside, jewels on top.
sTexel scallops(double s, double t)
{
    const double ws = 1.5 / SLICE_W, wt = 1.5 / BAND_H;
    sTexel out;
    const double arch = 0.18 + 0.62 * std::sqrt(std::max(0.0, 1.0 - (1.0 - s) * (1.0 - s)));
    const double inner = arch - 0.16;
    const double hatch = line(std::fmod(s * 14.0, 1.0) - 0.5, 0.05, 0.04);
    out.over(scaled(mix(ACID, GOLD, t), 0.7), 0.5 * fill(t - inner, wt * 2) * (t > 0.05));
    out.over(scaled(mix(ACID, CYAN, t), 0.9), 0.6 * hatch * fill(t - inner, wt) * (t > 0.08));
    out.over(ACID, line(t - arch, 0.03, wt * 1.5));
    out.over(mix(ACID, WHITE, 0.5), 0.7 * line(t - arch - 0.07, 0.008, wt * 1.5));
    out.over(mix(GOLD, WHITE, 0.3), line(t - inner, 0.014, wt * 1.5));
    out.over(mix(GOLD, WHITE, 0.3), 0.6 * line(t - inner + 0.08, 0.007, wt * 1.5));
    out.over(MAGENTA, fill(pixel_distance(s, t, 1.0, 0.92) - 10.0, 1.5));
    out.over(WHITE, fill(pixel_distance(s, t, 1.0, 0.92) - 4.0, 1.2));
    out.over(CYAN, fill(pixel_distance(s, t, 0.0, 0.3) - 7.0, 1.5));
    out.over(GOLD, 0.8 * line(t - 0.04, 0.015, wt));
    out.over(CYAN, 0.5 * line(s - 0.0, 0.004, ws) * (t < 0.3));
    return out;
}

// Band 3, outermost: flame spikes with an inner flame, jewels at the tips, thin rays on the
// wedge borders.
sTexel spikes(double s, double t)
{
    const double ws = 1.5 / SLICE_W, wt = 1.5 / BAND_H;
    sTexel out;
    const double spike = (1.0 - s) - 0.9 * std::pow(1.0 - t, 1.3);
    const double flame = (1.0 - s) - 0.5 * std::pow(1.0 - t, 1.8) * (t < 0.75);
    const double small = s - 0.35 * std::pow(1.0 - t, 2.0);
    out.over(scaled(mix(MAGENTA, CYAN, t * 0.5), 0.9), 0.85 * fill(small, ws * 2) * (t < 0.7));
    out.over(mix(MAGENTA, mix(MAGENTA, WHITE, 0.7), t), (0.3 + 0.45 * t) * fill(spike, ws * 2));
    out.over(mix(GOLD, WHITE, 0.4), 0.9 * fill(flame, ws * 2));
    out.over(WHITE, line(spike, 0.01, ws * 2));
    out.over(CYAN, (1.0 - t) * line(s, 0.008, ws));
    out.over(WHITE, fill(pixel_distance(s, t, 1.0, 0.93) - 5.0, 1.2));
    out.over(mix(CYAN, WHITE, 0.3), 0.6 * line(t - 0.12, 0.008, wt) * (spike > 0.0));
    return out;
}

bool write_slices(const std::string& path)
{
    const std::function<sTexel(double, double)> bands[BANDS] = {petals, beads, scallops, spikes};
    assets::sImage img(SLICE_W, BAND_H * BANDS);
    for (int b = 0; b < BANDS; ++b) {
        g_aspect = BAND_ASPECT[b];
        for (int y = 0; y < BAND_H; ++y) {
            for (int x = 0; x < SLICE_W; ++x) {
                const sTexel texel = bands[b]((x + 0.5) / SLICE_W, (y + 0.5) / BAND_H);
                img.set(x, b * BAND_H + y, float(texel.colour[0]), float(texel.colour[1]),
                        float(texel.colour[2]), float(texel.alpha));
            }
        }
    }
    return assets::write_image(path, img);
}

// A string of beads along u on black: one large bead in the middle, half beads at the ends
// (whole ones once the picture repeats).
bool write_string(const std::string& path)
{
    constexpr int W = 256, H = 64;
    assets::sImage img(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double px = x + 0.5, py = y + 0.5 - H / 2.0;
            sTexel t;
            t.over(scaled(GOLD, 0.8), line(py, 1.5, 1.0));
            const double big = std::sqrt((px - W / 2.0) * (px - W / 2.0) + py * py);
            t.over(mix(GOLD, WHITE, 0.2), fill(big - 22.0, 1.5));
            t.over(WHITE, 0.9 * fill(std::hypot(px - W / 2.0 + 7.0, py - 7.0) - 6.0, 2.0));
            const double edge = std::min(px, W - px);
            t.over(scaled(MAGENTA, 0.9), fill(std::sqrt(edge * edge + py * py) - 10.0, 1.5));
            const tColour c = scaled(t.colour, t.alpha);
            img.set(x, y, float(c[0]), float(c[1]), float(c[2]), 1.0f);
        }
    }
    return assets::write_image(path, img);
}

// A lookup picture: 256 columns, one per input level; each channel's curve is a power.
bool write_lookup(const std::string& path, const std::array<double, 3>& gamma,
                  const std::array<double, 3>& gain)
{
    constexpr int W = 256, H = 16;
    assets::sImage img(W, H);
    for (int x = 0; x < W; ++x) {
        const double level = x / 255.0;
        float c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = float(clamp01(gain[size_t(i)] * std::pow(level, gamma[size_t(i)])));
        for (int y = 0; y < H; ++y)
            img.set(x, y, c[0], c[1], c[2], 1.0f);
    }
    return assets::write_image(path, img);
}

} // namespace

bool write_mandala_content(const std::string& data_dir)
{
    const std::string models = data_dir + "/models/";
    const std::string textures = data_dir + "/textures/";
    struct sPlane
    {
        int sectors;
        double r_in, r_out;
    };
    const sPlane planes[4] = {{8, 0.04, 0.55}, {12, 0.45, 0.95}, {16, 0.85, 1.42}, {24, 1.3, 2.05}};
    for (int k = 0; k < 4; ++k) {
        char name[64];
        std::snprintf(name, sizeof(name), "mandala_plane%02d.bzobj", k + 1);
        if (!write_plane(models + name, planes[k].sectors, planes[k].r_in, planes[k].r_out, k))
            return false;
    }
    return write_circle(models + "mandala_circle_wide.bzobj", 2.12, 2.42, 192, 36) &&
           write_slices(textures + "Mandala_slices.png") &&
           write_string(textures + "mandala_string.jpg") &&
           write_lookup(textures + "Mandala_slices_color_correction_bluegreen.png", {1.9, 0.9, 0.6},
                        {0.7, 1.0, 1.0}) &&
           write_lookup(textures + "Mandala_slices_color_correction_greenblue.png",
                        {1.7, 0.6, 0.85}, {0.7, 1.0, 0.95}) &&
           write_lookup(textures + "Mandala_slices_color_correction_redyellow.png",
                        {0.5, 0.85, 2.6}, {1.0, 0.92, 0.45});
}

} // namespace content
