// The mixing desk (see mixer.h).
#include "mixer.h"

#include "arrangement.h"
#include "ctrl_curve.h"
#include "drums.h"
#include "dsp.h"
#include "effects.h"
#include "song.h"
#include "sweeps.h"
#include "synths.h"

#include <algorithm>
#include <string>

namespace soundtrack {

namespace {

using fRender = void (*)(const sTrack&, sStereo&);

// One channel of the desk, found by track name.
struct sStrip
{
    const char* track;
    fRender render;
    float level_db;
    float pan;    // -1 left .. 1 right
    float reverb; // send level
    float echo;   // send level
    float duck;   // 0..1: how far the kick pushes the channel down
    float width;  // 0..1: how far the widener parts left and right
};

// clang-format off
const sStrip kStrips[] = {
//   track         render             level   pan    reverb echo   duck  width
    {"kick",       render_kick,       -3.5f,  0.0f,  0.0f,  0.0f,  0.0f, 0.0f},
    {"bass",       render_bass,       -9.0f,  0.0f,  0.0f,  0.0f,  0.6f, 1.0f},
    {"clap",       render_clap,       -2.0f,  0.0f,  0.22f, 0.0f,  0.0f, 0.9f},
    {"snare roll", render_snare_roll, -15.0f, 0.0f,  0.25f, 0.0f,  0.0f, 0.8f},
    {"ride",       render_ride,       -14.0f, 0.4f,  0.05f, 0.0f,  0.2f, 0.8f},
    {"shaker",     render_shaker,     -13.0f, -0.5f, 0.05f, 0.0f,  0.2f, 0.9f},
    {"toms",       render_toms,       -20.0f, 0.25f, 0.2f,  0.1f,  0.0f, 0.8f},
    {"crash",      render_crash,      -15.0f, 0.0f,  0.2f,  0.0f,  0.3f, 0.9f},
    {"hats",       render_hats,       -3.0f,  -0.2f, 0.02f, 0.0f,  0.2f, 0.9f},
    {"impact",     render_impact,     -5.0f,  0.0f,  0.5f,  0.0f,  0.9f, 0.3f},
    {"pad",        render_pad,        -16.0f, 0.0f,  0.3f,  0.0f,  0.7f, 0.9f},
    {"acid",       render_acid,       -11.0f, 0.0f,  0.12f, 0.25f, 0.3f, 0.9f},
    {"drone",      render_drone,      -11.0f, 0.0f,  0.2f,  0.0f,  0.5f, 0.8f},
    {"riser",      render_riser,      -23.0f, 0.0f,  0.3f,  0.0f,  0.0f, 0.9f},
    {"downsweep",  render_downsweep,  -14.0f, 0.0f,  0.35f, 0.0f,  0.3f, 0.9f},
    {"zap",        render_zap,        -12.0f, -0.3f, 0.2f,  0.5f,  0.0f, 0.7f},
    {"lead stab",  render_stab,       -12.0f, 0.0f,  0.35f, 0.35f, 0.4f, 0.9f},
    {"lead",       render_lead,       -12.0f, 0.0f,  0.35f, 0.3f,  0.4f, 0.7f},
    {"bell",       render_bell,       -12.0f, 0.25f, 0.4f,  0.4f,  0.0f, 0.7f},
    {"arp",        render_arp,        -12.5f, 0.0f,  0.15f, 0.4f,  0.5f, 0.9f},
};
// clang-format on

// Master level into the glue compressor and the clipper, set so the whole song measures about
// -10 LUFS.
constexpr float kMasterGainDb = 2.5f;

const sTrack* find_track(const sSong& song, const std::string& name)
{
    for (std::size_t i = 1; i < song.tracks.size(); ++i)
        if (song.tracks[i].name == name)
            return &song.tracks[i];
    return nullptr;
}

// How far the kick pushes the ducked channels down at each sample, 0..1: the sidechain looks
// ahead, so the channels are fully down as the kick starts (from 4 ms before it) and the
// kick's attack stands clear; back up over the next 250 ms.
std::vector<float> duck_shape(const sTrack* kick, std::size_t n)
{
    std::vector<float> shape(n, 0.0f);
    if (!kick)
        return shape;
    const std::size_t attack = kSampleRate / 250;
    const std::size_t release = kSampleRate / 4;
    for (const sNote& note : kick->notes) {
        const std::size_t start = span_of(note).start;
        const std::size_t from = start >= attack ? start - attack : 0;
        for (std::size_t i = from; i < start + release && i < n; ++i) {
            float v;
            if (i < start) {
                v = float(i - from + 1) / float(start - from + 1);
            } else {
                const float x = 1.0f - float(i - start) / float(release);
                v = x * x;
            }
            shape[i] = std::max(shape[i], v);
        }
    }
    return shape;
}

struct sBuses
{
    sStereo dry;
    std::vector<float> reverb, echo; // mono sends
    explicit sBuses(std::size_t n) : dry(n), reverb(n, 0.0f), echo(n, 0.0f) {}
};

// How the sends move over the song, from the cue track: the echo sends open for the last
// beat of every phrase (a throw that rings into the next one), and the reverb sends swell
// over the two bars into each breakdown and settle over the bar after it.
struct sSendRides
{
    std::vector<float> echo, reverb; // multipliers of the strips' send levels
};

sSendRides send_rides(const sTrack* cues, std::size_t n)
{
    sSendRides rides{std::vector<float>(n, 1.0f), std::vector<float>(n, 1.0f)};
    if (!cues)
        return rides;
    const std::size_t beat = sample_of_tick(kTicksPerBeat), bar = sample_of_tick(kTicksPerBar);
    for (const sNote& c : cues->notes) {
        const std::size_t at = span_of(c).start;
        if (c.note == CUE_PHRASE && at >= beat)
            for (std::size_t i = at - beat; i < std::min(at, n); ++i)
                rides.echo[i] = 4.0f;
        if (c.note == CUE_BREAKDOWN && at >= 2 * bar)
            for (std::size_t i = at - 2 * bar; i < std::min(at + bar, n); ++i) {
                const float x = i < at ? float(i - (at - 2 * bar)) / float(2 * bar)
                                       : 1.0f - float(i - at) / float(bar);
                rides.reverb[i] = std::max(rides.reverb[i], 1.0f + 2.0f * x);
            }
    }
    return rides;
}

// Renders one track and adds it through its strip.
void run_strip(const sStrip& strip, const sTrack& track, const std::vector<float>& duck,
               const sSendRides& rides, sStereo& scratch, sBuses& buses)
{
    scratch.clear();
    strip.render(track, scratch);
    float pl, pr;
    pan_gains(strip.pan, pl, pr);
    const float level = db_to_gain(strip.level_db);
    const cCtrlCurve expression_curve(track, 11, 127);
    auto expression = expression_curve.from(0);
    cWidener widener(0.13f + 0.05f * strip.pan);
    for (std::size_t i = 0; i < scratch.size(); ++i) {
        const float g = level * (expression.at(i) / 127.0f) * (1.0f - strip.duck * duck[i]);
        float l = scratch.l[i] * g * pl, r = scratch.r[i] * g * pr;
        if (strip.width > 0.0f)
            widener.process(l, r, strip.width);
        buses.dry.l[i] += l;
        buses.dry.r[i] += r;
        const float mono = 0.5f * (l + r);
        buses.reverb[i] += mono * strip.reverb * rides.reverb[i];
        buses.echo[i] += mono * strip.echo * rides.echo[i];
    }
}

// Reverb and echo returns, thinned below ~180 Hz and ducked a little under the kick.
void add_returns(sBuses& buses, const std::vector<float>& duck)
{
    cReverb reverb(0.86f, 0.35f);
    cDelay pre_delay(kSampleRate * 3 / 100); // 30 ms before the room answers
    // A dotted eighth: three sixteenths.
    cPingPong echo(sample_of_tick(3 * kTicksPerStep), 0.45f);
    cOnePole low_l, low_r;
    low_l.set(180.0f);
    low_r.set(180.0f);
    for (std::size_t i = 0; i < buses.dry.size(); ++i) {
        float rl, rr, el, er;
        reverb.process(pre_delay.process(buses.reverb[i]), rl, rr);
        echo.process(buses.echo[i], el, er);
        const float g = 1.0f - 0.4f * duck[i];
        buses.dry.l[i] += (low_l.highpass(rl) + el) * g;
        buses.dry.r[i] += (low_r.highpass(rr) + er) * g;
    }
}

// Master: DC and rumble off, everything below ~120 Hz in mono, level, glue compression, a
// soft clipper that rounds off the kick's and the claps' peaks, a fade over the tail after the
// song's end, and a limiter on the true peaks.
void master(sStereo& mix, std::size_t end_of_song)
{
    cOnePole dc_l, dc_r;
    dc_l.set(18.0f);
    dc_r.set(18.0f);
    cSvf side_a, side_b; // the side signal loses its lows: 24 dB per octave below 120 Hz
    side_a.set(120.0f, 0.7071f);
    side_b.set(120.0f, 0.7071f);
    cGlue glue(-12.0f, 1.6f, 0.01f, 0.2f);
    const float gain = db_to_gain(kMasterGainDb);
    const std::size_t total = mix.size();
    for (std::size_t i = 0; i < total; ++i) {
        const float l = dc_l.highpass(mix.l[i]), r = dc_r.highpass(mix.r[i]);
        const float mid = 0.5f * (l + r);
        const float side = side_b.highpass(side_a.highpass(0.5f * (l - r)));
        float out_l = (mid + side) * gain, out_r = (mid - side) * gain;
        glue.process(out_l, out_r);
        out_l = soft_clip_knee(out_l, kClipKnee, kMasterCeiling);
        out_r = soft_clip_knee(out_r, kClipKnee, kMasterCeiling);
        if (i >= end_of_song && total > end_of_song) {
            const float x = float(i - end_of_song) / float(total - end_of_song);
            const float fade = 0.5f + 0.5f * std::cos(float(kPi) * x);
            out_l *= fade;
            out_r *= fade;
        }
        mix.l[i] = out_l;
        mix.r[i] = out_r;
    }
    limit(mix, kMasterCeiling, kSampleRate * 3 / 2000, 0.12f, true);
}

} // namespace

sStereo mix_song(const sSong& song, std::size_t max_samples)
{
    std::size_t n = song.length_in_samples();
    if (max_samples > 0)
        n = std::min(n, max_samples);
    sBuses buses(n);
    sStereo scratch(n);
    const std::vector<float> duck = duck_shape(find_track(song, "kick"), n);
    const sSendRides rides = send_rides(find_track(song, "cues"), n);
    for (const sStrip& strip : kStrips)
        if (const sTrack* track = find_track(song, strip.track))
            run_strip(strip, *track, duck, rides, scratch, buses);
    add_returns(buses, duck);
    master(buses.dry, sample_of_tick(song.end_tick));
    return std::move(buses.dry);
}

} // namespace soundtrack
