// The title: its variable, the reveal of the name from left to right, frames along its
// timeline window.
#include <gtest/gtest.h>

#include <utility>

#include "scene_test.h"
#include "scenes/scene_title.h"

using namespace scene_test;

namespace {

using TitleTest = SceneTest<cSceneTitle>;

// Mean brightness (0..255, all colour channels) of the columns x0..x1 between rows y0..y1
// (counted from the bottom).
double brightness(const std::vector<unsigned char>& rgba, int x0, int x1, int y0, int y1)
{
    double sum = 0;
    size_t n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const size_t i = (size_t(y) * 1280 + size_t(x)) * 4;
            sum += (rgba[i] + rgba[i + 1] + rgba[i + 2]) / 3.0;
            ++n;
        }
    }
    return n ? sum / double(n) : 0.0;
}

TEST_F(TitleTest, TheNameIsRevealedFromLeftToRight)
{
    EXPECT_FLOAT_EQ(cSceneTitle::reveal(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(cSceneTitle::reveal(1.0f), 1.0f);
    float previous = 0.0f;
    for (float t = 0.0f; t <= 1.0f; t += 0.01f) {
        EXPECT_GE(cSceneTitle::reveal(t), previous);
        previous = cSceneTitle::reveal(t);
    }
    // The edge starts left of the first letter and ends right of the last.
    EXPECT_LT(cSceneTitle::reveal_edge(0.0f), -3.25f);
    EXPECT_GT(cSceneTitle::reveal_edge(1.0f), 3.25f);

    // Halfway through, the letters stand lit on the left and the right is still dark (seen
    // without the rays behind them).
    scene.m_rays = 0.0f;
    scene.m_cur_t = 0.7f; // the camera has come round to the front
    const std::vector<unsigned char> full = checked_frame(scene, clock, 22000);
    scene.m_cur_t = 0.45f;
    const std::vector<unsigned char> half = checked_frame(scene, clock, 19000, "title_halfway");
    // (The scan line stands near x = 700 in this frame; the name spans about 250 to 1050 across
    // and 335 to 425 up; the flare along the line is left out.)
    const double shown_left = brightness(half, 260, 640, 390, 425);
    const double hidden_right = brightness(half, 780, 1050, 390, 425);
    EXPECT_GT(shown_left, hidden_right + 30.0);
    EXPECT_GT(brightness(full, 780, 1000, 390, 425), hidden_right + 30.0);
    scene.m_rays = 1.0f;
}

TEST_F(TitleTest, FramesAlongItsWindowKeepStateAndLookFinished)
{
    // 13313 to 26000 with cur_t running 0 to 1: the rays come up, the name is etched, it glows.
    for (auto [ms, lit] : {std::pair{15000, 0.05f}, {19500, 0.15f}, {25500, 0.2f}}) {
        scene.m_cur_t = float(ms - 13313) / float(26000 - 13313);
        const std::vector<unsigned char> frame =
            checked_frame(scene, clock, ms, "title_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), lit) << ms;
    }
    scene.m_cur_t = 0.9f;
    const std::vector<unsigned char> a = checked_frame(scene, clock, 24000);
    const std::vector<unsigned char> b = checked_frame(scene, clock, 24100);
    EXPECT_GT(changed_share(a, b, 8), 0.01);
    // Warming up draws the name half etched and leaves the title's own progress alone.
    scene.m_cur_t = 0.1f;
    expect_warm_up_changes_nothing(scene, clock, 14500);
}

} // namespace
