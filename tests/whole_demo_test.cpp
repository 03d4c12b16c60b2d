// The whole demo on the fixed step at a small size, in one process, pass after pass through the
// timeline: it goes from "s00" to "quit" with every render target back in the pool after every
// frame (but the feedback trail's image, kept on purpose), the same OpenGL state at the start of
// every frame, no OpenGL error, no "## ERROR" line, no performance warning after the first pass,
// the same demo times in every pass, and resident memory flat after the first pass.
//
// WholeDemo runs two passes at 640x360 in every test run. LongRun runs three, and only when
// VANTOR_LONG_RUN is set (scripts/long-run.sh); VANTOR_LONG_RUN_FPS, _SIZE, _FROM, _TO and
// _SLACK_MB choose the run and the allowed growth.
#include <gtest/gtest.h>

#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "benchmark_report.h"
#include "glimmerfall.h"
#include "offline_runner.h"
#include "options.h"
#include "postprocessing/feedback.h"
#include "render_target_manager.h"
#include "scene_manager.h"
#include "support/gl_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

std::string env_or(const char* in_name, const std::string& in_default)
{
    const char* value = std::getenv(in_name);
    return value && *value ? std::string(value) : in_default;
}

// Resident set size of this process in KiB, from /proc/self/status; -1 when unknown. The heap
// first hands freed memory back, so what is left is memory in use rather than the allocator's
// high-water mark.
long resident_kib()
{
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// The lines of `in_text` that begin with `in_prefix`.
std::vector<std::string> lines_starting(const std::string& in_text, const std::string& in_prefix)
{
    std::vector<std::string> out;
    std::istringstream in(in_text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(in_prefix, 0) == 0)
            out.push_back(line);
    return out;
}

// The lines in which two state texts differ.
std::string changed_lines(const std::string& in_before, const std::string& in_after)
{
    std::istringstream a(in_before), b(in_after);
    std::string la, lb, out;
    while (std::getline(a, la) && std::getline(b, lb))
        if (la != lb)
            out += la + "  ->  " + lb + "\n";
    return out;
}

// Targets kept from the pool between frames on purpose: the feedback trail's image.
uint32_t kept_targets()
{
    return cPostFeedback::has_instance() && cPostFeedback::get_instance()->feedback().isValid()
               ? 1u
               : 0u;
}

struct sPass
{
    long frames = 0;
    long rss_kib = 0;
    double seconds = 0;
    std::vector<std::string> performance_warnings; // during this pass
    std::vector<int> times;
};

struct sRunSetup
{
    int passes = 2;
    int fps = 5;
    int width = 640, height = 360;
    std::string from = "s00", to = "quit";
    long slack_kib = 8 * 1024;
};

// Runs the whole demo `passes` times and checks every pass.
void run_whole_demo(const sRunSetup& in_setup)
{
    vnt_test::ensure_gl(unsigned(in_setup.width), unsigned(in_setup.height));
    testing::internal::CaptureStderr();  // for its "## ERROR" lines, from the set-up on
    cOfflineRunner runner(in_setup.fps); // before the scene manager starts its clock
    runner.set_progress(false);
    cSceneManager::get_instance()->set_music_live(false);
    cGlimmerfall demo;
    demo.setup();
    const long loaded_kib = resident_kib();

    sTimePoint from, to;
    ASSERT_TRUE(parse_time_point(in_setup.from, from)) << in_setup.from;
    ASSERT_TRUE(parse_time_point(in_setup.to, to)) << in_setup.to;
    sFrameRange range;
    std::string error, warning;
    ASSERT_TRUE(resolve_range(cSceneManager::get_instance()->event_queue(), from, to, in_setup.fps,
                              range, error, warning))
        << error;
    if (!warning.empty())
        std::cerr << "# WARNING: " << warning << std::endl;

    long frames_with_targets_out = 0, gl_errors = 0, frames_with_other_state = 0;
    std::string first_state, first_change;
    const auto probe = [&](int in_time) {
        if (cRenderTargetManager::get_instance()->lent_out() != kept_targets())
            ++frames_with_targets_out;
        while (glGetError() != GL_NO_ERROR)
            ++gl_errors;
        // The state a frame ends with is the state the next one starts with.
        const std::string text = vnt_test::frame_state();
        if (first_state.empty()) {
            first_state = text;
        } else if (text != first_state && frames_with_other_state++ == 0) {
            first_change = "after the frame at " + std::to_string(in_time) + " ms:\n" +
                           changed_lines(first_state, text);
        }
        return tActiveLayers();
    };

    std::vector<sPass> passes;
    for (int p = 0; p < in_setup.passes; ++p) {
        sBenchmarkSetup setup;
        setup.width = in_setup.width, setup.height = in_setup.height, setup.fps = in_setup.fps;
        cBenchmarkReport report(setup);
        testing::internal::CaptureStdout();
        const auto start = std::chrono::steady_clock::now();
        const int status = runner.benchmark(range, probe, report);
        const std::vector<std::string> warnings =
            lines_starting(testing::internal::GetCapturedStdout(), "# performance-warning");
        ASSERT_EQ(status, 0) << "pass " << p + 1 << " interrupted";
        sPass pass;
        pass.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        pass.rss_kib = resident_kib();
        pass.times = runner.frame_times();
        pass.frames = long(pass.times.size());
        pass.performance_warnings = warnings;
        std::cout << "# whole demo: pass " << p + 1 << ": " << pass.frames << " frames of "
                  << in_setup.width << "x" << in_setup.height << " at " << in_setup.fps << " fps ("
                  << range.from_ms << " to " << range.to_ms << " ms) in " << pass.seconds
                  << " s, resident " << pass.rss_kib / 1024.0 << " MiB (" << loaded_kib / 1024.0
                  << " MiB after loading)" << std::endl;
        passes.push_back(std::move(pass));
    }

    const std::vector<std::string> errors =
        lines_starting(testing::internal::GetCapturedStderr(), "## ERROR");
    EXPECT_EQ(passes.front().frames, range.frames()) << "the run stopped before its end";
    EXPECT_EQ(frames_with_targets_out, 0) << "frames that kept a render target from the pool";
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), kept_targets());
    EXPECT_EQ(gl_errors, 0) << "OpenGL errors left after frames";
    EXPECT_EQ(frames_with_other_state, 0)
        << "frames that left another GL state than the first, the first " << first_change;
    EXPECT_EQ(errors, std::vector<std::string>{});
    for (int p = 1; p < in_setup.passes; ++p) {
        EXPECT_EQ(passes[size_t(p)].performance_warnings, std::vector<std::string>{})
            << "performance warnings in pass " << p + 1;
        EXPECT_EQ(passes[size_t(p)].times, passes[0].times)
            << "pass " << p + 1 << " showed other demo times than pass 1";
    }
    const long growth = passes.back().rss_kib - passes.front().rss_kib;
    std::cout << "# whole demo: resident memory grew by " << growth / 1024.0
              << " MiB from the end of pass 1 to the end of pass " << in_setup.passes
              << " (allowed " << in_setup.slack_kib / 1024 << " MiB)" << std::endl;
    if (kSanitized) {
        std::cout << "# whole demo: AddressSanitizer holds freed memory back in its quarantine; "
                     "resident memory is not compared"
                  << std::endl;
        return;
    }
    EXPECT_LE(growth, in_setup.slack_kib) << "resident memory keeps growing after the first pass";
}

} // namespace

// The run every test run makes: two passes at 640x360, five frames a second.
TEST(WholeDemo, TwoPassesFromStartToQuitAtSmallSize)
{
    run_whole_demo(sRunSetup());
}

TEST(LongRun, WholeDemoThreeTimes)
{
    if (!std::getenv("VANTOR_LONG_RUN"))
        GTEST_SKIP() << "long run: set VANTOR_LONG_RUN=1 or use scripts/long-run.sh";
    sRunSetup setup;
    setup.passes = 3;
    setup.fps = std::atoi(env_or("VANTOR_LONG_RUN_FPS", "30").c_str());
    ASSERT_GT(setup.fps, 0);
    ASSERT_TRUE(parse_size(env_or("VANTOR_LONG_RUN_SIZE", "320x180"), setup.width, setup.height));
    setup.from = env_or("VANTOR_LONG_RUN_FROM", "s00");
    setup.to = env_or("VANTOR_LONG_RUN_TO", "quit");
    setup.slack_kib = std::atol(env_or("VANTOR_LONG_RUN_SLACK_MB", "8").c_str()) * 1024;
    run_whole_demo(setup);
}
