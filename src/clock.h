// The demo clock: milliseconds of demo time from a counter, minus the paused intervals and the
// start. The counter is the high-resolution timer unless a fixed-step source is installed
// (capture and benchmark runs advance the demo by exactly one frame time per frame).
#pragma once

#include <cstdint>

// Where the clock reads its milliseconds.
class iTimeSource
{
public:
    virtual ~iTimeSource() = default;
    virtual int read_ms() = 0;
};

// Counter milliseconds from SDL's performance counter.
class cPerformanceCounterSource : public iTimeSource
{
public:
    cPerformanceCounterSource();
    int read_ms() override;

private:
    uint64_t m_frequency; // counts per second
};

// A clock that only moves when told: advance() adds one frame time, kept in double precision
// so that 60 frames at 60 fps are exactly 1000 ms.
class cFixedStepSource : public iTimeSource
{
public:
    explicit cFixedStepSource(double in_fps, int in_start_ms = 0);
    // Frame n reads start + n * 1000 / fps, truncated: 0, 16, 33, 50, ... at 60 fps.
    int read_ms() override { return m_start + int(double(m_frames) * 1000.0 / m_fps); }
    void advance() { ++m_frames; }
    double step_ms() const { return 1000.0 / m_fps; }
    long long frames() const { return m_frames; }

private:
    int m_start;
    double m_fps;
    long long m_frames = 0;
};

struct cClock
{
    int start = 0;          // counter ms that is demo time 0
    int now = 0;            // counter ms at the last tick
    int prev = 0;           // counter ms at the tick before
    bool paused = false;    // while set, ticks do not advance `now`
    int paused_total = 0;   // sum of all paused intervals
    int64_t frequency = 0;  // counts per second of the performance counter

    // When not paused: prev = now, now = the source's reading.
    void tick();
    // now - paused_total - start
    int demo_time() const { return now - paused_total - start; }
    // ms between the last two ticks; 0 while paused.
    int delta() const { return paused ? 0 : now - prev; }

    // The source every clock reads (the performance counter unless replaced). The clock does
    // not own it; passing null restores the performance counter.
    static void set_source(iTimeSource* in_source);
    static iTimeSource* source();
};
