// The demo executable starts headless, runs a few frames and leaves cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/process.h"

using vnt_test::run_process;

TEST(Smoke, ThreeFramesHeadlessExitCleanly)
{
    const auto result = run_process(vnt_test::demo_exe() + " --windowed --frames 3");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("## ERROR"), std::string::npos) << result.err;
    const std::string out = "\n" + result.out;
    const std::string last = "\nrequested exit\n";
    EXPECT_EQ(out.rfind(last), out.size() - std::min(out.size(), last.size())) << out;

    // The start-up in its order: shading, music, MIDI, playback, the first jump, the pool's
    // statistics at exit.
    const char* expected[] = {"# glsl: GLSL version: ",
                              "# glsl: Chose glsl vertex-profile:",
                              "# sdl loaded stream \"../data/music/goa3_4_master.mp3\"",
                              "# midi: Num tracks: ",
                              "# midi: bpm: ",
                              "changed time to ",
                              "# rrt-manager: number of tmp-rt allocated: ",
                              "requested exit"};
    size_t at = 0;
    for (const char* prefix : expected) {
        at = out.find(std::string("\n") + prefix, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << prefix << "\n" << out;
    }
}
