// The demo's own timeline run through its composition frame by frame: every interpolator found
// its variable, the hand-overs where layers meet (the title cut against the attractor's fade at
// 26000, the cube tunnel, the particle field and the cave at 80000), and the one attractor
// object driven through its three layers.
#include <gtest/gtest.h>

#include <vector>

#include "effects/interpolator.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_title.h"
#include "support/demo_timeline.h"

namespace {

using TimelineHandoverTest = vnt_test::DemoTimelineTest;

// The timeline binds its interpolators to the scenes' variables by name: a renamed or missing
// variable leaves an interpolator without one, animating nothing.
TEST_F(TimelineHandoverTest, EveryTimelineInterpolatorFoundItsVariable)
{
    ASSERT_FALSE(comp->interpolators().empty());
    for (const cInterpolator* in : comp->interpolators()) {
        if (!dynamic_cast<const cIntervalLerp*>(in)) { // a window without a variable
            EXPECT_NE(in->m_var, nullptr) << in->m_starttime << " to " << in->m_endtime;
        }
    }
}

TEST_F(TimelineHandoverTest, TheTitleCutsAt26000WhileTheAttractorFadesOutUntil27000)
{
    ASSERT_EQ(comp->layer(10).m_scene, manager->get_scene<cSceneTitle>());
    ASSERT_EQ(comp->layer(5).m_scene, manager->get_scene<cSceneAttractor>());
    play(12000, 26000, 20);
    EXPECT_EQ(comp->active_depths(26000), (std::vector<int>{5, 10, 12}));
    EXPECT_FLOAT_EQ(comp->layer(10).m_opacity, 1.0f); // opaque on its last millisecond
    const float attractor_at_cut = comp->layer(5).m_opacity;
    EXPECT_NEAR(attractor_at_cut, 1.0f / 3.0f, 0.01f); // two thirds into its 3 s fade

    at(26001);
    EXPECT_EQ(comp->active_depths(26001), (std::vector<int>{5, 12})); // the title is gone
    float previous = comp->layer(5).m_opacity;
    EXPECT_LE(previous, attractor_at_cut);
    EXPECT_GT(previous, 0.0f);
    for (int t = 26020; t <= 27000; t += 20) {
        at(t);
        EXPECT_LE(comp->layer(5).m_opacity, previous) << t;
        previous = comp->layer(5).m_opacity;
    }
    EXPECT_NEAR(previous, 0.0f, 0.01f);
    EXPECT_EQ(comp->active_depths(27001), (std::vector<int>{12}));
}

TEST_F(TimelineHandoverTest, TheTunnelTheFieldAndTheCaveMeetAt80000)
{
    ASSERT_EQ(comp->layer(20).m_scene, manager->get_scene<cSceneCubeTunnel>());
    ASSERT_EQ(comp->layer(25).m_scene, manager->get_scene<cSceneParticles>());
    ASSERT_EQ(comp->layer(45).m_scene, manager->get_scene<cSceneMushroomsJ>());
    EXPECT_EQ(comp->active_depths(80000), (std::vector<int>{20, 25, 45}));
    EXPECT_EQ(comp->active_depths(83001), (std::vector<int>{45}));
    // The tunnel has faded out as the cave begins to fade in.
    play(78000, 80000, 20);
    EXPECT_NEAR(comp->layer(20).m_opacity, 0.0f, 0.01f);
    EXPECT_NEAR(comp->layer(45).m_opacity, 0.0f, 0.01f);
    play(80020, 80500, 20);
    EXPECT_NEAR(comp->layer(45).m_opacity, 1.0f, 0.01f);
}

// The one attractor object behind depths 5, 100 and 110.
TEST_F(TimelineHandoverTest, TimelineRowsDriveOneAttractorThroughItsThreeLayers)
{
    cSceneAttractor* attractor = manager->get_scene<cSceneAttractor>();
    for (int depth : {5, 100, 110})
        ASSERT_EQ(comp->layer(depth).m_scene, attractor);
    auto run = [&](int from, int to) {
        for (int t = from; t <= to; t += 40) {
            at(t);
            attractor->update();
        }
    };
    run(0, 5000);
    EXPECT_EQ(attractor->cur_config, 0);
    EXPECT_EQ(attractor->last_ifsconfig(), 0);
    EXPECT_NEAR(comp->layer(5).m_opacity, 0.5f, 0.01f); // ten seconds of fade-in
    run(195000, 210000);
    EXPECT_EQ(attractor->cur_config, 1);
    attractor->cur_anim = 4; // as the kicks of the six-fold stretch leave it: faint points
    attractor->a1 = 0.02f;
    run(223000, 229000); // both rows hold; the later one, the single view, wins
    EXPECT_EQ(attractor->cur_config, 0);
    // The closing single view takes its own preset again instead of the six-fold one's points.
    EXPECT_FLOAT_EQ(attractor->a1, 0.1f);
    EXPECT_EQ(attractor->cur_anim, 1);
}

} // namespace
