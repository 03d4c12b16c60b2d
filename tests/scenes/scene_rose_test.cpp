// The rose scene and its component: the clap's swell, the traced curves, frames
// across the kaleidoscope types and the closing zoom.
#include <gtest/gtest.h>

#include <cmath>

#include "scene_test.h"
#include "scenes/scene_rose.h"

using namespace scene_test;

namespace {

using RoseTest = SceneTest<cSceneRose>;

TEST_F(RoseTest, TracedPetalsReachTheUnitCircleAndStayInsideIt)
{
    std::vector<float> points;
    for (int layer : {-3, 0, 4, cComponentRose::MAX_LAYERS + 5}) {
        cComponentRose::trace_layer(layer, 0.7f, points);
        ASSERT_EQ(points.size(), size_t(cComponentRose::POINTS_PER_LAYER) * 3);
        float reach = 0;
        for (size_t i = 0; i < points.size(); i += 3) {
            const float r = std::hypot(points[i], points[i + 1]);
            EXPECT_LE(r, 1.0001f);
            reach = std::max(reach, r);
        }
        EXPECT_GT(reach, 0.99f) << layer;
    }
}

TEST_F(RoseTest, ClapSwellsTheRose)
{
    clock.set(152000);
    cMETrigger kick = note_on(2, 36, 152000);
    scene.handle_event(&kick);
    EXPECT_TRUE(scene.interpolators().empty());
    cMETrigger clap = note_on(4, 39, 152000);
    scene.handle_event(&clap);
    ASSERT_EQ(scene.interpolators().size(), 1u);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_rose.m_kick, 1.0f);
    clock.set(152400);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_rose.m_kick, 0.0f);
}

TEST_F(RoseTest, FramesKeepStateAndFillTheScreen)
{
    struct
    {
        int ms, kaleido;
        float scale;
        const char* name;
    } moments[] = {{152000, 5, 2.0f, "rose_152000"},
                   {160500, 5, 2.0f, "rose_160500"},
                   {166800, 5, 4.6f, "rose_166800"},
                   {158000, 0, 2.0f, "rose_plain"},
                   {158000, 12, 2.0f, "rose_type12"}};
    for (const auto& m : moments) {
        scene.m_kaleido2d = m.kaleido;
        scene.m_scale = m.scale;
        EXPECT_GT(vnt_test::lit_share(checked_frame(scene, clock, m.ms, m.name)), 0.1) << m.name;
    }
}

} // namespace
