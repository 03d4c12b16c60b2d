// The table sine and cosine, the Pickover noise table and the attractor iteration.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "scenes/attractor_calculator.h"

namespace {

constexpr double TWO_PI = 6.283185307179586476925;

// One Pickover step from (x, y, z) with the library functions and the calculator's own noise
// reads, written out independently of the calculator's loop.
struct sRef
{
    double x = 0, y = 0, z = 0;
    void step(const cAttractorCalculator_pickover& c, const float* p, int n, float* out)
    {
        const double nx = std::sin(p[0] * y) - z * std::cos(p[1] * x);
        const double ny = z * std::sin(p[2] * x) - std::cos(p[3] * y);
        const double nz = std::sin(x);
        out[0] = float(nx);
        out[1] = float(ny);
        out[2] = float(nz);
        const int N = cAttractorCalculator_pickover::NOISE_SIZE;
        x = nx + c.noise[n % N] * c.noise_scale;
        y = ny + c.noise[(n + 1) % N] * c.noise_scale;
        z = nz + c.noise[(n + 2) % N] * c.noise_scale;
    }
};

const float PARAMS[4] = {-1.25962f, 0.519231f, 0.735577f, 1.55289f};

// The calculator is 8 MB: tests keep it on the heap.
std::unique_ptr<cAttractorCalculator_pickover> make()
{
    return std::make_unique<cAttractorCalculator_pickover>();
}

} // namespace

TEST(TableTrig, MatchesLibraryOverManyTurnsBothSigns)
{
    double worst = 0;
    // An irregular step, so the samples fall everywhere inside the coarse and fine steps.
    for (double a = -2000.0 * TWO_PI; a <= 2000.0 * TWO_PI; a += 0.0123456789) {
        worst = std::max(worst, std::fabs(vnt::table_sin(a) - std::sin(a)));
        worst = std::max(worst, std::fabs(vnt::table_cos(a) - std::cos(a)));
    }
    EXPECT_LT(worst, 1e-5);
    // Rounding to the nearest of 2^20 steps per turn errs by at most half a step (3e-6);
    // truncating would double that.
    EXPECT_LT(worst, 3.5e-6);

    // The quadrant points, both sides of zero, and the last fine step before a full turn.
    const double special[] = {0.0,
                              TWO_PI / 4,
                              TWO_PI / 2,
                              3 * TWO_PI / 4,
                              TWO_PI,
                              -TWO_PI / 4,
                              -TWO_PI / 2,
                              -TWO_PI,
                              1e-9,
                              -1e-9,
                              TWO_PI * (1 - 1.0 / 1048576),
                              1e6 * TWO_PI,
                              -1e6 * TWO_PI + 1,
                              12345.678};
    for (double a : special) {
        EXPECT_NEAR(vnt::table_sin(a), std::sin(a), 1e-5) << a;
        EXPECT_NEAR(vnt::table_cos(a), std::cos(a), 1e-5) << a;
    }
}

TEST(TableTrig, AnglesOutsideTheUsableRangeStayBounded)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double a : {1e30, -1e30, 1e300, inf, -inf, nan, std::numeric_limits<double>::max()}) {
        const double s = vnt::table_sin(a), c = vnt::table_cos(a);
        EXPECT_LE(std::fabs(s), 1.0 + 1e-6) << a;
        EXPECT_LE(std::fabs(c), 1.0 + 1e-6) << a;
    }
}

TEST(PickoverNoise, FixedUniformTableInHalfUnitRange)
{
    auto a = make();
    auto b = make();
    ASSERT_EQ(a->noise.size(), size_t(cAttractorCalculator_pickover::NOISE_SIZE));
    EXPECT_EQ(a->noise, b->noise);
    EXPECT_EQ(a->noise_index, 0);
    EXPECT_DOUBLE_EQ(a->noise_scale, 0.0005);

    // The same values in every run and on every platform.
    EXPECT_NEAR(a->noise[0], -0.469946999992170, 1e-12);
    EXPECT_NEAR(a->noise[1], 0.188384505019129, 1e-12);
    EXPECT_NEAR(a->noise[999999], 0.207497283873377, 1e-12);

    // Jitter in -0.5..0.5 (a generator range taken for 15 bits would give values in the
    // thousands), spread over the whole range, centred.
    double lo = 1, hi = -1, sum = 0;
    for (double v : a->noise) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        sum += v;
    }
    EXPECT_GE(lo, -0.5);
    EXPECT_LE(hi, 0.5);
    EXPECT_LT(lo, -0.499);
    EXPECT_GT(hi, 0.499);
    EXPECT_NEAR(sum / double(a->noise.size()), 0.0, 0.002);
}

TEST(PickoverIteration, FollowsTheMapFromTheOriginWithNoise)
{
    auto calc = make();
    calc->noise_scale = 0.01; // large enough that a misplaced noise read shows
    std::vector<float> pts(3 * 6);
    EXPECT_EQ(calc->restart_and_compute(pts.data(), 6, PARAMS), 0);

    // From the origin the first point is (0, -1, 0), whatever the parameters.
    EXPECT_FLOAT_EQ(pts[0], 0.0f);
    EXPECT_FLOAT_EQ(pts[1], -1.0f);
    EXPECT_FLOAT_EQ(pts[2], 0.0f);

    sRef ref;
    float expect[3];
    for (int i = 0; i < 6; ++i) {
        ref.step(*calc, PARAMS, 3 * i, expect);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(pts[3 * i + k], expect[k], 1e-4) << "point " << i << " axis " << k;
    }
    EXPECT_EQ(calc->noise_index, 18);
    // The last point is kept, and the state is that point plus its jitter.
    EXPECT_FLOAT_EQ(float(calc->nx), pts[15]);
    EXPECT_FLOAT_EQ(float(calc->nz), pts[17]);
    EXPECT_NEAR(calc->x, calc->nx + calc->noise[15] * 0.01, 1e-12);
}

TEST(PickoverIteration, IncrementalComputeContinuesAndRestartReturnsToOrigin)
{
    auto whole = make();
    auto parts = make();
    std::vector<float> a(3 * 20000), b(3 * 20000);
    whole->compute(a.data(), 20000, PARAMS);
    for (int i = 0; i < 5; ++i)
        parts->compute(b.data() + 3 * 4000 * i, 4000, PARAMS);
    EXPECT_EQ(a, b);
    EXPECT_EQ(whole->noise_index, 60000);

    // A restart goes back to the origin but keeps reading the noise where it was.
    std::vector<float> again(3 * 2);
    parts->restart_and_compute(again.data(), 2, PARAMS);
    EXPECT_FLOAT_EQ(again[0], 0.0f);
    EXPECT_FLOAT_EQ(again[1], -1.0f);
    EXPECT_FLOAT_EQ(again[2], 0.0f);
    EXPECT_EQ(parts->noise_index, 60006);

    // Nothing asked, nothing written or moved.
    const double x = parts->x;
    float untouched = 7.0f;
    EXPECT_EQ(parts->compute(&untouched, 0, PARAMS), 0);
    EXPECT_EQ(parts->compute(&untouched, -3, PARAMS), 0);
    EXPECT_EQ(untouched, 7.0f);
    EXPECT_EQ(parts->x, x);
    EXPECT_EQ(parts->noise_index, 60006);
}

TEST(PickoverIteration, NoiseIndexWrapsPerReadAndCountsWholeWraps)
{
    const int N = cAttractorCalculator_pickover::NOISE_SIZE;
    auto calc = make();
    calc->noise_scale = 0.01;

    // Index at the last entry: the three reads are N - 1, 0 and 1.
    calc->noise_index = N - 1;
    float p[6];
    EXPECT_EQ(calc->restart_and_compute(p, 2, PARAMS), 1);
    EXPECT_EQ(calc->noise_index, 5);
    sRef ref;
    float e[3];
    ref.step(*calc, PARAMS, N - 1, e);
    ref.step(*calc, PARAMS, N + 2, e);
    EXPECT_NEAR(p[3], e[0], 1e-4);
    EXPECT_NEAR(p[4], e[1], 1e-4);
    EXPECT_NEAR(p[5], e[2], 1e-4);

    // 700000 points advance the index by 2.1 million: two whole wraps.
    std::vector<float> many(3 * 700000);
    calc->noise_index = 0;
    EXPECT_EQ(calc->compute(many.data(), 700000, PARAMS), 2);
    EXPECT_EQ(calc->noise_index, 100000);

    // An index set outside the table is read modulo its size.
    for (int32_t bad : {-1, -N - 7, N, 2 * N + 3, std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max()}) {
        calc->noise_index = bad;
        calc->compute(p, 2, PARAMS);
        EXPECT_GE(calc->noise_index, 0) << bad;
        EXPECT_LT(calc->noise_index, N) << bad;
    }
}

TEST(PickoverIteration, TableAndLibraryVersionsAgreeOnTheCloud)
{
    auto table = make();
    auto library = make();
    std::vector<float> a(3 * 8), b(3 * 8);
    table->compute(a.data(), 8, PARAMS);
    library->compute_reference(b.data(), 8, PARAMS);
    // The map is chaotic: only the first points can be compared one by one.
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(a[i], b[i], 1e-3) << i;

    // Over a long run both fill the same bounded region: |x| <= 2, |y| <= 2, |z| <= 1.
    std::vector<float> cloud(3 * 20000);
    table->compute(cloud.data(), 20000, PARAMS);
    for (size_t i = 0; i < cloud.size(); i += 3) {
        ASSERT_LE(std::fabs(cloud[i]), 2.01f);
        ASSERT_LE(std::fabs(cloud[i + 1]), 2.01f);
        ASSERT_LE(std::fabs(cloud[i + 2]), 1.001f);
    }
}
