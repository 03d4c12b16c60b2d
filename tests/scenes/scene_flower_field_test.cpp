// The flower field: the clap, its layouts, frames along its two timeline windows
// and the way out.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "effects/interpolator.h"
#include "scene_test.h"
#include "scenes/scene_flower_field.h"

using namespace scene_test;

namespace {

using FlowerFieldTest = SceneTest<cSceneFlowerField>;

TEST_F(FlowerFieldTest, TheClapAndOnlyTheClapMakesTheFlowersFlare)
{
    // Other tracks, other kinds of event and the clap's note-off change nothing; from the
    // moment it is handled, a clap takes a few hundred milliseconds back to rest.
    cMETrigger kick = note_on(2, 36, 30000), off = note_off(4, 39, 30000);
    cMETrigger lead = note_on(1, 48, 30000), clap = note_on(4, 39, 29990);
    cEvent beat(EV_MIDI_BEAT, 30000), marker(EV_BEAT, 30000);
    expect_kick(scene, clock, 30000, scene.m_clap, {&kick, &off, &lead, &beat, &marker}, &clap,
                450);

    // The flare shows: the same moment with and without it.
    const std::vector<unsigned char> calm = checked_frame(scene, clock, 31000);
    cMETrigger clap2 = note_on(4, 39, 31000);
    scene.handle_event(&clap2);
    const std::vector<unsigned char> flared =
        checked_frame(scene, clock, 31000, "flowerfield_clap");
    const auto sum = [](const std::vector<unsigned char>& px) {
        const auto m = vnt_test::mean_rgba(px);
        return m[0] + m[1] + m[2];
    };
    EXPECT_GT(sum(flared), sum(calm) + 3.0);
}

TEST_F(FlowerFieldTest, LayoutsAreFixedAndUseEveryPart)
{
    for (int config = 0; config < cSceneFlowerField::NUM_CONFIGS; ++config) {
        SCOPED_TRACE(config);
        const auto a = cSceneFlowerField::layout(config);
        const auto b = cSceneFlowerField::layout(config);
        ASSERT_EQ(a.size(), b.size());
        EXPECT_TRUE(a.size() >= 100u && a.size() <= 250u);
        std::set<int> variants, colours;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_TRUE(a[i].x == b[i].x && a[i].yaw == b[i].yaw) << i;
            EXPECT_TRUE(a[i].variant >= 0 && a[i].variant < cSceneFlowerField::NUM_VARIANTS &&
                        a[i].colour >= 0 && a[i].colour < 4)
                << i;
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
}

TEST_F(FlowerFieldTest, FramesAlongItsWindowsKeepStateAndShowTheField)
{
    // First window: configuration 1, the camera coming down from above (cur_t 1 to 0). Second
    // window: configuration 3 among the flowers, rising from 178000, sinking away at the end.
    const std::tuple<int, int, float, float> moments[] = {
        {25500, 1, 0.96f, 0.0f}, {31000, 1, 0.5f, 0.0f},  {38500, 1, 0.0f, 0.0f},
        {172000, 3, 0.0f, 0.0f}, {181500, 3, 0.5f, 0.0f}, {190000, 3, 1.0f, 0.0f},
        {195000, 3, 1.0f, 0.5f}};
    for (auto [ms, config, cur_t, outtro] : moments) {
        scene.m_cur_config = config;
        scene.m_cur_t = cur_t;
        scene.m_outtro_t = outtro;
        const std::string name = "flowerfield_" + std::to_string(ms);
        EXPECT_GT(vnt_test::lit_share(checked_frame(scene, clock, ms, name)), 0.08) << name;
    }
    // The flowers sway: a tenth of a second later the picture has moved.
    scene.m_outtro_t = 0.0f;
    const std::vector<unsigned char> a = checked_frame(scene, clock, 175000);
    const std::vector<unsigned char> b = checked_frame(scene, clock, 175100);
    EXPECT_GT(changed_share(a, b), 0.005);
    expect_warm_up_changes_nothing(scene, clock, 175000);
}

TEST_F(FlowerFieldTest, AtTheEndOfTheWayOutNothingIsLeft)
{
    scene.m_cur_config = 3;
    scene.m_cur_t = 1.0f;
    scene.m_outtro_t = 1.0f;
    const std::vector<unsigned char> gone =
        checked_frame(scene, clock, 196000, "flowerfield_196000");
    EXPECT_LT(vnt_test::lit_share(gone, 8), 0.001);
    EXPECT_LT(vnt_test::mean_rgba(gone)[3], 1.0);
}

} // namespace
