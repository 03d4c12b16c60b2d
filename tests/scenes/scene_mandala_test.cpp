// The mandala: the three colour lookups, the unfolding and the bead strings,
// frames along its three timeline windows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "postprocessing/color_correction.h"
#include "scene_test.h"
#include "scenes/scene_mandala.h"

using namespace scene_test;

namespace {

// Mean colour of the pixels brighter than 24 in any channel (what the scene shows, without its
// black background).
std::array<double, 3> lit_colour(const std::vector<unsigned char>& rgba)
{
    std::array<double, 3> sum{0, 0, 0};
    size_t n = 0;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        if (rgba[i] > 24 || rgba[i + 1] > 24 || rgba[i + 2] > 24) {
            for (size_t c = 0; c < 3; ++c)
                sum[c] += rgba[i + c];
            ++n;
        }
    }
    for (double& s : sum)
        s = n ? s / double(n) : 0.0;
    return sum;
}

using MandalaTest = SceneTest<cSceneMandala>;

TEST_F(MandalaTest, EachConfigurationGradesThroughItsOwnLookup)
{
    // Configurations outside 1..3 have no lookup rather than one read past the table.
    EXPECT_EQ(scene.correction_for(-1), nullptr);
    EXPECT_EQ(scene.correction_for(4), nullptr);

    // The same moment under the four configurations: the three lookups give clearly
    // different pictures, each leaning to its own colours.
    scene.m_cur_t = 0.8f;
    std::vector<std::vector<unsigned char>> frames;
    for (int c = 0; c <= 3; ++c) {
        scene.m_cur_config = c;
        frames.push_back(checked_frame(scene, clock, 48000, "mandala_config" + std::to_string(c)));
    }
    for (size_t c = 1; c <= 3; ++c)
        for (size_t d = 0; d < c; ++d)
            EXPECT_GT(changed_share(frames[c], frames[d], 24), 0.15) << c << " against " << d;
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
    scene.m_cur_config = 0;
    scene.m_cur_t = 0.35f;
    const std::vector<unsigned char> early = checked_frame(scene, clock, 40000);
    scene.m_cur_t = 1.0f;
    const std::vector<unsigned char> open = checked_frame(scene, clock, 40000);
    EXPECT_GT(vnt_test::lit_share(open), vnt_test::lit_share(early) + 0.1);

    scene.m_render_circles = 0;
    const std::vector<unsigned char> bare = checked_frame(scene, clock, 40000);
    EXPECT_GT(changed_share(open, bare), 0.02);
    scene.m_render_circles = 1;
}

TEST_F(MandalaTest, FramesAlongItsWindowsKeepStateAndLookFinished)
{
    // Its three layers: configuration 2 from 37000, 1 from 105000, 3 from 166500, each with
    // cur_t rising from about a third to 1. At the start only the heart shows; by the end the
    // mandala fills the screen.
    const std::tuple<int, int, float, float> moments[] = {
        {37500, 2, 0.35f, 0.1f},  {45000, 2, 0.65f, 0.3f},  {52800, 2, 0.99f, 0.3f},
        {106000, 1, 0.32f, 0.1f}, {111000, 1, 0.65f, 0.3f}, {116500, 1, 0.97f, 0.3f},
        {166800, 3, 0.40f, 0.1f}, {168000, 3, 0.66f, 0.3f}, {169400, 3, 0.98f, 0.3f}};
    for (auto [ms, config, cur_t, lit] : moments) {
        scene.m_cur_config = config;
        scene.m_cur_t = cur_t;
        const std::string name = "mandala_" + std::to_string(ms);
        EXPECT_GT(vnt_test::lit_share(checked_frame(scene, clock, ms, name)), lit) << name;
    }
    // Nothing stands still: a tenth of a second later the rings have turned.
    const std::vector<unsigned char> a = checked_frame(scene, clock, 50000);
    const std::vector<unsigned char> b = checked_frame(scene, clock, 50100);
    EXPECT_GT(changed_share(a, b), 0.03);
}

} // namespace
