// The scene manager's clock, first-frame jump, event firing, seeking, pause and exits.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "clock.h"
#include "event_queue.h"
#include "load_screen.h"
#include "midi_event.h"
#include "scene_manager.h"
#include "support/gl_fixture.h"
#include "support/test_media.h"
#include "support/test_scenes.h"

using vnt_test::cColourScene;

namespace {

// A manager on a fixed-step clock at 100 fps (10 ms a frame) starting at counter 10000 ms,
// with one registered test scene and the given marker script.
class SceneManagerTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        m_dir = vnt_test::temp_dir("scenemanager");
        ASSERT_TRUE(vnt_test::write_silent_mp3(m_dir + "/song.mp3", 2000));
        cClock::set_source(&m_source);
    }
    void TearDown() override
    {
        cSceneManager::destroy_instance();
        cClock::set_source(nullptr);
        GLTest::TearDown();
    }
    cSceneManager* make(const std::string& markers)
    {
        vnt_test::write_text(m_dir + "/markers.txt", markers);
        cSceneManager* manager = cSceneManager::get_instance();
        manager->set_music_live(false);
        manager->init(m_dir + "/markers.txt", m_dir + "/song.mp3");
        m_scene = manager->add_scene<cColourScene>();
        vnt_test::sNoLoadScreen loadscreen;
        manager->start(&loadscreen);
        return manager;
    }
    // Advances the fixed clock by `ms` and runs one manager frame.
    bool frame(cSceneManager* manager, int ms = 10)
    {
        for (int i = 0; i < ms / 10; ++i)
            m_source.advance();
        return manager->update();
    }

    cFixedStepSource m_source{100.0, 10000};
    std::string m_dir;
    cColourScene* m_scene = nullptr;
};

} // namespace

TEST_F(SceneManagerTest, FirstFrameJumpsToTheStartMark)
{
    cSceneManager* manager = make("# test\ns00 0:00:05,000\nquit 0:01:00,000\n");
    EXPECT_EQ(m_scene->m_loads, 1);
    EXPECT_TRUE(frame(manager)); // the jump counts as a change
    EXPECT_EQ(manager->get_time(), 5000 - 150);
    EXPECT_EQ(m_scene->m_updates, 0); // not updated in the jump frame
    EXPECT_FALSE(frame(manager));
    EXPECT_EQ(m_scene->m_updates, 1);
    EXPECT_EQ(manager->get_time(), 5000 - 150 + 10);
}

TEST_F(SceneManagerTest, DueEventsFireOnTheFrameAfterTheirTime)
{
    cSceneManager* manager = make("s00 0:00:00,800\nbeat 0:00:01,000\nbeat 0:00:01,020\n");
    auto* trigger = new cMETrigger(1, 0, 0);
    trigger->m_track = 4;
    trigger->m_time = 890;
    manager->event_queue()->add_event(trigger);
    manager->event_queue()->sort();
    manager->event_queue()->rewind();

    // Jump to 650 (cursor past s00); at 890 the note at 890 is not due yet; at 1000 the beat at
    // 1000 waits one more frame; at 1030 both beats come, in order.
    for (auto [ms, fired] : std::vector<std::pair<int, std::vector<int>>>{
             {10, {}}, {240, {}}, {10, {890}}, {100, {890}}, {30, {890, 1000, 1020}}}) {
        frame(manager, ms);
        EXPECT_EQ(m_scene->m_event_times, fired) << manager->get_time();
    }
}

TEST_F(SceneManagerTest, SeekLandsBeforeTheTargetAndSkipsTheEventsUpToIt)
{
    cSceneManager* manager = make("s00 0:00:00,000\nbeat 0:00:02,900\nbeat 0:00:03,000\n"
                                  "beat 0:00:03,001\nbeat 0:00:03,200\n");
    frame(manager);
    manager->seek(3000);
    EXPECT_EQ(manager->get_time(), 2850);
    for (int i = 0; i < 16; ++i)
        frame(manager); // up to 3010
    EXPECT_EQ(m_scene->m_event_times, std::vector<int>{3001});
    // Seeking back replays what lies after the new time.
    manager->seek(2800);
    for (int i = 0; i < 60; ++i)
        frame(manager); // up to 3250
    EXPECT_EQ(m_scene->m_event_times.size(), 5u);
}

TEST_F(SceneManagerTest, PauseFreezesTheDemoTimeAndResumesFromIt)
{
    cSceneManager* manager = make("s00 0:00:00,000\n");
    frame(manager);
    frame(manager);
    const int before = manager->get_time();
    manager->toggle_pause();
    frame(manager, 500);
    frame(manager, 500);
    EXPECT_EQ(manager->get_time(), before);
    manager->toggle_pause();
    EXPECT_EQ(manager->get_time(), before);
    frame(manager);
    EXPECT_EQ(manager->get_time(), before + 10);
}

TEST_F(SceneManagerTest, MidiTestViewReplacesTheSceneAndReportsTheChange)
{
    cSceneManager* manager = make("s00 0:00:00,000\n");
    frame(manager);
    EXPECT_FALSE(frame(manager));
    EXPECT_EQ(manager->get_current(), m_scene);
    manager->toggle_miditest();
    EXPECT_TRUE(frame(manager));
    EXPECT_EQ(manager->get_current()->get_name(), "miditest");
    EXPECT_FALSE(frame(manager));
    // Three seconds in the MIDI view; back from it the scene takes up the demo time without
    // an update in between (a composition would take the gap for a stall and seek back).
    for (int i = 0; i < 30; ++i)
        frame(manager, 100);
    const int updates = m_scene->m_updates;
    const int before = manager->get_time();
    manager->toggle_miditest();
    EXPECT_TRUE(frame(manager));
    EXPECT_EQ(manager->get_current(), m_scene);
    EXPECT_EQ(m_scene->m_updates, updates);
    EXPECT_EQ(manager->get_time(), before + 10);
    frame(manager);
    EXPECT_EQ(m_scene->m_updates, updates + 1);
}

TEST_F(SceneManagerTest, UnmuteGivesBackTheVolumeFromBeforeMuting)
{
    cSceneManager* manager = make("s00 0:00:00,000\n");
    for (int volume : {255, 180}) {
        testing::internal::CaptureStderr(); // no device here: the module warns on every change
        manager->sound().set_volume(volume);
        EXPECT_TRUE(manager->toggle_mute());
        EXPECT_EQ(manager->sound().volume(), 0);
        EXPECT_FALSE(manager->toggle_mute());
        EXPECT_EQ(manager->sound().volume(), volume);
        testing::internal::GetCapturedStderr();
    }
}

TEST_F(SceneManagerTest, QuitMarkEndsWithZeroAMissingStartOrNoSceneWithAFailure)
{
    EXPECT_EXIT(
        {
            cSceneManager* manager = make("s00 0:00:00,000\nquit 0:00:00,100\n");
            for (int i = 0; i < 40; ++i)
                frame(manager);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            cSceneManager* manager = make("s01 0:00:01,000\n");
            frame(manager);
        },
        ::testing::ExitedWithCode(1), "event not found! Exiting...");
    EXPECT_EXIT(
        {
            vnt_test::write_text(m_dir + "/markers.txt", "s00 0:00:00,000\n");
            cSceneManager* manager = cSceneManager::get_instance();
            manager->set_music_live(false);
            manager->init(m_dir + "/markers.txt", m_dir + "/song.mp3");
            vnt_test::sNoLoadScreen loadscreen;
            manager->start(&loadscreen);
        },
        ::testing::ExitedWithCode(255), "scene 0 not added - exiting!");
}

namespace {
struct cGreetsLike : cColourScene
{
    explicit cGreetsLike(const cClock* c) : cColourScene(c, "greets") {}
};
struct cTitleLike : cColourScene
{
    explicit cTitleLike(const cClock* c) : cColourScene(c, "greets") {}
};
} // namespace

TEST(SceneNames, ATakenNameKeepsItsFirstScene)
{
    vnt_test::ensure_gl();
    cSceneManager* manager = cSceneManager::get_instance();
    manager->add_scene<cGreetsLike>();
    manager->add_scene<cTitleLike>();
    ASSERT_NE(manager->get_scene<cTitleLike>(), nullptr); // still found by class
    EXPECT_EQ(manager->get_scene_by_name("greets"), manager->get_scene<cGreetsLike>());
    EXPECT_EQ(manager->scenes().size(), 2u);
    cSceneManager::destroy_instance();
}
