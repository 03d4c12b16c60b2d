// Controller curves (see ctrl_curve.h).
#include "ctrl_curve.h"

#include <algorithm>

namespace soundtrack {

namespace {

constexpr float kSmooth = 0.0015f; // per-sample share of the remaining step: ~15 ms

} // namespace

cCtrlCurve::cCtrlCurve(const sTrack& track, int controller, int fallback)
    : m_fallback(float(fallback))
{
    for (const sCtrl& c : track.ctrls)
        if (c.controller == controller)
            m_points.emplace_back(sample_of_tick(c.tick), float(c.value));
    std::stable_sort(m_points.begin(), m_points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

cCtrlCurve::cFollower::cFollower(const cCtrlCurve& curve, std::size_t start) : m_curve(&curve)
{
    const auto& p = curve.m_points;
    const auto after =
        std::upper_bound(p.begin(), p.end(), start,
                         [](std::size_t s, const auto& point) { return s < point.first; });
    m_next = std::size_t(after - p.begin());
    m_target = m_next > 0 ? p[m_next - 1].second : curve.m_fallback;
    m_value = m_target;
}

float cCtrlCurve::cFollower::at(std::size_t sample)
{
    const auto& p = m_curve->m_points;
    while (m_next < p.size() && p[m_next].first <= sample)
        m_target = p[m_next++].second;
    m_value += (m_target - m_value) * kSmooth;
    return m_value;
}

} // namespace soundtrack
