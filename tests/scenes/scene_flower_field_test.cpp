// The flower field: its variables, the clap, its layouts, frames along its two timeline windows
// and the way out.
#include <gtest/gtest.h>

#include <set>

#include "effects/interpolator.h"
#include "scenes/scene_flower_field.h"
#include "scenes2_support.h"

using namespace scenes2_test;

namespace {

class FlowerFieldTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        field.load();
    }
    vnt_test::sTestClock clock;
    cSceneFlowerField field{&clock.clock};
};

TEST_F(FlowerFieldTest, TheClapAndOnlyTheClapMakesTheFlowersFlare)
{
    clock.set(30000);
    // Other tracks, other kinds of event and the clap's note-off change nothing.
    cMETrigger kick = note_on(2, 36, 30000), off = note_off(4, 39, 30000);
    cMETrigger lead = note_on(1, 48, 30000);
    cEvent beat(EV_MIDI_BEAT, 30000), marker(EV_BEAT, 30000);
    for (cEvent* ev : std::initializer_list<cEvent*>{&kick, &off, &lead, &beat, &marker})
        field.handle_event(ev);
    EXPECT_TRUE(field.interpolators().empty());

    cMETrigger clap = note_on(4, 39, 29990);
    field.handle_event(&clap);
    ASSERT_EQ(field.interpolators().size(), 1u);
    // From the moment it is handled, a few hundred milliseconds back to rest.
    field.update();
    EXPECT_FLOAT_EQ(field.m_clap, 1.0f);
    clock.set(30200);
    field.update();
    EXPECT_GT(field.m_clap, 0.0f);
    EXPECT_LT(field.m_clap, 1.0f);
    clock.set(30450);
    field.update();
    EXPECT_FLOAT_EQ(field.m_clap, 0.0f);

    // The flare shows: the same moment with and without it.
    const std::vector<unsigned char> calm = checked_frame(field, clock, 31000);
    cMETrigger clap2 = note_on(4, 39, 31000);
    field.handle_event(&clap2);
    const std::vector<unsigned char> flared =
        checked_frame(field, clock, 31000, "flowerfield_clap");
    EXPECT_GT(vnt_test::mean_rgba(flared)[0] + vnt_test::mean_rgba(flared)[1] +
                  vnt_test::mean_rgba(flared)[2],
              vnt_test::mean_rgba(calm)[0] + vnt_test::mean_rgba(calm)[1] +
                  vnt_test::mean_rgba(calm)[2] + 3.0);
}

TEST_F(FlowerFieldTest, LayoutsAreFixedDistinctAndUseEveryPart)
{
    for (int config = 0; config < cSceneFlowerField::NUM_CONFIGS; ++config) {
        SCOPED_TRACE(config);
        const auto a = cSceneFlowerField::layout(config);
        const auto b = cSceneFlowerField::layout(config);
        ASSERT_EQ(a.size(), b.size());
        EXPECT_GE(a.size(), 100u);
        EXPECT_LE(a.size(), 250u);
        std::set<int> variants, colours;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_FLOAT_EQ(a[i].x, b[i].x);
            EXPECT_FLOAT_EQ(a[i].yaw, b[i].yaw);
            EXPECT_GE(a[i].variant, 0);
            EXPECT_LT(a[i].variant, cSceneFlowerField::NUM_VARIANTS);
            EXPECT_GE(a[i].colour, 0);
            EXPECT_LT(a[i].colour, 4);
            EXPECT_LT(std::hypot(a[i].x, a[i].z), 6.5f);
            variants.insert(a[i].variant);
            colours.insert(a[i].colour);
        }
        EXPECT_EQ(variants.size(), size_t(cSceneFlowerField::NUM_VARIANTS));
        EXPECT_GE(colours.size(), 2u);
    }
    // Out-of-range configurations fall back on the nearest layout instead of failing.
    EXPECT_EQ(cSceneFlowerField::layout(-3).size(), cSceneFlowerField::layout(0).size());
    EXPECT_EQ(cSceneFlowerField::layout(9).size(), cSceneFlowerField::layout(3).size());
    EXPECT_NE(cSceneFlowerField::layout(1).size(), cSceneFlowerField::layout(2).size());
}

TEST_F(FlowerFieldTest, FramesAlongItsWindowsKeepStateAndShowTheField)
{
    // First window: configuration 1, the camera coming down from above (cur_t 1 to 0). Second
    // window: configuration 3 among the flowers, rising from 178000, sinking away at the end.
    struct
    {
        int ms, config;
        float cur_t, outtro;
        const char* name;
    } moments[] = {{25500, 1, 0.96f, 0.0f, "flowerfield_25500"},
                   {31000, 1, 0.5f, 0.0f, "flowerfield_31000"},
                   {38500, 1, 0.0f, 0.0f, "flowerfield_38500"},
                   {172000, 3, 0.0f, 0.0f, "flowerfield_172000"},
                   {181500, 3, 0.5f, 0.0f, "flowerfield_181500"},
                   {190000, 3, 1.0f, 0.0f, "flowerfield_190000"},
                   {195000, 3, 1.0f, 0.5f, "flowerfield_195000"}};
    for (const auto& m : moments) {
        field.m_cur_config = m.config;
        field.m_cur_t = m.cur_t;
        field.m_outtro_t = m.outtro;
        const std::vector<unsigned char> frame = checked_frame(field, clock, m.ms, m.name);
        EXPECT_GT(vnt_test::lit_share(frame), 0.08) << m.name;
    }
    // The flowers sway: a tenth of a second later the picture has moved.
    field.m_outtro_t = 0.0f;
    const std::vector<unsigned char> a = checked_frame(field, clock, 175000);
    const std::vector<unsigned char> b = checked_frame(field, clock, 175100);
    EXPECT_GT(changed_share(a, b), 0.005);
}

TEST_F(FlowerFieldTest, AtTheEndOfTheWayOutNothingIsLeft)
{
    field.m_cur_config = 3;
    field.m_cur_t = 1.0f;
    field.m_outtro_t = 1.0f;
    const std::vector<unsigned char> gone =
        checked_frame(field, clock, 196000, "flowerfield_196000");
    EXPECT_LT(vnt_test::lit_share(gone, 8), 0.001);
    EXPECT_LT(mean_alpha(gone), 1.0);
}

} // namespace
