// The demo clock: milliseconds of demo time from a counter, minus the paused intervals and the
// start. The counter is the high-resolution timer unless a fixed-step source is installed
// (capture and benchmark runs advance the demo by exactly one frame time per frame).
#pragma once

#include <cstdint>

namespace vnt {

// The high-resolution counter, read through a replaceable function so that tests can put it
// anywhere in its range. Every user measures differences of two readings (wrap-safe in
// unsigned 64-bit arithmetic); no absolute reading is ever converted to milliseconds.
using tCounterFn = uint64_t (*)();
// Null restores SDL's performance counter and its frequency.
void set_counter(tCounterFn in_counter, uint64_t in_frequency);
uint64_t counter_ticks();
uint64_t counter_frequency(); // ticks per second
// Milliseconds from the reading `in_from` to the reading `in_to`, exact to the tick.
double ticks_between_ms(uint64_t in_from, uint64_t in_to);
// Whole milliseconds from `in_from` to now, in 64 bits.
int64_t elapsed_ms(uint64_t in_from);

} // namespace vnt

// Where the clock reads its milliseconds.
class iTimeSource
{
public:
    virtual ~iTimeSource() = default;
    virtual int64_t read_ms() = 0;
};

// Milliseconds of the high-resolution counter since the source was made.
class cPerformanceCounterSource : public iTimeSource
{
public:
    cPerformanceCounterSource();
    int64_t read_ms() override;
    // Takes the current counter reading as 0 (after the counter function was replaced).
    void restart();

private:
    uint64_t m_origin; // counter reading that is 0 ms
};

// A clock that only moves when told: advance() adds one frame time, kept in double precision
// so that 60 frames at 60 fps are exactly 1000 ms.
class cFixedStepSource : public iTimeSource
{
public:
    explicit cFixedStepSource(double in_fps, int in_start_ms = 0);
    // Frame n reads start + n * 1000 / fps, truncated: 0, 16, 33, 50, ... at 60 fps.
    int64_t read_ms() override { return m_start + int64_t(double(m_frames) * 1000.0 / m_fps); }
    void advance() { ++m_frames; }
    double step_ms() const { return 1000.0 / m_fps; }
    long long frames() const { return m_frames; }

private:
    int64_t m_start;
    double m_fps;
    long long m_frames = 0;
};

struct cClock
{
    int64_t start = 0;        // source ms that is demo time 0
    int64_t now = 0;          // source ms at the last tick
    int64_t prev = 0;         // source ms at the tick before
    bool paused = false;      // while set, ticks do not advance `now`
    int64_t paused_total = 0; // sum of all paused intervals
    int64_t frequency = 0;    // counts per second of the performance counter
    double shift_rest = 0;    // part of a millisecond shifted but not yet applied, 0..1

    // When not paused: prev = now, now = the source's reading.
    void tick();
    // now - paused_total - start, held within the int range.
    int demo_time() const;
    // ms between the last two ticks; 0 while paused.
    int delta() const { return paused ? 0 : int(now - prev); }
    // Moves the demo time on by `in_ms` (back when negative), keeping fractions of a
    // millisecond for later shifts.
    void shift(double in_ms);

    // The source every clock reads (the performance counter unless replaced). The clock does
    // not own it; passing null restores the performance counter.
    static void set_source(iTimeSource* in_source);
    static iTimeSource* source();
};
