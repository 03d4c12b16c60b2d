// Demo clock locked to the music (see music_lock.h).
#include "music_lock.h"

#include <algorithm>
#include <cmath>

namespace {

// How fast a difference is removed (per second: about 1/8 s to take most of it, whatever the
// frame rate), and how fast the steady part learns a device clock that runs off by a fixed rate,
// so that no lag stays behind.
constexpr double PROPORTIONAL = 8.0; // 1/s
constexpr double INTEGRAL = 2.0;     // 1/s^2
constexpr double MAX_RATE = 50.0;    // ms per second; a sane device is off by a few at most

} // namespace

double cMusicLock::correction(double in_demo_ms, double in_heard_ms, double in_previous_ms,
                              double in_frame_ms)
{
    const double error = in_heard_ms - in_demo_ms; // positive: the picture is behind
    double target;
    if (m_snap || std::abs(error) > SNAP_MS) {
        // Taken at once; ahead of the music the picture waits until the music is there.
        m_snap = in_heard_ms < in_previous_ms;
        m_rate = 0.0;
        target = in_heard_ms;
    } else {
        const double seconds = std::max(0.0, in_frame_ms) / 1000.0;
        m_rate = std::clamp(m_rate + INTEGRAL * error * seconds, -MAX_RATE, MAX_RATE);
        const double share = 1.0 - std::exp(-PROPORTIONAL * seconds);
        target = in_demo_ms + share * error + m_rate * seconds;
    }
    // The demo time never steps back: ahead of the music, the picture waits for it.
    return std::max(target, in_previous_ms) - in_demo_ms;
}
