// The 3D kaleidoscope: frames of its window and of every arrangement, transparency where
// nothing is drawn.
#include <gtest/gtest.h>

#include "scene_test.h"
#include "scenes/scene_kaleido3d.h"

using namespace scene_test;

namespace {

using Kaleido3dTest = SceneTest<cSceneKaleido3d>;

TEST_F(Kaleido3dTest, EveryArrangementDrawsAndLeavesTheCornersTransparent)
{
    // Every arrangement names meshes of the table.
    for (const auto& config : cSceneKaleido3d::configs) {
        EXPECT_TRUE(config.centre >= 0 && config.centre < cSceneKaleido3d::NUM_MESHES);
        for (int mesh : config.rings)
            EXPECT_TRUE(mesh >= 0 && mesh < cSceneKaleido3d::NUM_MESHES);
    }
    scene.m_cur_t = 0.5f;
    for (int config = 0; config < cSceneKaleido3d::NUM_CONFIGS; ++config) {
        scene.m_cur_config = config;
        std::vector<unsigned char> frame =
            checked_frame(scene, clock, 160000, "kaleido3d_config" + std::to_string(config));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << config;
        // The lower left corner lies outside the arrangement: nothing covers the layer below.
        EXPECT_LT(frame[3], 16) << config;
    }
    // Along its window (arrangement 1): unfolding, seen from below and turning, flying apart.
    const struct
    {
        int ms;
        float cur_t, cam_t, rot;
    } moments[] = {
        {153000, 0.25f, 0.0f, 0.0f}, {160000, 0.5f, 1.0f, -170.0f}, {166000, 0.68f, 1.0f, -678.0f}};
    scene.m_cur_config = 1;
    for (const auto& m : moments) {
        scene.m_cur_t = m.cur_t;
        scene.m_cam_t = m.cam_t;
        scene.m_rot = m.rot;
        const auto frame = checked_frame(scene, clock, m.ms, "kaleido3d_" + std::to_string(m.ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << m.ms;
    }
    // Folded away: nothing at all.
    scene.m_cur_t = 0.0f;
    EXPECT_LT(vnt_test::lit_share(checked_frame(scene, clock, 160000)), 0.001);
}

} // namespace
