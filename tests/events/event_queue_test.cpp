// The event queue's cursor rules and the marker-script reader.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "event_queue.h"
#include "event_queue_factory.h"
#include "midi_event.h"
#include "support/process.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::unique_ptr<cEventQueue> queue_of(const std::string& text)
{
    return std::unique_ptr<cEventQueue>(cEventQueue_factory::load_from_text(text));
}

// The queue's events as (id, time) pairs.
std::vector<std::pair<int, int>> listed(const cEventQueue& q)
{
    std::vector<std::pair<int, int>> out;
    for (const cEvent* ev : q.events())
        out.emplace_back(ev->m_id, ev->m_time);
    return out;
}

using tListed = std::vector<std::pair<int, int>>;

cMETrigger* note(int kind, int track, int note_number, int time)
{
    auto* ev = new cMETrigger(kind, note_number, 100);
    ev->m_track = track;
    ev->m_time = time;
    return ev;
}

} // namespace

TEST(EventQueue, DueAndSeekAreStrict)
{
    cEventQueue q;
    for (auto [id, time] :
         {std::pair<int, int>{EV_BEAT, 300}, {EV_SNARE, 100}, {EV_RUMBLE, 100}, {0, 200}})
        q.add_event(new cEvent(id, time));
    q.sort();
    q.rewind();

    // An event due at t is not due at t, only after it; equal times come out one after the
    // other, in the order they were added.
    EXPECT_EQ(q.pop_due(100), nullptr);
    EXPECT_EQ(q.pop_due(101)->m_id, EV_SNARE);
    EXPECT_EQ(q.pop_due(101)->m_id, EV_RUMBLE);
    EXPECT_EQ(q.pop_due(101), nullptr);
    EXPECT_EQ(q.pop_due(1000)->m_time, 200);
    EXPECT_EQ(q.pop_due(1000)->m_time, 300);
    EXPECT_EQ(q.pop_due(1000), nullptr);

    // seek(t) places the cursor after every event at t.
    q.seek(100);
    EXPECT_EQ(q.pop_due(1000)->m_time, 200);
    q.seek(99);
    EXPECT_EQ(q.pop_due(1000)->m_time, 100);
    q.seek(300);
    EXPECT_EQ(q.cursor(), q.size());

    // find_next moves just past what it finds; peek_next does not move.
    q.rewind();
    EXPECT_EQ(q.peek_next(EV_BEAT).m_time, 300);
    EXPECT_EQ(q.cursor(), 0u);
    EXPECT_EQ(q.find_next(0), 200);
    EXPECT_EQ(q.cursor(), 3u);
    EXPECT_EQ(q.find_next(EV_SNARE), -1); // only before the cursor
    EXPECT_EQ(q.cursor(), 3u);
    EXPECT_FALSE(q.peek_next(EV_SNARE).is_valid());
    EXPECT_EQ(q.peek_next(EV_SNARE).m_time, -1);

    q.clear();
    EXPECT_EQ(q.pop_due(1 << 30), nullptr);
    EXPECT_EQ(q.find_next(EV_BEAT), -1);
}

TEST(EventQueue, TriggersAndNoteOnTests)
{
    cEventQueue q;
    auto* ctrl = new cMECtrlChange(7, 100);
    ctrl->m_track = 2;
    ctrl->m_time = 15;
    for (cEvent* ev : std::initializer_list<cEvent*>{
             note(iMidiEvent::NOTE_ON, 2, 60, 10), ctrl, note(iMidiEvent::NOTE_ON, 3, 61, 20),
             note(iMidiEvent::NOTE_OFF, 2, 60, 30), new cEvent(EV_MIDI_BEAT, 35),
             note(iMidiEvent::NOTE_ON, 2, 62, 40)})
        q.add_event(ev);
    q.sort();
    q.rewind();

    // Controller changes and beats are skipped; note-offs count; the cursor stays.
    EXPECT_EQ(q.find_next_trigger(2)->m_time, 10);
    EXPECT_EQ(q.find_trigger(2, 2)->m_time, 30);
    EXPECT_EQ(q.find_trigger(2, 3)->m_time, 40);
    EXPECT_EQ(q.find_trigger(2, 4), nullptr);
    EXPECT_EQ(q.find_trigger(3, 1)->m_note, 61);
    EXPECT_EQ(q.cursor(), 0u);
    q.pop_due(100);
    EXPECT_EQ(q.find_next_trigger(2)->m_time, 30);
    EXPECT_DEATH(q.find_trigger(2, 0), "n > 0");

    const cEvent* on = q.events()[0];
    EXPECT_TRUE(is_note_on(on, 2) && is_note_on(on, 2, 60));
    EXPECT_FALSE(is_note_on(on, 2, 62) || is_note_on(on, 3));
    EXPECT_FALSE(is_note_on(q.events()[3], 2));                            // note off
    EXPECT_FALSE(is_note_on(ctrl, 2, 7) || is_note_on(q.events()[4], -1)); // controller, beat
    cEvent bare(EV_MIDI, 0);                                               // a MIDI id but no note
    EXPECT_FALSE(is_note_on(&bare, -1) || is_note_on(nullptr, 2));
}

TEST(MarkerScript, TimesAndTokens)
{
    int ms = -7;
    // ",5" is 5 ms; a day at most.
    for (auto [text, want] : {std::pair<const char*, int>{"00:01:02,345", 62345},
                              {"1:00:00,0", 3600000},
                              {"0:0:1,5", 1005},
                              {"24:00:00,000", 86400000}})
        EXPECT_EQ(cEventQueue_factory::read_time(text, ms) ? ms : -1, want) << text;
    ms = -7;
    for (const char* bad : {"", "00:01:02", "00:01:02,345,6", "0:1:x,5", "0:-1:2,3", "0::2,3",
                            "0:1:2,", "24:00:00,001", "596:31:23,647", "9999999999:0:0,0"}) {
        EXPECT_FALSE(cEventQueue_factory::read_time(bad, ms)) << bad;
        EXPECT_EQ(ms, -7) << bad;
    }

    const std::pair<const char*, int> ids[] = {{"technofx", 31}, {"technofx2", 32}, {"s00", 0},
                                               {"s21", 21},      {"s100", 22},      {"7up", 24},
                                               {"#", -1},        {"#comment", -1}};
    EXPECT_EQ(vnt_test::stderr_of([&] { // comments are silent
                  for (auto [token, id] : ids)
                      EXPECT_EQ(cEventQueue_factory::eventtoken_parse(token), id) << token;
              }),
              "");
    for (const char* unknown : {"technofx3", "Beat", "s22", "s1", "s001", "quitting"}) {
        int id = 0;
        EXPECT_EQ(vnt_test::stderr_of([&] { id = cEventQueue_factory::eventtoken_parse(unknown); }),
                  std::string("# warning, unknown token ") + unknown +
                      " in cEventQueue_factory::eventtoken_parse\n");
        EXPECT_EQ(id, -1) << unknown;
    }
}

TEST(MarkerScript, LinesBecomeSortedEvents)
{
    std::unique_ptr<cEventQueue> q;
    const std::string err = vnt_test::stderr_of([&] {
        q = queue_of("\xEF\xBB\xBF"
                     "s00\t00:00:10,000\r\n"
                     "# a comment line 00:00:01,000\n"
                     "#snare 00:00:02,000\n"
                     "\n   \t\n"
                     "12 00:00:03,000\n"
                     "snare 00:00:05,500 extra fields are ignored\n"
                     "wobble 00:00:04,000\n"
                     "beat\n"
                     "lead 00:00:1,x\n"
                     "quit 00:03:00,000");
    });

    EXPECT_EQ(listed(*q), (tListed{{EV_SNARE, 5500}, {0, 10000}, {EV_QUIT, 180000}}));
    EXPECT_EQ(q->cursor(), 0u);
    EXPECT_TRUE(q->m_track_names.empty() && q->m_controllers.empty());
    EXPECT_TRUE(contains(err, "unknown token wobble in")) << err;
    EXPECT_TRUE(contains(err, "after token beat") && contains(err, "after token lead")) << err;
    EXPECT_FALSE(contains(err, "comment") || contains(err, "12")) << err;

    auto comments = queue_of("# nothing here\n#s00 00:00:00,000\n");
    EXPECT_TRUE(comments->empty());
    EXPECT_EQ(comments->pop_due(1 << 30), nullptr);
}

TEST(MarkerScript, LongLinesAndGarbage)
{
    // A line of 511 characters fits; a longer one is skipped and the lines after it count.
    const std::string fits = "beat 00:00:01,000" + std::string(511 - 17, ' ');
    const std::string too_long = "snare 00:00:02,000 " + std::string(600, 'x');
    std::unique_ptr<cEventQueue> q;
    const std::string err = vnt_test::stderr_of(
        [&] { q = queue_of(fits + "\n" + too_long + "\nquit 00:00:03,000\n"); });
    EXPECT_EQ(listed(*q), (tListed{{EV_BEAT, 1000}, {EV_QUIT, 3000}}));
    EXPECT_TRUE(contains(err, "line 2 longer than 511 characters")) << err;

    std::string garbage(1, '\0');
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(seed >> 16));
    }
    vnt_test::stderr_of([&] { q = queue_of(garbage + "\nquit 00:00:09,000"); });
    ASSERT_FALSE(q->empty());
    EXPECT_EQ(q->events().back()->m_id, EV_QUIT);
}

TEST(MarkerScript, FilesAreReadOrReported)
{
    const std::string path = testing::TempDir() + "markers_test.txt";
    std::ofstream(path, std::ios::binary) << "s00 00:00:01,000\nbeat 00:00:00,500\n";
    std::unique_ptr<cEventQueue> q(cEventQueue_factory::loadFile(path));
    ASSERT_TRUE(q);
    EXPECT_EQ(listed(*q), (tListed{{EV_BEAT, 500}, {0, 1000}}));
    std::remove(path.c_str());

    EXPECT_EQ(vnt_test::stdout_of([&] { EXPECT_EQ(cEventQueue_factory::loadFile(path), nullptr); }),
              "Error reading file \"" + path + " in cEventQueue_factory::loadFile\n");

    // A folder, a FIFO (which would block) and a file past the cap are refused unread.
    const std::string fifo = testing::TempDir() + "markers_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(path, std::ios::binary) << "s00 00:00:01,000\n";
    std::filesystem::resize_file(path, (16u << 20) + 1);
    for (const std::string& refused : {testing::TempDir(), fifo, path}) {
        std::string out;
        const std::string err = vnt_test::stderr_of([&] {
            out = vnt_test::stdout_of(
                [&] { EXPECT_EQ(cEventQueue_factory::loadFile(refused), nullptr); });
        });
        EXPECT_EQ(out, "Error reading file \"" + refused + " in cEventQueue_factory::loadFile\n");
        EXPECT_TRUE(contains(err, refused + " refused: ")) << err;
    }
    std::remove(fifo.c_str());
    std::remove(path.c_str());
}
