// The mandala: its variables, the three colour lookups, the unfolding and the bead strings,
// frames along its three timeline windows.
#include <gtest/gtest.h>

#include "postprocessing/color_correction.h"
#include "scenes/scene_mandala.h"
#include "scenes2_support.h"

using namespace scenes2_test;

namespace {

class MandalaTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        mandala.load();
    }
    vnt_test::sTestClock clock;
    cSceneMandala mandala{&clock.clock};
};

TEST_F(MandalaTest, OffersConfigurationProgressAndCircles)
{
    EXPECT_EQ(mandala.get_name(), "mandala");
    expect_vars(mandala, {{"cur_config", 0, 3}, {"cur_t", 0, 1}, {"render_circles", 0, 1}});
    // The variables write the members the drawing reads.
    set_var(mandala, "cur_config", 3);
    set_var(mandala, "cur_t", 0.5f);
    set_var(mandala, "render_circles", 0);
    EXPECT_EQ(mandala.m_cur_config, 3);
    EXPECT_FLOAT_EQ(mandala.m_cur_t, 0.5f);
    EXPECT_EQ(mandala.m_render_circles, 0);
}

TEST_F(MandalaTest, EachConfigurationGradesThroughItsOwnLookup)
{
    EXPECT_EQ(mandala.correction_for(0), nullptr);
    EXPECT_EQ(mandala.correction_for(-1), nullptr);
    EXPECT_EQ(mandala.correction_for(4), nullptr);
    for (int c = 1; c <= 3; ++c) {
        ASSERT_NE(mandala.correction_for(c), nullptr);
        EXPECT_TRUE(mandala.correction_for(c)->lookup().isValid());
        for (int d = 1; d < c; ++d)
            EXPECT_NE(mandala.correction_for(c)->lookup().get_texname(),
                      mandala.correction_for(d)->lookup().get_texname());
    }

    // The same moment under the four configurations: the three lookups give clearly
    // different pictures, each leaning to its own colours.
    mandala.m_cur_t = 0.8f;
    std::vector<std::vector<unsigned char>> frames;
    for (int c = 0; c <= 3; ++c) {
        mandala.m_cur_config = c;
        frames.push_back(
            checked_frame(mandala, clock, 48000, "mandala_config" + std::to_string(c)));
    }
    for (int c = 1; c <= 3; ++c) {
        for (int d = 0; d < c; ++d)
            EXPECT_GT(changed_share(frames[size_t(c)], frames[size_t(d)], 24), 0.15)
                << c << " against " << d;
    }
    const auto bluegreen = lit_colour(frames[1]);
    const auto greenblue = lit_colour(frames[2]);
    const auto redyellow = lit_colour(frames[3]);
    EXPECT_GT(bluegreen[2], bluegreen[0]);
    EXPECT_GT(greenblue[1], greenblue[0]);
    EXPECT_GT(greenblue[1], greenblue[2]);
    EXPECT_GT(redyellow[0], redyellow[2]);
    EXPECT_GT(redyellow[1], redyellow[2]);
}

TEST_F(MandalaTest, UnfoldsRingByRingAndDrawsTheBeadsOnRequest)
{
    // Inner rings open first; every ring is open at the end and none at the start.
    for (int k = 0; k < cSceneMandala::NUM_PLANES; ++k) {
        EXPECT_FLOAT_EQ(cSceneMandala::plane_reveal(k, 0.0f), 0.0f);
        EXPECT_FLOAT_EQ(cSceneMandala::plane_reveal(k, 1.0f), 1.0f);
        if (k > 0) {
            EXPECT_GT(cSceneMandala::plane_reveal(k - 1, 0.25f),
                      cSceneMandala::plane_reveal(k, 0.25f));
        }
    }
    mandala.m_cur_config = 0;
    mandala.m_cur_t = 0.35f;
    const std::vector<unsigned char> early = checked_frame(mandala, clock, 40000);
    mandala.m_cur_t = 1.0f;
    const std::vector<unsigned char> open = checked_frame(mandala, clock, 40000);
    EXPECT_GT(vnt_test::lit_share(open), vnt_test::lit_share(early) + 0.1);

    mandala.m_render_circles = 0;
    const std::vector<unsigned char> bare = checked_frame(mandala, clock, 40000);
    EXPECT_GT(changed_share(open, bare), 0.02);
    mandala.m_render_circles = 1;
}

TEST_F(MandalaTest, FramesAlongItsWindowsKeepStateAndLookFinished)
{
    // Its three layers: configuration 2 from 37000, 1 from 105000, 3 from 166500, each with
    // cur_t rising from about a third to 1. At the start only the heart shows; by the end the
    // mandala fills the screen.
    struct
    {
        int ms, config;
        float cur_t, lit;
        const char* name;
    } moments[] = {
        {37500, 2, 0.35f, 0.1f, "mandala_37500"},   {45000, 2, 0.65f, 0.3f, "mandala_45000"},
        {52800, 2, 0.99f, 0.3f, "mandala_52800"},   {106000, 1, 0.32f, 0.1f, "mandala_106000"},
        {111000, 1, 0.65f, 0.3f, "mandala_111000"}, {116500, 1, 0.97f, 0.3f, "mandala_116500"},
        {166800, 3, 0.40f, 0.1f, "mandala_166800"}, {168000, 3, 0.66f, 0.3f, "mandala_168000"},
        {169400, 3, 0.98f, 0.3f, "mandala_169400"}};
    for (const auto& m : moments) {
        mandala.m_cur_config = m.config;
        mandala.m_cur_t = m.cur_t;
        const std::vector<unsigned char> frame = checked_frame(mandala, clock, m.ms, m.name);
        EXPECT_GT(vnt_test::lit_share(frame), m.lit) << m.name;
    }
    // Nothing stands still: a tenth of a second later the rings have turned.
    const std::vector<unsigned char> a = checked_frame(mandala, clock, 50000);
    const std::vector<unsigned char> b = checked_frame(mandala, clock, 50100);
    EXPECT_GT(changed_share(a, b), 0.03);
}

} // namespace
