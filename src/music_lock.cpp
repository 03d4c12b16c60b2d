// Demo clock locked to the music (see music_lock.h).
#include "music_lock.h"

#include <algorithm>
#include <cmath>

namespace {

// Share of the difference removed per frame, and the share added to the steady part: the
// steady part takes up a device clock that runs off by a fixed rate, so no lag stays behind.
constexpr double PROPORTIONAL = 0.2;
constexpr double INTEGRAL = 0.005;
constexpr double MAX_STEADY_MS = 5.0; // per frame; the steady part of a sane device is far less

} // namespace

double cMusicLock::correction(double in_demo_ms, double in_heard_ms, double in_previous_ms)
{
    const double error = in_heard_ms - in_demo_ms; // positive: the picture is behind
    double target;
    if (m_snap || std::abs(error) > SNAP_MS) {
        // Taken at once; ahead of the music the picture waits until the music is there.
        m_snap = in_heard_ms < in_previous_ms;
        m_integral = 0.0;
        target = in_heard_ms;
    } else {
        m_integral = std::clamp(m_integral + INTEGRAL * error, -MAX_STEADY_MS, MAX_STEADY_MS);
        target = in_demo_ms + PROPORTIONAL * error + m_integral;
    }
    // The demo time never steps back: ahead of the music, the picture waits for it.
    return std::max(target, in_previous_ms) - in_demo_ms;
}
