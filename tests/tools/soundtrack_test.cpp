// The generated soundtrack as the demo reads it: the MIDI file and the marker script through
// the engine's readers, the music through the MP3 decoder, and the generator's determinism.
#include <gtest/gtest.h>

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "arrangement.h"
#include "effects.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "loudness.h"
#include "midi_event.h"
#include "midi_loader.h"
#include "stereo_buffer.h"
#include "support/process.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace {

constexpr double kMsPerBeat = soundtrack::kMicrosPerBeat / 1000.0;

std::string data_file(const std::string& name)
{
    return vnt_test::source_dir() + "/data/" + name;
}

std::unique_ptr<cEventQueue> load_midi()
{
    auto queue = std::make_unique<cEventQueue>();
    cMidiLoader::load(data_file("music/goa3_3.mid"), *queue, 0.0f);
    return queue;
}

// Note-on times (ms) of `track`, optionally of one note only.
std::vector<int> note_ons(const cEventQueue& q, int track, int note = -1)
{
    std::vector<int> times;
    for (const cEvent* ev : q.events())
        if (is_note_on(ev, track) && (note < 0 || is_note_on(ev, track, note)))
            times.push_back(ev->m_time);
    return times;
}

bool any_within(const std::vector<int>& times, int from, int to)
{
    return std::any_of(times.begin(), times.end(), [&](int t) { return t >= from && t <= to; });
}

// The song decoded the way the demo's player decodes it: 32-bit float stereo.
struct sDecoded
{
    long rate = 0;
    int channels = 0;
    soundtrack::sStereo audio;
};

sDecoded decode(const std::string& file)
{
    sDecoded out;
    mpg123_init();
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return out;
    mpg123_format_none(mh);
    mpg123_format(mh, 44100, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, file.c_str()) == MPG123_OK) {
        int enc = 0;
        mpg123_getformat(mh, &out.rate, &out.channels, &enc);
        std::vector<unsigned char> buffer(1 << 16);
        std::vector<float> pcm;
        for (;;) {
            std::size_t done = 0;
            const int r = mpg123_read(mh, buffer.data(), buffer.size(), &done);
            const float* f = reinterpret_cast<const float*>(buffer.data());
            pcm.insert(pcm.end(), f, f + done / sizeof(float));
            if (r != MPG123_OK && r != MPG123_NEW_FORMAT)
                break;
        }
        out.audio = soundtrack::sStereo(pcm.size() / 2);
        for (std::size_t i = 0; i < out.audio.size(); ++i) {
            out.audio.l[i] = pcm[2 * i];
            out.audio.r[i] = pcm[2 * i + 1];
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return out;
}

// The strongest rise of short-time energy within +-20 ms of `at` (samples): the sample where
// the mean power of the next 2 ms stands highest over that of the 10 ms before.
long onset_near(const std::vector<float>& mono, long at)
{
    auto power = [&](long from, long n) {
        double sum = 0.0;
        for (long i = from; i < from + n; ++i)
            sum += double(mono[std::size_t(i)]) * mono[std::size_t(i)];
        return sum / double(n);
    };
    const long window = 882, before = 441, after = 88;
    long best = -1;
    double best_ratio = 0.0;
    for (long c = std::max(at - window, before); c <= at + window; c += 4) {
        if (c + after >= long(mono.size()))
            break;
        const double ratio = power(c, after) / (power(c - before, before) + 1e-12);
        if (ratio > best_ratio) {
            best_ratio = ratio;
            best = c;
        }
    }
    return best;
}

} // namespace

TEST(Soundtrack, MidiFileReadsBackNoteForNoteWithNamedTracks)
{
    const auto queue = load_midi();
    const soundtrack::sSong song = soundtrack::compose_song();

    ASSERT_GE(queue->m_track_names.size(), 22u);
    EXPECT_EQ(queue->m_track_names.size(), song.tracks.size());
    for (const std::string& name : queue->m_track_names)
        EXPECT_FALSE(name.empty());
    EXPECT_EQ(queue->m_track_names[2], "kick");
    EXPECT_EQ(queue->m_track_names[4], "clap");
    EXPECT_EQ(queue->m_track_names[10], "hats");
    EXPECT_EQ(queue->m_track_names[18], "lead stab");
    EXPECT_EQ(queue->m_track_names[21], "arp");

    // Every note of the song arrives as one note-on and one note-off on its own track, and
    // every controller change as one controller event.
    std::map<int, int> ons, offs, ctrls;
    for (const cEvent* ev : queue->events()) {
        if (const auto* t = dynamic_cast<const cMETrigger*>(ev))
            ++(t->m_kind == iMidiEvent::NOTE_ON ? ons : offs)[t->m_track];
        else if (const auto* c = dynamic_cast<const cMECtrlChange*>(ev))
            ++ctrls[c->m_track];
    }
    for (std::size_t t = 1; t < song.tracks.size(); ++t) {
        SCOPED_TRACE(song.tracks[t].name);
        EXPECT_GT(song.tracks[t].notes.size(), 0u);
        EXPECT_EQ(ons[int(t)], int(song.tracks[t].notes.size()));
        EXPECT_EQ(offs[int(t)], int(song.tracks[t].notes.size()));
        EXPECT_EQ(ctrls[int(t)], int(song.tracks[t].ctrls.size()));
    }
    // Filter sweeps and levels travel as controllers 74, 71 and 11.
    for (int cc : {11, 71, 74})
        EXPECT_NE(std::find(queue->m_controllers.begin(), queue->m_controllers.end(), cc),
                  queue->m_controllers.end())
            << cc;
}

TEST(Soundtrack, KicksAndBeatsSitOnTheBeatGrid)
{
    const auto queue = load_midi();
    const std::vector<int> kicks = note_ons(*queue, 2);
    ASSERT_GT(kicks.size(), 300u);
    for (int t : kicks) {
        const double beats = t / kMsPerBeat;
        // Event times are truncated to whole milliseconds.
        EXPECT_NEAR(t, std::round(beats) * kMsPerBeat, 1.0) << "kick at " << t << " ms";
    }

    std::vector<int> beats;
    for (const cEvent* ev : queue->events())
        if (ev->m_id == EV_MIDI_BEAT)
            beats.push_back(ev->m_time);
    ASSERT_GT(beats.size(), 400u);
    EXPECT_EQ(beats.front(), 0);
    for (std::size_t i = 1; i < beats.size(); ++i)
        EXPECT_NEAR(beats[i] - beats[i - 1], kMsPerBeat, 1.0) << i;
    EXPECT_GE(beats.back(), soundtrack::kQuitMs); // the beat runs until the demo leaves
}

TEST(Soundtrack, ScenesFindTheirCuesInTheirTimeWindows)
{
    const auto queue = load_midi();
    const std::vector<int> phrase = note_ons(*queue, 1, 48);
    const std::vector<int> kick = note_ons(*queue, 2), clap = note_ons(*queue, 4);
    const std::vector<int> hats = note_ons(*queue, 10), stab = note_ons(*queue, 18);
    const std::vector<int> arp = note_ons(*queue, 21);

    EXPECT_TRUE(any_within(kick, 13313, 27000)) << "attractor flashes";
    EXPECT_TRUE(any_within(clap, 25000, 40000)) << "first flower field";
    EXPECT_TRUE(any_within(clap, 52000, 80000)) << "cube tunnel";
    EXPECT_TRUE(any_within(arp, 80000, 106000)) << "mushroom cave";
    EXPECT_TRUE(any_within(phrase, 80001, 106000)) << "mushroom camera paths";
    EXPECT_TRUE(any_within(phrase, 140001, 155000)) << "kaleidoscope tunnel surge";
    EXPECT_TRUE(any_within(clap, 151000, 168500)) << "rose";
    EXPECT_TRUE(any_within(clap, 168000, 196000)) << "second flower field";
    EXPECT_TRUE(any_within(hats, 195000, 224000)) << "spike ball";
    EXPECT_TRUE(any_within(phrase, 196001, 222000)) << "six-fold attractor";
    EXPECT_TRUE(any_within(stab, 196001, 222000)) << "six-fold attractor positions";
    // Phrases of four to ten bars (eight and a fill, mostly), each starting on a bar line.
    const double bar = 4 * kMsPerBeat;
    ASSERT_GT(phrase.size(), 15u);
    for (std::size_t i = 0; i < phrase.size(); ++i) {
        EXPECT_NEAR(phrase[i], std::round(phrase[i] / bar) * bar, 1.0) << phrase[i];
        if (i > 0) {
            EXPECT_GE(phrase[i] - phrase[i - 1], 4 * bar - 1) << phrase[i];
            EXPECT_LE(phrase[i] - phrase[i - 1], 10 * bar + 1) << phrase[i];
        }
    }
}

TEST(Soundtrack, MarkerScriptStartsQuitsAndMarksEverySection)
{
    std::ostringstream warnings;
    std::streambuf* old = std::cerr.rdbuf(warnings.rdbuf());
    std::unique_ptr<cEventQueue> queue(
        cEventQueue_factory::loadFile(data_file("script/markers.txt")));
    std::cerr.rdbuf(old);
    ASSERT_TRUE(queue);
    EXPECT_EQ(warnings.str(), "") << "every token is known";

    std::map<int, std::vector<int>> by_id;
    for (const cEvent* ev : queue->events())
        by_id[ev->m_id].push_back(ev->m_time);
    ASSERT_EQ(by_id[EV_SCENE_FIRST].size(), 1u);
    EXPECT_EQ(by_id[EV_SCENE_FIRST][0], 0);
    ASSERT_EQ(by_id[EV_QUIT].size(), 1u);
    EXPECT_GT(by_id[EV_QUIT][0], 235000);

    // s01..s21 once each, in order, on bar lines of the music.
    int previous = 0;
    for (int id = 1; id <= EV_SCENE_LAST; ++id) {
        ASSERT_EQ(by_id[id].size(), 1u) << "s" << id;
        const int t = by_id[id][0];
        EXPECT_GT(t, previous) << "s" << id;
        const double bars = t / (4 * kMsPerBeat);
        EXPECT_NEAR(t, std::round(bars) * 4 * kMsPerBeat, 1.0) << "s" << id;
        EXPECT_LT(t, by_id[EV_QUIT][0]);
        previous = t;
    }
    EXPECT_FALSE(by_id[EV_BEAT].empty());
    EXPECT_FALSE(by_id[EV_SNARE].empty());
}

TEST(Soundtrack, DecodedMusicHasTheSongsLengthHeadroomAndLoudness)
{
    const sDecoded song = decode(data_file("music/goa3_4_master.mp3"));
    ASSERT_EQ(song.rate, 44100);
    ASSERT_EQ(song.channels, 2);
    const soundtrack::sSong notes = soundtrack::compose_song();
    // The encoder's delay and padding are trimmed: the decoder returns what was encoded.
    EXPECT_NEAR(double(song.audio.size()), double(notes.length_in_samples()), 1152.0);
    // Mastered loud, with the true peak (between samples too) a decibel below full scale.
    float peak = 0.0f;
    for (const std::vector<float>* ch : {&song.audio.l, &song.audio.r})
        for (float p : soundtrack::true_peaks(*ch))
            peak = std::max(peak, p);
    EXPECT_LE(20.0 * std::log10(double(peak)), -1.0);
    EXPECT_NEAR(soundtrack::integrated_loudness(song.audio), -10.0, 1.0);

    // Each drop's first eight bars are louder than the last two bars of the build before it:
    // the loudest three seconds of each, as a short-term meter shows them.
    auto loudest = [&](double from_s, double to_s) {
        double best = -1e9;
        for (double t = from_s; t + 3.0 <= to_s + 1e-9; t += 0.25) {
            soundtrack::sStereo w(std::size_t(3.0 * 44100));
            const std::size_t at = std::size_t(t * 44100);
            std::copy_n(song.audio.l.begin() + long(at), w.size(), w.l.begin());
            std::copy_n(song.audio.r.begin() + long(at), w.size(), w.r.begin());
            best = std::max(best, soundtrack::integrated_loudness(w));
        }
        return best;
    };
    const double bar_s = 4.0 * kMsPerBeat / 1000.0;
    int drops = 0;
    for (std::size_t i = 0; i + 1 < notes.sections.size(); ++i) {
        const soundtrack::sSection& build = notes.sections[i];
        if (build.name.find("build") == std::string::npos)
            continue;
        const double drop_s = (build.first_bar + build.bars) * bar_s;
        EXPECT_GE(loudest(drop_s, drop_s + 8 * bar_s), loudest(drop_s - 2 * bar_s, drop_s) + 1.0)
            << notes.sections[i + 1].name;
        ++drops;
    }
    EXPECT_EQ(drops, 2);
}

TEST(Soundtrack, EveryKickNoteIsHeardWithin5ms)
{
    const auto queue = load_midi();
    const sDecoded song = decode(data_file("music/goa3_4_master.mp3"));
    ASSERT_EQ(song.rate, 44100);
    std::vector<float> mono(song.audio.size());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (song.audio.l[i] + song.audio.r[i]);

    // Every kick of the song, under impacts, crashes and the densest groove alike.
    int checked = 0;
    for (int t : note_ons(*queue, 2)) {
        const long onset = onset_near(mono, long(double(t) * 44.1));
        ASSERT_GE(onset, 0);
        EXPECT_NEAR(double(onset) / 44.1, double(t), 5.0) << "kick at " << t << " ms";
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

TEST(Soundtrack, GeneratorRepeatsItselfByteForByte)
{
    const fs::path base =
        fs::temp_directory_path() / ("soundtrack_test_" + std::to_string(getpid()));
    const fs::path a = base / "a", b = base / "b";
    for (const fs::path& dir : {a, b}) {
        const auto run = vnt_test::run_process(std::string(SOUNDTRACK_EXE) + " --out " +
                                               dir.string() + " --seconds 3");
        ASSERT_EQ(run.status, 0) << run.err;
    }
    for (const char* file : {"music/goa3_4_master.mp3", "music/goa3_3.mid", "script/markers.txt"}) {
        const std::string first = vnt_test::read_file(a / file),
                          second = vnt_test::read_file(b / file);
        EXPECT_FALSE(first.empty()) << file;
        EXPECT_TRUE(first == second) << file << " differs between two runs";
    }
    // The excerpt changes only the length of the music, never the MIDI file or the marks.
    EXPECT_TRUE(vnt_test::read_file(a / "music/goa3_3.mid") ==
                vnt_test::read_file(data_file("music/goa3_3.mid")));
    EXPECT_TRUE(vnt_test::read_file(a / "script/markers.txt") ==
                vnt_test::read_file(data_file("script/markers.txt")));
    const sDecoded excerpt = decode((a / "music/goa3_4_master.mp3").string());
    EXPECT_NEAR(double(excerpt.audio.size()), 3.0 * 44100, 1152.0);
    std::error_code ec;
    fs::remove_all(base, ec);
}

TEST(Soundtrack, GeneratorRefusesBadOptions)
{
    for (const char* args :
         {"", "--out", "--out /tmp/x --seconds", "--out /tmp/x --seconds 0",
          "--out /tmp/x --seconds -2", "--out /tmp/x --seconds 3x", "--out /tmp/x --loud"}) {
        const auto run = vnt_test::run_process(std::string(SOUNDTRACK_EXE) + " " + args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("usage: soundtrack"), std::string::npos) << args;
    }
}
