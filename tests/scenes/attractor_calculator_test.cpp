// The table sine and cosine, the Pickover noise table and the attractor iteration.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "scenes/attractor_calculator.h"

namespace {

constexpr double TWO_PI = 6.283185307179586476925;
constexpr int N = cAttractorCalculator_pickover::NOISE_SIZE;
const float PARAMS[4] = {-1.25962f, 0.519231f, 0.735577f, 1.55289f};

// The calculator is 8 MB: tests keep it on the heap.
std::unique_ptr<cAttractorCalculator_pickover> make()
{
    return std::make_unique<cAttractorCalculator_pickover>();
}

} // namespace

TEST(TableTrig, MatchesLibraryOverManyTurnsAndStaysBoundedBeyond)
{
    double worst = 0;
    // An irregular step, so the samples fall everywhere inside the coarse and fine steps.
    for (double a = -2000.0 * TWO_PI; a <= 2000.0 * TWO_PI; a += 0.0123456789) {
        worst = std::max(worst, std::fabs(vnt::table_sin(a) - std::sin(a)));
        worst = std::max(worst, std::fabs(vnt::table_cos(a) - std::cos(a)));
    }
    // Rounding to the nearest of 2^20 steps errs by half a step (3e-6); truncating would double.
    EXPECT_LT(worst, 3.5e-6);
    for (double a :
         {0.0, TWO_PI / 4, -TWO_PI / 2, TWO_PI * (1 - 1.0 / 1048576), 1e6 * TWO_PI + 1}) {
        EXPECT_NEAR(vnt::table_sin(a), std::sin(a), 1e-5) << a;
        EXPECT_NEAR(vnt::table_cos(a), std::cos(a), 1e-5) << a;
    }
    // Angles past the usable range, infinities and NaN still read inside the tables.
    const double inf = std::numeric_limits<double>::infinity();
    for (double a : {1e30, -1e300, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_LE(std::fabs(vnt::table_sin(a)), 1.0 + 1e-6) << a;
        EXPECT_LE(std::fabs(vnt::table_cos(a)), 1.0 + 1e-6) << a;
    }
}

TEST(PickoverNoise, FixedUniformTableInHalfUnitRange)
{
    auto a = make();
    ASSERT_EQ(a->noise.size(), size_t(N));
    EXPECT_EQ(a->noise, make()->noise);
    // The same values in every run and on every platform.
    EXPECT_NEAR(a->noise[0], -0.469946999992170, 1e-12);
    EXPECT_NEAR(a->noise[1], 0.188384505019129, 1e-12);
    EXPECT_NEAR(a->noise[N - 1], 0.207497283873377, 1e-12);
    // Jitter in -0.5..0.5 (a generator range taken for 15 bits would give values in the
    // thousands), spread over the whole range, centred.
    double lo = 1, hi = -1, sum = 0;
    for (double v : a->noise) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        sum += v;
    }
    EXPECT_TRUE(lo >= -0.5 && lo < -0.499) << lo;
    EXPECT_TRUE(hi <= 0.5 && hi > 0.499) << hi;
    EXPECT_NEAR(sum / N, 0.0, 0.002);
}

TEST(PickoverIteration, FollowsTheMapWithNoiseReadsWrappingPerRead)
{
    auto calc = make();
    calc->noise_scale = 0.01; // large enough that a misplaced noise read shows
    calc->noise_index = N - 4;
    std::vector<float> pts(3 * 4);
    // Reads at N-4..N-2, then N-1, 0, 1: one whole wrap.
    EXPECT_EQ(calc->restart_and_compute(pts.data(), 4, PARAMS), 1);
    EXPECT_EQ(calc->noise_index, 8);

    // The map written out on the library functions, from the origin.
    double x = 0, y = 0, z = 0;
    for (int i = 0; i < 4; ++i) {
        const double nx = std::sin(PARAMS[0] * y) - z * std::cos(PARAMS[1] * x);
        const double ny = z * std::sin(PARAMS[2] * x) - std::cos(PARAMS[3] * y);
        const double nz = std::sin(x);
        EXPECT_NEAR(pts[3 * i], nx, 1e-4) << i;
        EXPECT_NEAR(pts[3 * i + 1], ny, 1e-4) << i;
        EXPECT_NEAR(pts[3 * i + 2], nz, 1e-4) << i;
        const int n = N - 4 + 3 * i;
        x = nx + calc->noise[n % N] * 0.01;
        y = ny + calc->noise[(n + 1) % N] * 0.01;
        z = nz + calc->noise[(n + 2) % N] * 0.01;
    }
    EXPECT_FLOAT_EQ(pts[0], 0.0f); // from the origin: (0, -1, 0) whatever the parameters
    EXPECT_FLOAT_EQ(pts[1], -1.0f);
    EXPECT_NEAR(calc->x, x, 1e-4);

    // 700000 points move the index by 2.1 million: two whole wraps.
    std::vector<float> many(3 * 700000);
    calc->noise_index = 0;
    EXPECT_EQ(calc->compute(many.data(), 700000, PARAMS), 2);
    EXPECT_EQ(calc->noise_index, 100000);
    // An index set outside the table is read modulo its size; nothing asked, nothing moves.
    for (int32_t bad :
         {-1, N, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        calc->noise_index = bad;
        calc->compute(pts.data(), 2, PARAMS);
        EXPECT_TRUE(calc->noise_index >= 0 && calc->noise_index < N) << bad;
    }
    const int32_t index = calc->noise_index;
    EXPECT_EQ(calc->compute(pts.data(), 0, PARAMS), 0);
    EXPECT_EQ(calc->noise_index, index);
}

TEST(PickoverIteration, IncrementalStepsContinueAndMatchTheLibraryVersion)
{
    auto whole = make(), parts = make(), library = make();
    std::vector<float> a(3 * 20000), b(3 * 20000);
    whole->compute(a.data(), 20000, PARAMS);
    for (int i = 0; i < 5; ++i)
        parts->compute(b.data() + 3 * 4000 * i, 4000, PARAMS);
    EXPECT_EQ(a, b);
    // The map is chaotic: only the first points of the two versions can be compared.
    library->compute_reference(b.data(), 8, PARAMS);
    for (int i = 0; i < 24; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-3) << i;
}
