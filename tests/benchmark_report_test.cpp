// Benchmark statistics, the grouping of frames into stretches of the same layers, the table and
// the JSON.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "benchmark_report.h"

namespace {

sBenchmarkSetup setup()
{
    sBenchmarkSetup s;
    s.width = 640;
    s.height = 360;
    s.fps = 50;
    s.from = "s01";
    s.to = "quit";
    s.from_ms = 13333;
    s.to_ms = 236000;
    s.renderer = "llvmpipe";
    s.version = "4.5 Mesa";
    return s;
}

const tActiveLayers kA = {{5, "attractors"}, {10, "greets"}};
const tActiveLayers kB = {{5, "attractors"}};

int count_of(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(BenchmarkReport, FrameStatistics)
{
    std::vector<double> ramp;
    for (int i = 20; i >= 1; --i) // unsorted on purpose
        ramp.push_back(i);
    const sFrameStats s = frame_stats(ramp);
    EXPECT_EQ(s.frames, 20);
    EXPECT_DOUBLE_EQ(s.median_ms, 10.5);
    EXPECT_DOUBLE_EQ(s.p95_ms, 19.05);
    EXPECT_DOUBLE_EQ(s.worst_ms, 20.0);
    EXPECT_DOUBLE_EQ(s.total_ms, 210.0);

    const sFrameStats one = frame_stats({4.25});
    EXPECT_DOUBLE_EQ(one.median_ms, 4.25);
    EXPECT_DOUBLE_EQ(one.p95_ms, 4.25);
    EXPECT_DOUBLE_EQ(one.worst_ms, 4.25);

    // One slow frame in a hundred shows in the worst, not in the median or the 95th percentile.
    std::vector<double> spiky(99, 2.0);
    spiky.push_back(80.0);
    const sFrameStats sp = frame_stats(spiky);
    EXPECT_DOUBLE_EQ(sp.median_ms, 2.0);
    EXPECT_DOUBLE_EQ(sp.p95_ms, 2.0);
    EXPECT_DOUBLE_EQ(sp.worst_ms, 80.0);

    const sFrameStats none = frame_stats({});
    EXPECT_EQ(none.frames, 0);
    EXPECT_EQ(none.worst_ms, 0.0);
}

TEST(BenchmarkReport, FramesGroupIntoStretchesOfTheSameLayers)
{
    cBenchmarkReport report(setup());
    report.add_frame(0, {}, 1.0);
    report.add_frame(20, kB, 2.0);
    report.add_frame(40, kB, 4.0);
    report.add_frame(60, kA, 3.0);
    report.add_frame(80, kB, 5.0);              // the same set as before, but a new stretch of time
    report.add_frame(100, {{5, "other"}}, 1.0); // same depths, another scene

    const auto& stretches = report.stretches();
    ASSERT_EQ(stretches.size(), 5u);
    EXPECT_TRUE(stretches[0].layers.empty());
    EXPECT_EQ(stretches[1].first_ms, 20);
    EXPECT_EQ(stretches[1].last_ms, 40);
    EXPECT_EQ(stretches[1].frame_ms.size(), 2u);
    EXPECT_EQ(stretches[2].layers, kA);
    EXPECT_EQ(stretches[3].first_ms, 80);
    EXPECT_EQ(stretches[3].last_ms, 80);
    EXPECT_EQ(stretches[4].layers[0].scene, "other");

    const sFrameStats all = report.total();
    EXPECT_EQ(all.frames, 6);
    EXPECT_DOUBLE_EQ(all.total_ms, 16.0);
    EXPECT_DOUBLE_EQ(report.overall_fps(), 6 * 1000.0 / 16.0);
    EXPECT_EQ(cBenchmarkReport(setup()).overall_fps(), 0.0);
}

TEST(BenchmarkReport, TableShowsEveryStretchAndTheTotals)
{
    cBenchmarkReport report(setup());
    for (int t = 13333; t < 13333 + 200; t += 20)
        report.add_frame(t, kA, 2.0);
    for (int t = 13533; t < 13533 + 100; t += 20)
        report.add_frame(t, {}, 8.0);
    const std::string table = report.table();

    EXPECT_NE(table.find("640x360, 50 fps, s01 (13333 ms) to quit (236000 ms)"), std::string::npos)
        << table;
    EXPECT_NE(table.find("llvmpipe"), std::string::npos);
    EXPECT_NE(table.find("median ms"), std::string::npos);
    EXPECT_NE(table.find("5 attractors, 10 greets"), std::string::npos) << table;
    EXPECT_NE(table.find("(no layers)"), std::string::npos);
    EXPECT_NE(table.find("0:13.333 - 0:13.513"), std::string::npos) << table;
    EXPECT_NE(table.find("0:13.533 - 0:13.613"), std::string::npos) << table;
    // 10 frames of 2 ms and 5 of 8 ms: 15 frames in 60 ms.
    EXPECT_NE(table.find("overall: 15 frames in 0.06 s of rendering, 250.0 frames per second"),
              std::string::npos)
        << table;
    // Header, column titles, two rows, the total row, the overall line.
    EXPECT_EQ(count_of(table, "\n"), 2 + 1 + 2 + 1 + 1) << table;
}

TEST(BenchmarkReport, JsonCarriesTheSameNumbersAndEscapesNames)
{
    cBenchmarkReport report(setup());
    report.add_frame(1000, {{7, "say \"hi\"\\\n"}}, 2.5);
    report.add_frame(1020, {{7, "say \"hi\"\\\n"}}, 3.5);
    const std::string json = report.json();
    EXPECT_NE(json.find("\"scene\": \"say \\\"hi\\\"\\\\\\n\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"first_ms\": 1000, \"last_ms\": 1020"), std::string::npos) << json;
    EXPECT_NE(json.find("\"frames\": 2, \"median_ms\": 3.000, \"p95_ms\": 3.450, "
                        "\"worst_ms\": 3.500"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"fps\": 333.33"), std::string::npos) << json;
    EXPECT_NE(json.find("\"width\": 640"), std::string::npos);
    EXPECT_NE(json.find("\"renderer\": \"llvmpipe\""), std::string::npos);
    EXPECT_EQ(count_of(json, "{"), count_of(json, "}"));
    EXPECT_EQ(count_of(json, "["), count_of(json, "]"));

    EXPECT_EQ(json_string(std::string("a\x01z\tq", 5)), "\"a\\u0001z\\tq\"");

    // No frames: still a complete document.
    const std::string empty = cBenchmarkReport(setup()).json();
    EXPECT_NE(empty.find("\"stretches\": [],"), std::string::npos) << empty;
    EXPECT_NE(empty.find("\"frames\": 0"), std::string::npos);
}
