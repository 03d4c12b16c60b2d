// The rose scene and its component: variables, the clap's swell, the traced curves, frames
// across the kaleidoscope types and the closing zoom.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/scene_rose.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class RoseTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        rose.load();
    }
    vnt_test::sTestClock clock;
    cSceneRose rose{&clock.clock};
};

TEST_F(RoseTest, OffersKaleidoscopeTypeAndScale)
{
    EXPECT_EQ(rose.get_name(), "rose");
    expect_vars(rose, {{"kaleido2d", 0, 7}, {"scale", 0, 10}});
    expect_gui(rose, {"pre-cut", "post-cut", "rose_pos", "rose_col", "rose_it"});
}

TEST_F(RoseTest, ComponentOffersItsSevenSliders)
{
    cComponentRose component;
    tVarList vars;
    component.get_vars(vars);
    const char* names[] = {"rose_pos",      "rose_scale", "rose_pt_size", "rose_alpha",
                           "rose_pt_alpha", "rose_col",   "rose_it"};
    ASSERT_EQ(vars.size(), 7u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(vars[i].first->get_name(), names[i]);
    // The entries point at the component's own members.
    static_cast<cVar<int>*>(vars[6].first)->set(2);
    EXPECT_EQ(component.m_it, 2);
    static_cast<cVar<Vec3<float>>*>(vars[5].first)->set(Vec3<float>(0.1f, 0.2f, 0.3f));
    EXPECT_FLOAT_EQ(component.m_col.y, 0.2f);
    delete_var_list(vars);
}

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
    rose.handle_event(&kick);
    EXPECT_TRUE(rose.interpolators().empty());
    cMETrigger clap = note_on(4, 39, 152000);
    rose.handle_event(&clap);
    ASSERT_EQ(rose.interpolators().size(), 1u);
    auto* swell = dynamic_cast<cEaseOut<float>*>(rose.interpolators()[0]);
    ASSERT_NE(swell, nullptr);
    EXPECT_EQ(swell->m_starttime, 152000);
    EXPECT_EQ(swell->m_endtime, 152350);
    rose.update();
    EXPECT_FLOAT_EQ(rose.m_rose.m_kick, 1.0f);
    clock.set(152400);
    rose.update();
    EXPECT_FLOAT_EQ(rose.m_rose.m_kick, 0.0f);
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
        rose.m_kaleido2d = m.kaleido;
        rose.m_scale = m.scale;
        std::vector<unsigned char> frame = checked_frame(rose, clock, m.ms, m.name);
        EXPECT_GT(vnt_test::lit_share(frame), 0.1) << m.name;
    }
}

} // namespace
