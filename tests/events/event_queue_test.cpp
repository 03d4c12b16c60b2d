// The event queue's cursor rules and the marker-script reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "event_queue.h"
#include "event_queue_factory.h"
#include "midi_event.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::unique_ptr<cEventQueue> queue_of(const std::string& text)
{
    return std::unique_ptr<cEventQueue>(cEventQueue_factory::load_from_text(text));
}

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
    q.add_event(new cEvent(EV_BEAT, 300));
    q.add_event(new cEvent(EV_SNARE, 100));
    q.add_event(new cEvent(EV_RUMBLE, 100));
    q.add_event(new cEvent(EV_QUIT, 200));
    q.sort();
    q.rewind();

    // An event due at t is not due at t, only after it.
    EXPECT_EQ(q.pop_due(100), nullptr);
    cEvent* first = q.pop_due(101);
    cEvent* second = q.pop_due(101);
    ASSERT_TRUE(first && second);
    // Equal times come out one after the other, in the order they were added.
    EXPECT_EQ(first->m_id, EV_SNARE);
    EXPECT_EQ(second->m_id, EV_RUMBLE);
    EXPECT_EQ(q.pop_due(101), nullptr);
    EXPECT_EQ(q.pop_due(1000)->m_time, 200);
    EXPECT_EQ(q.pop_due(1000)->m_time, 300);
    EXPECT_EQ(q.pop_due(1000), nullptr);
    EXPECT_EQ(q.cursor(), q.size());

    // seek(t) places the cursor after every event at t.
    q.seek(100);
    EXPECT_EQ(q.pop_due(1000)->m_time, 200);
    q.seek(99);
    EXPECT_EQ(q.pop_due(1000)->m_time, 100);
    q.seek(300);
    EXPECT_EQ(q.cursor(), q.size());
    q.seek(-5);
    EXPECT_EQ(q.cursor(), 0u);
}

TEST(EventQueue, FindAndPeekWorkFromTheCursor)
{
    cEventQueue q;
    q.add_event(new cEvent(0, 1000));
    q.add_event(new cEvent(EV_BEAT, 2000));
    q.add_event(new cEvent(EV_BEAT, 3000));
    q.add_event(new cEvent(EV_QUIT, 4000));
    q.sort();
    q.rewind();

    const cEvent peeked = q.peek_next(EV_BEAT);
    EXPECT_EQ(peeked.m_time, 2000);
    EXPECT_EQ(q.cursor(), 0u);
    EXPECT_EQ(q.find_next(EV_BEAT), 2000);
    EXPECT_EQ(q.cursor(), 2u); // just past the event found
    EXPECT_EQ(q.find_next(EV_BEAT), 3000);

    // Id 0 lies before the cursor now: not found, cursor unchanged.
    EXPECT_EQ(q.find_next(0), -1);
    EXPECT_EQ(q.cursor(), 3u);
    const cEvent none = q.peek_next(0);
    EXPECT_FALSE(none.is_valid());
    EXPECT_EQ(none.m_time, -1);

    q.clear();
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.pop_due(1 << 30), nullptr);
    EXPECT_EQ(q.find_next(EV_QUIT), -1);
}

TEST(EventQueue, FindTriggerCountsNotesOfOneTrack)
{
    cEventQueue q;
    q.add_event(note(iMidiEvent::NOTE_ON, 2, 60, 10));
    auto* ctrl = new cMECtrlChange(7, 100);
    ctrl->m_track = 2;
    ctrl->m_time = 15;
    q.add_event(ctrl);
    q.add_event(note(iMidiEvent::NOTE_ON, 3, 61, 20));
    q.add_event(note(iMidiEvent::NOTE_OFF, 2, 60, 30));
    q.add_event(new cEvent(EV_MIDI_BEAT, 35));
    q.add_event(note(iMidiEvent::NOTE_ON, 2, 62, 40));
    q.sort();
    q.rewind();

    ASSERT_NE(q.find_next_trigger(2), nullptr);
    EXPECT_EQ(q.find_next_trigger(2)->m_time, 10);
    // Controller changes and beats are skipped; note-offs count as triggers.
    EXPECT_EQ(q.find_trigger(2, 2)->m_time, 30);
    EXPECT_EQ(q.find_trigger(2, 3)->m_time, 40);
    EXPECT_EQ(q.find_trigger(2, 4), nullptr);
    EXPECT_EQ(q.find_trigger(3, 1)->m_note, 61);
    EXPECT_EQ(q.find_trigger(4, 1), nullptr);
    EXPECT_EQ(q.cursor(), 0u);

    q.pop_due(100);
    EXPECT_EQ(q.find_next_trigger(2)->m_time, 30);
    EXPECT_DEATH(q.find_trigger(2, 0), "n > 0");
}

TEST(EventQueue, NoteOnTestsNeedANoteOnOfTheTrack)
{
    cMETrigger on(iMidiEvent::NOTE_ON, 48, 90);
    on.m_track = 1;
    cMETrigger off(iMidiEvent::NOTE_OFF, 48, 90);
    off.m_track = 1;
    cMECtrlChange ctrl(48, 90);
    ctrl.m_track = 1;
    cEvent marker(EV_MIDI, 0); // id of a MIDI event, but no note

    EXPECT_TRUE(is_note_on(&on, 1));
    EXPECT_TRUE(is_note_on(&on, 1, 48));
    EXPECT_FALSE(is_note_on(&on, 1, 50));
    EXPECT_FALSE(is_note_on(&on, 10));
    EXPECT_FALSE(is_note_on(&off, 1));
    EXPECT_FALSE(is_note_on(&ctrl, 1, 48));
    EXPECT_FALSE(is_note_on(&marker, -1));
    EXPECT_FALSE(is_note_on(nullptr, 1));
    on.m_id = EV_MIDI_BEAT;
    EXPECT_FALSE(is_note_on(&on, 1));
}

TEST(MarkerScript, TimesAreHoursMinutesSecondsAndMilliseconds)
{
    int ms = -7;
    EXPECT_TRUE(cEventQueue_factory::read_time("00:01:02,345", ms));
    EXPECT_EQ(ms, 62345);
    EXPECT_TRUE(cEventQueue_factory::read_time("1:00:00,0", ms));
    EXPECT_EQ(ms, 3600000);
    EXPECT_TRUE(cEventQueue_factory::read_time("0:0:1,5", ms)); // ",5" is 5 ms
    EXPECT_EQ(ms, 1005);
    EXPECT_TRUE(cEventQueue_factory::read_time("596:31:23,647", ms));
    EXPECT_EQ(ms, 2147483647);

    ms = -7;
    for (const char* bad : {"", "00:01:02", "00:01:02,345,6", "0:1:x,5", "0:-1:2,3", "0::2,3",
                            "0:1:2,", "596:31:23,648", "9999999999:0:0,0", "0:1:2,3 "}) {
        EXPECT_FALSE(cEventQueue_factory::read_time(bad, ms)) << bad;
        EXPECT_EQ(ms, -7) << bad;
    }
}

TEST(MarkerScript, TokensMatchWholeAndInOrder)
{
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("beat"), 25);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("technofx"), 31);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("technofx2"), 32);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("sinus_in"), 37);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("s00"), 0);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("s09"), 9);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("s21"), 21);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("s100"), 22);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("quit"), 41);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("7up"), 24);

    testing::internal::CaptureStderr();
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("#"), -1);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("#comment"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // comments are silent

    for (const char* unknown : {"technofx3", "Beat", "beat2", "s22", "s1", "s001", "quitting"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(cEventQueue_factory::eventtoken_parse(unknown), -1) << unknown;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("# warning, unknown token ") + unknown +
                      " in cEventQueue_factory::eventtoken_parse\n");
    }
}

TEST(MarkerScript, LinesBecomeSortedEvents)
{
    testing::internal::CaptureStderr();
    auto q = queue_of("\xEF\xBB\xBF"
                      "s00\t00:00:10,000\r\n"
                      "# a comment line 00:00:01,000\n"
                      "#snare 00:00:02,000\n"
                      "\n"
                      "   \t\n"
                      "12 00:00:03,000\n"
                      "snare 00:00:05,500 extra fields are ignored\n"
                      "wobble 00:00:04,000\n"
                      "beat\n"
                      "lead 00:00:1,x\n"
                      "quit 00:03:00,000");
    const std::string err = testing::internal::GetCapturedStderr();

    ASSERT_EQ(q->size(), 3u);
    EXPECT_EQ(q->cursor(), 0u);
    EXPECT_EQ(q->events()[0]->m_id, EV_SNARE);
    EXPECT_EQ(q->events()[0]->m_time, 5500);
    EXPECT_EQ(q->events()[1]->m_id, 0);
    EXPECT_EQ(q->events()[1]->m_time, 10000);
    EXPECT_EQ(q->events()[2]->m_id, EV_QUIT);
    EXPECT_EQ(q->events()[2]->m_time, 180000);
    EXPECT_TRUE(q->m_track_names.empty());
    EXPECT_TRUE(q->m_controllers.empty());

    EXPECT_TRUE(contains(err, "# warning, unknown token wobble in "
                              "cEventQueue_factory::eventtoken_parse\n"))
        << err;
    EXPECT_TRUE(contains(err, "beat")) << err;
    EXPECT_TRUE(contains(err, "lead")) << err;
    EXPECT_EQ(err.find("comment"), std::string::npos);
    EXPECT_EQ(err.find("12"), std::string::npos);
}

TEST(MarkerScript, CommentsOnlyGiveAnEmptyQueue)
{
    auto q = queue_of("# nothing here\n#s00 00:00:00,000\n");
    EXPECT_TRUE(q->empty());
    EXPECT_EQ(q->pop_due(1 << 30), nullptr);
    EXPECT_EQ(q->find_next(0), -1);
}

TEST(MarkerScript, AnOverlongLineIsSkippedAndReadingGoesOn)
{
    const std::string fits = "beat 00:00:01,000" + std::string(511 - 17, ' ');
    const std::string too_long = "snare 00:00:02,000 " + std::string(600, 'x');
    testing::internal::CaptureStderr();
    auto q = queue_of(fits + "\n" + too_long + "\nquit 00:00:03,000\n");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(q->size(), 2u);
    EXPECT_EQ(q->events()[0]->m_id, EV_BEAT);
    EXPECT_EQ(q->events()[1]->m_id, EV_QUIT);
    EXPECT_TRUE(contains(err, "line 2 longer than 511 characters")) << err;
}

TEST(MarkerScript, BinaryGarbageIsReadSafely)
{
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(seed >> 16));
    }
    garbage += "\nquit 00:00:09,000";
    garbage.insert(garbage.begin() + 5000, '\0');
    testing::internal::CaptureStderr();
    auto q = queue_of(garbage);
    testing::internal::GetCapturedStderr();
    ASSERT_FALSE(q->empty());
    EXPECT_EQ(q->events().back()->m_id, EV_QUIT);
}

TEST(MarkerScript, FilesAreReadOrReported)
{
    const std::string path = testing::TempDir() + "markers_test.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "s00 00:00:01,000\nbeat 00:00:00,500\n";
    }
    std::unique_ptr<cEventQueue> q(cEventQueue_factory::loadFile(path));
    ASSERT_TRUE(q);
    ASSERT_EQ(q->size(), 2u);
    EXPECT_EQ(q->events()[0]->m_id, EV_BEAT);
    std::remove(path.c_str());

    testing::internal::CaptureStdout();
    EXPECT_EQ(cEventQueue_factory::loadFile(path), nullptr);
    EXPECT_EQ(cEventQueue_factory::loadFile(testing::TempDir()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error reading file \"" + path + " in cEventQueue_factory::loadFile\n" +
                  "Error reading file \"" + testing::TempDir() +
                  " in cEventQueue_factory::loadFile\n");
}
