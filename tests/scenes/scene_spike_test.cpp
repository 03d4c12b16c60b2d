// The spike ball: no timeline variables, the hats and clap reactions, frames of its window.
#include <gtest/gtest.h>

#include "scenes/scene_spike.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class SpikeTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        spike.load();
    }
    vnt_test::sTestClock clock;
    cSceneSpike spike{&clock.clock};
};

TEST_F(SpikeTest, OffersNoTimelineVariables)
{
    EXPECT_EQ(spike.get_name(), "spikeball");
    expect_vars(spike, {});
    expect_gui(spike, {"dodgering", "rotspeed"});
    EXPECT_NE(cShaderManager_GLSL::get_instance()->get_shader("self_illum_shader"), nullptr);
}

TEST_F(SpikeTest, HatsDodgeAndClapPumps)
{
    clock.set(200000);
    cMETrigger kick = note_on(2, 36, 200000), off = note_off(10, 42, 200000);
    spike.handle_event(&kick);
    spike.handle_event(&off);
    EXPECT_TRUE(spike.interpolators().empty());

    cMETrigger hat = note_on(10, 42, 200000), clap = note_on(4, 39, 200000);
    spike.handle_event(&hat);
    spike.handle_event(&clap);
    spike.update();
    EXPECT_FLOAT_EQ(spike.m_dodge, 1.0f);
    EXPECT_FLOAT_EQ(spike.m_pump, 1.0f);
    clock.set(200200);
    spike.update();
    EXPECT_FLOAT_EQ(spike.m_dodge, 0.0f);
    EXPECT_GT(spike.m_pump, 0.0f);
    clock.set(200400);
    spike.update();
    EXPECT_FLOAT_EQ(spike.m_pump, 0.0f);
}

TEST_F(SpikeTest, FramesKeepStateAndGlow)
{
    std::vector<unsigned char> calm;
    for (int ms : {196500, 209000, 222500}) {
        std::vector<unsigned char> frame =
            checked_frame(spike, clock, ms, "spikeball_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.15) << ms;
        calm = frame;
    }
    // A clap makes the picture brighter.
    cMETrigger clap = note_on(4, 39, 222500);
    spike.handle_event(&clap);
    std::vector<unsigned char> pumped = checked_frame(spike, clock, 222500, "spikeball_clap");
    EXPECT_GT(vnt_test::mean_rgba(pumped)[0], vnt_test::mean_rgba(calm)[0]);
}

} // namespace
