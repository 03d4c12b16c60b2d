// Command-line options: live play, capture and benchmark ranges, and everything refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

namespace {

bool parse(const std::vector<std::string>& args, sOptions& out, std::string& error)
{
    out = sOptions();
    error.clear();
    return parse_options(args, out, error);
}

} // namespace

TEST(Options, LivePlayDefaultsAndStartPoints)
{
    sOptions o;
    std::string error;
    ASSERT_TRUE(parse({}, o, error)) << error;
    EXPECT_FALSE(o.offline());
    EXPECT_FALSE(o.start_set);
    EXPECT_EQ(o.from.mark, 0);
    EXPECT_EQ(o.to.mark, 41);
    EXPECT_EQ(o.fps, 60);
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);

    ASSERT_TRUE(parse({"--start", "s05", "--mute", "--windowed"}, o, error)) << error;
    EXPECT_TRUE(o.start_set);
    EXPECT_EQ(o.start.mark, 5);
    EXPECT_TRUE(o.mute);
    ASSERT_TRUE(parse({"--start=s100"}, o, error)) << error;
    EXPECT_EQ(o.start.mark, 22);
    ASSERT_TRUE(parse({"--start", "61500"}, o, error)) << error;
    EXPECT_FALSE(o.start.is_mark());
    EXPECT_EQ(o.start.ms, 61500);
    ASSERT_TRUE(parse({"--start", "0"}, o, error)) << error;
    EXPECT_EQ(o.start.ms, 0);
}

TEST(Options, CaptureAndBenchmarkRanges)
{
    sOptions o;
    std::string error;
    ASSERT_TRUE(parse(
        {"--capture", "out.mp4", "--fps=30", "--size", "640x360", "--from", "s02", "--to=90000"}, o,
        error))
        << error;
    EXPECT_TRUE(o.offline());
    EXPECT_EQ(o.capture, "out.mp4");
    EXPECT_EQ(o.fps, 30);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_EQ(o.from.mark, 2);
    EXPECT_EQ(o.from.text, "s02");
    EXPECT_FALSE(o.to.is_mark());
    EXPECT_EQ(o.to.ms, 90000);

    // --start picks the beginning of a capture when --from is not given.
    ASSERT_TRUE(parse({"--capture", "frames", "--start", "s07", "--to", "quit"}, o, error));
    EXPECT_EQ(o.from.mark, 7);
    EXPECT_EQ(o.to.mark, 41);

    // A JSON file asks for a benchmark by itself.
    ASSERT_TRUE(
        parse({"--benchmark-json", "bench.json", "--fps", "1", "--size", "16x8192"}, o, error))
        << error;
    EXPECT_TRUE(o.benchmark);
    EXPECT_TRUE(o.offline());
    EXPECT_EQ(o.benchmark_json, "bench.json");
    EXPECT_EQ(o.height, 8192);
    ASSERT_TRUE(parse({"--benchmark", "--from", "1000", "--to", "1001"}, o, error)) << error;
}

TEST(Options, BadValuesAndCombinationsAreRefusedWithAMessage)
{
    const std::vector<std::vector<std::string>> refused = {
        // sizes: not multiples of 4, out of range, malformed
        {"--capture", "a", "--size", "1281x720"},
        {"--capture", "a", "--size", "1280x722"},
        {"--capture", "a", "--size", "0x0"},
        {"--capture", "a", "--size", "12x12"},
        {"--capture", "a", "--size", "8196x720"},
        {"--capture", "a", "--size", "1280x"},
        {"--capture", "a", "--size", "x720"},
        {"--capture", "a", "--size", "1280*720"},
        {"--capture", "a", "--size", "-4x8"},
        {"--capture", "a", "--size", "1280x720x4"},
        {"--capture", "a", "--size", "99999999999999999999x4"},
        {"--capture", "a", "--size"},
        // frame rates
        {"--capture", "a", "--fps", "0"},
        {"--capture", "a", "--fps", "241"},
        {"--capture", "a", "--fps", "29.97"},
        {"--capture", "a", "--fps", ""},
        // marks and times
        {"--start", "s22"},
        {"--start", "s99"},
        {"--start", "S01"},
        {"--start", "s1"},
        {"--start", "quit"},
        {"--start", "-5"},
        {"--start", "1e3"},
        {"--start", "beat"},
        {"--capture", "a", "--from", "quit"},
        {"--capture", "a", "--to", "s010"},
        {"--capture", "a", "--from", "2000", "--to", "2000"},
        {"--capture", "a", "--from", "3000", "--to", "2000"},
        // combinations
        {"--capture", "a", "--benchmark"},
        {"--capture", "a", "--benchmark-json", "b.json"},
        {"--fps", "30"},
        {"--size", "640x360"},
        {"--from", "s01"},
        {"--to", "s02"},
        {"--capture", "a", "--frames", "10"},
        {"--capture", "a", "--start", "s01", "--from", "s02"},
        {"--capture", ""},
        {"--benchmark-json="},
        // unknown options and values on flags
        {"--frobnicate"},
        {"--frobnicate=3"},
        {"--mute=1"},
        {"--benchmark=yes"},
        {"capture"},
    };
    for (const auto& args : refused) {
        sOptions o;
        std::string error;
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_FALSE(parse(args, o, error)) << joined;
        EXPECT_FALSE(error.empty()) << joined;
    }

    // The message names what was wrong.
    sOptions o;
    std::string error;
    EXPECT_FALSE(parse({"--start", "s99"}, o, error));
    EXPECT_NE(error.find("unknown mark \"s99\""), std::string::npos) << error;
    EXPECT_FALSE(parse({"--capture", "a", "--size", "1281x720"}, o, error));
    EXPECT_NE(error.find("multiple of 4"), std::string::npos) << error;
}

TEST(Options, MarkNamesAndIds)
{
    for (int id = 0; id <= 21; ++id) {
        EXPECT_EQ(mark_id(mark_name(id)), id);
        EXPECT_EQ(mark_name(id).size(), 3u);
    }
    EXPECT_EQ(mark_name(7), "s07");
    EXPECT_EQ(mark_name(21), "s21");
    EXPECT_EQ(mark_id("s100"), 22);
    EXPECT_EQ(mark_id("quit"), 41);
    EXPECT_EQ(mark_name(23), "");
    EXPECT_EQ(mark_name(-1), "");
    for (const char* not_a_mark : {"", "s", "s0", "s22", "s000", "s-1", "sxx", "beat", "s101"})
        EXPECT_EQ(mark_id(not_a_mark), -1) << not_a_mark;
}

TEST(Options, HelpListsEveryOptionAndKey)
{
    const std::string help = help_text();
    for (const char* item :
         {"--windowed", "--frames", "--start", "--mute", "--help",      "--capture",
          "--fps",      "--size",   "--from",  "--to",   "--benchmark", "--benchmark-json",
          "Escape",     "Tab",      "Space",   "Left",   "Right",       "Page Up",
          "Page Down",  "Home",     "  r ",    "  p ",   "  m ",        "  t "})
        EXPECT_NE(help.find(item), std::string::npos) << item;
    EXPECT_EQ(help.rfind(usage_line(), 0), 0u);
}
