// Benchmark statistics, the grouping of frames into stretches of the same layers, the table and
// the JSON.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "benchmark_report.h"
#include "support/process.h"
#include "support/test_media.h"

namespace {

sBenchmarkSetup setup()
{
    sBenchmarkSetup s;
    s.width = 640, s.height = 360, s.fps = 50;
    s.from = "s01", s.to = "quit", s.from_ms = 13333, s.to_ms = 236000;
    s.renderer = "llvmpipe";
    return s;
}

const tActiveLayers kA = {{5, "attractors"}, {10, "greets"}};
const tActiveLayers kB = {{5, "attractors"}};

} // namespace

TEST(BenchmarkReport, FrameStatistics)
{
    std::vector<double> ramp;
    for (int i = 20; i >= 1; --i) // unsorted on purpose
        ramp.push_back(i);
    const sFrameStats s = frame_stats(ramp);
    EXPECT_EQ(std::tuple(s.frames, s.median_ms, s.worst_ms, s.total_ms),
              std::tuple(20, 10.5, 20.0, 210.0));
    EXPECT_DOUBLE_EQ(s.p95_ms, 19.05);

    // One slow frame in a hundred shows in the worst, not in the median or the 95th percentile.
    std::vector<double> spiky(99, 2.0);
    spiky.push_back(80.0);
    const sFrameStats sp = frame_stats(spiky);
    EXPECT_EQ(std::tuple(sp.median_ms, sp.p95_ms, sp.worst_ms), std::tuple(2.0, 2.0, 80.0));
    EXPECT_EQ(frame_stats({}).worst_ms, 0.0);
}

TEST(BenchmarkReport, FramesGroupIntoStretchesOfTheSameLayers)
{
    cBenchmarkReport report(setup());
    report.add_frame(0, {}, 1.0);
    report.add_frame(20, kB, 2.0);
    report.add_frame(40, kB, 4.0);
    report.add_frame(60, kA, 3.0);
    report.add_frame(80, kB, 5.0);              // the same set again: a new stretch of time
    report.add_frame(100, {{5, "other"}}, 1.0); // same depth, another scene
    const auto& stretches = report.stretches();
    ASSERT_EQ(stretches.size(), 5u);
    EXPECT_EQ(std::tuple(stretches[1].first_ms, stretches[1].last_ms, stretches[1].frame_ms.size(),
                         stretches[3].first_ms),
              std::tuple(20, 40, 2u, 80));
    EXPECT_EQ(stretches[2].layers, kA);
    EXPECT_DOUBLE_EQ(report.total().total_ms, 16.0);
    EXPECT_DOUBLE_EQ(report.overall_fps(), 6 * 1000.0 / 16.0);
    EXPECT_EQ(cBenchmarkReport(setup()).overall_fps(), 0.0);
}

TEST(BenchmarkReport, TableAndJsonShowEveryStretchAndTheTotals)
{
    cBenchmarkReport report(setup());
    for (int t = 13333; t < 13533; t += 20)
        report.add_frame(t, kA, 2.0);
    for (int t = 13533; t < 13633; t += 20)
        report.add_frame(t, {{7, "say \"hi\"\\"}}, 8.0);
    const std::string table = report.table();
    for (const char* line :
         {"640x360, 50 fps, s01 (13333 ms) to quit (236000 ms)\n",
          "0:13.333 - 0:13.513  5 attractors, 10 greets      10       2.00      2.00      2.00\n",
          "0:13.533 - 0:13.613  7 say \"hi\"\\                   5       8.00      8.00      "
          "8.00\n",
          "total                                             15       2.00      8.00      8.00\n",
          "overall: 15 frames in 0.06 s of rendering, 250.0 frames per second\n"})
        EXPECT_NE(table.find(line), std::string::npos) << line << "\n" << table;

    // The stretches' frames are read back by the comparison script (below).
    const std::string json = report.json();
    for (const char* part :
         {"\"layers\": [{\"depth\": 7, \"scene\": \"say \\\"hi\\\"\\\\\"}]",
          "\"total\": {\"frames\": 15, \"median_ms\": 2.000, \"p95_ms\": 8.000, \"worst_ms\": "
          "8.000, \"seconds\": 0.060, \"fps\": 250.00}"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    EXPECT_EQ(json_string(std::string("a\x01z\tq\n", 6)), "\"a\\u0001z\\tq\\n\"");
    EXPECT_NE(cBenchmarkReport(setup()).json().find("\"stretches\": [],"), std::string::npos);
}

// scripts/bench-compare.py reads what json() writes and matches the runs' frames by demo time.
TEST(BenchmarkReport, CompareScriptReadsTheJson)
{
    cBenchmarkReport before(setup()), after(setup());
    for (int t = 13340; t < 13440; t += 20) {
        before.add_frame(t, kA, 10.0);
        after.add_frame(t + 20, kA, t == 13420 ? 99.0 : 4.0); // shifted by one frame
    }
    const std::string dir = vnt_test::temp_dir("bench_compare");
    vnt_test::write_text(dir + "/a.json", before.json());
    vnt_test::write_text(dir + "/b.json", after.json());
    vnt_test::write_text(dir + "/old.json", "{\"stretches\": [{\"first_ms\": 0}]}");
    const std::string script = "python3 " + vnt_test::source_dir() + "/scripts/bench-compare.py ";
    const auto run = vnt_test::run_process(script + dir + "/a.json " + dir + "/b.json");
    ASSERT_EQ(run.status, 0) << run.err;
    // The first run's stretch holds 5 frames, 4 of them in the second run; its slow frame is not.
    EXPECT_NE(run.out.find("0:13.340 - 0:13.420  5 attractors, 10 greets     5/4     10.00"
                           "      4.00  0.40"),
              std::string::npos)
        << run.out;
    const auto old = vnt_test::run_process(script + dir + "/old.json " + dir + "/b.json");
    EXPECT_NE(old.status, 0);
    EXPECT_NE(old.err.find("no per-frame times"), std::string::npos) << old.err;
}
