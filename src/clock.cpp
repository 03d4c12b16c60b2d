// Demo clock and its time sources (see clock.h).
#include "clock.h"

#include <SDL2/SDL.h>

namespace {

iTimeSource* g_source = nullptr;

} // namespace

cPerformanceCounterSource::cPerformanceCounterSource()
    : m_frequency(SDL_GetPerformanceFrequency())
{
}

int cPerformanceCounterSource::read_ms()
{
    return int(double(SDL_GetPerformanceCounter()) / double(m_frequency) * 1000.0);
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

void cClock::set_source(iTimeSource* in_source) { g_source = in_source; }

iTimeSource* cClock::source()
{
    static cPerformanceCounterSource counter;
    return g_source ? g_source : &counter;
}
