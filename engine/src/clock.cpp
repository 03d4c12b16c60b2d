// Demo clock and its time sources (see clock.h).
#include "clock.h"

#include <SDL2/SDL.h>

#include <climits>
#include <cmath>

namespace {

iTimeSource* g_source = nullptr;
vnt::tCounterFn g_counter = nullptr;
uint64_t g_frequency = 0;

} // namespace

namespace vnt {

void set_counter(tCounterFn in_counter, uint64_t in_frequency)
{
    g_counter = in_counter;
    g_frequency = in_counter ? in_frequency : 0;
}

uint64_t counter_ticks()
{
    return g_counter ? g_counter() : SDL_GetPerformanceCounter();
}

uint64_t counter_frequency()
{
    if (g_counter)
        return g_frequency ? g_frequency : 1;
    static const uint64_t sdl_frequency = SDL_GetPerformanceFrequency();
    return sdl_frequency ? sdl_frequency : 1;
}

double ticks_between_ms(uint64_t in_from, uint64_t in_to)
{
    // Unsigned subtraction survives the counter wrapping; whole seconds and the rest are
    // converted apart so that no product leaves 64 bits.
    const uint64_t ticks = in_to - in_from;
    const uint64_t frequency = counter_frequency();
    return double(ticks / frequency) * 1000.0 +
           double(ticks % frequency) * 1000.0 / double(frequency);
}

int64_t elapsed_ms(uint64_t in_from)
{
    const uint64_t ticks = counter_ticks() - in_from;
    const uint64_t frequency = counter_frequency();
    return int64_t(ticks / frequency) * 1000 +
           int64_t(double(ticks % frequency) * 1000.0 / double(frequency));
}

} // namespace vnt

cPerformanceCounterSource::cPerformanceCounterSource() : m_origin(vnt::counter_ticks()) {}

int64_t cPerformanceCounterSource::read_ms()
{
    return vnt::elapsed_ms(m_origin);
}

void cPerformanceCounterSource::restart()
{
    m_origin = vnt::counter_ticks();
}

cFixedStepSource::cFixedStepSource(double in_fps, int in_start_ms)
    : m_start(in_start_ms), m_fps(in_fps)
{
}

void cClock::tick()
{
    if (paused)
        return;
    prev = now;
    now = source()->read_ms();
}

int cClock::demo_time() const
{
    const int64_t t = now - paused_total - start;
    return int(t < INT_MIN ? INT_MIN : t > INT_MAX ? INT_MAX : t);
}

void cClock::shift(double in_ms)
{
    shift_rest += in_ms;
    const double whole = std::floor(shift_rest);
    shift_rest -= whole;
    start -= int64_t(whole);
}

void cClock::set_source(iTimeSource* in_source)
{
    g_source = in_source;
}

iTimeSource* cClock::source()
{
    static cPerformanceCounterSource counter;
    return g_source ? g_source : &counter;
}
