// Tonal instruments (see synths.h). Polyphonic parts render note by note; the acid line and
// the lead are monophonic voices that glide where a note overlaps the next one.
#include "synths.h"

#include "ctrl_curve.h"
#include "dsp.h"
#include "stereo_buffer.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace soundtrack {

namespace {

// Level of the drone's breath against its tone.
constexpr float kDroneAir = 0.6f;

float seconds_at(std::size_t i)
{
    return float(i) * kSampleTime;
}
float velocity_gain(int velocity)
{
    return float(std::clamp(velocity, 1, 127)) / 127.0f;
}

// Plays a monophonic part: a note that overlaps the next glides into it without restarting
// the envelopes. `V` provides trigger(note), glide(note), sample(i, gate, l, r) and silent().
template <class V> void render_mono(const sTrack& track, V& voice, sStereo& out)
{
    const std::vector<sNote>& notes = track.notes;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const sNoteSpan span = span_of(notes[k]);
        if (span.start >= out.size())
            break;
        const bool slide_in = k > 0 && notes[k - 1].tick + notes[k - 1].length > notes[k].tick;
        const bool has_next = k + 1 < notes.size();
        const bool slide_out = has_next && notes[k].tick + notes[k].length > notes[k + 1].tick;
        const std::size_t next_start =
            has_next ? span_of(notes[k + 1]).start : std::numeric_limits<std::size_t>::max();
        const std::size_t gate_end = slide_out ? next_start : span.start + span.length;
        const std::size_t seg_end = std::min(next_start, out.size());
        if (slide_in)
            voice.glide(notes[k]);
        else
            voice.trigger(notes[k]);
        for (std::size_t i = span.start; i < seg_end; ++i) {
            const bool gate = i < gate_end;
            if (!gate && voice.silent())
                break;
            float l = 0.0f, r = 0.0f;
            voice.sample(i, gate, l, r);
            out.l[i] += l;
            out.r[i] += r;
        }
    }
}

// The acid line: one saw through a resonant ladder, accents (velocity >= 110) open the
// filter further and play louder, slides glide the pitch.
class cAcidVoice
{
public:
    explicit cAcidVoice(const sTrack& track)
        : m_cutoff_curve(track, 74, 64), m_reso_curve(track, 71, 90),
          m_cutoff(m_cutoff_curve.from(0)), m_reso(m_reso_curve.from(0))
    {
        m_highpass.set(110.0f);
    }

    void trigger(const sNote& n)
    {
        m_note = m_target = float(n.note);
        m_accent = n.velocity >= 110;
        m_fenv = 1.0f;
        m_fdecay = decay_factor(m_accent ? 0.11f : 0.2f);
        m_level = m_accent ? 1.25f : 0.85f;
        // The attack starts from whatever still sounds, so a retrigger never clicks.
        m_attack = std::min(1.0f, m_amp / m_level);
    }
    void glide(const sNote& n) { m_target = float(n.note); }
    bool silent() const { return m_amp < 1e-5f; }

    void sample(std::size_t i, bool gate, float& l, float& r)
    {
        m_note += (m_target - m_note) * m_glide;
        if (m_note != m_inc_note) {
            m_inc_note = m_note;
            m_inc = mtof(m_note) / kSampleRate;
        }
        const float osc = m_osc.saw(m_inc * m_drift.next());

        const float cut = m_cutoff.at(i);
        const float reso = m_reso.at(i) / 127.0f;
        const float env_oct = m_accent ? 3.4f : 2.3f;
        const float base = 80.0f * std::exp2(cut / 127.0f * 5.6f);
        m_ladder.set(base * std::exp2(env_oct * m_fenv), reso);
        m_fenv *= m_fdecay;

        if (gate) {
            m_attack = std::min(1.0f, m_attack + 1.0f / (0.002f * float(kSampleRate)));
            m_amp = m_attack * m_level;
        } else {
            m_amp *= m_release;
        }
        const float y = m_ladder.process(osc) * m_amp;
        const float v = m_highpass.highpass(soft_clip(2.2f * y));
        l = v;
        r = v;
    }

private:
    cCtrlCurve m_cutoff_curve, m_reso_curve;
    cCtrlCurve::cFollower m_cutoff, m_reso;
    cOsc m_osc;
    cDrift m_drift{0.23f, 0.16f, 0.3};
    cLadder m_ladder;
    cOnePole m_highpass;
    float m_note = 40.0f, m_target = 40.0f, m_inc_note = -1.0f;
    double m_inc = 0.0;
    float m_glide = 1.0f - decay_factor(0.03f);
    float m_fenv = 0.0f, m_fdecay = 0.0f;
    float m_attack = 0.0f, m_amp = 0.0f, m_level = 1.0f;
    float m_release = decay_factor(0.006f);
    bool m_accent = false;
};

// The melody lead: two detuned saws and a sine an octave below, delayed vibrato, a soft
// filter envelope; legato notes glide.
class cLeadVoice
{
public:
    explicit cLeadVoice(const sTrack& track)
        : m_cutoff_curve(track, 74, 80), m_cutoff(m_cutoff_curve.from(0))
    {
    }

    void trigger(const sNote& n)
    {
        m_note = m_target = float(n.note);
        m_attacking = true;
        m_fenv = 1.0f;
        m_since_note = 0;
        m_level = 0.6f + 0.4f * velocity_gain(n.velocity);
    }
    void glide(const sNote& n)
    {
        m_target = float(n.note);
        m_since_note = 0;
    }
    bool silent() const { return m_amp < 1e-5f; }

    void sample(std::size_t i, bool gate, float& l, float& r)
    {
        m_note += (m_target - m_note) * m_glide;
        const float t = seconds_at(m_since_note++);
        // A touch of vibrato from the start, the full swing after half a second.
        const float depth = 0.06f + std::clamp((t - 0.1f) / 0.4f, 0.0f, 1.0f) * 0.24f;
        const float vib = depth * std::sin(2.0f * float(kPi) * 5.3f * t);
        if ((i & 15) == 0 || m_inc_note < 0.0f) {
            m_inc_note = m_note + vib;
            m_inc = mtof(m_inc_note) / kSampleRate;
        }
        const double detune = 0.008; // fourteen cents
        const float a = m_osc_a.saw(m_inc * (1.0 + detune) * m_drift_a.next());
        const float b = m_osc_b.saw(m_inc * (1.0 - detune) * m_drift_b.next());
        const float sub = m_osc_sub.sine(m_inc * 0.5) * 0.45f;

        if ((i & 15) == 0) {
            const float base = 500.0f * std::exp2(m_cutoff.at(i) / 127.0f * 3.5f);
            const float cutoff = base * (1.0f + 1.2f * m_fenv);
            m_filter_l.set(cutoff, 1.1f);
            m_filter_r.set(cutoff, 1.1f);
            m_slope_l.set(cutoff, 0.6f);
            m_slope_r.set(cutoff, 0.6f);
        } else {
            m_cutoff.at(i);
        }
        m_fenv *= m_fdecay;

        // The envelope glides toward its target from wherever it is: up to the note's level
        // (5 ms), settling to 80 % of it while held (0.3 s), down to silence after the gate.
        if (!gate) {
            m_env *= m_release;
        } else if (m_attacking) {
            m_env += (m_level - m_env) * m_attack;
            m_attacking = m_env < 0.98f * m_level;
        } else {
            m_env += (0.8f * m_level - m_env) * m_decay;
        }
        m_amp = m_env;
        l = m_slope_l.lowpass(m_filter_l.lowpass(a * 0.7f + b * 0.3f + sub)) * m_amp;
        r = m_slope_r.lowpass(m_filter_r.lowpass(b * 0.7f + a * 0.3f + sub)) * m_amp;
    }

private:
    cCtrlCurve m_cutoff_curve;
    cCtrlCurve::cFollower m_cutoff;
    cOsc m_osc_a{0.0}, m_osc_b{0.37}, m_osc_sub{0.5};
    cDrift m_drift_a{0.27f, 0.2f, 0.0}, m_drift_b{0.33f, 0.2f, 0.45};
    cSvf m_filter_l, m_filter_r, m_slope_l, m_slope_r; // 24 dB an octave: a round top end
    float m_note = 64.0f, m_target = 64.0f, m_inc_note = -1.0f;
    double m_inc = 0.0;
    float m_glide = 1.0f - decay_factor(0.045f);
    std::size_t m_since_note = 0;
    bool m_attacking = false;
    float m_env = 0.0f, m_amp = 0.0f, m_level = 1.0f;
    float m_attack = 1.0f - decay_factor(0.005f), m_decay = 1.0f - decay_factor(0.3f);
    float m_fenv = 0.0f, m_fdecay = decay_factor(0.15f);
    float m_release = decay_factor(0.12f);
};

// Renders one note of a polyphonic part: `voice(t, gate, l, r)` for each sample from the
// note's start until `tail` seconds after its end or until the voice reports silence.
template <class F> void render_note(const sNote& n, double tail, sStereo& out, F voice)
{
    const sNoteSpan span = span_of(n);
    if (span.start >= out.size())
        return;
    const std::size_t end =
        std::min(out.size(), span.start + span.length + std::size_t(tail * kSampleRate));
    for (std::size_t i = span.start; i < end; ++i) {
        float l = 0.0f, r = 0.0f;
        if (!voice(i - span.start, i < span.start + span.length, l, r))
            break;
        out.l[i] += l;
        out.r[i] += r;
    }
}

} // namespace

void render_bass(const sTrack& track, sStereo& out)
{
    for (const sNote& n : track.notes) {
        const float cc = float(track.ctrl_at(74, n.tick, 90));
        const float base = 55.0f * std::exp2(cc / 127.0f * 5.0f);
        const float vel = velocity_gain(n.velocity);
        const double inc = mtof(n.note) / kSampleRate;
        cOsc saw, sub;
        cSvf f1, f2;
        float amp = 0.0f;
        const float release = decay_factor(0.005f);
        render_note(n, 0.05, out, [&](std::size_t i, bool gate, float& l, float& r) {
            const float t = seconds_at(i);
            if ((i & 15) == 0) {
                const float cutoff = base * (1.0f + 5.0f * vel * std::exp(-t / 0.04f));
                f1.set(cutoff, 0.75f);
                f2.set(cutoff, 0.9f);
            }
            if (gate)
                amp = std::min(1.0f, t / 0.0015f);
            else
                amp *= release;
            // The rising ramp's fundamental is -(2/pi) sin: the sub joins it with the same
            // sign, so the two add up instead of cancelling.
            const float x = f2.lowpass(f1.lowpass(saw.saw(inc))) - 0.38f * sub.sine(inc);
            const float v = soft_clip(1.4f * x) * amp * (0.75f + 0.25f * vel);
            l = v;
            r = v;
            return gate || amp > 1e-5f;
        });
    }
}

void render_acid(const sTrack& track, sStereo& out)
{
    cAcidVoice voice(track);
    render_mono(track, voice, out);
}

void render_lead(const sTrack& track, sStereo& out)
{
    cLeadVoice voice(track);
    render_mono(track, voice, out);
}

void render_pad(const sTrack& track, sStereo& out)
{
    static const float detune[5] = {-0.0122f, -0.0058f, 0.0f, 0.0061f, 0.0118f}; // ~21 cents
    static const float pan[5] = {-0.9f, -0.45f, 0.0f, 0.45f, 0.9f};
    const cCtrlCurve curve(track, 74, 64);
    uint32_t seed = 1;
    for (const sNote& n : track.notes) {
        cNoise phases(seed++ * 2654435761u);
        cOsc osc[5];
        for (cOsc& o : osc)
            o = cOsc(0.5 + 0.5 * double(phases.next()));
        // Each voice drifts on its own, so the unison shimmers and no harmonic holds still.
        cDrift drift[5] = {{0.17f, 0.14f, 0.5 + 0.5 * phases.next()},
                           {0.23f, 0.14f, 0.5 + 0.5 * phases.next()},
                           {0.29f, 0.14f, 0.5 + 0.5 * phases.next()},
                           {0.37f, 0.14f, 0.5 + 0.5 * phases.next()},
                           {0.43f, 0.14f, 0.5 + 0.5 * phases.next()}};
        cSvf filter_l, filter_r, slope_l, slope_r; // 24 dB an octave: held chords stay warm
        auto cutoff = curve.from(span_of(n).start);
        const double inc = mtof(n.note) / kSampleRate;
        const std::size_t start = span_of(n).start;
        const float level = 0.34f * velocity_gain(n.velocity);
        float amp = 0.0f;
        const float release = decay_factor(1.3f);
        render_note(n, 12.0, out, [&](std::size_t i, bool gate, float& l, float& r) {
            const std::size_t at = start + i;
            const float cc = cutoff.at(at);
            if ((i & 31) == 0) {
                const float lfo = 0.35f * std::sin(2.0f * float(kPi) * 0.11f * seconds_at(at));
                const float hz = 180.0f * std::exp2(cc / 127.0f * 6.0f + lfo);
                filter_l.set(hz, 0.8f);
                filter_r.set(hz, 0.8f);
                slope_l.set(hz, 0.6f);
                slope_r.set(hz, 0.6f);
            }
            if (gate) {
                const float t = seconds_at(i);
                amp = t < 0.35f ? std::sin(0.5f * float(kPi) * t / 0.35f) : 1.0f;
            } else {
                amp *= release;
            }
            float sl = 0.0f, sr = 0.0f;
            for (int v = 0; v < 5; ++v) {
                const float s = osc[v].saw(inc * (1.0 + detune[v]) * drift[v].next());
                float gl, gr;
                pan_gains(pan[v], gl, gr);
                sl += s * gl;
                sr += s * gr;
            }
            l = slope_l.lowpass(filter_l.lowpass(sl)) * amp * level;
            r = slope_r.lowpass(filter_r.lowpass(sr)) * amp * level;
            return gate || amp > 1e-4f;
        });
    }
}

void render_arp(const sTrack& track, sStereo& out)
{
    int index = 0;
    for (const sNote& n : track.notes) {
        const float cc = float(track.ctrl_at(74, n.tick, 70));
        const float base = 200.0f * std::exp2(cc / 127.0f * 5.0f);
        const float vel = velocity_gain(n.velocity);
        const float side = (index++ & 1) ? 0.35f : -0.35f;
        float gl, gr;
        pan_gains(side, gl, gr);
        // The tuning of the moment, and each note a few cents off it of its own.
        cNoise slop(n.tick * 2246822519u + 7u);
        const double inc = mtof(n.note) * drift_at(span_of(n).start, 0.21f, 0.18f) *
                           (1.0 + 0.0578 * 0.08 * double(slop.next())) / kSampleRate;
        cOsc saw, square(0.25);
        cSvf filter, slope; // 24 dB an octave: the pluck's top rounds off
        float amp = 1.0f;
        const float decay = decay_factor(0.15f), release = decay_factor(0.03f);
        render_note(n, 0.3, out, [&](std::size_t i, bool gate, float& l, float& r) {
            if ((i & 15) == 0) {
                const float hz = base * (1.0f + 3.0f * std::exp(-seconds_at(i) / 0.05f));
                filter.set(hz, 1.4f);
                slope.set(hz, 0.6f);
            }
            const float attack = std::min(1.0f, seconds_at(i) / 0.001f);
            amp *= gate ? decay : release;
            const float x = saw.saw(inc) + 0.25f * square.square(inc * 2.0);
            const float v = slope.lowpass(filter.lowpass(x)) * amp * attack * vel * 0.5f;
            l = v * gl;
            r = v * gr;
            return amp > 1e-4f;
        });
    }
}

void render_stab(const sTrack& track, sStereo& out)
{
    for (const sNote& n : track.notes) {
        const double inc = mtof(n.note) * drift_at(span_of(n).start, 0.19f, 0.18f) / kSampleRate;
        const float vel = velocity_gain(n.velocity);
        cOsc a(0.1), b(0.6), c(0.35);
        cSvf filter_l, filter_r;
        float amp = 1.0f;
        const float decay = decay_factor(0.25f), release = decay_factor(0.05f);
        render_note(n, 0.4, out, [&](std::size_t i, bool gate, float& l, float& r) {
            if ((i & 15) == 0) {
                const float hz = 500.0f + 5200.0f * std::exp(-seconds_at(i) / 0.07f);
                filter_l.set(hz, 1.6f);
                filter_r.set(hz * 1.05f, 1.6f);
            }
            amp *= gate ? decay : release;
            const float sa = a.saw(inc * 1.008);
            const float sb = b.saw(inc * 0.992);
            const float sc = c.saw(inc);
            const float attack = std::min(1.0f, seconds_at(i) / 0.0015f);
            l = filter_l.lowpass(sa + 0.5f * sc) * amp * attack * vel * 0.35f;
            r = filter_r.lowpass(sb + 0.5f * sc) * amp * attack * vel * 0.35f;
            return amp > 1e-4f;
        });
    }
}

void render_bell(const sTrack& track, sStereo& out)
{
    for (const sNote& n : track.notes) {
        // No two strikes alike: the tuning of the moment and a modulator a little off its
        // 3.5 ratio move the inharmonic partials from hit to hit; left and right ring a few
        // cents apart.
        const std::size_t start = span_of(n).start;
        cNoise strike(n.tick * 2654435761u + uint32_t(n.note));
        const double f = mtof(n.note) * drift_at(start, 0.13f, 0.15f);
        const double ratio = 3.5 * (1.0 + 0.03 * double(strike.next()));
        const float vel = velocity_gain(n.velocity);
        double pc[2] = {0.0, 0.0}, pm[2] = {0.0, 0.0}, p2 = 0.0;
        static const double spread[2] = {1.0017, 0.9983};
        render_note(n, 10.0, out, [&](std::size_t i, bool, float& l, float& r) {
            const float t = seconds_at(i);
            const double index = 3.2 * std::exp(-t / 0.25) + 0.3 * std::exp(-t / 0.4);
            float body[2];
            for (int ch = 0; ch < 2; ++ch) {
                pc[ch] += f * spread[ch] / kSampleRate;
                pm[ch] += ratio * f * spread[ch] / kSampleRate;
                body[ch] =
                    float(std::sin(2.0 * kPi * pc[ch] + index * std::sin(2.0 * kPi * pm[ch])));
            }
            p2 += 2.0 * f / kSampleRate;
            const float amp = std::exp(-t / 1.2f) * std::min(1.0f, t / 0.002f) * vel * 0.35f;
            const float shimmer = float(std::sin(2.0 * kPi * p2)) * std::exp(-t / 0.5f) * 0.3f;
            l = (body[0] + shimmer) * amp;
            r = (body[1] - shimmer) * amp;
            return t < 0.01f || amp > 1e-4f;
        });
    }
}

void render_drone(const sTrack& track, sStereo& out)
{
    for (const sNote& n : track.notes) {
        const double inc = mtof(n.note) / kSampleRate;
        const float vel = velocity_gain(n.velocity);
        const std::size_t start = span_of(n).start;
        cOsc sine, saw_l(0.2), saw_r(0.7);
        cDrift drift_l(0.11f, 0.12f, 0.0), drift_r(0.14f, 0.12f, 0.5);
        cSvf filter_l, filter_r;
        // Its breath: air that gusts and turns its colour slowly, a bed under the bells and
        // the pads' overtones.
        cNoise air_l(start * 2u + 1u), air_r(start * 2u + 2u);
        cSvf air_band_l, air_band_r;
        cOnePole air_low_l, air_low_r;
        air_low_l.set(1400.0f);
        air_low_r.set(1400.0f);
        float amp = 0.0f;
        const float release = decay_factor(1.8f);
        render_note(n, 17.0, out, [&](std::size_t i, bool gate, float& l, float& r) {
            const float t = seconds_at(i);
            const float now = seconds_at(start + i);
            if ((i & 31) == 0) {
                const float sweep = 0.5f + 0.5f * std::sin(2.0f * float(kPi) * 0.07f * now);
                filter_l.set(180.0f + 260.0f * sweep, 1.8f);
                filter_r.set(200.0f + 240.0f * (1.0f - sweep), 1.8f);
                const float colour = std::sin(2.0f * float(kPi) * 0.05f * now);
                air_band_l.set(5000.0f * std::exp2(colour), 0.55f);
                air_band_r.set(5000.0f * std::exp2(-colour), 0.55f);
            }
            if (gate)
                amp = std::min(1.0f, t / 2.5f);
            else
                amp *= release;
            const float s = sine.sine(inc) * 0.6f;
            const float gust = 0.6f + 0.4f * std::sin(2.0f * float(kPi) * 0.09f * now + 1.3f);
            const float breath = kDroneAir * gust;
            l = (s + filter_l.lowpass(saw_l.saw(inc * 1.003 * drift_l.next())) +
                 breath * air_low_l.highpass(air_band_l.bandpass(air_l.next()))) *
                amp * vel * 0.5f;
            r = (s + filter_r.lowpass(saw_r.saw(inc * 0.997 * drift_r.next())) +
                 breath * air_low_r.highpass(air_band_r.bandpass(air_r.next()))) *
                amp * vel * 0.5f;
            return gate || amp > 1e-4f;
        });
    }
}

} // namespace soundtrack
