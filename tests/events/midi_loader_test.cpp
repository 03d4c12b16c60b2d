// The MIDI reader: timing, which messages become events, beat events, names, controllers,
// and malformed files, which must end with the fatal message and never read out of bounds.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "event_queue.h"
#include "midi_event.h"
#include "midi_file_builder.h"
#include "midi_loader.h"
#include "support/process.h"
#include "support/test_media.h"

using midi_test::build_file;
using midi_test::Bytes;
using midi_test::cTrack;

namespace {

// Loads quietly; returns what the reader reported on the standard output.
std::string load(const Bytes& file, cEventQueue& q, float beat_offset = 0.0f)
{
    testing::internal::CaptureStdout();
    cMidiLoader::load_from_memory(file.data(), file.size(), q, beat_offset);
    return testing::internal::GetCapturedStdout();
}

std::vector<int> times_of(const cEventQueue& q, int id)
{
    std::vector<int> times;
    for (const cEvent* ev : q.events())
        if (ev->m_id == id)
            times.push_back(ev->m_time);
    return times;
}

template <class T> std::vector<const T*> all_of(const cEventQueue& q)
{
    std::vector<const T*> out;
    for (const cEvent* ev : q.events())
        if (auto* t = dynamic_cast<const T*>(ev))
            out.push_back(t);
    return out;
}

// In a child: status 0 after loading, or status 1 after the fatal line alone; a crash or a
// sanitizer report fails.
void expect_loads_or_is_refused(const Bytes& file, const std::string& what)
{
    EXPECT_EXIT(
        {
            cEventQueue q;
            std::freopen("/dev/null", "w", stdout);
            cMidiLoader::load_from_memory(file.data(), file.size(), q, 0.5f);
            std::fprintf(stderr, "# mid loaded\n");
            std::exit(0);
        },
        [](int status) {
            return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1);
        },
        "^(# mid loaded|# mid FATAL ERROR: [^\n]*)\n$")
        << what;
}

void expect_fatal(const Bytes& file, const std::string& message)
{
    EXPECT_EXIT(
        {
            cEventQueue q;
            std::freopen("/dev/null", "w", stdout);
            cMidiLoader::load_from_memory(file.data(), file.size(), q, 0.0f);
        },
        testing::ExitedWithCode(1), "^# mid FATAL ERROR: " + message + "\n$")
        << message;
}

// Two tracks at division 480 and 120 bpm; the song ends at tick 1680, 1750 ms.
Bytes two_track_song()
{
    cTrack conductor;
    conductor.name("conductor").tempo(0, 500000).end();
    cTrack drums;
    drums.name("drums")
        .note_on(480, 36, 100)  // tick 480
        .msg(240, 0x80, 36, 0)  // tick 720, note off
        .note_on(168, 38, 90)   // tick 888
        .note_on(0, 40, 0)      // velocity 0: nothing
        .note_on(72, 41, 80, 1) // channel 2: nothing
        .msg(0, 0xB0, 74, 33)   // tick 960
        .msg(0, 0xB0, 7, 100)
        .msg(10, 0xB0, 74, 34)
        .msg(0, 0xE0, 0, 64) // pitch bend: nothing
        .end(710);
    return build_file(480, {conductor, drums});
}

} // namespace

TEST(MidiLoader, TicksBecomeMillisecondsAtTheFilesTempoAndTheBeatOffsetMovesNotesOnly)
{
    cEventQueue q;
    const std::string out = load(two_track_song(), q);

    const auto notes = all_of<cMETrigger>(q);
    ASSERT_EQ(notes.size(), 3u);
    const cMETrigger& on = *notes[0];
    EXPECT_EQ(std::tuple(on.m_id, on.m_time, on.m_kind, on.m_track, on.m_note, on.m_velocity),
              std::tuple(int(EV_MIDI), 500, int(iMidiEvent::NOTE_ON), 1, 36, 100));
    EXPECT_EQ(std::pair(notes[1]->m_time, notes[1]->m_kind),
              std::pair(750, int(iMidiEvent::NOTE_OFF)));
    EXPECT_EQ(notes[2]->m_time, 925); // tick 888 is exactly 925 ms, not 924

    const auto ctrls = all_of<cMECtrlChange>(q);
    ASSERT_EQ(ctrls.size(), 3u);
    const cMECtrlChange& c = *ctrls[0];
    EXPECT_EQ(std::tuple(c.m_time, c.m_kind, c.m_controller, c.m_ctrl_value),
              std::tuple(1000, int(iMidiEvent::CTRL_CHANGE), 74, 33));
    EXPECT_EQ(ctrls[2]->m_time, 1010);
    EXPECT_EQ(q.m_controllers, (std::vector<int>{7, 74}));

    // The last beat lies at or after the end of the song.
    EXPECT_EQ(times_of(q, EV_MIDI_BEAT), (std::vector<int>{0, 500, 1000, 1500, 2000}));
    EXPECT_EQ(q.m_track_names, (std::vector<std::string>{"conductor", "drums"}));
    for (std::size_t i = 1; i < q.size(); ++i)
        EXPECT_LE(q.events()[i - 1]->m_time, q.events()[i]->m_time);

    EXPECT_EQ(out, "# midi: Num tracks: 2\n"
                   "# midi: Reading tracks from MIDI file...\n"
                   "# midi: bpm: 120\n"
                   "# midi: manual beat-offset correction: 0 ticks at 500ms per beat / 1.04167\n");

    // Half a beat of offset moves the notes and controllers, not a marker read before the
    // file, nor the beats.
    cEventQueue shifted;
    shifted.add_event(new cEvent(0, 600));
    load(two_track_song(), shifted, 0.5f);
    const auto late = all_of<cMETrigger>(shifted);
    EXPECT_EQ(late[0]->m_time, 750);
    EXPECT_EQ(late[2]->m_time, 1175);
    EXPECT_EQ(all_of<cMECtrlChange>(shifted)[0]->m_time, 1250);
    EXPECT_EQ(times_of(shifted, 0), (std::vector<int>{600}));
    EXPECT_EQ(times_of(shifted, EV_MIDI_BEAT), (std::vector<int>{0, 500, 1000, 1500, 2000}));
}

TEST(MidiLoader, RunningStatusSkippedEventsAndTheLastTempo)
{
    cTrack track;
    track.note_on(96, 60, 10)
        .msg(96, -1, 62, 20)              // running status: another note-on
        .raw({0x00, 0xF0, 0x03, 1, 2, 3}) // system exclusive, skipped by its length
        .msg(96, -1, 64, 30)              // still the note-on status
        .meta(48, 0x01, Bytes(300, 'x'))  // a long text event, its length in two bytes
        .raw({0x00, 0xF8})                // a one-byte system message
        .msg(48, 0x80, 64, 0)             // tick 384
        .end();
    cEventQueue q;
    load(build_file(96, {track}), q);
    // No tempo event: 120 beats per minute.
    EXPECT_EQ(times_of(q, EV_MIDI), (std::vector<int>{500, 1000, 1500, 2000}));
    EXPECT_EQ(std::pair(all_of<cMETrigger>(q)[2]->m_velocity, all_of<cMETrigger>(q)[3]->m_kind),
              std::pair(30, int(iMidiEvent::NOTE_OFF)));
    EXPECT_EQ(q.m_track_names, (std::vector<std::string>{""}));

    // One tempo for the whole file: the last one read, here in the second track.
    cTrack a, b;
    a.tempo(0, 500000).note_on(480, 60, 1).end();
    b.tempo(0, 250000).end();
    cEventQueue q2;
    const std::string out = load(build_file(480, {a, b}), q2);
    EXPECT_EQ(times_of(q2, EV_MIDI), (std::vector<int>{250}));
    EXPECT_EQ(times_of(q2, EV_MIDI_BEAT), (std::vector<int>{0, 250}));
    EXPECT_NE(out.find("# midi: bpm: 240\n"), std::string::npos) << out;
}

TEST(MidiLoader, TrackNamesInTrackOrder)
{
    const std::string long_name(200, 'n'); // its length takes two bytes
    cTrack first, unnamed, last;
    first.name("old").name("bass").end();
    unnamed.note_on(0, 1, 1).end();
    last.name(long_name).name("").end(); // an empty name keeps the one before
    cEventQueue q;
    q.m_track_names.push_back("from before");
    load(build_file(480, {first, unnamed, last}), q);
    EXPECT_EQ(q.m_track_names, (std::vector<std::string>{"from before", "bass", "", long_name}));
    EXPECT_EQ(all_of<cMETrigger>(q)[0]->m_track, 1);
}

TEST(MidiLoader, TimeCodeFiles)
{
    // 25 frames of 40 ticks: one tick per millisecond, whatever tempo the file names.
    cTrack track;
    track.tempo(0, 250000).note_on(1234, 60, 1).end(766);
    cEventQueue q;
    const std::string err = vnt_test::stderr_of(
        [&] { load(build_file(static_cast<std::int16_t>(0xE728), {track}), q, 1.0f); });
    EXPECT_EQ(times_of(q, EV_MIDI), (std::vector<int>{1234})); // no beat to offset by
    EXPECT_TRUE(times_of(q, EV_MIDI_BEAT).empty());
    EXPECT_NE(err.find("beat offset 1 ignored"), std::string::npos) << err;

    cTrack drop; // 29.97 frames of 100 ticks
    drop.note_on(2997, 60, 1).end();
    cEventQueue q2;
    load(build_file(static_cast<std::int16_t>(0xE364), {drop}), q2);
    EXPECT_EQ(times_of(q2, EV_MIDI), (std::vector<int>{1000}));

    for (int code : {23, 26, 28, 31, 127}) {
        const auto division = static_cast<std::int16_t>(((-code) & 0xff) << 8 | 40);
        expect_fatal(build_file(division, {track}), "Illegal SMPTE frame code");
    }
}

TEST(MidiLoader, UnreadableFileLeavesTheQueueAlone)
{
    cEventQueue q;
    q.add_event(new cEvent(EV_BEAT, 5));
    EXPECT_EQ(vnt_test::stderr_of([&] { cMidiLoader::load("/nonexistent/song.mid", q, 0.0f); }),
              "# midi: Unable to open file '/nonexistent/song.mid'!\n");

    // A folder, a FIFO (which would block) and a file past the cap are refused unread.
    const std::string path = testing::TempDir() + "midi_loader_test.mid";
    const std::string fifo = testing::TempDir() + "midi_loader_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(path, std::ios::binary) << "MThd";
    std::filesystem::resize_file(path, (64u << 20) + 1);
    for (const std::string& refused : {testing::TempDir(), fifo, path}) {
        const std::string err = vnt_test::stderr_of([&] { cMidiLoader::load(refused, q, 0.0f); });
        EXPECT_EQ(err.substr(0, err.find('\n') + 1),
                  "# midi: Unable to open file '" + refused + "'!\n");
        EXPECT_TRUE(err.find("# midi: refused: ") != std::string::npos) << err;
    }
    EXPECT_EQ(q.size(), 1u);
    std::remove(fifo.c_str());

    const Bytes song = two_track_song();
    vnt_test::write_text(path, std::string(song.begin(), song.end()));
    vnt_test::stdout_of([&] { cMidiLoader::load(path, &q, 0.0f); });
    std::remove(path.c_str());
    // Sorted in with the MIDI events: the beat tick at 0, the marker at 5, the first note.
    ASSERT_EQ(q.size(), 12u);
    EXPECT_EQ(std::tuple(q.events()[0]->m_id, q.events()[1]->m_id, q.events()[2]->m_time),
              std::tuple(int(EV_MIDI_BEAT), int(EV_BEAT), 500));
}

TEST(MidiLoader, MalformedFilesEndWithTheFatalMessage)
{
    cTrack ok;
    ok.note_on(0, 60, 1).end();
    Bytes alien = build_file(480, {ok, ok});
    alien[14 + 8 + ok.bytes().size()] = 'X';
    Bytes stub = build_file(480, {ok}, 2);
    stub.insert(stub.end(), {'M', 'T', 'r'});
    Bytes lying = build_file(480, {ok});
    lying[21] += 1;
    Bytes very_lying = lying;
    very_lying[18] = 0xFF;
    auto track = [](const Bytes& bytes) { return cTrack().raw(bytes); };
    cTrack endless;
    for (int i = 0; i < 17; ++i)
        endless.note_on(0x0FFFFFFF, 60, 1);

    const std::pair<Bytes, std::string> cases[] = {
        {{}, "This is not a valid MIDI file!"},
        {{'M', 'T', 'h'}, "This is not a valid MIDI file!"},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 1, 0, 1, 1, 0xE0}, "This is not a valid MIDI file!"},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0}, "The MIDI header is truncated!"},
        {build_file(0, {ok}), "Division of 0 ticks per quarter note"},
        {build_file(static_cast<std::int16_t>(0xE700), {ok}),
         "SMPTE division with 0 ticks per frame"},
        {build_file(480, {ok}, 2), "Track 2/2 is missing!"},
        {alien, "Track 2/2 is invalid!"},
        {stub, "Track 2/2 is invalid!"},
        {lying, "Track 1/1 runs past the end of the file!"},
        {very_lying, "Track 1/1 runs past the end of the file!"},
        {build_file(480, {track({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 1})}),
         "Track 1/1 holds a variable-length quantity longer than four bytes!"},
        {build_file(480, {track({0x00, 0x90, 60})}), "Track 1/1 ends inside an event!"},
        {build_file(480, {track({0x00, 0xFF, 0x01, 0x10, 'a'})}),
         "Track 1/1 ends inside an event!"},
        {build_file(480, {track({0x00, 0xF0, 0x7F, 1})}), "Track 1/1 ends inside an event!"},
        {build_file(480, {ok, track({0x00, 60, 1})}),
         "Track 2/2 has a data byte without a status byte!"},
        {build_file(480, {track({0x00, 0x90, 60, 0x80})}),
         "Track 1/1 has a status byte where a data byte belongs!"},
        // A tempo or time signature of the wrong length is a damaged file, not a crash.
        {build_file(480, {cTrack().meta(0, 0x51, {0x07, 0xA1})}),
         "Track 1/1 has a tempo whose length is not 3!"},
        {build_file(480, {cTrack().meta(0, 0x51, {0, 0, 0})}),
         "Track 1/1 has a tempo of 0 microseconds per quarter note!"},
        {build_file(480, {ok, cTrack().meta(0, 0x58, {4, 2, 24, 8, 0})}),
         "Track 2/2 has a time signature whose length is not 4!"},
        // Times beyond what the demo can count.
        {build_file(480, {endless}), "Track 1/1 runs past 2\\^32 ticks!"},
        {build_file(1, {cTrack().tempo(0, 0xFFFFFF).note_on(0x0FFFFFFF, 60, 1)}),
         "Tick 268435455 lies beyond the 32-bit millisecond range!"},
    };
    for (const auto& [file, message] : cases)
        expect_fatal(file, message);
}

TEST(MidiLoader, DamagedCopiesNeverReadOutOfBounds)
{
    const Bytes song = two_track_song();
    for (std::size_t len = 0; len < song.size(); len += 3)
        expect_loads_or_is_refused(Bytes(song.begin(), song.begin() + len),
                                   "cut at " + std::to_string(len));
    unsigned seed = 2024;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 40; ++round) {
        Bytes damaged = song;
        for (int flips = 1 + next() % 4; flips > 0; --flips)
            damaged[14 + next() % (damaged.size() - 14)] = static_cast<std::uint8_t>(next());
        expect_loads_or_is_refused(damaged, "round " + std::to_string(round));
    }
}

TEST(MidiLoader, AbsurdTemposDoNotFloodTheQueue)
{
    // 1 us per quarter note: a long song would hold billions of beats.
    cTrack track;
    track.tempo(0, 1).note_on(0x0FFFFFFF, 60, 1).note_on(0x0FFFFFFF, 60, 1);
    cEventQueue q;
    const std::string err = vnt_test::stderr_of([&] { load(build_file(1, {track}), q); });
    EXPECT_EQ(times_of(q, EV_MIDI_BEAT).size(), std::size_t(1) << 20);
    EXPECT_NE(err.find("the rest of the song gets no beat events"), std::string::npos) << err;
}
