// Deterministic value noise for the generators: smooth 2D and 3D noise and their fractal sums,
// the same values on every machine and every build.
#pragma once

#include <cstdint>

namespace content {

// Smooth noise in [-1, 1] on an integer lattice; `seed` selects an independent field.
double noise2(double x, double y, uint32_t seed);
double noise3(double x, double y, double z, uint32_t seed);
// Sums of `octaves` layers, each twice the frequency and half the amplitude of the last,
// scaled back to about [-1, 1].
double fbm2(double x, double y, int octaves, uint32_t seed);
double fbm3(double x, double y, double z, int octaves, uint32_t seed);
// Noise that tiles with period `px` in x (integer) and `py` in y.
double fbm2_tiled(double x, double y, int px, int py, int octaves, uint32_t seed);

} // namespace content
