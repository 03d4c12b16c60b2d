// The mandala: the three colour lookups, the unfolding and the bead strings,
// frames along its three timeline windows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "postprocessing/color_correction.h"
#include "render_target_manager.h"
#include "scene_test.h"
#include "scenes/scene_mandala.h"
#include "shader_glsl.h"
#include "shaders/rt_helpers.h"

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

TEST_F(MandalaTest, LightAddedWhileGradingGivesWhatDrawingItFirstWould)
{
    using namespace vnt_test;
    // A half-covered picture, empty on its left quarter, and a half-size light lit on its right
    // half only: the light's colour adds, the coverages gather.
    cRTProxy picture = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy light = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cRTProxy dark = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cRTProxy drawn = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy apart = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy first = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    fill(*picture, 40, 90, 160, 128);
    paint(*picture, 0.0f, 0.0f, 0.25f, 1.0f, 0, 0, 0, 0);
    fill(*light, 0, 0, 0, 0);
    paint(*light, 0.5f, 0.0f, 1.0f, 1.0f, 120, 60, 20, 100);
    fill(*dark, 0, 0, 0, 0);

    // Drawn first: the light stretched, the picture's drawing added onto it as the scene
    // blends (colour added, coverage gathered).
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->disable();
    glDisable(GL_BLEND);
    drawn->bind_as_target(false);
    RenderFSQ(*light);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_ONE, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    RenderFSQ(*picture);
    drawn->unbind_as_target();

    cPostColorCorrection* correction = scene.correction_for(1);
    ASSERT_NE(correction, nullptr);
    const float adjust[3] = {0.0f, 12.0f, 0.0f}, half[1] = {0.5f};
    cFloatsVar adjust_var(adjust), half_var(half);
    shaders->set_parameter(cSceneMandala::GRADE_SHADER, cSceneMandala::GRADE_ADJUST, &adjust_var);
    shaders->set_parameter(cSceneMandala::GRADE_SHADER, cSceneMandala::GRADE_LIGHT_SCALE,
                           &half_var);
    auto grade = [&](iRenderTarget& in, iRenderTarget& in_light, iRenderTarget& out) {
        in_light.bind_as_texture(GL_TEXTURE2);
        correction->process(in, out, cSceneMandala::GRADE_SHADER);
        in_light.unbind_as_texture();
    };
    grade(*picture, *light, *apart);
    grade(*drawn, *dark, *first);

    const int w = int(apart->m_width), h = int(apart->m_height);
    for (int x : {4, w / 4 + 4, w / 2 - 8, w / 2 + 8, 3 * w / 4, w - 4}) {
        for (int y : {4, h / 2, h - 4})
            EXPECT_TRUE(near(pixel_of(*apart, x, y), pixel_of(*first, x, y))) << x << ", " << y;
    }
    // The light shows where it lies and nowhere else.
    EXPECT_FALSE(near(pixel_of(*apart, w - 4, 4), pixel_of(*apart, w / 4 + 4, 4), 8));
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
