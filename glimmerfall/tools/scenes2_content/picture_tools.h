// Small helpers for painting the generated pictures: smooth edges, mixing, the production's
// palette.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace content {

constexpr double PI = 3.14159265358979323846;

using tColour = std::array<double, 3>;

// The production's palette: deep indigo ground, magenta, cyan, acid green and gold highlights.
constexpr tColour INDIGO{0.08, 0.03, 0.22};
constexpr tColour MAGENTA{1.0, 0.12, 0.78};
constexpr tColour CYAN{0.1, 0.85, 1.0};
constexpr tColour ACID{0.62, 1.0, 0.12};
constexpr tColour GOLD{1.0, 0.74, 0.18};
constexpr tColour WHITE{1.0, 1.0, 1.0};

inline double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

inline double smoothstep(double e0, double e1, double x)
{
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// 1 inside (d < 0), 0 outside, with an edge `w` wide.
inline double fill(double d, double w)
{
    return 1.0 - smoothstep(-w, w, d);
}

// A line of half-width `half` around d = 0, soft over `w`.
inline double line(double d, double half, double w)
{
    return fill(std::fabs(d) - half, w);
}

inline tColour mix(const tColour& a, const tColour& b, double t)
{
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

inline tColour scaled(const tColour& c, double s)
{
    return {c[0] * s, c[1] * s, c[2] * s};
}

} // namespace content
