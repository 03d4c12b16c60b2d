// Drum synthesis (see drums.h). Each drum is rendered once into a short stereo sound and
// placed at every note with the note's velocity; cymbals are cut at their note-off.
#include "drums.h"

#include "dsp.h"
#include "stereo_buffer.h"

#include <map>

namespace soundtrack {

namespace {

std::size_t samples(double seconds)
{
    return std::size_t(seconds * kSampleRate);
}
float seconds_at(std::size_t i)
{
    return float(i) * kSampleTime;
}
float velocity_gain(int velocity)
{
    return float(std::clamp(velocity, 1, 127)) / 127.0f;
}

// Fades the last quarter of a drum sound to silence, so its end never clicks.
sStereo& fade_tail(sStereo& s)
{
    const std::size_t n = s.size(), from = n - n / 4;
    for (std::size_t i = from; i < n; ++i) {
        const float g = 0.5f + 0.5f * std::cos(float(kPi) * float(i - from) / float(n - from));
        s.l[i] *= g;
        s.r[i] *= g;
    }
    return s;
}

// A number in [-1, 1) of its own for each note, the same on every run: the small differences
// between two hits of a real cymbal.
float hit_variation(const sNote& n, uint32_t salt)
{
    cNoise noise((n.tick + 1u) * 2654435761u ^ uint32_t(n.note) * 40503u ^ salt);
    noise.next();
    return noise.next();
}

// Places `sound` at every note; with `choke` a note's sound ends at its note-off.
void place(const sTrack& track, const sStereo& sound, bool choke, sStereo& out)
{
    for (const sNote& n : track.notes) {
        const sNoteSpan span = span_of(n);
        out.add(sound, span.start, velocity_gain(n.velocity), choke ? span.length : sound.size());
    }
}

// Six detuned square waves, the metallic core of hats and cymbals.
class cMetal
{
public:
    explicit cMetal(float scale)
    {
        static const float ratios[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
        for (int i = 0; i < 6; ++i)
            m_inc[i] = ratios[i] * scale / float(kSampleRate);
    }
    float next()
    {
        float sum = 0.0f;
        for (int i = 0; i < 6; ++i)
            sum += m_osc[i].square(m_inc[i]);
        return sum / 6.0f;
    }

private:
    cOsc m_osc[6];
    double m_inc[6] = {};
};

// A cymbal-like sound: metal and noise through a band, then a high pass.
sStereo cymbal(double length, float decay, float band_hz, float highpass_hz, float metal_mix,
               float metal_scale, uint32_t seed)
{
    sStereo s(samples(length));
    cMetal metal(metal_scale);
    cNoise noise_l(seed), noise_r(seed * 7919u + 13u);
    cSvf band_l, band_r, high_l, high_r;
    band_l.set(band_hz, 0.9f);
    band_r.set(band_hz * 1.04f, 0.9f);
    high_l.set(highpass_hz, 0.7f);
    high_r.set(highpass_hz, 0.7f);
    const float k = decay_factor(decay);
    float env = 1.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float attack = std::min(1.0f, seconds_at(i) / 0.0005f);
        const float m = metal.next() * metal_mix;
        const float l = m + noise_l.next() * (1.0f - metal_mix);
        const float r = m + noise_r.next() * (1.0f - metal_mix);
        s.l[i] = high_l.highpass(band_l.bandpass(l)) * env * attack;
        s.r[i] = high_r.highpass(band_r.bandpass(r)) * env * attack;
        env *= k;
    }
    return fade_tail(s);
}

// `variation` in [-1, 1] tunes the hands' band a few per cent; `seed` gives fresh noise.
sStereo clap_sound(float variation, uint32_t seed)
{
    sStereo s(samples(0.45));
    cNoise common(seed), side_l(seed * 7u + 77u), side_r(seed * 13u + 91u);
    cSvf band_l, band_r, high_l, high_r;
    band_l.set(1350.0f * (1.0f + 0.05f * variation), 1.3f);
    band_r.set(1450.0f * (1.0f + 0.05f * variation), 1.3f);
    high_l.set(550.0f, 0.7f);
    high_r.set(550.0f, 0.7f);
    // Three quick slaps, then the body of the clap.
    static const float slaps[3] = {0.0f, 0.0085f, 0.0165f};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds_at(i);
        float env = 0.0f;
        for (float start : slaps)
            if (t >= start)
                env = std::max(env, std::exp(-(t - start) / 0.0032f));
        if (t >= 0.024f)
            env = std::max(env, 0.85f * std::exp(-(t - 0.024f) / 0.12f));
        const float c = common.next();
        const float l = 0.7f * c + 0.3f * side_l.next();
        const float r = 0.7f * c + 0.3f * side_r.next();
        s.l[i] = high_l.highpass(band_l.bandpass(l)) * env * 2.2f;
        s.r[i] = high_r.highpass(band_r.bandpass(r)) * env * 2.2f;
    }
    return fade_tail(s);
}

// Roll hits rise in pitch with the note number: 38 is the plain snare.
sStereo snare_sound(int note, uint32_t seed)
{
    sStereo s(samples(0.3));
    const float shift = std::pow(2.0f, float(note - 38) / 12.0f);
    cNoise noise(seed);
    cSvf band;
    band.set(2200.0f * shift, 0.8f);
    cOsc tone;
    const double inc = 185.0 * shift / kSampleRate;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds_at(i);
        const float attack = std::min(1.0f, t / 0.0005f);
        const float body = tone.sine(inc) * std::exp(-t / 0.035f) * 0.6f;
        const float snap = band.bandpass(noise.next()) * std::exp(-t / 0.07f) * 1.6f;
        const float v = (body + snap) * attack;
        s.l[i] = v;
        s.r[i] = v;
    }
    return fade_tail(s);
}

sStereo tom_sound(int note)
{
    sStereo s(samples(0.5));
    const double f = 95.0 * std::pow(2.0, double(note - 45) / 12.0);
    cOsc osc;
    cNoise noise(uint32_t(note) * 31u + 5u);
    cSvf band;
    band.set(float(f) * 6.0f, 1.0f);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds_at(i);
        const double freq = f * (1.0 + 0.9 * std::exp(-t / 0.025));
        const float attack = std::min(1.0f, t / 0.0008f);
        const float body = osc.sine(freq / kSampleRate) * std::exp(-t / 0.16f);
        const float skin = band.bandpass(noise.next()) * std::exp(-t / 0.02f) * 0.5f;
        const float v = soft_clip(1.3f * (body + skin)) * attack;
        s.l[i] = v;
        s.r[i] = v;
    }
    return fade_tail(s);
}

// Hits of the hats and the ride pick one of several strikes of their cymbal: the metal's
// partials a few per cent apart, brighter or darker, so no partial stands still across a
// section. Each strike is rendered once, when first needed.
class cStrikes
{
public:
    using fMake = sStereo (*)(float variation, uint32_t seed);
    cStrikes(fMake make, uint32_t salt) : m_make(make), m_salt(salt) {}

    const sStereo& pick(const sNote& n)
    {
        const float x = hit_variation(n, m_salt);
        const int k = std::clamp(int((x + 1.0f) * 0.5f * kCount), 0, kCount - 1);
        if (m_strikes[k].size() == 0)
            m_strikes[k] = m_make(2.0f * (float(k) + 0.5f) / kCount - 1.0f, m_salt + uint32_t(k));
        return m_strikes[k];
    }

private:
    static constexpr int kCount = 16;
    fMake m_make;
    uint32_t m_salt;
    sStereo m_strikes[kCount];
};

} // namespace

sStereo kick_sound()
{
    sStereo s(samples(0.42));
    cNoise noise(4242u);
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds_at(i);
        // A fast click of pitch into a sub body that settles on 52 Hz and rings for 130 ms.
        const double f = 52.0 + 110.0 * std::exp(-t / 0.022) + 1500.0 * std::exp(-t / 0.0015);
        phase += f / kSampleRate;
        const float body = float(std::sin(2.0 * kPi * phase));
        float env = t < 0.02f ? 1.0f : std::exp(-(t - 0.02f) / 0.13f);
        env *= std::min(1.0f, t / 0.0003f);
        if (t > 0.32f)
            env *= 0.5f + 0.5f * std::cos(float(kPi) * std::min(1.0f, (t - 0.32f) / 0.1f));
        const float click = noise.next() * std::exp(-t / 0.0008f) * 0.35f;
        const float v = soft_clip(1.2f * body * env) * 0.95f + click;
        s.l[i] = v;
        s.r[i] = v;
    }
    return s;
}

void render_kick(const sTrack& track, sStereo& out)
{
    place(track, kick_sound(), false, out);
}

// Each clap is one of several takes, fresh noise in a band a little higher or lower: one
// burst repeated would hold its chance peaks still as lines.
void render_clap(const sTrack& track, sStereo& out)
{
    cStrikes takes(clap_sound, 606u);
    for (const sNote& n : track.notes)
        out.add(takes.pick(n), span_of(n).start, velocity_gain(n.velocity), takes.pick(n).size());
}

void render_snare_roll(const sTrack& track, sStereo& out)
{
    // Round robin over a few takes of each pitch: one take repeated at every hit of a roll
    // would hold its noise's spectral peaks still.
    constexpr int kTakes = 6;
    std::map<int, sStereo> sounds;
    int hit = 0;
    for (const sNote& n : track.notes) {
        const int key = n.note * kTakes + hit++ % kTakes;
        auto it = sounds.find(key);
        if (it == sounds.end())
            it = sounds.emplace(key, snare_sound(n.note, 555u + uint32_t(key))).first;
        out.add(it->second, span_of(n).start, velocity_gain(n.velocity), it->second.size());
    }
}

void render_hats(const sTrack& track, sStereo& out)
{
    cStrikes closed(
        [](float x, uint32_t seed) {
            return cymbal(0.12, 0.022f, 10500.0f * (1.0f + 0.08f * x), 7000.0f, 0.45f,
                          1.6f * (1.0f + 0.05f * x), seed);
        },
        101u);
    cStrikes open(
        [](float x, uint32_t seed) {
            return cymbal(0.7, 0.17f, 9000.0f * (1.0f + 0.08f * x), 6000.0f, 0.5f,
                          1.6f * (1.0f - 0.05f * x), seed);
        },
        202u);
    const std::size_t closed_length = samples(0.12);
    for (const sNote& n : track.notes) {
        const sNoteSpan span = span_of(n);
        const sStereo& sound = n.note == 46 ? open.pick(n) : closed.pick(n);
        out.add(sound, span.start, velocity_gain(n.velocity), std::max(span.length, closed_length));
    }
}

void render_ride(const sTrack& track, sStereo& out)
{
    cStrikes strikes(
        [](float x, uint32_t seed) {
            return cymbal(1.2, 0.34f + 0.04f * x, 8200.0f * (1.0f + 0.1f * x), 4500.0f, 0.6f,
                          2.3f * (1.0f + 0.07f * x), seed);
        },
        303u);
    for (const sNote& n : track.notes) {
        const sStereo& sound = strikes.pick(n);
        out.add(sound, span_of(n).start, velocity_gain(n.velocity), sound.size());
    }
}

// A shake of fresh grains each time: one burst of noise repeated would hold its chance
// peaks still as lines.
void render_shaker(const sTrack& track, sStereo& out)
{
    cStrikes shakes(
        [](float x, uint32_t seed) {
            sStereo s(samples(0.12));
            cNoise noise(seed);
            cSvf band_l, band_r;
            band_l.set(6500.0f * (1.0f + 0.1f * x), 1.2f);
            band_r.set(7200.0f * (1.0f + 0.1f * x), 1.2f);
            for (std::size_t i = 0; i < s.size(); ++i) {
                const float t = seconds_at(i);
                const float env = std::min(1.0f, t / 0.006f) * std::exp(-t / 0.03f);
                const float v = noise.next();
                s.l[i] = band_l.bandpass(v) * env;
                s.r[i] = band_r.bandpass(v) * env;
            }
            return fade_tail(s);
        },
        404u);
    for (const sNote& n : track.notes) {
        const sStereo& sound = shakes.pick(n);
        out.add(sound, span_of(n).start, velocity_gain(n.velocity), sound.size());
    }
}

void render_toms(const sTrack& track, sStereo& out)
{
    std::map<int, sStereo> sounds;
    for (const sNote& n : track.notes) {
        auto it = sounds.find(n.note);
        if (it == sounds.end())
            it = sounds.emplace(n.note, tom_sound(n.note)).first;
        out.add(it->second, span_of(n).start, velocity_gain(n.velocity), it->second.size());
    }
}

void render_crash(const sTrack& track, sStereo& out)
{
    cStrikes strikes(
        [](float x, uint32_t seed) {
            // A splash more than a wash: gone within two seconds, so its partials never ring
            // through a section.
            return cymbal(1.8, 0.5f, 7000.0f * (1.0f + 0.1f * x), 3500.0f, 0.45f,
                          2.9f * (1.0f + 0.07f * x), seed);
        },
        505u);
    for (const sNote& n : track.notes) {
        const sStereo& sound = strikes.pick(n);
        out.add(sound, span_of(n).start, velocity_gain(n.velocity), sound.size());
    }
}

} // namespace soundtrack
