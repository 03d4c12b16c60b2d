// The whole demo three times in a row on the fixed step at a small size, in one process:
// resident memory stays flat after the first pass, every render target is back in the pool
// after every frame, no OpenGL error or "## ERROR" line appears, and the passes show the same
// demo times. It takes long, so it runs only when VANTOR_LONG_RUN is set (scripts/long-run.sh);
// VANTOR_LONG_RUN_FPS, _SIZE, _FROM, _TO and _SLACK_MB choose the run and the allowed growth.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "benchmark_report.h"
#include "gl_extensions.h"
#include "glimmerfall.h"
#include "offline_runner.h"
#include "options.h"
#include "render_target_manager.h"
#include "scene_manager.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kPasses = 3;

std::string env_or(const char* in_name, const std::string& in_default)
{
    const char* value = std::getenv(in_name);
    return value && *value ? std::string(value) : in_default;
}

// Resident set size of this process in KiB, from /proc/self/status; -1 when unknown.
long resident_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

// Passes the error stream on and keeps the lines that begin with "## ERROR".
class cErrorLines : public std::streambuf
{
public:
    explicit cErrorLines(std::ostream& in_stream) : m_stream(in_stream), m_out(in_stream.rdbuf())
    {
        m_stream.rdbuf(this);
    }
    ~cErrorLines() override { m_stream.rdbuf(m_out); }

    const std::vector<std::string>& errors() const { return m_errors; }

protected:
    int overflow(int c) override
    {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        take(char(c));
        return m_out->sputc(char(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        for (std::streamsize i = 0; i < n; ++i)
            take(s[i]);
        return m_out->sputn(s, n);
    }
    int sync() override { return m_out->pubsync(); }

private:
    void take(char c)
    {
        if (c != '\n') {
            m_line += c;
            return;
        }
        if (m_line.rfind("## ERROR", 0) == 0)
            m_errors.push_back(m_line);
        m_line.clear();
    }

    std::ostream& m_stream;
    std::streambuf* m_out;
    std::string m_line;
    std::vector<std::string> m_errors;
};

struct sPass
{
    long frames = 0;
    long rss_kib = 0;
    double seconds = 0;
    std::vector<int> times;
};

} // namespace

TEST(LongRun, WholeDemoThreeTimes)
{
    if (!std::getenv("VANTOR_LONG_RUN"))
        GTEST_SKIP() << "long run: set VANTOR_LONG_RUN=1 or use scripts/long-run.sh";

    const int fps = std::atoi(env_or("VANTOR_LONG_RUN_FPS", "30").c_str());
    ASSERT_GT(fps, 0);
    int width = 0, height = 0;
    ASSERT_TRUE(parse_size(env_or("VANTOR_LONG_RUN_SIZE", "320x180"), width, height));
    sTimePoint from, to;
    ASSERT_TRUE(parse_time_point(env_or("VANTOR_LONG_RUN_FROM", "s00"), from));
    ASSERT_TRUE(parse_time_point(env_or("VANTOR_LONG_RUN_TO", "quit"), to));
    const long slack_kib = std::atol(env_or("VANTOR_LONG_RUN_SLACK_MB", "8").c_str()) * 1024;

    vnt_test::ensure_gl(unsigned(width), unsigned(height));
    cErrorLines errors(std::cerr);
    cOfflineRunner runner(fps); // before the scene manager starts its clock
    cSceneManager::get_instance()->set_music_live(false);
    cGlimmerfall demo;
    demo.setup();
    const long loaded_kib = resident_kib();

    sFrameRange range;
    std::string error, warning;
    ASSERT_TRUE(resolve_range(cSceneManager::get_instance()->event_queue(), from, to, fps, range,
                              error, warning))
        << error;
    if (!warning.empty())
        std::cerr << "# WARNING: " << warning << std::endl;

    long frames_with_targets_out = 0;
    long gl_errors = 0;
    const auto probe = [&](int) {
        if (cRenderTargetManager::get_instance()->lent_out() != 0)
            ++frames_with_targets_out;
        while (glGetError() != GL_NO_ERROR)
            ++gl_errors;
        return tActiveLayers();
    };

    std::vector<sPass> passes;
    for (int p = 0; p < kPasses; ++p) {
        sBenchmarkSetup setup;
        setup.width = width;
        setup.height = height;
        setup.fps = fps;
        cBenchmarkReport report(setup);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(runner.benchmark(range, probe, report), 0) << "pass " << p + 1 << " interrupted";
        sPass pass;
        pass.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        pass.rss_kib = resident_kib();
        pass.times = runner.frame_times();
        pass.frames = long(pass.times.size());
        std::cout << "# long run: pass " << p + 1 << ": " << pass.frames << " frames of " << width
                  << "x" << height << " at " << fps << " fps (" << range.from_ms << " to "
                  << range.to_ms << " ms) in " << pass.seconds << " s, resident "
                  << pass.rss_kib / 1024.0 << " MiB (" << loaded_kib / 1024.0
                  << " MiB after loading)" << std::endl;
        passes.push_back(std::move(pass));
    }

    EXPECT_EQ(frames_with_targets_out, 0) << "frames that kept a render target from the pool";
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
    EXPECT_EQ(gl_errors, 0) << "OpenGL errors left after frames";
    EXPECT_TRUE(errors.errors().empty())
        << errors.errors().size() << " error lines, the first: " << errors.errors().front();
    for (int p = 1; p < kPasses; ++p) {
        EXPECT_EQ(passes[size_t(p)].times, passes[0].times)
            << "pass " << p + 1 << " showed other demo times than pass 1";
    }
    const long growth = passes.back().rss_kib - passes.front().rss_kib;
    std::cout << "# long run: resident memory grew by " << growth / 1024.0
              << " MiB from the end of pass 1 to the end of pass " << kPasses << " (allowed "
              << slack_kib / 1024 << " MiB)" << std::endl;
    EXPECT_LE(growth, slack_kib) << "resident memory keeps growing after the first pass";
}
