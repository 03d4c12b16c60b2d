// Pickover attractor and table trigonometry (see attractor_calculator.h).
#include "scenes/attractor_calculator.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <random>

#include "math/defmath.h"

namespace {

constexpr double STEPS_PER_TURN = 1048576.0; // 2^20
// Added in double precision, 1.5 * 2^52 leaves the angle's step count, rounded to the nearest
// integer, in the low bits of the mantissa (two's complement for negative angles).
constexpr double ROUNDING_BIAS = 6755399441055744.0;

// (sin, cos) of 2 pi k / 1024 and of 2 pi j / 2^20, k, j = 0..1024; filled at program start.
struct sSinCosTables
{
    float coarse[1025][2];
    float fine[1025][2];

    sSinCosTables()
    {
        for (int k = 0; k <= 1024; ++k) {
            const double coarse_angle = 2.0 * vnt::PI * k / 1024.0;
            coarse[k][0] = float(std::sin(coarse_angle));
            coarse[k][1] = float(std::cos(coarse_angle));
            const double fine_angle = 2.0 * vnt::PI * k / STEPS_PER_TURN;
            fine[k][0] = float(std::sin(fine_angle));
            fine[k][1] = float(std::cos(fine_angle));
        }
    }
};

const sSinCosTables g_tables;

// The phase of an angle in 2^20 steps per turn: bits 10..19 pick the coarse entry, bits 0..9
// the fine one. Masking keeps every index inside its table, whatever the angle.
inline uint32_t phase_of(double in_angle)
{
    const double biased = in_angle * (STEPS_PER_TURN / (2.0 * vnt::PI)) + ROUNDING_BIAS;
    uint64_t bits;
    std::memcpy(&bits, &biased, sizeof bits);
    return uint32_t(bits);
}

inline double fast_sin(double in_angle)
{
    const uint32_t phase = phase_of(in_angle);
    const float* a = g_tables.coarse[(phase >> 10) & 1023];
    const float* b = g_tables.fine[phase & 1023];
    return double(a[0]) * b[1] + double(a[1]) * b[0]; // sin(a + b)
}

inline double fast_cos(double in_angle)
{
    const uint32_t phase = phase_of(in_angle);
    const float* a = g_tables.coarse[(phase >> 10) & 1023];
    const float* b = g_tables.fine[phase & 1023];
    return double(a[1]) * b[1] - double(a[0]) * b[0]; // cos(a + b)
}

struct sTableTrig
{
    static double sin(double a) { return fast_sin(a); }
    static double cos(double a) { return fast_cos(a); }
};

struct sLibraryTrig
{
    static double sin(double a) { return std::sin(a); }
    static double cos(double a) { return std::cos(a); }
};

} // namespace

namespace vnt {

double table_sin(double in_angle)
{
    return fast_sin(in_angle);
}
double table_cos(double in_angle)
{
    return fast_cos(in_angle);
}

} // namespace vnt

cAttractorCalculator_pickover::cAttractorCalculator_pickover() : noise(NOISE_SIZE)
{
    // A private engine rather than the C library's rand(): the same table on every platform
    // (rand()'s range and sequence differ between C libraries), and the process-wide
    // generator is left alone.
    std::minstd_rand generator(NOISE_SEED);
    const double range = double(generator.max() - generator.min());
    for (double& entry : noise)
        entry = double(generator() - generator.min()) / range - 0.5;
}

int cAttractorCalculator_pickover::restart_and_compute(float* out, int count, const float* params)
{
    x = y = z = 0.0;
    return compute(out, count, params);
}

int cAttractorCalculator_pickover::compute(float* out, int count, const float* params)
{
    return iterate<sTableTrig>(out, count, params);
}

int cAttractorCalculator_pickover::compute_reference(float* out, int count, const float* params)
{
    return iterate<sLibraryTrig>(out, count, params);
}

template <class Trig>
int cAttractorCalculator_pickover::iterate(float* out, int count, const float* params)
{
    if (count <= 0)
        return 0;
    assert(out && params && "attractor output and parameters");
    const double a = params[0], b = params[1], c = params[2], d = params[3];
    const double s = noise_scale;
    const double* table = noise.data();

    // Whatever the index was set to, reads start inside the table.
    int32_t n = noise_index % NOISE_SIZE;
    if (n < 0)
        n += NOISE_SIZE;
    int wraps = 0;

    double px = x, py = y, pz = z;
    double qx = nx, qy = ny, qz = nz;
    for (int i = 0; i < count; ++i) {
        qx = Trig::sin(a * py) - pz * Trig::cos(b * px);
        qy = pz * Trig::sin(c * px) - Trig::cos(d * py);
        qz = Trig::sin(px);
        out[0] = float(qx);
        out[1] = float(qy);
        out[2] = float(qz);
        out += 3;

        // Each of the three reads is taken modulo the table size.
        const int32_t n1 = n + 1 < NOISE_SIZE ? n + 1 : n + 1 - NOISE_SIZE;
        const int32_t n2 = n + 2 < NOISE_SIZE ? n + 2 : n + 2 - NOISE_SIZE;
        px = qx + table[n] * s;
        py = qy + table[n1] * s;
        pz = qz + table[n2] * s;
        n += 3;
        if (n >= NOISE_SIZE) {
            n -= NOISE_SIZE;
            ++wraps;
        }
    }
    nx = qx;
    ny = qy;
    nz = qz;
    x = px;
    y = py;
    z = pz;
    noise_index = n;
    return wraps;
}
