// The demo clock following the music: a simulated device whose clock runs off the counter and
// whose callbacks come with jitter, played for a minute at an uneven frame rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "music_lock.h"

namespace {

constexpr double BUFFER_MS = 2048 * 1000.0 / 44100.0;

// A sound device whose clock runs `rate` times as fast as the counter. Like the sound module,
// it knows where the music is at each callback and extrapolates at the nominal rate between.
struct sDevice
{
    double rate = 1.004;
    double song_at_zero = 0.0; // song ms heard at counter 0
    double next_callback = 0.0;
    double anchor_counter = 0.0, anchor_song = 0.0;
    uint32_t noise = 12345;

    double jitter() // -2..2 ms, deterministic
    {
        noise = noise * 1664525u + 1013904223u;
        return (double(noise >> 8) / double(1u << 24)) * 4.0 - 2.0;
    }
    void run_to(double in_counter)
    {
        while (next_callback <= in_counter) {
            const double late = std::max(0.0, jitter());
            anchor_counter = next_callback + late;
            anchor_song = song_at_zero + next_callback * rate;
            next_callback += BUFFER_MS / rate;
        }
    }
    double heard(double in_counter) const { return anchor_song + (in_counter - anchor_counter); }
    double truth(double in_counter) const { return song_at_zero + in_counter * rate; }
};

struct sRun
{
    std::vector<double> errors; // demo time minus the music really heard, after the first second
    bool stepped_back = false;
};

// Plays `in_ms` of frames `in_min_step` to `in_min_step` * 2 ms apart; the demo clock starts
// `in_start_error` ms off.
sRun play(sDevice& io_device, double in_ms, double in_start_error, int in_min_step = 55)
{
    cMusicLock lock;
    sRun run;
    double counter = 0.0, demo = io_device.truth(0.0) + in_start_error, previous = demo;
    uint32_t frame_noise = 99;
    while (counter < in_ms) {
        frame_noise = frame_noise * 1103515245u + 12345u;
        const double step = double(in_min_step + int((frame_noise >> 16) % (in_min_step + 1)));
        counter += step;
        demo += step; // the counter's own advance
        io_device.run_to(counter);
        demo += lock.correction(demo, io_device.heard(counter), previous, step);
        if (demo < previous)
            run.stepped_back = true;
        previous = demo;
        if (counter > 1000.0)
            run.errors.push_back(demo - io_device.truth(counter));
    }
    return run;
}

double mean(const std::vector<double>& in_values)
{
    double sum = 0.0;
    for (double v : in_values)
        sum += v;
    return sum / double(in_values.size());
}

} // namespace

TEST(MusicLock, FollowsADeviceThatRunsFastOrSlowWithoutDrift)
{
    for (int frame_ms : {8, 55, 250})
        for (double rate : {1.004, 0.996, 1.0}) {
            SCOPED_TRACE(rate);
            SCOPED_TRACE(frame_ms);
            sDevice device;
            device.rate = rate;
            const sRun run = play(device, 60000.0, 0.0, frame_ms);
            EXPECT_FALSE(run.stepped_back);
            const double m = mean(run.errors);
            // The callbacks come up to 2 ms late, so the music seems up to 2 ms behind.
            EXPECT_NEAR(m, 0.0, 3.0);
            for (double e : run.errors)
                ASSERT_NEAR(e, m, 5.0);
            // No drift: the last tenth sits where the first did.
            const std::ptrdiff_t tenth = std::ptrdiff_t(run.errors.size() / 10);
            const std::vector<double> first(run.errors.begin(), run.errors.begin() + tenth);
            const std::vector<double> last(run.errors.end() - tenth, run.errors.end());
            EXPECT_NEAR(mean(first), mean(last), 1.0);
        }
}

TEST(MusicLock, TakesUpAnOffsetWithoutSteppingBack)
{
    // After a seek the demo is up to a device buffer ahead of the music, or behind it; a large
    // difference either way, as after a stall.
    for (double start_error : {BUFFER_MS, -BUFFER_MS, 30.0, -30.0, 400.0, -400.0}) {
        SCOPED_TRACE(start_error);
        sDevice device;
        const sRun run = play(device, 5000.0, start_error);
        EXPECT_FALSE(run.stepped_back);
        for (double e : run.errors)
            ASSERT_LT(std::abs(e), 5.0);
    }
}

TEST(MusicLock, HoldsThePictureRatherThanSteppingBack)
{
    cMusicLock lock;
    // The first reading is taken at once, but the picture waits rather than stepping back
    // before the last frame shown...
    EXPECT_DOUBLE_EQ(lock.correction(1000.0, 950.0, 990.0, 60.0), -10.0);
    // ...and it is taken in full once the music is past that frame.
    EXPECT_DOUBLE_EQ(lock.correction(1060.0, 1040.0, 990.0, 60.0), -20.0);
    // Small differences are slewed, a share per frame.
    const double slewed = lock.correction(1106.0, 1100.0, 1040.0, 46.0);
    EXPECT_LT(slewed, 0.0);
    EXPECT_GT(slewed, -5.0);
    // Behind by more than the snap limit: taken at once.
    EXPECT_DOUBLE_EQ(lock.correction(1200.0, 1300.0, 1106.0, 94.0), 100.0);
    // After restart() even a small difference is taken at once.
    lock.restart();
    EXPECT_DOUBLE_EQ(lock.correction(2000.0, 2010.0, 1990.0, 10.0), 10.0);
}
