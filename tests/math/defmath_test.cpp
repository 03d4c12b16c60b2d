// Vector helpers, the mirror matrix and the two-decimal number text.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "math/defmath.h"
#include "math/vec3.h"

namespace {

// Applies a column-major 4x4 matrix to a point.
Vec3<float> transform(const float* m, const Vec3<float>& p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

} // namespace

TEST(DefMath, MirrorMatrixReflectsAboutAPlane)
{
    // The plane y = 2 (through (5, 2, -1), normal +y).
    const float p[3] = {5, 2, -1};
    const float n[3] = {0, 1, 0};
    float m[16];
    vnt::mirror_matrix(m, p, n);

    const Vec3<float> mirrored = transform(m, {3, 5, 7});
    // 3 above the plane becomes 3 below it.
    EXPECT_EQ(std::tuple(mirrored.x, mirrored.y, mirrored.z, m[3], m[15]),
              std::tuple(3.0f, -1.0f, 7.0f, 0.0f, 1.0f));

    // A point on the plane stays; mirroring twice is the identity.
    const Vec3<float> on_plane = transform(m, {-4, 2, 9});
    EXPECT_FLOAT_EQ(on_plane.y, 2);
    const Vec3<float> back = transform(m, mirrored);
    EXPECT_FLOAT_EQ(back.y, 5);

    // The plane x + y = 0 through the origin: (1, 0, 0) maps to (0, -1, 0).
    const float origin[3] = {0, 0, 0};
    const float r = 1.0f / std::sqrt(2.0f);
    const float diagonal[3] = {r, r, 0};
    vnt::mirror_matrix(m, origin, diagonal);
    const Vec3<float> q = transform(m, {1, 0, 0});
    EXPECT_NEAR(q.x, 0, 1e-6);
    EXPECT_NEAR(q.y, -1, 1e-6);
    EXPECT_NEAR(q.z, 0, 1e-6);
}

TEST(DefMath, VectorHelpers)
{
    const double a[3] = {1, 0, 0}, b[3] = {0, 1, 0};
    double c[3];
    vnt::vec_cross(c, a, b);
    EXPECT_DOUBLE_EQ(c[2], 1);
    EXPECT_DOUBLE_EQ(vnt::vec_dot(a, b), 0);

    float v[3] = {3, 0, 4};
    EXPECT_FLOAT_EQ(vnt::vec_normalize(v), 5);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    float zero[3] = {0, 0, 0};
    vnt::vec_normalize(zero); // stays zero, no division by zero
    EXPECT_EQ(zero[0], 0.0f);

    // The cross product may be written over one of its inputs.
    float x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
    vnt::vec_cross(x, x, y);
    EXPECT_EQ(std::pair(x[0], x[2]), std::pair(0.0f, 1.0f));
}

TEST(DefMath, TwoDecimalTextCutsAndPadsWithoutRounding)
{
    EXPECT_EQ(vnt::two_decimals(0.5f), "0.50");
    EXPECT_EQ(vnt::two_decimals(1.234f), "1.23");
    EXPECT_EQ(vnt::two_decimals(2.129f), "2.12"); // cut, not rounded
    EXPECT_EQ(vnt::two_decimals(-0.999f), "-0.99");
    EXPECT_EQ(vnt::two_decimals(7.0f), "7"); // no "." printed: kept as printed
    EXPECT_EQ(vnt::two_decimals_text("1e+06"), "1e+06");
    // An exponent is kept whole; only the fraction before it follows the rule.
    EXPECT_EQ(vnt::two_decimals_text("1.5e-08"), "1.50e-08");
    EXPECT_EQ(vnt::two_decimals_text("-2.12345e+12"), "-2.12e+12");
}
