// The demo clock on a counter that has run for weeks or is about to wrap: readings are taken
// as differences, so the clock keeps moving wherever the counter stands.
#include <gtest/gtest.h>

#include <cstdint>

#include "clock.h"

namespace {

uint64_t g_ticks = 0;
uint64_t g_step = 0; // added after every reading
uint64_t stepping_counter()
{
    const uint64_t now = g_ticks;
    g_ticks += g_step;
    return now;
}

// Counter readings in ns: just below and above 2^31 ms since boot, and around the counter's
// sign bit and its wrap.
const uint64_t STARTS[] = {(uint64_t(1) << 31) * 1000000 - 3000000000ull,
                           (uint64_t(1) << 63) - 2000000000ull, ~uint64_t(0) - 1500000000ull};

} // namespace

TEST(Clock, MovesOnWhereverTheCounterStands)
{
    for (uint64_t start : STARTS) {
        SCOPED_TRACE(start);
        g_ticks = start;
        g_step = 0;
        vnt::set_counter(&stepping_counter, 1000000000);
        cPerformanceCounterSource source;
        cClock::set_source(&source);
        cClock clock;
        clock.tick();
        clock.start = clock.now;
        for (int second = 1; second <= 6; ++second) {
            g_ticks += 1000000000; // one second, across the 2^31 ms mark, the sign bit or the wrap
            clock.tick();
            EXPECT_EQ(clock.demo_time(), second * 1000);
            EXPECT_EQ(clock.delta(), 1000);
        }
        EXPECT_EQ(vnt::elapsed_ms(start), 6000);
        EXPECT_DOUBLE_EQ(vnt::ticks_between_ms(start, start + 2500000), 2.5);
        cClock::set_source(nullptr);
        vnt::set_counter(nullptr, 0);
    }
}

TEST(Clock, ShiftKeepsFractionsOfAMillisecond)
{
    cClock clock;
    clock.now = 5000, clock.start = 1000;
    for (int i = 0; i < 10; ++i)
        clock.shift(0.25);
    EXPECT_EQ(clock.demo_time(), 4002); // 2.5 ms applied, the half kept
    EXPECT_NEAR(clock.shift_rest, 0.5, 1e-9);
    clock.shift(-3.0);
    EXPECT_EQ(clock.demo_time(), 3999);
    EXPECT_NEAR(clock.shift_rest, 0.5, 1e-9);
}
