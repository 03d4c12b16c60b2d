// A track's controller changes as a curve over sample positions, followed sample by sample.
#pragma once

#include "song.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace soundtrack {

class cCtrlCurve
{
public:
    // The changes of `controller` in `track`; `fallback` holds before the first one.
    cCtrlCurve(const sTrack& track, int controller, int fallback);

    // Walks the curve forward from a start sample; each step is smoothed over ~15 ms so a
    // change never clicks.
    class cFollower
    {
    public:
        cFollower(const cCtrlCurve& curve, std::size_t start);
        // The smoothed value (0..127) at `sample`; samples must not go backwards.
        float at(std::size_t sample);

    private:
        const cCtrlCurve* m_curve;
        std::size_t m_next = 0; // the first change not yet reached
        float m_target = 0.0f;
        float m_value = 0.0f;
    };

    cFollower from(std::size_t start) const { return cFollower(*this, start); }
    bool empty() const { return m_points.empty(); }

private:
    float m_fallback = 0.0f;
    std::vector<std::pair<std::size_t, float>> m_points; // sample, value; ascending
};

} // namespace soundtrack
