// Command-line options of a production's executable: live play, capture to video or PNG files,
// and the benchmark run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A point of the timeline given on the command line: a marker of the script or a time.
struct sTimePoint
{
    int mark = -1;    // event id of a marker ("s00" 0 ... "s21" 21, "s100" 22, "quit" 41), or -1
    int ms = 0;       // demo time in ms when `mark` is -1
    std::string text; // as typed, for messages

    bool is_mark() const { return mark >= 0; }
};

// Id of a marker name ("s00" to "s21", "s100", "quit"); -1 for anything else.
int mark_id(const std::string& in_name);
// Name of a marker id ("s07"); empty when the id names no marker.
std::string mark_name(int in_id);
// A marker name or a whole non-negative number of ms; false for anything else.
bool parse_time_point(const std::string& in_text, sTimePoint& out);

struct sOptions
{
    bool windowed = false; // a window instead of fullscreen
    long frames = -1;      // leave through exit(0) after this many frames; negative: never
    bool help = false;
    bool mute = false; // start with the music muted (captures then carry no sound)

    bool start_set = false;
    sTimePoint start; // where the first frame jumps to (default "s00")

    std::string capture;        // output: a .mp4 or .mkv file, or a folder for PNG files
    bool benchmark = false;     // time every frame offscreen and print the table
    std::string benchmark_json; // also write the table as JSON to this file
    int fps = 60;               // frames per second of the fixed step
    int width = 1280;           // picture size, multiples of 4
    int height = 720;
    bool size_set = false; // --size was given
    std::string live_log;  // live play: the log for scripts/measure-sync.sh
    sTimePoint from;       // range of a capture or benchmark; default "s00" to "quit"
    sTimePoint to;
    // A capture plays from the start of every layer shown at its first frame (not written),
    // so that its frames equal those of a capture from further back; off: the lead-in only.
    bool pre_roll = true;

    sOptions();
    // A capture or benchmark run: fixed step, hidden window, no live music.
    bool offline() const { return !capture.empty() || benchmark; }
};

// What the usage line and the help name: the program, what it is, and the marks its marker
// script has (in script order, "quit" left out).
struct sProgramText
{
    std::string program = "vantor";
    std::string title = "A production on the vantor engine.";
    std::vector<std::string> marks; // empty: described as the marks of the marker script
};

// The marks of a marker script's text that --start, --from and --to take, in script order,
// each once; "quit" left out.
std::vector<std::string> script_marks(std::string_view in_script);
// "s00 to s07, s100": runs of three or more consecutive scene marks as a range.
std::string describe_marks(const std::vector<std::string>& in_marks);

// Parses argv[1..]; on a bad option or value returns false with a message in `error`.
bool parse_options(const std::vector<std::string>& args, sOptions& out, std::string& error,
                   const sProgramText& in_text = sProgramText());

// "1280x720" into multiples of 4 between 16 and 8192; false for anything else.
bool parse_size(const std::string& in_text, int& out_w, int& out_h);

// The usage line printed on a bad option, and the --help text.
std::string usage_line(const sProgramText& in_text = sProgramText());
std::string help_text(const sProgramText& in_text = sProgramText());
