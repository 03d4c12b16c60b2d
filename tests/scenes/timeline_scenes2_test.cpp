// The timeline rows of the title, the flower field, the mandala and the greetings, run through
// the demo's own composition frame by frame.
#include <gtest/gtest.h>

#include "effects/interpolator.h"
#include "scene_manager.h"
#include "scenes/scene_composition.h"
#include "scenes/scene_flower_field.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_title.h"
#include "support/demo_timeline.h"

namespace {

class TimelineRowsTest : public vnt_test::DemoTimelineTest
{
protected:
    void SetUp() override
    {
        DemoTimelineTest::SetUp();
        title = manager->get_scene<cSceneTitle>();
        field = manager->get_scene<cSceneFlowerField>();
        mandala = manager->get_scene<cSceneMandala>();
        greets = manager->get_scene<cSceneGreets>();
        ASSERT_TRUE(title && field && mandala && greets);
    }

    cSceneTitle* title = nullptr;
    cSceneFlowerField* field = nullptr;
    cSceneMandala* mandala = nullptr;
    cSceneGreets* greets = nullptr;
};

// The timeline binds its interpolators to the scenes' variables by name: a renamed or missing
// variable leaves an interpolator without one, animating nothing.
TEST_F(TimelineRowsTest, EveryTimelineInterpolatorFoundItsVariable)
{
    ASSERT_FALSE(comp->interpolators().empty());
    for (const cInterpolator* in : comp->interpolators()) {
        if (!dynamic_cast<const cIntervalLerp*>(in)) // a window without a variable
            EXPECT_NE(in->m_var, nullptr) << in->m_starttime << " to " << in->m_endtime;
    }
}

TEST_F(TimelineRowsTest, TheTitleAndItsFadeFollowItsWindow)
{
    play(12000, 26000);
    EXPECT_FLOAT_EQ(title->m_cur_t, 1.0f);
    // No fade-out: the title is fully there on its last millisecond.
    EXPECT_FLOAT_EQ(comp->layer(10).m_opacity, 1.0f);
    play(19656, 19656);
    EXPECT_NEAR(title->m_cur_t, 0.5f, 0.001f);
}

TEST_F(TimelineRowsTest, TheMandalaGradesEachOfItsLayersItsOwnWay)
{
    play(36000, 45000);
    EXPECT_EQ(mandala->m_cur_config, 2);
    EXPECT_NEAR(mandala->m_cur_t, 0.33f + 0.67f * 8.0f / 16.0f, 0.01f);
    play(104000, 111000, 100);
    EXPECT_EQ(mandala->m_cur_config, 1);
    EXPECT_NEAR(mandala->m_cur_t, 0.3f + 0.7f * 6.0f / 12.0f, 0.01f);
    play(166000, 168000);
    EXPECT_EQ(mandala->m_cur_config, 3);
    EXPECT_NEAR(mandala->m_cur_t, 0.33f + 0.67f * 1.5f / 3.0f, 0.01f);
}

TEST_F(TimelineRowsTest, TheFlowerFieldRisesForTheGreetingsThenTheHoldTakesOver)
{
    play(24000, 31000);
    EXPECT_EQ(field->m_cur_config, 1);
    EXPECT_NEAR(field->m_cur_t, 0.5f, 0.01f);

    play(167000, 177000);
    EXPECT_EQ(field->m_cur_config, 3);
    EXPECT_FLOAT_EQ(field->m_cur_t, 0.0f);
    play(177040, 181500);
    EXPECT_NEAR(field->m_cur_t, 0.5f, 0.01f);
    play(181540, 184960);
    EXPECT_GT(field->m_cur_t, 0.99f);
    // The first frame after the rise lands on its end value; from the next one the hold,
    // earlier in the list and still active, writes 0 again every frame.
    play(185000, 185000);
    EXPECT_FLOAT_EQ(field->m_cur_t, 1.0f);
    play(185040, 185040);
    EXPECT_FLOAT_EQ(field->m_cur_t, 1.0f);
    play(185080, 185080);
    EXPECT_FLOAT_EQ(field->m_cur_t, 0.0f);
    for (int t = 185120; t <= 193000; t += 40) {
        play(t, t);
        ASSERT_FLOAT_EQ(field->m_cur_t, 0.0f) << t;
    }
    play(193040, 195000);
    EXPECT_NEAR(field->m_outtro_t, 0.5f, 0.01f);
    play(195040, 196000);
    EXPECT_FLOAT_EQ(field->m_outtro_t, 1.0f);
}

TEST_F(TimelineRowsTest, TheGreetingsRunOverTheirWindow)
{
    play(181000, 189000);
    EXPECT_NEAR(greets->m_cur_t, 0.5f, 0.01f);
    play(189040, 196000);
    EXPECT_FLOAT_EQ(greets->m_cur_t, 1.0f);
}

} // namespace
