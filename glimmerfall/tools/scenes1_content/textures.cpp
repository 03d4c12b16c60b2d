// The scene pictures (see textures.h): all drawn procedurally, the same bytes on every build.
#include "textures.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

constexpr double PI = 3.14159265358979323846;

double smooth(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Hue 0..1 to a saturated colour.
void hue_rgb(double h, double rgb[3])
{
    for (int c = 0; c < 3; ++c) {
        const double k = std::fmod(h * 6.0 + 4.0 - 2.0 * c + 12.0, 6.0);
        rgb[c] = std::clamp(std::fabs(k - 3.0) - 1.0, 0.0, 1.0);
    }
    std::swap(rgb[0], rgb[2]); // red at hue 0
}

// A planet seen as a sphere map in latitude/longitude: deep indigo cloud bands, a bright
// horizon ring around the equator (white core, magenta and cyan halo) and a few stars.
assets::sImage sphere_horizon()
{
    const int w = 1024, h = 512;
    assets::sImage image(w, h);
    assets::cRandom random(7);
    for (int y = 0; y < h; ++y) {
        const double v = (double(y) + 0.5) / h; // 0 south pole .. 1 north pole
        const double d = v - 0.5;
        const double core = std::exp(-d * d / (2 * 0.006 * 0.006));
        const double halo = std::exp(-d * d / (2 * 0.05 * 0.05));
        const double wide = std::exp(-d * d / (2 * 0.16 * 0.16));
        for (int x = 0; x < w; ++x) {
            const double u = (double(x) + 0.5) / w;
            const double bands =
                0.5 + 0.5 * std::sin(v * 70.0 + 2.0 * std::sin(u * 2 * PI * 3 + v * 9));
            double r = 0.03 + 0.05 * bands, g = 0.01 + 0.02 * bands, b = 0.09 + 0.1 * bands;
            // Magenta above the horizon, cyan below.
            const double side = d > 0 ? 1.0 : 0.0;
            r += halo * (0.9 * side + 0.05) + wide * 0.25 * side;
            g += halo * (0.2 + 0.55 * (1 - side)) + wide * 0.1 * (1 - side);
            b += halo * 0.85 + wide * 0.3;
            r += core;
            g += core;
            b += core;
            image.set(x, y, float(std::min(r, 1.0)), float(std::min(g, 1.0)),
                      float(std::min(b, 1.0)), 1.0f);
        }
    }
    for (int i = 0; i < 900; ++i) {
        const int x = int(random.next() * w), y = int(random.next() * h);
        const double d = (y + 0.5) / h - 0.5;
        if (std::fabs(d) < 0.12)
            continue;
        const float s = float(random.range(0.4, 1.0));
        image.set(x, y, s, s, std::min(1.0f, s + 0.1f), 1.0f);
    }
    return image;
}

// A soap-bubble sphere map: thin-film colours swirling with the angle and the radius, more
// opaque towards the rim, clear in the middle.
assets::sImage sphere_soapbubble()
{
    const int n = 256;
    assets::sImage image(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double px = (x + 0.5) / n * 2 - 1, py = (y + 0.5) / n * 2 - 1;
            const double r = std::sqrt(px * px + py * py);
            if (r > 1.0) {
                image.set(x, y, 0, 0, 0, 0);
                continue;
            }
            const double a = std::atan2(py, px);
            double rgb[3];
            hue_rgb(std::fmod(r * 1.7 + 0.15 * std::sin(3 * a + r * 8) + 1.0, 1.0), rgb);
            const double alpha = 0.25 + 0.75 * smooth(0.3, 1.0, r);
            const double white = 0.35 * smooth(0.85, 1.0, r);
            image.set(x, y, float(std::min(1.0, rgb[0] * 0.8 + white + 0.1)),
                      float(std::min(1.0, rgb[1] * 0.8 + white + 0.1)),
                      float(std::min(1.0, rgb[2] * 0.8 + white + 0.1)), float(alpha));
        }
    }
    return image;
}

// The glow along a spike: dim at the base (v = 0), white-hot at the tip (v = 1), with faint
// dark seams between the facets (u).
assets::sImage spike_glow()
{
    const int w = 64, h = 256;
    assets::sImage image(w, h);
    for (int y = 0; y < h; ++y) {
        const double v = (y + 0.5) / h;
        const double ramp = 0.28 + 0.72 * std::pow(v, 1.6);
        const double tip = smooth(0.8, 1.0, v);
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double seam =
                1.0 - 0.35 * std::exp(-std::pow((std::fmod(u * 6, 1.0) - 0.5) * 9, 2));
            const double l = std::min(1.0, ramp * (1.0 - seam * 0.0) * (0.75 + 0.25 * seam) + tip);
            image.set(x, y, float(l), float(l), float(l), 1.0f);
        }
    }
    return image;
}

} // namespace

const std::vector<sTexture>& textures()
{
    static const std::vector<sTexture> table = {
        {"textures/sphere_horizon.jpg", sphere_horizon},
        {"textures/sphere_soapbubble01.png", sphere_soapbubble},
        {"textures/spike_glow.png", spike_glow},
    };
    return table;
}

} // namespace content
