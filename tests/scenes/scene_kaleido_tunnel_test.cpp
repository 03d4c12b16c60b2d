// The kaleidoscope tunnel: the fog and speed kicks (the later of two overlapping kicks wins),
// the travel, frames across its window, segments that keep their look while they travel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "effects/interpolator.h"
#include "scene_test.h"
#include "scenes/scene_kaleido_tunnel.h"

using namespace scene_test;

namespace {

using KaleidoTunnelTest = SceneTest<cSceneKaleidoTunnel>;

TEST_F(KaleidoTunnelTest, ClapPullsTheFogInAndTheLaterOfTwoKicksWins)
{
    clock.set(141000);
    cMETrigger first = note_on(4, 39, 141000);
    scene.handle_event(&first);
    clock.set(141100);
    cMETrigger second = note_on(4, 39, 141100);
    scene.handle_event(&second);
    ASSERT_EQ(scene.interpolators().size(), 2u);
    // Both active at 141150: the value is the second kick's alone.
    clock.set(141150);
    scene.update();
    float expected = 0;
    cEaseOut<float> alone(&expected, 141100, 141350, 5.0f, 8.0f);
    alone.update(141150);
    EXPECT_FLOAT_EQ(scene.m_fogend, expected);
    EXPECT_LT(scene.m_fogend, 6.0f);
    // After both: back at rest.
    clock.set(141400);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_fogend, 8.0f);
}

TEST_F(KaleidoTunnelTest, PhraseCueSurgesAheadAndSettlesWithinASecond)
{
    clock.set(142000);
    cMETrigger other_cue = note_on(1, 50, 142000), hat = note_on(10, 48, 142000);
    scene.handle_event(&other_cue);
    scene.handle_event(&hat);
    EXPECT_TRUE(scene.interpolators().empty());
    cMETrigger cue = note_on(1, 48, 142000);
    scene.handle_event(&cue);
    ASSERT_EQ(scene.interpolators().size(), 1u);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_speedboost, 6.0f);
    // The first step after the cue travels seven times as far as at rest.
    const float before = scene.m_position;
    clock.set(142010);
    scene.update();
    EXPECT_GT(scene.m_position - before, 0.05f);
    clock.set(143100);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_speedboost, 0.0f);
}

TEST_F(KaleidoTunnelTest, TravelsOneUnitPerSecondAndStandsStillWhilePaused)
{
    clock.set(0);
    scene.update();
    const float start = scene.m_position;
    clock.set(1000);
    scene.update();
    EXPECT_NEAR(scene.m_position - start, 1.0f, 1e-5f);
    clock.clock.paused = true;
    clock.set(3000);
    scene.update();
    EXPECT_NEAR(scene.m_position - start, 1.0f, 1e-5f);
}

TEST_F(KaleidoTunnelTest, FramesAcrossTheWindowKeepStateAndShowTheMeshes)
{
    for (auto [ms, mesh] : {std::pair{141000, 8}, {147500, 5}, {154000, 9}}) {
        const std::string name = "kaleidotunnel_" + std::to_string(ms);
        scene.m_curmesh = mesh;
        std::vector<unsigned char> frame = checked_frame(scene, clock, ms, name);
        // Coloured meshes and the ink of the wall over the white haze: a good share of the
        // picture is not white, some of it nearly black, and some of the white shows.
        size_t coloured = 0, ink = 0, white = 0;
        for (size_t i = 0; i < frame.size(); i += 4) {
            const int lo = std::min({frame[i], frame[i + 1], frame[i + 2]});
            const int hi = std::max({frame[i], frame[i + 1], frame[i + 2]});
            coloured += lo < 200;
            ink += hi < 64;
            white += lo > 230;
        }
        const double pixels = double(frame.size() / 4);
        EXPECT_GT(double(coloured) / pixels, 0.1) << name;
        EXPECT_GT(double(ink) / pixels, 0.05) << name;
        EXPECT_GT(double(white) / pixels, 0.1) << name;
    }
    // Every mesh of the table draws.
    for (int mesh = 0; mesh < cSceneKaleidoTunnel::NUM_MESHES; ++mesh) {
        scene.m_curmesh = mesh;
        checked_frame(scene, clock, 150000 + mesh * 10);
    }
}

TEST_F(KaleidoTunnelTest, SegmentsMovingUpASlotChangeThePictureNoMoreThanOrdinaryMotion)
{
    // At rest speed, once across the moment every segment moves up one slot, once in the middle
    // of a slot.
    const float step = 1.0f / 60.0f;
    const float slot = 200.0f * scene.m_segwidth;
    const double across = travel_difference(scene, clock, 145000, slot - 0.5f * step, step);
    const double ordinary = travel_difference(scene, clock, 145000, slot + 0.3f, step);
    EXPECT_GT(ordinary, 0.5);
    EXPECT_LT(across, 1.5 * ordinary);
}

} // namespace
