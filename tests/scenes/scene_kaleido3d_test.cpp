// The 3D kaleidoscope: its variables and their timeline, the unfolding, frames of its window
// and of every arrangement, transparency where nothing is drawn.
#include <gtest/gtest.h>

#include "scenes/scene_kaleido3d.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class Kaleido3dTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        kaleido.load();
    }
    vnt_test::sTestClock clock;
    cSceneKaleido3d kaleido{&clock.clock};
};

TEST_F(Kaleido3dTest, UnfoldsToHalfThenFliesApart)
{
    EXPECT_FLOAT_EQ(cSceneKaleido3d::unfold(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(cSceneKaleido3d::unfold(0.5f), 1.0f);
    EXPECT_FLOAT_EQ(cSceneKaleido3d::unfold(3.0f), 1.0f);
    EXPECT_FLOAT_EQ(cSceneKaleido3d::fly_apart(0.5f), 0.0f);
    EXPECT_FLOAT_EQ(cSceneKaleido3d::fly_apart(1.0f), 1.0f);
    EXPECT_GT(cSceneKaleido3d::unfold(0.3f), cSceneKaleido3d::unfold(0.2f));
    // Every arrangement names meshes of the table and an even fold or an odd one it mirrors.
    for (const auto& config : cSceneKaleido3d::configs) {
        EXPECT_GE(config.fold, 2);
        EXPECT_GE(config.centre, 0);
        EXPECT_LT(config.centre, cSceneKaleido3d::NUM_MESHES);
        for (int mesh : config.rings) {
            EXPECT_GE(mesh, 0);
            EXPECT_LT(mesh, cSceneKaleido3d::NUM_MESHES);
        }
    }
}

TEST_F(Kaleido3dTest, TimelineDrivesTheSceneThroughItsWindow)
{
    // The rows of its layer, bound by name as the composition binds them.
    cSceneComposition comp(&clock.clock);
    comp.add_layer(59, sLayer(&kaleido, 0, 151500, 167500), 0, 1000);
    comp.add_interpolator(new cSetVar<int>(comp.find_var(59, "cur_config"), 151000, 167500, 1));
    comp.add_interpolator(
        new cSmoothStep<float>(comp.find_var(59, "cur_t"), 151000, 155000, 0.0f, 0.5f));
    comp.add_interpolator(
        new cSmoothStep<float>(comp.find_var(59, "cur_t"), 165000, 167500, 0.5f, 1.0f));
    comp.add_interpolator(new cSetVar<float>(comp.find_var(59, "cam_t"), 151000, 155000, 0.0f));
    comp.add_interpolator(
        new cSmoothStep<float>(comp.find_var(59, "cam_t"), 156000, 159000, 0.0f, 1.0f));
    comp.add_interpolator(new cSetVar<float>(comp.find_var(59, "rot"), 151000, 152000, 0.0f));
    comp.add_interpolator(
        new cLerp<float>(comp.find_var(59, "rot"), 158000, 166500, 0.0f, -720.0f));

    kaleido.m_cur_config = 3;
    // The demo's first frame applies every interpolator once.
    clock.set(0);
    comp.update();
    struct
    {
        int ms;
        float cur_t, cam_t, rot;
        const char* name;
    } moments[] = {
        {153000, 0.25f, 0.0f, 0.0f, "kaleido3d_153000"},
        {160000, 0.5f, 1.0f, -720.0f * 2000.0f / 8500.0f, "kaleido3d_160000"},
        {166000, 0.5f + 0.5f * 0.352f, 1.0f, -720.0f * 8000.0f / 8500.0f, "kaleido3d_166000"}};
    int now = 151000;
    for (const auto& m : moments) {
        // Frame by frame (every 100 ms) up to the moment, as the demo plays.
        for (; now <= m.ms; now += 100) {
            clock.set(now);
            comp.update();
        }
        EXPECT_EQ(kaleido.m_cur_config, 1) << m.name;
        EXPECT_NEAR(kaleido.m_cur_t, m.cur_t, 0.01f) << m.name;
        EXPECT_NEAR(kaleido.m_cam_t, m.cam_t, 1e-4f) << m.name;
        EXPECT_NEAR(kaleido.m_rot, m.rot, 0.1f) << m.name;
        std::vector<unsigned char> frame = checked_frame(kaleido, clock, m.ms, m.name);
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << m.name;
    }
}

TEST_F(Kaleido3dTest, EveryArrangementDrawsAndLeavesTheCornersTransparent)
{
    kaleido.m_cur_t = 0.5f;
    for (int config = 0; config < cSceneKaleido3d::NUM_CONFIGS; ++config) {
        kaleido.m_cur_config = config;
        std::vector<unsigned char> frame =
            checked_frame(kaleido, clock, 160000, "kaleido3d_config" + std::to_string(config));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << config;
        // The lower left corner lies outside the arrangement: nothing covers the layer below.
        EXPECT_LT(frame[3], 16) << config;
    }
    // Folded away: nothing at all.
    kaleido.m_cur_t = 0.0f;
    std::vector<unsigned char> empty = checked_frame(kaleido, clock, 160000);
    EXPECT_LT(vnt_test::lit_share(empty), 0.001);
}

} // namespace
