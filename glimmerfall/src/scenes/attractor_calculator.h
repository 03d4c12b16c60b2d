// Strange-attractor point generators for the attractor scene: the interface the point cloud
// streams from, the three-dimensional Pickover map with its fixed noise table, and the table
// sine and cosine its inner loop runs on.
#pragma once

#include <cstdint>
#include <vector>

namespace vnt {

// Sine and cosine through a coarse table (1024 steps per turn) and a fine table (1024 steps
// inside one coarse step), joined by the addition theorems. The angle is rounded to 2^20 steps
// per turn, so the result is within about 3e-6 of the library functions for any angle whose
// step count fits 51 bits (about 10^8 turns); beyond that the phase is meaningless but the
// lookup stays inside the tables.
double table_sin(double in_angle);
double table_cos(double in_angle);

} // namespace vnt

class iAttractorCalculator
{
public:
    virtual ~iAttractorCalculator() = default;
    // Sets the state to the origin, then compute().
    virtual int restart_and_compute(float* out, int count, const float* params) = 0;
    // Writes `count` points of three floats each to `out`, continuing from the current state;
    // `params` holds the four parameters a, b, c, d. Returns the number of whole wraps of the
    // noise index during the call.
    virtual int compute(float* out, int count, const float* params) = 0;
};

// x' = sin(a y) - z cos(b x), y' = z sin(c x) - cos(d y), z' = sin(x); the next state is the
// new point jittered by the noise table times `noise_scale`.
class cAttractorCalculator_pickover : public iAttractorCalculator
{
public:
    static constexpr int NOISE_SIZE = 1000000;
    static constexpr unsigned NOISE_SEED = 1337;

    // Fills the noise table (8 MB, the same on every run).
    cAttractorCalculator_pickover();

    int restart_and_compute(float* out, int count, const float* params) override;
    int compute(float* out, int count, const float* params) override;
    // The same iteration on the library's sin and cos, for checking and timing the tables.
    int compute_reference(float* out, int count, const float* params);

    double x = 0, y = 0, z = 0;    // current state; the origin at construction and restart
    double nx = 0, ny = 0, nz = 0; // the point just computed
    int32_t noise_index = 0;       // next read in `noise`; any value is taken modulo the size
    std::vector<double> noise;     // NOISE_SIZE entries in -0.5..0.5
    double noise_scale = 0.0005;   // jitter amplitude

private:
    template <class Trig> int iterate(float* out, int count, const float* params);
};
