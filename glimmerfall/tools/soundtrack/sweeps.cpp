// Effect sounds (see sweeps.h).
#include "sweeps.h"

#include "dsp.h"
#include "stereo_buffer.h"

namespace soundtrack {

namespace {

float seconds_at(std::size_t i)
{
    return float(i) * kSampleTime;
}
float velocity_gain(int velocity)
{
    return float(std::clamp(velocity, 1, 127)) / 127.0f;
}

// Calls `fn(i, x, l, r)` for every sample of the note, x running 0..1 over its length; the
// last 10 ms fade out so the sound stops cleanly at the note-off.
template <class F> void over_note(const sNote& n, uint32_t seed, sStereo& out, F fn)
{
    const sNoteSpan span = span_of(n);
    if (span.start >= out.size() || span.length == 0)
        return;
    const std::size_t n_samples = std::min(span.length, out.size() - span.start);
    const std::size_t fade = std::min<std::size_t>(kSampleRate / 100, span.length);
    cNoise noise_l(seed), noise_r(seed * 48271u + 1u);
    for (std::size_t i = 0; i < n_samples; ++i) {
        const float x = float(i) / float(span.length);
        float l = 0.0f, r = 0.0f;
        fn(i, x, noise_l.next(), noise_r.next(), l, r);
        const float tail = i + fade >= span.length ? float(span.length - i) / float(fade) : 1.0f;
        out.l[span.start + i] += l * tail;
        out.r[span.start + i] += r * tail;
    }
}

} // namespace

void render_riser(const sTrack& track, sStereo& out)
{
    uint32_t seed = 11;
    for (const sNote& n : track.notes) {
        cSvf band_l, band_r;
        cOsc saw;
        cOnePole tone;
        tone.set(3000.0f);
        const float vel = velocity_gain(n.velocity);
        const double f0 = mtof(n.note);
        over_note(
            n, seed++, out, [&](std::size_t i, float x, float nl, float nr, float& l, float& r) {
                if ((i & 15) == 0) {
                    const float hz = 350.0f * std::pow(9000.0f / 350.0f, x);
                    band_l.set(hz, 1.5f + 4.0f * x);
                    band_r.set(hz * 1.06f, 1.5f + 4.0f * x);
                }
                const float amp = x * x * vel;
                const float pitch = tone.lowpass(saw.saw(f0 * std::exp2(2.0 * x) / kSampleRate));
                l = (band_l.bandpass(nl) * 1.4f + pitch * 0.18f) * amp;
                r = (band_r.bandpass(nr) * 1.4f + pitch * 0.18f) * amp;
            });
    }
}

void render_downsweep(const sTrack& track, sStereo& out)
{
    uint32_t seed = 21;
    for (const sNote& n : track.notes) {
        cSvf band_l, band_r;
        const float vel = velocity_gain(n.velocity);
        over_note(n, seed++, out,
                  [&](std::size_t i, float x, float nl, float nr, float& l, float& r) {
                      if ((i & 15) == 0) {
                          const float hz = 8000.0f * std::pow(150.0f / 8000.0f, x);
                          band_l.set(hz, 2.0f);
                          band_r.set(hz * 0.94f, 2.0f);
                      }
                      const float attack = std::min(1.0f, seconds_at(i) / 0.005f);
                      const float amp = std::pow(1.0f - x, 1.6f) * attack * vel * 1.3f;
                      l = band_l.bandpass(nl) * amp;
                      r = band_r.bandpass(nr) * amp;
                  });
    }
}

void render_impact(const sTrack& track, sStereo& out)
{
    uint32_t seed = 31;
    for (const sNote& n : track.notes) {
        double phase = 0.0;
        cOnePole dull;
        dull.set(900.0f);
        const float vel = velocity_gain(n.velocity);
        over_note(n, seed++, out, [&](std::size_t i, float, float nl, float, float& l, float& r) {
            const float t = seconds_at(i);
            phase += (30.0 + 45.0 * std::exp(-t / 0.25)) / kSampleRate;
            const float attack = std::min(1.0f, t / 0.001f);
            const float boom = float(std::sin(2.0 * kPi * phase)) * std::exp(-t / 0.9f);
            const float crack = dull.lowpass(nl) * std::exp(-t / 0.25f) * 1.2f;
            const float v = soft_clip(1.2f * (boom + crack)) * attack * vel;
            l = v;
            r = v;
        });
    }
}

void render_zap(const sTrack& track, sStereo& out)
{
    uint32_t seed = 41;
    for (const sNote& n : track.notes) {
        double phase = 0.0;
        float last = 0.0f;
        const double top = mtof(n.note);
        const float vel = velocity_gain(n.velocity);
        over_note(n, seed++, out, [&](std::size_t i, float, float, float, float& l, float& r) {
            const float t = seconds_at(i);
            phase += (90.0 + top * std::exp(-t / 0.045)) / kSampleRate;
            // A little feedback FM gives the laser its rasp.
            last = float(std::sin(2.0 * kPi * phase + 0.9 * last));
            const float v = last * std::exp(-t / 0.09f) * std::min(1.0f, t / 0.0005f) * vel * 0.5f;
            l = v;
            r = v;
        });
    }
}

} // namespace soundtrack
