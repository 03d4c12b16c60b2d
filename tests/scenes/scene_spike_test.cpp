// The spike ball: the hats and clap reactions, frames of its window.
#include <gtest/gtest.h>

#include "scene_test.h"
#include "scenes/scene_spike.h"

using namespace scene_test;

namespace {

using SpikeTest = SceneTest<cSceneSpike>;

TEST_F(SpikeTest, HatsDodgeAndClapPumps)
{
    clock.set(200000);
    cMETrigger kick = note_on(2, 36, 200000), off = note_off(10, 42, 200000);
    scene.handle_event(&kick);
    scene.handle_event(&off);
    EXPECT_TRUE(scene.interpolators().empty());

    cMETrigger hat = note_on(10, 42, 200000), clap = note_on(4, 39, 200000);
    scene.handle_event(&hat);
    scene.handle_event(&clap);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_dodge, 1.0f);
    EXPECT_FLOAT_EQ(scene.m_pump, 1.0f);
    clock.set(200200);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_dodge, 0.0f);
    EXPECT_GT(scene.m_pump, 0.0f);
    clock.set(200400);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_pump, 0.0f);
}

TEST_F(SpikeTest, FramesKeepStateAndGlow)
{
    std::vector<unsigned char> calm;
    for (int ms : {196500, 209000, 222500}) {
        std::vector<unsigned char> frame =
            checked_frame(scene, clock, ms, "spikeball_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.15) << ms;
        calm = frame;
    }
    // A clap makes the picture brighter.
    cMETrigger clap = note_on(4, 39, 222500);
    scene.handle_event(&clap);
    std::vector<unsigned char> pumped = checked_frame(scene, clock, 222500, "spikeball_clap");
    EXPECT_GT(vnt_test::mean_rgba(pumped)[0], vnt_test::mean_rgba(calm)[0]);
}

} // namespace
