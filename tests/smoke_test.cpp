// The demo executable starts headless, runs a few frames and leaves cleanly.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "support/process.h"

using vnt_test::run_process;

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(Smoke, ThreeFramesHeadlessExitCleanly)
{
    const auto result = run_process(vnt_test::demo_exe() + " --windowed --frames 3");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("## ERROR"), std::string::npos) << result.err;
    const auto out = lines_of(result.out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), "requested exit");

    // The start-up in its order: shading, music, MIDI, playback, the first jump, the pool's
    // statistics at exit.
    const char* expected[] = {"# glsl: GLSL version: ", "# glsl: Chose glsl vertex-profile:",
                              "# sdl loaded stream \"../data/music/goa3_4_master.mp3\"",
                              "# midi: Num tracks: ", "# midi: bpm: ", "changed time to ",
                              "# rrt-manager: number of tmp-rt allocated: ", "requested exit"};
    size_t at = 0;
    for (const char* prefix : expected) {
        while (at < out.size() && out[at].rfind(prefix, 0) != 0)
            ++at;
        EXPECT_LT(at, out.size()) << "missing or out of order: " << prefix << "\n" << result.out;
    }
}

TEST(Smoke, BadOptionsAreRefusedWithStatusTwo)
{
    for (const char* args : {"--frames", "--frames abc", "--frames -3", "--frobnicate"}) {
        const auto result = run_process(vnt_test::demo_exe() + " " + args);
        EXPECT_EQ(result.status, 2) << args;
        EXPECT_NE(result.err.find("usage: glimmerfall"), std::string::npos) << args;
    }
}
