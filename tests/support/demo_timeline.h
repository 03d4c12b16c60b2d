// A fixture with the whole demo set up once per test suite on the fixed step, and the
// composition's update run frame by frame over a stretch of the timeline.
#pragma once

#include "glimmerfall.h"
#include "offline_runner.h"
#include "scene_manager.h"
#include "scenes/scene_composition.h"
#include "support/gl_fixture.h"

namespace vnt_test {

class DemoTimelineTest : public GLTest
{
protected:
    static void SetUpTestSuite()
    {
        ensure_gl();
        s_runner = new cOfflineRunner(60); // before the scene manager starts its clock
        cSceneManager::get_instance()->set_music_live(false);
        s_demo = new cGlimmerfall();
        s_demo->setup();
    }

    void SetUp() override
    {
        GLTest::SetUp();
        manager = cSceneManager::get_instance();
        comp = manager->get_scene<cSceneComposition>();
        ASSERT_NE(comp, nullptr);
    }

    // The composition's update at every `step` ms from `from` to `to` inclusive, as the demo's
    // frames would run it.
    void play(int from, int to, int step = 40)
    {
        for (int t = from; t <= to; t += step)
            at(t);
    }
    // One frame's update at `t`.
    void at(int t)
    {
        cClock& clock = manager->clock();
        clock.prev = clock.now;
        clock.now = t;
        clock.start = 0;
        clock.paused_total = 0;
        comp->m_curtime = t; // no stall: the composition must not seek
        comp->update();
    }

    static inline cOfflineRunner* s_runner = nullptr;
    static inline cGlimmerfall* s_demo = nullptr;
    cSceneManager* manager = nullptr;
    cSceneComposition* comp = nullptr;
};

} // namespace vnt_test
