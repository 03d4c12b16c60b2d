// The cube tunnel: the clap flash, frames along its timeline window, rings that
// keep their look while they travel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "scene_test.h"
#include "scenes/scene_cube_tunnel.h"

using namespace scene_test;

namespace {

using CubeTunnelTest = SceneTest<cSceneCubeTunnel>;

TEST_F(CubeTunnelTest, ClapFlashesTheRingsAndNothingElseDoes)
{
    cMETrigger hat = note_on(10, 42, 60000), off = note_off(4, 39, 60000),
               clap = note_on(4, 39, 60000);
    expect_kick(scene, clock, 60000, scene.m_flash, {&hat, &off}, &clap);
}

TEST_F(CubeTunnelTest, FramesAlongTheWindowKeepStateAndShowTheTunnel)
{
    // Moments of the timeline: the entry (fov 90), the middle, the closing (cur_t falling).
    for (auto [ms, fov, cur_t] :
         {std::tuple{52500, 88.1f, 1.0f}, {66000, 60.0f, 1.0f}, {79200, 60.0f, 0.35f}}) {
        scene.m_camera.fov = fov;
        scene.m_cur_t = cur_t;
        const std::string name = "cubetunnel_" + std::to_string(ms);
        EXPECT_GT(vnt_test::lit_share(checked_frame(scene, clock, ms, name)), 0.08) << name;
    }
    // The tunnel moves: a frame 100 ms later differs.
    scene.m_cur_t = 1.0f;
    std::vector<unsigned char> a = checked_frame(scene, clock, 70000);
    std::vector<unsigned char> b = checked_frame(scene, clock, 70100);
    EXPECT_GT(changed_share(a, b), 0.05);
    // Gone: at cur_t 0 the picture is darker than with the tunnel closed.
    scene.m_cur_t = 0.0f;
    std::vector<unsigned char> gone = checked_frame(scene, clock, 70100);
    EXPECT_LT(vnt_test::mean_rgba(gone)[0] + vnt_test::mean_rgba(gone)[2],
              vnt_test::mean_rgba(b)[0] + vnt_test::mean_rgba(b)[2]);
}

TEST_F(CubeTunnelTest, RingsMovingUpASlotChangeThePictureNoMoreThanOrdinaryMotion)
{
    // Once across the moment every ring moves up one slot, once in the middle of a slot.
    const float step = scene.m_speed / 60.0f;
    const float slot = 40.0f * cSceneCubeTunnel::RING_SPACING;
    const double across = travel_difference(scene, clock, 66000, slot - 0.5f * step, step);
    const double ordinary = travel_difference(scene, clock, 66000, slot + 0.3f, step);
    EXPECT_GT(ordinary, 0.5);
    EXPECT_LT(across, 1.5 * ordinary);
}

} // namespace
