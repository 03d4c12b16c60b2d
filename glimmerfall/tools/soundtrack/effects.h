// Send effects and the master's dynamics: a stereo reverb, a tempo-synced ping-pong echo, a
// glue compressor, a soft clipper and a look-ahead peak limiter.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace soundtrack {

struct sStereo;

// Comb-and-allpass reverb with a mono input and a decorrelated stereo output.
class cReverb
{
public:
    // `feedback` 0..0.98 sets the length of the tail, `damping` 0..1 its darkness.
    cReverb(float feedback, float damping);
    void process(float in, float& l, float& r);

private:
    struct sComb
    {
        std::vector<float> line;
        std::size_t pos = 0;
        float store = 0.0f;
    };
    struct sAllpass
    {
        std::vector<float> line;
        std::size_t pos = 0;
    };
    static float comb(sComb& c, float in, float feedback, float damp);
    static float allpass(sAllpass& a, float in);

    sComb m_combs[2][8];
    sAllpass m_allpasses[2][4];
    float m_feedback = 0.84f;
    float m_damp = 0.3f;
};

// Echo that bounces between left and right, darker with every repeat.
class cPingPong
{
public:
    // `delay` in samples.
    cPingPong(std::size_t delay, float feedback);
    void process(float in, float& l, float& r);

private:
    std::vector<float> m_left, m_right;
    std::size_t m_pos = 0;
    float m_feedback = 0.45f;
    float m_lp_l = 0.0f, m_lp_r = 0.0f;
    float m_hp_l = 0.0f, m_hp_r = 0.0f;
};

// Widens a channel: a copy delayed by a slowly wandering 9 to 15 ms is added to the left and
// taken from the right, so the sum (mono) is untouched while left and right part ways.
class cWidener
{
public:
    explicit cWidener(float rate_hz);
    void process(float& l, float& r, float amount);

private:
    std::vector<float> m_line;
    std::size_t m_pos = 0;
    double m_sin = 0.0, m_cos = 1.0; // the wander, turned a little every sample
    double m_turn_sin = 0.0, m_turn_cos = 1.0;
};

// A plain delay of whole samples.
class cDelay
{
public:
    explicit cDelay(std::size_t samples) : m_line(std::max<std::size_t>(samples, 1), 0.0f) {}
    float process(float x)
    {
        const float y = m_line[m_pos];
        m_line[m_pos] = x;
        m_pos = m_pos + 1 == m_line.size() ? 0 : m_pos + 1;
        return y;
    }

private:
    std::vector<float> m_line;
    std::size_t m_pos = 0;
};

// A gentle stereo-linked compressor that holds a mix together: above `threshold_db` (mean
// square of both channels) the level rises by 1/`ratio`, the gain following the level with
// `attack_s` and `release_s`.
class cGlue
{
public:
    cGlue(float threshold_db, float ratio, float attack_s, float release_s);
    void process(float& l, float& r);

private:
    float m_threshold_db, m_slope;
    float m_square = 0.0f, m_square_k;
    float m_reduction_db = 0.0f, m_attack_k, m_release_k;
};

// Rounds peaks off above `knee` (linear) so the output never exceeds `ceiling`; below the
// knee the signal passes unchanged.
inline float soft_clip_knee(float x, float knee, float ceiling)
{
    const float a = std::fabs(x);
    if (a <= knee)
        return x;
    const float room = ceiling - knee;
    const float y = knee + room * std::tanh((a - knee) / room);
    return x < 0.0f ? -y : y;
}

// The highest of a sample and the three points a quarter, a half and three quarters of the way
// to the next one, as a band-limited reconstruction gives them (|value|): the true peak an
// encoder or a converter sees.
std::vector<float> true_peaks(const std::vector<float>& x);

// Brings every sample of `audio` to at most `ceiling` (linear) in both channels; with
// `true_peak` the points between samples too. The gain falls ahead of a peak over
// `lookahead` samples and recovers with `release_s`.
void limit(sStereo& audio, float ceiling, std::size_t lookahead, float release_s,
           bool true_peak = false);

} // namespace soundtrack
