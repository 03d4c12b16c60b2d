// The soundtrack generator's parts: the MIDI writer against the file format, the meter, limiter
// and echo against known signals, the voices' glides and controller curves, and the song's
// sections against the picture timeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "arrangement.h"
#include "ctrl_curve.h"
#include "drums.h"
#include "dsp.h"
#include "effects.h"
#include "loudness.h"
#include "midi_writer.h"
#include "mixer.h"
#include "stereo_buffer.h"
#include "sweeps.h"
#include "synths.h"

using namespace soundtrack;

namespace {

struct sTrackSummary
{
    int names = 0, tempos = 0, notes_on = 0, notes_off = 0;
    bool ends_with_end_of_track = false;
};

// A strict walk over a MIDI file, independent of the engine's reader: fails on anything a picky
// reader would not take.
bool walk_midi(const std::vector<uint8_t>& b, int& tracks, int& division,
               std::vector<sTrackSummary>& out, std::string& error)
{
    std::size_t pos = 0, end = b.size();
    auto fail = [&](const std::string& why) {
        error = why + " at " + std::to_string(pos);
        return false;
    };
    auto be = [&](int n) {
        uint32_t v = 0;
        while (n--)
            v = (v << 8) | b[pos++];
        return v;
    };
    auto varlen = [&](uint32_t& v) { // at most four bytes, inside the chunk
        v = 0;
        for (int i = 0; i < 4 && pos < end; ++i) {
            v = (v << 7) | (b[pos] & 0x7F);
            if (!(b[pos++] & 0x80))
                return true;
        }
        return false;
    };
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd")
        return fail("no header");
    pos = 4;
    if (be(4) != 6 || be(2) != 1)
        return fail("header length or format");
    tracks = int(be(2));
    division = int(be(2));
    for (int t = 0; t < tracks; ++t) {
        if (pos + 8 > b.size() || std::string(&b[pos], &b[pos] + 4) != "MTrk")
            return fail("no MTrk");
        pos += 4;
        end = be(4);
        if (pos + end > b.size())
            return fail("track runs past the file");
        end += pos;
        sTrackSummary s;
        uint32_t tick = 0, delta = 0, len = 0;
        while (pos < end) {
            if (!varlen(delta) || pos >= end)
                return fail("bad delta time or event without status");
            tick += delta;
            const uint8_t status = b[pos++];
            if (status == 0xFF) {
                if (pos >= end)
                    return fail("meta without type");
                const uint8_t type = b[pos++];
                if (!varlen(len) || pos + len > end)
                    return fail("meta runs out of its chunk");
                s.names += type == 0x03 && tick == 0;
                s.tempos += type == 0x51 ? (len == 3 ? 1 : 100) : 0;
                pos += len;
                s.ends_with_end_of_track |= type == 0x2F && pos == end;
            } else if (status == 0x90 || status == 0x80 || status == 0xB0) {
                if (pos + 2 > end || (b[pos] & 0x80) || (b[pos + 1] & 0x80))
                    return fail("bad channel message");
                if (status == 0x90 && b[pos + 1] == 0)
                    return fail("note-on with velocity 0");
                s.notes_on += status == 0x90;
                s.notes_off += status == 0x80;
                pos += 2;
            } else {
                return fail("unexpected status (running status or another channel)");
            }
        }
        out.push_back(s);
    }
    return pos == b.size() || fail("bytes after the last track");
}

// A 997 Hz tone of `amplitude` for `seconds` into both channels (or only the left).
sStereo tone(double seconds, float amplitude, bool both = true)
{
    sStereo s(std::size_t(seconds * kSampleRate));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float v = amplitude * float(std::sin(2.0 * kPi * 997.0 * double(i) / kSampleRate));
        s.l[i] = v;
        s.r[i] = both ? v : 0.0f;
    }
    return s;
}

sStereo concat(const sStereo& a, const sStereo& b)
{
    sStereo s = a;
    s.l.insert(s.l.end(), b.l.begin(), b.l.end());
    s.r.insert(s.r.end(), b.r.begin(), b.r.end());
    return s;
}

double rms(const sStereo& s, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(s.l[i]) * s.l[i];
    return std::sqrt(sum / double(to - from));
}

// Level (dB) of the component at `hz` in the left channel over [from, to): one Hann-windowed
// bin of a Fourier transform.
double level_db(const sStereo& s, double hz, std::size_t from, std::size_t to)
{
    double re = 0.0, im = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * double(i - from) / double(to - from));
        const double a = 2.0 * kPi * hz * double(i) / kSampleRate;
        re += w * s.l[i] * std::cos(a);
        im += w * s.l[i] * std::sin(a);
    }
    return 10.0 * std::log10(re * re + im * im + 1e-30);
}

// The frequency in [lo, hi], searched in `step` Hz, of the strongest component over [from, to).
double loudest_hz(const sStereo& s, double lo, double hi, double step, std::size_t from,
                  std::size_t to)
{
    double best = -1e9, at = 0.0;
    for (double hz = lo; hz <= hi; hz += step) {
        const double db = level_db(s, hz, from, to);
        if (db > best) {
            best = db;
            at = hz;
        }
    }
    return at;
}

} // namespace

TEST(SoundtrackMidi, SongFileIsStrictFormatOneWithOneTempoAndNamedTracks)
{
    const sSong song = compose_song();
    const std::vector<uint8_t> file = write_midi(song);
    int tracks = 0, division = 0;
    std::vector<sTrackSummary> summary;
    std::string error;
    ASSERT_TRUE(walk_midi(file, tracks, division, summary, error)) << error;
    EXPECT_EQ(tracks, int(song.tracks.size()));
    EXPECT_EQ(division, 480);
    int tempos = 0;
    for (std::size_t t = 0; t < summary.size(); ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(summary[t].names, 1);
        EXPECT_TRUE(summary[t].ends_with_end_of_track);
        EXPECT_EQ(summary[t].notes_on, summary[t].notes_off);
        EXPECT_EQ(summary[t].notes_on, int(song.tracks[t].notes.size()));
        tempos += summary[t].tempos;
    }
    EXPECT_EQ(tempos, 1);
    EXPECT_EQ(summary[0].tempos, 1) << "the tempo lives in the conductor track";

    // 500000 microseconds per quarter note is 120 beats per minute.
    const std::vector<uint8_t> tempo = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    EXPECT_NE(std::search(file.begin(), file.end(), tempo.begin(), tempo.end()), file.end());
}

TEST(SoundtrackMidi, RepeatedPitchesNeverOverlap)
{
    sSong song;
    song.tracks.resize(2);
    song.tracks[1].notes = {{100, 200, 60, 90},
                            {0, 200, 60, 90},
                            {150, 30, 62, 90},
                            {400, 200, 64, 90},
                            {400, 50, 64, 80}};
    song.finish();
    const auto& n = song.tracks[1].notes;
    ASSERT_EQ(n.size(), 4u) << "a second note-on of one pitch at the same tick is dropped";
    EXPECT_EQ(n[0].tick, 0u);
    EXPECT_EQ(n[0].length, 100u) << "cut where the same pitch starts again";
    EXPECT_EQ(n[1].tick, 100u);
    EXPECT_EQ(n[1].length, 200u);
    EXPECT_EQ(n[2].note, 62);
    EXPECT_EQ(n[2].length, 30u) << "other pitches may overlap";
    EXPECT_EQ(n[3].note, 64);

    // The composed song keeps to this everywhere.
    const sSong full = compose_song();
    for (const sTrack& t : full.tracks)
        for (std::size_t i = 0; i < t.notes.size(); ++i) {
            EXPECT_LE(t.notes[i].tick + t.notes[i].length, full.end_tick) << t.name;
            for (std::size_t j = i + 1; j < t.notes.size(); ++j) {
                if (t.notes[j].tick >= t.notes[i].tick + t.notes[i].length)
                    break;
                EXPECT_NE(t.notes[i].note, t.notes[j].note) << t.name << " at " << t.notes[i].tick;
            }
        }
}

TEST(SoundtrackSong, SectionsFollowThePictureTimeline)
{
    const sSong song = compose_song();
    ASSERT_FALSE(song.sections.empty());
    EXPECT_EQ(song.sections.front().first_bar, 0);
    for (std::size_t i = 1; i < song.sections.size(); ++i)
        EXPECT_EQ(song.sections[i].first_bar,
                  song.sections[i - 1].first_bar + song.sections[i - 1].bars);

    // Where the pictures change, the music changes within a second.
    const int changes[] = {13313,  25000,  37000,  52000,  80000,  105000, 113000,
                           140000, 151000, 168000, 182000, 195000, 224000};
    for (int change : changes) {
        int nearest = 1 << 30;
        for (const sSection& s : song.sections)
            nearest = std::min(nearest, std::abs(ms_of_tick(tick_of_bar(s.first_bar)) - change));
        EXPECT_LE(nearest, 1000) << change;
    }
    const sSection& last = song.sections.back();
    EXPECT_NEAR(ms_of_tick(tick_of_bar(last.first_bar + last.bars)), 235000, 1000);

    // The acid keeps to E Phrygian over both its chords (F major included), so it never rubs
    // against the pads with an F sharp or a G sharp.
    for (const sNote& n : song.tracks[TRACK_ACID].notes) {
        const int bar = int(n.tick / kTicksPerBar);
        bool phrygian = false;
        for (const sSection& s : song.sections)
            phrygian |= bar >= s.first_bar && bar < s.first_bar + s.bars &&
                        (s.name == "main" || s.name == "arpeggio" || s.name == "drop" ||
                         s.name == "acid" || s.name == "acid and stabs");
        const int pc = (n.note - 40 + 120) % 12;
        if (phrygian) {
            EXPECT_TRUE(pc != 2 && pc != 4 && pc != 6 && pc != 9 && pc != 11)
                << "note " << n.note << " in bar " << bar;
        }
    }

    // The six-fold attractor flips its position on every stab note: each stab is a chord of
    // three notes, so every hit leaves it flipped.
    const auto& stabs = song.tracks[TRACK_STAB].notes;
    ASSERT_FALSE(stabs.empty());
    for (std::size_t i = 0; i < stabs.size();) {
        std::size_t j = i;
        while (j < stabs.size() && stabs[j].tick == stabs[i].tick)
            ++j;
        EXPECT_EQ(j - i, 3u) << "stab at tick " << stabs[i].tick;
        i = j;
    }
}

TEST(SoundtrackLoudness, CalibratedTonesAndGating)
{
    // A full-scale tone in one channel reads -3.01 LUFS; a tone in both at -20 dBFS, -20.
    EXPECT_NEAR(integrated_loudness(tone(5.0, 1.0f, false)), -3.01, 0.1);
    EXPECT_NEAR(integrated_loudness(tone(5.0, 0.1f)), -20.0, 0.1);
    // Silence is gated out absolutely, a much quieter passage relatively (only the blocks
    // that straddle the step pull the result down a little).
    EXPECT_NEAR(integrated_loudness(concat(tone(5.0, 0.1f), sStereo(5 * kSampleRate))), -20.1, 0.1);
    EXPECT_NEAR(integrated_loudness(concat(tone(5.0, 0.1f), tone(5.0, 0.01f))), -20.1, 0.1);
    // Equal parts at -20 and -26 both count.
    EXPECT_NEAR(integrated_loudness(concat(tone(5.0, 0.1f), tone(5.0, 0.05f))), -22.0, 0.3);
    EXPECT_TRUE(std::isinf(integrated_loudness(tone(0.3, 0.5f))));
    EXPECT_TRUE(std::isinf(integrated_loudness(sStereo(3 * kSampleRate))));

    EXPECT_NEAR(peak_dbfs(tone(1.0, 0.5f)), -6.02, 0.01);
}

TEST(SoundtrackVoices, NotesSeededByTheirTicksVaryFromNoteToNote)
{
    // The voices seed their per-note variation with the note's tick: the first value drawn
    // for notes a bar apart must be as far apart as independent draws (2/3 on average), not
    // creep along from bar to bar.
    double apart = 0.0, previous = 0.0;
    const int notes = 64;
    for (int bar = 0; bar <= notes; ++bar) {
        const float v = cNoise(uint32_t(bar * kTicksPerBar) * 2654435761u + 76u).next();
        EXPECT_GE(v, -1.0f);
        EXPECT_LT(v, 1.0f);
        if (bar > 0)
            apart += std::fabs(v - previous) / notes;
        previous = v;
    }
    EXPECT_GT(apart, 0.5);
}

TEST(SoundtrackLimiter, HoldsTheCeilingAndLeavesQuietAudioAlone)
{
    const float ceiling = 0.7943f;
    const std::size_t lookahead = 66;

    // Loud noise with a sine under it: nothing above the ceiling afterwards.
    sStereo loud = tone(2.0, 1.5f);
    cNoise noise(7);
    for (std::size_t i = 0; i < loud.size(); ++i) {
        loud.l[i] += 2.0f * noise.next();
        loud.r[i] -= 2.0f * noise.next();
    }
    limit(loud, ceiling, lookahead, 0.12f);
    EXPECT_LE(peak_dbfs(loud), 20.0 * std::log10(ceiling) + 1e-4);

    // Audio under the ceiling passes unchanged.
    const sStereo quiet = tone(1.0, 0.5f);
    sStereo copy = quiet;
    limit(copy, ceiling, lookahead, 0.12f);
    EXPECT_EQ(copy.l, quiet.l);
    EXPECT_EQ(copy.r, quiet.r);

    // One spike: only its neighbourhood is turned down, and it is turned down in time.
    sStereo spiked = tone(1.0, 0.5f);
    const std::size_t at = kSampleRate / 4;
    spiked.l[at] = 4.0f;
    limit(spiked, ceiling, lookahead, 0.12f);
    EXPECT_LE(std::fabs(spiked.l[at]), ceiling + 1e-6f);
    for (std::size_t i = 0; i + lookahead + 1 < at; ++i)
        ASSERT_EQ(spiked.l[i], quiet.l[i]) << "changed " << at - i << " samples before the spike";
    EXPECT_NEAR(rms(spiked, at + kSampleRate / 2, spiked.size()),
                rms(quiet, at + kSampleRate / 2, quiet.size()), 0.01)
        << "the gain recovers after the spike";
}

TEST(SoundtrackVoices, OverlappingNotesGlideInsteadOfRestarting)
{
    // Two acid notes a sixteenth apart: held into the next one, the sound never stops;
    // released before it, there is a silent gap.
    auto render = [](uint32_t first_length) {
        sTrack acid;
        acid.notes = {{0, first_length, 40, 100}, {kTicksPerStep, 70, 52, 100}};
        sStereo out(kSampleRate / 2);
        render_acid(acid, out);
        return out;
    };
    const sStereo slide = render(kTicksPerStep + 15);
    const sStereo detached = render(60);
    // Just before the second note starts.
    const std::size_t from = sample_of_tick(kTicksPerStep) - kSampleRate / 100;
    const std::size_t to = sample_of_tick(kTicksPerStep);
    EXPECT_GT(rms(slide, from, to), 0.05);
    EXPECT_LT(rms(detached, from, to), 0.01);
    EXPECT_GT(rms(detached, to, to + kSampleRate / 50), 0.05) << "the second note sounds";
}

TEST(SoundtrackVoices, BassAndKickCarryTheirFundamentals)
{
    // A held E1 of the bass: its sub must add to the saw's fundamental, not cancel it.
    sTrack bass;
    bass.ctrls = {{0, 74, 88}};
    bass.notes.push_back({0, 2 * kTicksPerBar, 28, 100});
    sStereo out(sample_of_tick(2 * kTicksPerBar));
    render_bass(bass, out);
    const double e1 = level_db(out, mtof(28), 0, out.size());
    EXPECT_GT(e1, level_db(out, mtof(40), 0, out.size()) + 6.0) << "E1 over E2";

    // The kick's loudest component is its sub body, below 70 Hz.
    const sStereo kick = kick_sound();
    const double loudest = loudest_hz(kick, 30.0, 300.0, 2.0, 0, kick.size());
    EXPECT_LT(loudest, 70.0);
    EXPECT_GT(loudest, 40.0);
}

TEST(SoundtrackVoices, AHeldPadNotesOvertonesWander)
{
    // A held E3 of the pad: its 24th harmonic (near 3.96 kHz) must not stand still, or a
    // chord held through a section shows as a fixed line. Where the strongest component
    // near it sits, frame by frame, has to move by more than half a per cent.
    sTrack pad;
    pad.ctrls = {{0, 74, 110}};
    pad.notes.push_back({0, 6 * kTicksPerBar / 2, 52, 100});
    sStereo out(sample_of_tick(6 * kTicksPerBar / 2));
    render_pad(pad, out);
    const double h = 24.0 * mtof(52);
    double low = 1e9, high = 0.0;
    const std::size_t frame = kSampleRate / 4;
    for (std::size_t from = kSampleRate; from + frame <= out.size(); from += frame) {
        const double at = loudest_hz(out, h * 0.975, h * 1.025, 4.0, from, from + frame);
        low = std::min(low, at);
        high = std::max(high, at);
    }
    EXPECT_GT(high - low, 0.005 * h);
}

TEST(SoundtrackVoices, ControllerCurvesStepSmoothlyAndJoinMidway)
{
    sTrack track;
    track.ctrls = {{kTicksPerBar, 74, 127}, {2 * kTicksPerBar, 74, 20}};
    const cCtrlCurve curve(track, 74, 10);
    const std::size_t change = sample_of_tick(kTicksPerBar);

    auto from_start = curve.from(0);
    EXPECT_EQ(from_start.at(change - 1), 10.0f) << "the fallback holds before the first change";
    const float first = from_start.at(change);
    EXPECT_GT(first, 10.0f);
    EXPECT_LT(first, 20.0f) << "a step is smoothed, not jumped";
    float v = first;
    for (std::size_t i = change + 1; i <= change + kSampleRate / 10; ++i)
        v = from_start.at(i);
    EXPECT_NEAR(v, 127.0f, 0.5f) << "and arrives within 100 ms";

    // A note that starts later joins the curve where it stands, without a sweep from the
    // fallback.
    auto later = curve.from(change + kSampleRate / 2);
    EXPECT_EQ(later.at(change + kSampleRate / 2), 127.0f);
    auto after_second = curve.from(sample_of_tick(2 * kTicksPerBar));
    EXPECT_EQ(after_second.at(sample_of_tick(2 * kTicksPerBar)), 20.0f);
}

TEST(SoundtrackVoices, RisersStopAtTheirNoteOff)
{
    sTrack riser;
    riser.notes = {{0, 2 * kTicksPerBeat, 48, 110}};
    sStereo out(sample_of_tick(4 * kTicksPerBeat));
    render_riser(riser, out);
    const std::size_t off = sample_of_tick(2 * kTicksPerBeat);
    // Rising: louder in its last quarter than in its first.
    EXPECT_GT(rms(out, off * 3 / 4, off - kSampleRate / 50), 4.0 * rms(out, 0, off / 4));
    for (std::size_t i = off; i < out.size(); ++i)
        ASSERT_EQ(out.l[i], 0.0f) << "sound " << i - off << " samples after the note-off";
}

TEST(SoundtrackVoices, ARollsHitsOfOnePitchAreNotOneSampleRepeated)
{
    // A roll repeats one pitch dozens of times: the same noise burst at every hit would hold
    // its chance spectral peaks still as lines.
    sTrack roll;
    const uint32_t gap = kTicksPerBeat; // hits far enough apart not to overlap
    for (uint32_t k = 0; k < 2; ++k)
        roll.notes.push_back({k * gap, kTicksPerStep / 2, 38, 100});
    sStereo out(sample_of_tick(2 * gap));
    render_snare_roll(roll, out);
    const std::size_t second = sample_of_tick(gap);
    double differ = 0.0, energy = 0.0;
    for (std::size_t i = 0; i < second; ++i) {
        differ += std::fabs(out.l[i] - out.l[second + i]);
        energy += std::fabs(out.l[i]);
    }
    EXPECT_GT(energy, 0.0);
    EXPECT_GT(differ, 0.3 * energy);
}

TEST(SoundtrackEffects, WidenerPartsTheSidesButLeavesTheMonoSum)
{
    sStereo x = tone(1.0, 0.5f);
    cWidener widener(0.13f);
    double side = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const float sum = x.l[i] + x.r[i];
        widener.process(x.l[i], x.r[i], 0.8f);
        ASSERT_NEAR(x.l[i] + x.r[i], sum, 1e-6f) << i;
        side += std::fabs(x.l[i] - x.r[i]);
    }
    EXPECT_GT(side / double(x.size()), 0.1);
}

TEST(SoundtrackEffects, EchoRepeatsEveryDelayAlternatingSides)
{
    const std::size_t delay = sample_of_tick(3 * kTicksPerStep);
    cPingPong echo(delay, 0.5f);
    std::vector<float> left, right;
    for (std::size_t i = 0; i < 4 * delay; ++i) {
        float l, r;
        echo.process(i < 8 ? 1.0f : 0.0f, l, r);
        left.push_back(std::fabs(l));
        right.push_back(std::fabs(r));
    }
    auto energy = [](const std::vector<float>& v, std::size_t from, std::size_t n) {
        double sum = 0.0;
        for (std::size_t i = from; i < from + n; ++i)
            sum += v[i];
        return sum;
    };
    const std::size_t w = 200;
    EXPECT_EQ(energy(left, 0, delay - 1) + energy(right, 0, delay - 1), 0.0) << "nothing early";
    EXPECT_GT(energy(left, delay, w), 10.0 * energy(right, delay, w)) << "first repeat left";
    EXPECT_GT(energy(right, 2 * delay, w), 10.0 * energy(left, 2 * delay, w)) << "then right";
    EXPECT_LT(energy(left, 3 * delay, w), energy(left, delay, w)) << "and fading";
}

TEST(SoundtrackMix, AnExcerptIsTheBeginningOfTheSong)
{
    const sSong song = compose_song();
    // The kick comes in at bar 8 (13.3 s): take both excerpts past it.
    const std::size_t short_len = 15 * kSampleRate, long_len = 17 * kSampleRate;
    const sStereo a = mix_song(song, short_len);
    const sStereo b = mix_song(song, long_len);
    ASSERT_EQ(a.size(), short_len);
    ASSERT_EQ(b.size(), long_len);
    // Identical up to the limiter's look-ahead before the excerpt's end.
    const std::size_t same = short_len - kSampleRate / 100;
    for (std::size_t i = 0; i < same; ++i) {
        ASSERT_EQ(a.l[i], b.l[i]) << i;
        ASSERT_EQ(a.r[i], b.r[i]) << i;
    }
    EXPECT_GT(peak_dbfs(a), -10.0) << "the excerpt is not silent";
}
