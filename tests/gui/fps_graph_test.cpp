// The frame-time graph: its ring of the last 250 frames, the extremes, and the plotted line.
#include <gtest/gtest.h>

#include <utility>

#include "gui/fps_graph.h"
#include "gui_test_helpers.h"
#include "support/gl_fixture.h"

namespace {

int nonzero(const cFpsGraph& graph)
{
    int count = 0;
    for (int i = 0; i < cFpsGraph::FRAMES; ++i)
        count += graph.durations()[i] != 0 ? 1 : 0;
    return count;
}

} // namespace

TEST(FpsGraph, RingKeepsTheLast250DurationsAndFindsTheirExtremes)
{
    cFpsGraph graph;
    // The maximum and the minimum of the history.
    auto extremes = [&graph] { return std::pair(graph.extreme(true), graph.extreme(false)); };
    EXPECT_EQ(extremes(), std::pair(0u, cFpsGraph::NO_MINIMUM)); // empty history

    // The first frame after start has no duration.
    graph.record_time(1000);
    EXPECT_EQ(nonzero(graph), 0);
    graph.record_time(1016);
    EXPECT_EQ(graph.durations()[graph.index()], 16u);

    // A slow frame, then a long run of steady ones: 251 records in all.
    graph.record_time(1116); // 100 ms
    uint32_t t = 1116;
    for (int i = 0; i < 248; ++i)
        graph.record_time(t += 10 + uint32_t(i % 7));
    EXPECT_EQ(nonzero(graph), 250);
    EXPECT_EQ(extremes(), std::pair(100u, 10u));

    // The next record overwrites the oldest (the 16 ms frame), then the slow one goes.
    for (uint32_t step : {40u, 12u}) {
        graph.record_time(t += step);
        EXPECT_EQ(std::pair(nonzero(graph), graph.extreme(true)),
                  std::pair(250, step == 40u ? 100u : 40u));
    }

    // Negative demo times (the demo starts at -150 ms) still give positive durations.
    cFpsGraph early;
    early.record_time(uint32_t(-150));
    early.record_time(uint32_t(-134));
    EXPECT_EQ(early.extreme(false), 16u);
}

using FpsGraphDrawTest = vnt_test::GLTest;

TEST_F(FpsGraphDrawTest, SteadyFramesLieOnTheTopEdgeOfTheBox)
{
    cFpsGraph graph;
    uint32_t t = 5000;
    for (int i = 0; i < 100; ++i)
        graph.record_time(t += 16);
    int w = 0, h = 0;
    std::vector<unsigned char> rgba =
        gui_test::draw_unit([&] { graph.RenderOverlay(1); }, 0.0f, &w, &h);
    EXPECT_EQ(graph.best(), 16u);

    // The thin line runs along the box's top edge, from the left end of the plot over the 99
    // recorded durations; below it the box stays dark.
    const float top = cFpsGraph::BOX_Y + cFpsGraph::BOX_H;
    const int row = std::min(h - 1, int(top * float(h)));
    auto brightest_near = [&](float x, int r) {
        int best = 0;
        for (int dy = -2; dy <= 2; ++dy) {
            const int py = std::max(0, std::min(h - 1, r + dy));
            best = std::max(best, int(rgba[(size_t(py) * size_t(w) + size_t(x * float(w))) * 4]));
        }
        return best;
    };
    EXPECT_GT(brightest_near(cFpsGraph::point_x(50), row), 100);
    const int middle = int((cFpsGraph::BOX_Y + 0.5f * cFpsGraph::BOX_H) * float(h));
    EXPECT_LT(brightest_near(cFpsGraph::point_x(50), middle), 20);
    // No points where no frames were recorded yet (only the faint frame).
    EXPECT_LT(brightest_near(cFpsGraph::point_x(200), row), 90);

    // Mode 2 plots against the worst frame: with one frame twice as long, the steady ones
    // sit half-way up.
    graph.record_time(t += 32);
    rgba = gui_test::draw_unit([&] { graph.RenderOverlay(2); }, 0.0f, &w, &h);
    EXPECT_EQ(graph.worst(), 32u);
    EXPECT_GT(brightest_near(cFpsGraph::point_x(50), middle), 100);

    // An empty graph draws its frame and no line, and leaves no GL error behind.
    cFpsGraph empty;
    rgba = gui_test::draw_unit([&] { empty.RenderOverlay(1); }, 0.0f, &w, &h);
    EXPECT_EQ(empty.best(), cFpsGraph::NO_MINIMUM);
    EXPECT_LT(brightest_near(cFpsGraph::point_x(50), row), 90);
}
