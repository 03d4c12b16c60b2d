// Send effects and the master limiter: a stereo reverb, a tempo-synced ping-pong echo, and a
// look-ahead peak limiter.
#pragma once

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

// Brings every sample of `audio` to at most `ceiling` (linear) in both channels. The gain
// falls ahead of a peak over `lookahead` samples and recovers with `release_s`.
void limit(sStereo& audio, float ceiling, std::size_t lookahead, float release_s);

} // namespace soundtrack
