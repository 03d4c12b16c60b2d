// Send effects and the limiter (see effects.h).
#include "effects.h"

#include "dsp.h"
#include "stereo_buffer.h"

#include <deque>

namespace soundtrack {

cReverb::cReverb(float feedback, float damping)
    : m_feedback(std::clamp(feedback, 0.0f, 0.98f)), m_damp(std::clamp(damping, 0.0f, 1.0f))
{
    // Mutually prime lengths (samples at 44.1 kHz); the right channel is 23 samples longer.
    static const std::size_t combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const std::size_t allpasses[4] = {556, 441, 341, 225};
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 8; ++i)
            m_combs[ch][i].line.assign(combs[i] + std::size_t(ch) * 23, 0.0f);
        for (int i = 0; i < 4; ++i)
            m_allpasses[ch][i].line.assign(allpasses[i] + std::size_t(ch) * 23, 0.0f);
    }
}

float cReverb::comb(sComb& c, float in, float feedback, float damp)
{
    const float out = c.line[c.pos];
    c.store = out * (1.0f - damp) + c.store * damp;
    c.line[c.pos] = in + c.store * feedback;
    if (++c.pos == c.line.size())
        c.pos = 0;
    return out;
}

float cReverb::allpass(sAllpass& a, float in)
{
    const float buffered = a.line[a.pos];
    const float out = buffered - in;
    a.line[a.pos] = in + buffered * 0.5f;
    if (++a.pos == a.line.size())
        a.pos = 0;
    return out;
}

void cReverb::process(float in, float& l, float& r)
{
    float out[2] = {0.0f, 0.0f};
    const float x = in * 0.03f;
    for (int ch = 0; ch < 2; ++ch) {
        for (sComb& c : m_combs[ch])
            out[ch] += comb(c, x, m_feedback, m_damp);
        for (sAllpass& a : m_allpasses[ch])
            out[ch] = allpass(a, out[ch]);
    }
    l = out[0];
    r = out[1];
}

cPingPong::cPingPong(std::size_t delay, float feedback)
    : m_left(std::max<std::size_t>(delay, 1), 0.0f), m_right(std::max<std::size_t>(delay, 1), 0.0f),
      m_feedback(feedback)
{
}

void cPingPong::process(float in, float& l, float& r)
{
    const float dl = m_left[m_pos];
    const float dr = m_right[m_pos];
    // Each repeat loses highs (one-pole low pass ~3.5 kHz) and lows (high pass ~250 Hz).
    m_lp_l += 0.4f * (dl - m_lp_l);
    m_lp_r += 0.4f * (dr - m_lp_r);
    m_hp_l += 0.035f * (m_lp_l - m_hp_l);
    m_hp_r += 0.035f * (m_lp_r - m_hp_r);
    const float fl = m_lp_l - m_hp_l;
    const float fr = m_lp_r - m_hp_r;
    m_left[m_pos] = in + fr * m_feedback;
    m_right[m_pos] = fl * m_feedback;
    if (++m_pos == m_left.size())
        m_pos = 0;
    l = fl;
    r = fr;
}

cWidener::cWidener(float rate_hz)
    : m_line(std::size_t(0.02 * kSampleRate), 0.0f),
      m_turn_sin(std::sin(2.0 * kPi * rate_hz / kSampleRate)),
      m_turn_cos(std::cos(2.0 * kPi * rate_hz / kSampleRate))
{
}

void cWidener::process(float& l, float& r, float amount)
{
    const float mono = 0.5f * (l + r);
    m_line[m_pos] = mono;
    const double delay = (0.012 + 0.003 * m_sin) * kSampleRate;
    const double s = m_sin * m_turn_cos + m_cos * m_turn_sin;
    m_cos = m_cos * m_turn_cos - m_sin * m_turn_sin;
    m_sin = s;
    const double back = double(m_pos) - delay + double(m_line.size());
    const std::size_t a = std::size_t(back) % m_line.size();
    const std::size_t b = (a + 1) % m_line.size();
    const float frac = float(back - std::floor(back));
    const float echo = m_line[a] + (m_line[b] - m_line[a]) * frac;
    m_pos = m_pos + 1 == m_line.size() ? 0 : m_pos + 1;
    l += amount * echo;
    r -= amount * echo;
}

cGlue::cGlue(float threshold_db, float ratio, float attack_s, float release_s)
    : m_threshold_db(threshold_db), m_slope(1.0f - 1.0f / std::max(ratio, 1.0f)),
      m_square_k(1.0f - decay_factor(0.005f)), m_attack_k(1.0f - decay_factor(attack_s)),
      m_release_k(1.0f - decay_factor(release_s))
{
}

void cGlue::process(float& l, float& r)
{
    m_square += m_square_k * (0.5f * (l * l + r * r) - m_square);
    const float level_db = 10.0f * std::log10(m_square + 1e-12f);
    const float target = std::max(0.0f, level_db - m_threshold_db) * m_slope;
    m_reduction_db +=
        (target - m_reduction_db) * (target > m_reduction_db ? m_attack_k : m_release_k);
    const float g = db_to_gain(-m_reduction_db);
    l *= g;
    r *= g;
}

std::vector<float> true_peaks(const std::vector<float>& x)
{
    // Hann-windowed sinc taps for the three points between samples, eight on each side.
    constexpr int kSide = 8;
    static const auto taps = [] {
        std::vector<float> t(3 * 2 * kSide);
        for (int phase = 1; phase <= 3; ++phase)
            for (int j = -kSide + 1; j <= kSide; ++j) {
                const double d = double(j) - phase / 4.0; // distance of tap j from the point
                const double sinc = std::sin(kPi * d) / (kPi * d);
                const double w = 0.5 + 0.5 * std::cos(kPi * d / kSide);
                t[std::size_t((phase - 1) * 2 * kSide + (j + kSide - 1))] = float(sinc * w);
            }
        return t;
    }();
    const std::size_t n = x.size();
    std::vector<float> peak(n);
    for (std::size_t i = 0; i < n; ++i) {
        float p = std::fabs(x[i]);
        if (i + kSide < n && i >= std::size_t(kSide - 1)) {
            for (int phase = 0; phase < 3; ++phase) {
                const float* t = &taps[std::size_t(phase * 2 * kSide)];
                float v = 0.0f;
                for (int j = 0; j < 2 * kSide; ++j)
                    v += t[j] * x[i + std::size_t(j) + 1 - kSide];
                p = std::max(p, std::fabs(v));
            }
        }
        peak[i] = p;
    }
    return peak;
}

void limit(sStereo& audio, float ceiling, std::size_t lookahead, float release_s, bool true_peak)
{
    const std::size_t n = audio.size();
    if (n == 0)
        return;
    // The gain each sample needs on its own; a point between two samples asks it of both.
    std::vector<float> need(n);
    if (true_peak) {
        const std::vector<float> pl = true_peaks(audio.l), pr = true_peaks(audio.r);
        for (std::size_t i = 0; i < n; ++i) {
            const float peak = std::max(pl[i], pr[i]);
            need[i] = peak > ceiling ? ceiling / peak : 1.0f;
        }
        for (std::size_t i = n - 1; i > 0; --i)
            need[i] = std::min(need[i], need[i - 1]);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const float peak = std::max(std::fabs(audio.l[i]), std::fabs(audio.r[i]));
            need[i] = peak > ceiling ? ceiling / peak : 1.0f;
        }
    }
    // The lowest need over [i, i + lookahead]: a running minimum with a monotonic queue.
    std::vector<float> ahead(n);
    std::deque<std::size_t> window;
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t last = std::min(n - 1, i + lookahead);
        for (; next <= last; ++next) {
            while (!window.empty() && need[window.back()] >= need[next])
                window.pop_back();
            window.push_back(next);
        }
        while (window.front() < i)
            window.pop_front();
        ahead[i] = need[window.front()];
    }
    // Release: the gain may drop at once but rises slowly.
    const float rise = 1.0f - decay_factor(release_s);
    float g = 1.0f;
    for (std::size_t i = 0; i < n; ++i) {
        g = ahead[i] < g ? ahead[i] : g + (ahead[i] - g) * rise;
        ahead[i] = g;
    }
    // Averaging over the look-ahead softens the drop; every value averaged for sample i
    // looked ahead at sample i, so the average never exceeds what sample i needs.
    double sum = 0.0;
    const std::size_t w = lookahead + 1;
    for (std::size_t i = 0; i < n; ++i) {
        sum += ahead[i];
        if (i >= w)
            sum -= ahead[i - w];
        const std::size_t count = std::min(i + 1, w);
        float gain = float(sum / double(count));
        gain = std::min(gain, need[i]); // rounding of the running sum
        audio.l[i] *= gain;
        audio.r[i] *= gain;
    }
}

} // namespace soundtrack
