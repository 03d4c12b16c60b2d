// Command-line options: live play, capture and benchmark ranges, and everything refused.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "options.h"

namespace {

// Parses a line of blank-separated arguments.
bool parse(const std::string& line, sOptions& out, std::string& error)
{
    std::vector<std::string> args;
    std::istringstream in(line);
    for (std::string arg; in >> arg;)
        args.push_back(arg);
    out = sOptions();
    error.clear();
    return parse_options(args, out, error);
}

} // namespace

TEST(Options, LivePlayCaptureAndBenchmark)
{
    sOptions o;
    std::string error;
    ASSERT_TRUE(parse("--start s05 --mute", o, error)) << error;
    EXPECT_FALSE(o.offline());
    EXPECT_TRUE(o.start_set && o.mute);
    EXPECT_EQ(o.start.mark, 5);
    EXPECT_EQ(o.from.mark * 100 + o.to.mark, 41); // s00 to quit
    ASSERT_TRUE(parse("--start=s100", o, error)) << error;
    EXPECT_EQ(o.start.mark, 22);
    ASSERT_TRUE(parse("--start 61500", o, error)) << error;
    EXPECT_TRUE(!o.start.is_mark() && o.start.ms == 61500) << o.start.ms;

    ASSERT_TRUE(parse("--capture out.mp4 --fps=30 --size 640x360 --from s02 --to=90000", o, error))
        << error;
    EXPECT_TRUE(o.offline());
    EXPECT_EQ(o.capture, "out.mp4");
    EXPECT_EQ(o.fps * 10000000 + o.width * 1000 + o.height, 300640360);
    EXPECT_EQ(o.from.text + " " + std::to_string(o.to.ms), "s02 90000");
    // --start is where a capture begins when --from is not given.
    ASSERT_TRUE(parse("--capture frames --start s07 --to quit", o, error)) << error;
    EXPECT_EQ(o.from.mark * 100 + o.to.mark, 741);
    // A JSON file asks for a benchmark by itself; the extreme sizes and rates are fine.
    ASSERT_TRUE(parse("--benchmark-json b.json --fps 240 --size 16x8192", o, error)) << error;
    EXPECT_TRUE(o.benchmark && o.height == 8192);
}

TEST(Options, BadValuesAndCombinationsAreRefusedWithAMessage)
{
    for (const char* line :
         {// sizes: not multiples of 4, out of range, malformed
          "--capture a --size 1281x720", "--capture a --size 1280x722", "--capture a --size 12x12",
          "--capture a --size 8196x720", "--capture a --size 1280x", "--capture a --size -4x8",
          "--capture a --size 1280x720x4", "--capture a --size 99999999999999999999x4",
          // frame rates
          "--capture a --fps 0", "--capture a --fps 241", "--capture a --fps 29.97",
          "--capture a --fps=",
          // marks and times
          "--start s22", "--start S01", "--start s1", "--start quit", "--start -5", "--start 1e3",
          "--capture a --from quit", "--capture a --from 2000 --to 2000",
          // combinations
          "--capture a --benchmark", "--fps 30", "--to s02", "--capture a --frames 10",
          "--capture a --start s01 --from s02", "--capture=",
          // unknown options, values on flags
          "--frobnicate=3", "--mute=1", "capture"}) {
        sOptions o;
        std::string error;
        EXPECT_FALSE(parse(line, o, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    // The messages themselves are checked on the demo executable (capture_test).
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
}

TEST(Options, TheProductionNamesItselfAndTheMarksOfItsScript)
{
    // s01 repeated is named once; s22 is not a mark the engine knows.
    const std::string script = "# marks\ns00 0:00:00,000\nfadein 0:00:00,000\ns01 0:00:04,000\n"
                               "  s02 0:00:08,000\ns01 0:00:09,000\ns07 0:00:12,000\n"
                               "s100 0:00:14,000\ns22 0:00:15,000\nquit 0:00:16,000\n";
    sProgramText text;
    text.program = "pulse";
    text.title = "Pulse, an example.";
    text.marks = script_marks(script);
    EXPECT_EQ(text.marks, (std::vector<std::string>{"s00", "s01", "s02", "s07", "s100"}));
    EXPECT_EQ(describe_marks(text.marks), "s00 to s02, s07, s100");
    EXPECT_EQ(describe_marks({"s03", "s01"}) + describe_marks({}), "s01, s03");

    const std::string help = help_text(text);
    EXPECT_EQ(help.rfind("usage: pulse ", 0), 0u);
    for (const char* line : {"Pulse, an example.\n", "Marks: s00 to s02, s07, s100\n"})
        EXPECT_NE(help.find(line), std::string::npos) << help;
    EXPECT_EQ(help.find("glimmerfall"), std::string::npos);

    sOptions o;
    std::string error;
    EXPECT_FALSE(parse_options({"--start", "nowhere"}, o, error, text));
    EXPECT_NE(error.find("marks are s00 to s02, s07, s100;"), std::string::npos) << error;
}
