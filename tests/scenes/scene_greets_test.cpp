// The greetings: the flights of the ten names, frames along its timeline window.
#include <gtest/gtest.h>

#include "scene_test.h"
#include "scenes/scene_greets.h"

using namespace scene_test;

namespace {

using GreetsTest = SceneTest<cSceneGreets>;

TEST_F(GreetsTest, EveryNameFliesOnceInTurnAndNoneOutsideTheWindow)
{
    // Sampled finely over the whole progress: each name shows in one unbroken stretch, later
    // names start later, and a name is never shown before 0 or after 1.
    float first_seen[cSceneGreets::NUM_GREETS], last_seen[cSceneGreets::NUM_GREETS];
    for (int i = 0; i < cSceneGreets::NUM_GREETS; ++i) {
        first_seen[i] = last_seen[i] = -1.0f;
        bool was_shown = false;
        int stretches = 0;
        for (int step = -100; step <= 1100; ++step) {
            const float t = float(step) / 1000.0f;
            const cSceneGreets::sFlight f = cSceneGreets::flight(i, t);
            if (f.shown) {
                EXPECT_TRUE(t >= 0.0f && t <= 1.0f && f.progress >= 0.0f && f.progress < 1.0f &&
                            f.alpha >= 0.0f && f.alpha <= 1.0f)
                    << i << " at " << t;
                if (!was_shown)
                    ++stretches;
                if (first_seen[i] < 0.0f)
                    first_seen[i] = t;
                last_seen[i] = t;
            }
            was_shown = f.shown;
        }
        EXPECT_EQ(stretches, 1) << i;
        if (i > 0) {
            EXPECT_GT(first_seen[i], first_seen[i - 1]);
            EXPECT_GT(last_seen[i], last_seen[i - 1]);
        }
    }
    EXPECT_FLOAT_EQ(first_seen[0], 0.0f);
    EXPECT_LT(last_seen[cSceneGreets::NUM_GREETS - 1], 1.0f);
    // Indices that do not exist are never shown.
    EXPECT_FALSE(cSceneGreets::flight(-1, 0.5f).shown);
    EXPECT_FALSE(cSceneGreets::flight(cSceneGreets::NUM_GREETS, 0.95f).shown);
    // Once fully visible, a name stands in front of the viewer, in the middle.
    for (int i = 0; i < cSceneGreets::NUM_GREETS; ++i) {
        float t = first_seen[i];
        while (t < last_seen[i] && cSceneGreets::flight(i, t).alpha < 1.0f)
            t += 0.001f;
        const cSceneGreets::sFlight read = cSceneGreets::flight(i, t);
        EXPECT_FLOAT_EQ(read.alpha, 1.0f) << i;
        EXPECT_LT(read.z, -4.0f) << i;
        EXPECT_LT(std::fabs(read.x), 1.0f) << i;
    }
}

TEST_F(GreetsTest, FramesAlongItsWindowKeepStateAndShowTheNames)
{
    // 182000 to 196000 with cur_t running 0 to 1.
    sweep(scene, clock, "greets", {184000, 189000, 194000}, 0.05, 0.05,
          [&](int ms) { scene.m_cur_t = float(ms - 182000) / 14000.0f; });
    // Before and after its window nothing of the names is drawn.
    scene.m_cur_t = 1.0f;
    const std::vector<unsigned char> after = checked_frame(scene, clock, 196000);
    EXPECT_LT(vnt_test::lit_share(after), 0.01);
}

} // namespace
