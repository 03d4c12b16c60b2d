// Small building blocks of the synthesizer: noise, band-limited oscillators, filters and
// envelope helpers. Everything runs at 44.1 kHz on floats and is deterministic.
#pragma once

#include "song.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace soundtrack {

constexpr double kPi = 3.14159265358979323846;
constexpr float kSampleTime = 1.0f / float(kSampleRate);

inline double mtof(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}
inline float db_to_gain(float db)
{
    return std::pow(10.0f, db / 20.0f);
}

// Smooth saturation, exact enough for audio: odd, monotonic, +-1 beyond +-3.
inline float soft_clip(float x)
{
    if (x <= -3.0f)
        return -1.0f;
    if (x >= 3.0f)
        return 1.0f;
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

// Per-sample factor of an exponential decay with time constant `seconds`.
inline float decay_factor(float seconds)
{
    return std::exp(-1.0f / (std::max(seconds, 1e-5f) * float(kSampleRate)));
}

// Uniform white noise in [-1, 1) from a 32-bit xorshift. The seed is scrambled first: the first
// values a bare xorshift gives for neighbouring seeds (notes a few ticks apart) lie close
// together, so what should vary from note to note would only creep along.
class cNoise
{
public:
    explicit cNoise(uint32_t seed) : m_state(scramble(seed)) {}
    float next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return float(int32_t(m_state)) * (1.0f / 2147483648.0f);
    }

private:
    static uint32_t scramble(uint32_t x)
    {
        x ^= x >> 16;
        x *= 0x85EBCA6Bu;
        x ^= x >> 13;
        x *= 0xC2B2AE35u;
        x ^= x >> 16;
        return x ? x : 0x9E3779B9u;
    }

    uint32_t m_state;
};

// Band-limited oscillator (polyBLEP). `inc` is the frequency in cycles per sample.
class cOsc
{
public:
    explicit cOsc(double phase = 0.0) : m_phase(phase) {}

    float saw(double inc)
    {
        const float v = float(2.0 * m_phase - 1.0) - blep(m_phase, inc);
        advance(inc);
        return v;
    }
    float square(double inc)
    {
        float v = m_phase < 0.5 ? 1.0f : -1.0f;
        v += blep(m_phase, inc);
        v -= blep(std::fmod(m_phase + 0.5, 1.0), inc);
        advance(inc);
        return v;
    }
    float sine(double inc)
    {
        const float v = float(std::sin(2.0 * kPi * m_phase));
        advance(inc);
        return v;
    }
    double phase() const { return m_phase; }

private:
    void advance(double inc)
    {
        m_phase += inc;
        m_phase -= std::floor(m_phase);
    }
    static float blep(double t, double dt)
    {
        if (dt <= 0.0)
            return 0.0f;
        if (t < dt) {
            t /= dt;
            return float(t + t - t * t - 1.0);
        }
        if (t > 1.0 - dt) {
            t = (t - 1.0) / dt;
            return float(t * t + t + t + 1.0);
        }
        return 0.0f;
    }

    double m_phase = 0.0; // 0..1
};

// The slow wander of an analogue oscillator: two sines at unrelated rates, turned a little every
// sample, give a frequency factor that drifts up to `depth_semitones` either way and never
// repeats within a phrase. A held note's harmonics wander with it instead of standing still.
class cDrift
{
public:
    cDrift(float rate_hz, float depth_semitones, double phase)
        : m_depth(0.0578f * depth_semitones) // ln 2 / 12: semitones to a factor, near 1
    {
        for (int k = 0; k < 2; ++k) {
            const double w = 2.0 * kPi * rate_hz * (k == 0 ? 1.0 : 1.618) / kSampleRate;
            m_turn_sin[k] = std::sin(w);
            m_turn_cos[k] = std::cos(w);
            m_sin[k] = std::sin(2.0 * kPi * (phase + 0.31 * k));
            m_cos[k] = std::cos(2.0 * kPi * (phase + 0.31 * k));
        }
    }
    double next()
    {
        for (int k = 0; k < 2; ++k) {
            const double s = m_sin[k] * m_turn_cos[k] + m_cos[k] * m_turn_sin[k];
            m_cos[k] = m_cos[k] * m_turn_cos[k] - m_sin[k] * m_turn_sin[k];
            m_sin[k] = s;
        }
        return 1.0 + m_depth * (0.6 * m_sin[0] + 0.4 * m_sin[1]);
    }

private:
    float m_depth;
    double m_sin[2] = {}, m_cos[2] = {}, m_turn_sin[2] = {}, m_turn_cos[2] = {};
};

// The same kind of wander read at one moment of the song (`sample`), for parts whose notes are
// too short to drift within themselves: each note takes the tuning of its moment.
inline double drift_at(std::size_t sample, float rate_hz, float depth_semitones)
{
    const double t = 2.0 * kPi * rate_hz * double(sample) / kSampleRate;
    return 1.0 + 0.0578 * depth_semitones * (0.6 * std::sin(t) + 0.4 * std::sin(1.618 * t + 1.9));
}

// Zero-delay-feedback state-variable filter: low, band and high pass from one state.
class cSvf
{
public:
    // `q` 0.5 (soft) .. 20 (ringing).
    void set(float cutoff_hz, float q)
    {
        cutoff_hz = std::clamp(cutoff_hz, 10.0f, 0.45f * float(kSampleRate));
        const float g = std::tan(float(kPi) * cutoff_hz / float(kSampleRate));
        m_k = 1.0f / std::max(q, 0.05f);
        m_a1 = 1.0f / (1.0f + g * (g + m_k));
        m_a2 = g * m_a1;
        m_a3 = g * m_a2;
    }
    void process(float x, float& lp, float& bp, float& hp)
    {
        const float v3 = x - m_ic2;
        const float v1 = m_a1 * m_ic1 + m_a2 * v3;
        const float v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
        m_ic1 = 2.0f * v1 - m_ic1;
        m_ic2 = 2.0f * v2 - m_ic2;
        lp = v2;
        bp = v1;
        hp = x - m_k * v1 - v2;
    }
    float lowpass(float x)
    {
        float lp, bp, hp;
        process(x, lp, bp, hp);
        return lp;
    }
    float bandpass(float x)
    {
        float lp, bp, hp;
        process(x, lp, bp, hp);
        return bp;
    }
    float highpass(float x)
    {
        float lp, bp, hp;
        process(x, lp, bp, hp);
        return hp;
    }

private:
    float m_ic1 = 0.0f, m_ic2 = 0.0f;
    float m_k = 1.0f, m_a1 = 0.0f, m_a2 = 0.0f, m_a3 = 0.0f;
};

// One-pole lowpass; `highpass` returns the input minus the lowpassed part.
class cOnePole
{
public:
    void set(float cutoff_hz)
    {
        m_a = 1.0f - std::exp(-2.0f * float(kPi) * cutoff_hz / float(kSampleRate));
    }
    float lowpass(float x)
    {
        m_z += m_a * (x - m_z);
        return m_z;
    }
    float highpass(float x) { return x - lowpass(x); }

private:
    float m_a = 1.0f;
    float m_z = 0.0f;
};

// Four-pole transistor-ladder lowpass with a saturating input, run at twice the sample rate:
// the squelch of the acid line. Resonance 0..1 (1 is close to self-oscillation).
class cLadder
{
public:
    void set(float cutoff_hz, float resonance)
    {
        cutoff_hz = std::clamp(cutoff_hz, 20.0f, 16000.0f);
        m_g = 1.0f - std::exp(-2.0f * float(kPi) * cutoff_hz / (2.0f * float(kSampleRate)));
        m_k = 3.9f * std::clamp(resonance, 0.0f, 1.0f);
    }
    float process(float x)
    {
        step(0.5f * (x + m_prev));
        step(x);
        m_prev = x;
        return m_y[3];
    }

private:
    void step(float x)
    {
        const float u = soft_clip((1.0f + 0.6f * m_k) * x - m_k * m_y[3]);
        m_y[0] += m_g * (u - m_y[0]);
        m_y[1] += m_g * (m_y[0] - m_y[1]);
        m_y[2] += m_g * (m_y[1] - m_y[2]);
        m_y[3] += m_g * (m_y[2] - m_y[3]);
    }

    float m_y[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_prev = 0.0f;
    float m_g = 0.1f;
    float m_k = 0.0f;
};

// Second-order section in double precision (transposed direct form II).
struct sBiquad
{
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double z1 = 0.0, z2 = 0.0;

    double process(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// Equal-power pan gains for `pan` in -1 (left) .. 1 (right).
inline void pan_gains(float pan, float& left, float& right)
{
    const float a = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.25f * float(kPi);
    left = std::cos(a) * 1.41421356f;
    right = std::sin(a) * 1.41421356f;
}

} // namespace soundtrack
