// Value noise (see noise.h).
#include "noise.h"

#include <cmath>

namespace content {

namespace {

uint32_t hash(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= uint32_t(y) * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= uint32_t(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double lattice(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    return double(hash(x, y, z, seed)) / 2147483647.5 - 1.0;
}

double smooth(double t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

int32_t wrap(int32_t v, int period)
{
    return period > 0 ? ((v % period) + period) % period : v;
}

double noise2_period(double x, double y, int px, int py, uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    auto at = [&](int32_t dx, int32_t dy) {
        return lattice(wrap(ix + dx, px), wrap(iy + dy, py), 0, seed);
    };
    const double a = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    const double b = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return a + (b - a) * ty;
}

} // namespace

double noise2(double x, double y, uint32_t seed)
{
    return noise2_period(x, y, 0, 0, seed);
}

double noise3(double x, double y, double z, uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int32_t ix = int32_t(fx), iy = int32_t(fy), iz = int32_t(fz);
    const double tx = smooth(x - fx), ty = smooth(y - fy), tz = smooth(z - fz);
    double layer[2];
    for (int k = 0; k < 2; ++k) {
        auto at = [&](int32_t dx, int32_t dy) { return lattice(ix + dx, iy + dy, iz + k, seed); };
        const double a = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
        const double b = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
        layer[k] = a + (b - a) * ty;
    }
    return layer[0] + (layer[1] - layer[0]) * tz;
}

double fbm2(double x, double y, int octaves, uint32_t seed)
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise2(x, y, seed + uint32_t(o));
        norm += amp;
        x *= 2;
        y *= 2;
        amp *= 0.5;
    }
    return sum / norm;
}

double fbm3(double x, double y, double z, int octaves, uint32_t seed)
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise3(x, y, z, seed + uint32_t(o));
        norm += amp;
        x *= 2;
        y *= 2;
        z *= 2;
        amp *= 0.5;
    }
    return sum / norm;
}

double fbm2_tiled(double x, double y, int px, int py, int octaves, uint32_t seed)
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise2_period(x, y, px, py, seed + uint32_t(o));
        norm += amp;
        x *= 2;
        y *= 2;
        px *= 2;
        py *= 2;
        amp *= 0.5;
    }
    return sum / norm;
}

} // namespace content
