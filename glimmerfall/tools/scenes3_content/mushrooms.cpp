// The mushroom models and their atlas (see mushrooms.h).
#include "mushrooms.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace content {

namespace {

constexpr double kInset = 2.0 / 256.0; // keeps mipmaps of one region out of the next

} // namespace

const double kCapA[4] = {0.0 + kInset, 0.5 + kInset, 0.5 - kInset, 1.0 - kInset};
const double kCapB[4] = {0.5 + kInset, 0.5 + kInset, 1.0 - kInset, 1.0 - kInset};
const double kStem[4] = {0.0 + kInset, 0.0 + kInset, 0.5 - kInset, 0.5 - kInset};
const double kVeins[4] = {0.5 + kInset, 0.0 + kInset, 1.0 - kInset, 0.5 - kInset};

namespace {

// Cap A: the underside (gills) runs out from the stem to the rim, then the dome rises to the
// centre. s = 0 at the stem, 1 at the top.
void cap_a_profile(double s, double& r, double& y)
{
    const double R = 1.0;
    if (s < 0.45) {
        const double t = s / 0.45;
        r = 0.14 + (0.97 * R - 0.14) * t;
        y = 1.48 - 0.18 * t * t;
    } else if (s < 0.55) {
        const double t = (s - 0.45) / 0.1;
        r = R * (0.97 + 0.03 * std::sin(t * PI));
        y = 1.30 + 0.12 * t;
    } else {
        const double a = (s - 0.55) / 0.45 * PI / 2;
        r = R * 0.97 * std::cos(a);
        y = 1.42 + 0.62 * std::sin(a);
    }
}

// Cap B: a bell with a pointed tip over a slightly turned-in edge.
void cap_b_profile(double s, double& r, double& y)
{
    if (s < 0.25) {
        const double t = s / 0.25;
        r = 0.08 + 0.44 * t;
        y = 2.2 - 0.3 * t;
    } else {
        const double t = (s - 0.25) / 0.75;
        const double c = std::cos(t * PI / 2);
        r = 0.52 * std::pow(std::max(c, 0.0), 0.6);
        y = 1.9 + 1.05 * std::sin(t * PI / 2);
    }
}

} // namespace

void add_mushroom_a(cShapeBuilder& b, int detail, const double* cap_uv)
{
    const int around = 8 * detail, along = 6 * detail;
    b.tube([](double s) { return vec(0.06 * std::sin(s * 3.0), -0.3 + 1.85 * s, 0.0); },
           [](double s) {
               return 0.13 + 0.07 * (1 - s) + 0.08 * std::exp(-std::pow((s - 0.12) / 0.1, 2));
           },
           std::max(6, around / 2), std::max(3, along / 2), kStem);
    b.push(sXform::translate(vec(0.06 * std::sin(3.0), 0, 0)));
    b.revolve(around, along * 2, cap_a_profile, false, cap_uv);
    b.pop();
}

void add_mushroom_b(cShapeBuilder& b, int detail)
{
    const int around = 8 * detail, along = 6 * detail;
    b.tube([](double s) { return vec(0.25 * s * s, -0.3 + 2.55 * s, 0.04 * std::sin(s * 5)); },
           [](double s) { return 0.07 + 0.03 * (1 - s); }, std::max(6, around / 2),
           std::max(4, along), kStem);
    b.push(sXform::translate(vec(0.25, 0, 0.04 * std::sin(5.0))));
    b.revolve(around, along * 2, cap_b_profile, false, kCapB);
    b.pop();
}

void add_volume_a(cShapeBuilder& b)
{
    b.push(sXform::translate(vec(0.06 * std::sin(3.0), 1.55, 0)));
    b.ellipsoid(vec(1.4, 0.8, 1.4), 32, 16, kVeins);
    b.pop();
}

void add_volume_b(cShapeBuilder& b)
{
    b.push(sXform::translate(vec(0.25, 2.4, 0.04 * std::sin(5.0))));
    b.ellipsoid(vec(0.8, 0.95, 0.8), 24, 16, kVeins);
    b.pop();
}

void add_low_clump(cShapeBuilder& b, double seed)
{
    for (int k = 0; k < 3; ++k) {
        const double a = seed * 2.1 + k * 2.3;
        const double scale = 0.45 + 0.2 * std::fabs(std::sin(seed * 3.7 + k));
        b.push(sXform::translate(vec(0.5 * std::cos(a) * (k > 0), 0, 0.5 * std::sin(a) * (k > 0))) *
               sXform::rotate(12.0 * std::sin(a * 1.3), vec(std::cos(a), 0, std::sin(a))) *
               sXform::scale(scale));
        // Umbrella caps only: tall stems would stick out of the walls.
        add_mushroom_a(b, 1, (k + int(seed * 10)) % 2 ? kCapA : kCapB);
        b.pop();
    }
}

void add_tiny(cShapeBuilder& b, double cap_tilt)
{
    // The small caps show only the upper part of the cap patterns.
    const double* cap = cap_tilt > 0 ? kCapA : kCapB;
    const double top[4] = {cap[0], cap[1] + (cap[3] - cap[1]) * 0.6, cap[2], cap[3]};
    b.tube([](double s) { return vec(0, -0.05 + 0.25 * s, 0); }, [](double s) { return 0.025; }, 5,
           1, kStem);
    b.push(sXform::translate(vec(0, 0.18, 0)) * sXform::rotate(cap_tilt, vec(1, 0, 0)) *
           sXform::scale(0.1, 0.08, 0.1));
    b.revolve(
        6, 2,
        [](double s, double& r, double& y) {
            const double a = s * PI / 2;
            r = std::cos(a);
            y = std::sin(a);
        },
        false, top);
    b.pop();
}

void add_spore_pod(cShapeBuilder& b)
{
    b.ellipsoid(vec(0.09, 0.12, 0.09), 12, 8, kVeins);
    const vec dirs[6] = {{1, 0.3, 0},  {-1, 0.3, 0}, {0, 1, 0},
                         {0, -1, 0.2}, {0.2, 0, 1},  {0, 0.3, -1}};
    for (const vec& d : dirs) {
        const vec u = d.normalized();
        b.tube([u](double s) { return u * (0.06 + 0.12 * s); },
               [](double s) { return 0.025 * (1 - s); }, 5, 2, kVeins);
    }
}

assets::sImage mushroom_skin(int size)
{
    assets::sImage img(size, size);
    const int half = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Local coordinates inside the region, 0..1.
            const double u = double(x % half) / half, v = double(y % half) / half;
            const bool right = x >= half, top = y >= half;
            double r, g, bl, a = 1.0;
            if (top) {
                // Caps: v is the profile parameter (underside first), u runs around.
                const double gills = std::pow(0.5 + 0.5 * std::cos(u * 2 * PI * 40), 4.0);
                const double split = right ? 0.25 : 0.45;
                if (v < split) {
                    const double t = v / split;
                    if (!right) {
                        r = 0.30 + 0.6 * gills * t;
                        g = 0.04 + 0.2 * gills * t;
                        bl = 0.28 + 0.5 * gills * t;
                    } else {
                        r = 0.02 + 0.2 * gills * t;
                        g = 0.25 + 0.6 * gills * t;
                        bl = 0.30 + 0.55 * gills * t;
                    }
                } else {
                    const double t = (v - split) / (1 - split);
                    const double n = fbm2_tiled(u * 8, v * 8, 8, 8, 3, right ? 11u : 7u);
                    if (!right) {
                        // Deep magenta at the rim, hot pink, pale towards the top; round white
                        // spots on a grid that follows the dome's proportions.
                        const double rim = std::exp(-t * 30.0);
                        r = 0.75 + 0.25 * std::min(1.0, t * 3) + 0.1 * n;
                        g = 0.1 + 0.25 * t + 0.45 * t * t + 0.05 * n;
                        bl = 0.55 + 0.3 * t + 0.1 * n;
                        const double cu = u * 20, cv = t * 4;
                        const double fu = cu - std::floor(cu), fv = cv - std::floor(cv);
                        const double ju = 0.5 + 0.25 * noise2(std::floor(cu), std::floor(cv), 21u);
                        const double jv = 0.5 + 0.25 * noise2(std::floor(cu), std::floor(cv), 22u);
                        const double d = std::hypot(fu - ju, fv - jv);
                        const double spot =
                            t > 0.08 && t < 0.85 ? std::clamp((0.28 - d) * 20.0, 0.0, 1.0) : 0.0;
                        r += (1.0 - r) * (spot + rim);
                        g += (0.95 - g) * (spot + rim * 0.6);
                        bl += (1.0 - bl) * (spot + rim);
                    } else {
                        // Acid green and cyan spiral bands up to a white tip.
                        const double band = 0.5 + 0.5 * std::sin((u * 6 + t * 3) * 2 * PI);
                        r = 0.15 + 0.45 * band + 0.85 * std::pow(t, 6);
                        g = 0.85 + 0.15 * band;
                        bl = 0.95 - 0.7 * band + 0.05 * n + std::pow(t, 6);
                    }
                }
            } else if (!right) {
                // Stem fibres, darker at the foot.
                const double fibre = fbm2_tiled(u * 24, v * 3, 24, 3, 3, 3u);
                const double shade = 0.35 + 0.65 * std::sqrt(v);
                r = (0.70 + 0.15 * fibre) * shade;
                g = (0.62 + 0.15 * fibre) * shade;
                bl = (0.85 + 0.1 * fibre) * shade;
            } else {
                // Veins: ridges of tiled noise, bright and opaque on a faint ground.
                const double n = fbm2_tiled(u * 6, v * 6, 6, 6, 4, 17u);
                const double ridge = std::pow(1.0 - std::min(1.0, std::fabs(n) * 4.0), 3.0);
                const double base = 0.25;
                r = base + 0.75 * ridge;
                g = base * 0.8 + 0.72 * ridge;
                bl = base * 1.2 + 0.7 * ridge;
                a = 0.3 + 0.7 * ridge;
            }
            img.set(x, y, float(r), float(g), float(bl), float(a));
        }
    }
    return img;
}

} // namespace content
