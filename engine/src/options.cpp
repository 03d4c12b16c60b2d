// Command-line options (see options.h).
#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int MARK_S100 = 22;
constexpr int MARK_QUIT = 41;
constexpr int MAX_FPS = 240;
constexpr int MIN_SIDE = 16;
constexpr int MAX_SIDE = 8192;

// A whole non-negative decimal number, or false.
bool parse_count(const std::string& text, long& value)
{
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0')
        return false;
    value = parsed;
    return true;
}

// The options that take a value, and the flags.
bool takes_value(const std::string& name)
{
    for (const char* valued : {"--frames", "--start", "--capture", "--fps", "--size", "--from",
                               "--to", "--benchmark-json", "--live-log"}) {
        if (name == valued)
            return true;
    }
    return false;
}

std::string marks_text(const sProgramText& in_text)
{
    return in_text.marks.empty() ? "a mark of the marker script" : describe_marks(in_text.marks);
}

std::string what_it_needs(const std::string& name, const sProgramText& in_text)
{
    if (name == "--frames")
        return "a number of frames";
    if (name == "--fps")
        return "a number of frames per second (1 to 240)";
    if (name == "--size")
        return "a size WxH";
    if (name == "--capture")
        return "a .mp4 or .mkv file or a folder";
    if (name == "--benchmark-json" || name == "--live-log")
        return "a file name";
    return "a mark (" + marks_text(in_text) + ") or a time in ms";
}

bool bad_time_point(const std::string& name, const std::string& value, const sProgramText& in_text,
                    std::string& error)
{
    error = name + ": unknown mark \"" + value + "\" (marks are " + marks_text(in_text) +
            (name == "--to" ? ", quit" : "") + "; a time is a whole number of ms)";
    return false;
}

// Stores one option's value; false with a message when the value does not fit it.
bool take_value(const std::string& name, const std::string& value, const sProgramText& in_text,
                sOptions& out, bool& from_set, bool& to_set, bool& tuning_set, std::string& error)
{
    if (name == "--frames") {
        if (!parse_count(value, out.frames)) {
            error = "--frames needs a whole number, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    if (name == "--capture") {
        if (value.empty()) {
            error = "--capture needs a .mp4 or .mkv file or a folder";
            return false;
        }
        out.capture = value;
        return true;
    }
    if (name == "--benchmark-json") {
        if (value.empty()) {
            error = "--benchmark-json needs a file name";
            return false;
        }
        out.benchmark_json = value;
        return true;
    }
    if (name == "--live-log") {
        if (value.empty()) {
            error = "--live-log needs a file name";
            return false;
        }
        out.live_log = value;
        return true;
    }
    if (name == "--fps") {
        long fps = 0;
        if (!parse_count(value, fps) || fps < 1 || fps > MAX_FPS) {
            error = "--fps needs a whole number from 1 to 240, not \"" + value + "\"";
            return false;
        }
        out.fps = int(fps);
        tuning_set = true;
        return true;
    }
    if (name == "--size") {
        if (!parse_size(value, out.width, out.height)) {
            error = "--size needs WxH, each a multiple of 4 from 16 to 8192, not \"" + value + "\"";
            return false;
        }
        out.size_set = true;
        return true;
    }
    sTimePoint point;
    if (!parse_time_point(value, point))
        return bad_time_point(name, value, in_text, error);
    if (point.mark == MARK_QUIT && name != "--to")
        return bad_time_point(name, value, in_text, error);
    if (name == "--start") {
        out.start = point;
        out.start_set = true;
    } else if (name == "--from") {
        out.from = point;
        from_set = true;
    } else {
        out.to = point;
        to_set = true;
    }
    return true;
}

// The rules between options, checked once all are read.
bool check_combination(sOptions& out, bool from_set, bool to_set, bool tuning_set,
                       std::string& error)
{
    if (!out.benchmark_json.empty())
        out.benchmark = true;
    if (!out.capture.empty() && out.benchmark) {
        error = "--capture and --benchmark are separate runs; give one of them";
        return false;
    }
    if (!out.offline()) {
        if (from_set || to_set || tuning_set) {
            error = "--fps, --from and --to go with --capture or --benchmark "
                    "(--start picks where the demo begins)";
            return false;
        }
        return true;
    }
    if (!out.live_log.empty()) {
        error = "--live-log records live play; it does not go with --capture or --benchmark";
        return false;
    }
    if (out.frames >= 0) {
        error = "--frames does not go with --capture or --benchmark; use --to";
        return false;
    }
    if (out.start_set) {
        if (from_set) {
            error = "--start and --from both set where the run begins; give one of them";
            return false;
        }
        out.from = out.start;
    }
    if (!out.from.is_mark() && !out.to.is_mark() && out.to.ms <= out.from.ms) {
        error = "--to (" + out.to.text + ") must come after --from (" + out.from.text + ")";
        return false;
    }
    return true;
}

} // namespace

int mark_id(const std::string& in_name)
{
    if (in_name == "quit")
        return MARK_QUIT;
    if (in_name == "s100")
        return MARK_S100;
    if (in_name.size() != 3 || in_name[0] != 's' || in_name[1] < '0' || in_name[1] > '9' ||
        in_name[2] < '0' || in_name[2] > '9')
        return -1;
    const int number = (in_name[1] - '0') * 10 + (in_name[2] - '0');
    return number <= 21 ? number : -1;
}

std::string mark_name(int in_id)
{
    if (in_id == MARK_QUIT)
        return "quit";
    if (in_id == MARK_S100)
        return "s100";
    if (in_id < 0 || in_id > 21)
        return std::string();
    return std::string("s") + char('0' + in_id / 10) + char('0' + in_id % 10);
}

bool parse_time_point(const std::string& in_text, sTimePoint& out)
{
    sTimePoint point;
    point.text = in_text;
    point.mark = mark_id(in_text);
    if (point.mark < 0) {
        long ms = 0;
        if (!parse_count(in_text, ms) || ms > 2000000000L)
            return false;
        point.ms = int(ms);
    }
    out = point;
    return true;
}

sOptions::sOptions()
{
    start.mark = from.mark = 0;
    start.text = from.text = "s00";
    to.mark = MARK_QUIT;
    to.text = "quit";
}

bool parse_size(const std::string& in_text, int& out_w, int& out_h)
{
    const size_t x = in_text.find('x');
    if (x == std::string::npos)
        return false;
    long w = 0, h = 0;
    if (!parse_count(in_text.substr(0, x), w) || !parse_count(in_text.substr(x + 1), h))
        return false;
    for (long side : {w, h}) {
        if (side < MIN_SIDE || side > MAX_SIDE || side % 4 != 0)
            return false;
    }
    out_w = int(w);
    out_h = int(h);
    return true;
}

std::vector<std::string> script_marks(std::string_view in_script)
{
    std::vector<std::string> marks;
    std::istringstream lines{std::string(in_script)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string token;
        if (!(fields >> token) || token == "quit" || mark_id(token) < 0)
            continue;
        if (std::find(marks.begin(), marks.end(), token) == marks.end())
            marks.push_back(token);
    }
    return marks;
}

std::string describe_marks(const std::vector<std::string>& in_marks)
{
    std::vector<int> scenes;
    std::vector<std::string> others;
    for (const std::string& mark : in_marks) {
        const int id = mark_id(mark);
        if (id >= 0 && id <= 21)
            scenes.push_back(id);
        else
            others.push_back(mark);
    }
    std::sort(scenes.begin(), scenes.end());
    scenes.erase(std::unique(scenes.begin(), scenes.end()), scenes.end());
    std::vector<std::string> parts;
    for (size_t i = 0; i < scenes.size();) {
        size_t end = i;
        while (end + 1 < scenes.size() && scenes[end + 1] == scenes[end] + 1)
            ++end;
        if (end - i >= 2) {
            parts.push_back(mark_name(scenes[i]) + " to " + mark_name(scenes[end]));
        } else {
            for (size_t k = i; k <= end; ++k)
                parts.push_back(mark_name(scenes[k]));
        }
        i = end + 1;
    }
    parts.insert(parts.end(), others.begin(), others.end());
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::string usage_line(const sProgramText& in_text)
{
    const std::string& p = in_text.program;
    return "usage: " + p + " [--windowed] [--size WxH] [--frames N] [--start MARK|MS] [--mute] " +
           "[--live-log FILE]\n" + "       " + p +
           " --capture OUT [--fps N] [--size WxH] [--from MARK|MS] " +
           "[--to MARK|MS] [--mute] [--no-pre-roll]\n" + "       " + p +
           " --benchmark [--benchmark-json FILE] [--fps N] [--size WxH] " +
           "[--from MARK|MS] [--to MARK|MS]\n" + "       " + p + " --help";
}

std::string help_text(const sProgramText& in_text)
{
    return usage_line(in_text) +
           "\n"
           "\n" +
           in_text.title +
           "\n"
           "\n"
           "Marks: " +
           marks_text(in_text) +
           "\n"
           "\n"
           "Playing:\n"
           "  --windowed          open a window instead of going fullscreen\n"
           "  --size WxH          picture size, multiples of 4 (default 1280x720); fullscreen\n"
           "                      uses that display mode, or the desktop with the picture\n"
           "                      scaled and letterboxed when the display has no such mode\n"
           "  --frames N          leave after N frames (as Escape does)\n"
           "  --start MARK|MS     begin at a mark of the marker script or at a demo time in\n"
           "                      milliseconds, instead of at s00\n"
           "  --mute              start with the music muted\n"
           "  --live-log FILE     record the sound device's callbacks, the demo time of every\n"
           "                      frame, seeks, pauses and keys (scripts/measure-sync.sh)\n"
           "  --help              show this text\n"
           "\n"
           "Capturing (fixed time step, hidden window, the music is not played):\n"
           "  --capture OUT       OUT.mp4 or OUT.mkv: H.264 video through ffmpeg with the music;\n"
           "                      any other OUT: a folder of numbered PNG files\n"
           "                      (frame_000000.png, ...)\n"
           "  --fps N             frames per second, 1 to 240 (default 60)\n"
           "  --size WxH          picture size, multiples of 4 (default 1280x720)\n"
           "  --from MARK|MS      first frame (default s00; --start works too)\n"
           "  --to MARK|MS        end of the range, not included (default quit)\n"
           "  --mute              leave the music out of the video\n"
           "  --no-pre-roll       start 150 ms before --from instead of at the start of every\n"
           "                      layer shown there (quicker; a layer's state may then differ\n"
           "                      from a capture that began further back)\n"
           "\n"
           "Benchmarking (the same range options):\n"
           "  --benchmark         render every frame offscreen without vsync, wait for the GPU,\n"
           "                      and print frame times per stretch of active layers\n"
           "  --benchmark-json F  also write the table as JSON to the file F\n"
           "\n"
           "Keys:\n"
           "  Escape, q           quit\n"
           "  Tab                 show or hide the debug overlay\n"
           "  Space               print the demo time, the scene and its variables\n"
           "  p                   pause and resume\n"
           "  m                   mute and unmute the music\n"
           "  t                   MIDI test view\n"
           "  Left, Right         move the demo time back or on by 5 seconds\n"
           "  Page Up, Page Down  jump to the previous or the next scene mark\n"
           "  Home                jump to s00\n"
           "  r                   reload every shader whose source file changed on disk\n";
}

bool parse_options(const std::vector<std::string>& args, sOptions& out, std::string& error,
                   const sProgramText& in_text)
{
    bool from_set = false, to_set = false, tuning_set = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inline_value = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inline_value = true;
        }
        if (takes_value(name)) {
            if (!inline_value) {
                if (i + 1 >= args.size()) {
                    error = name + " needs " + what_it_needs(name, in_text);
                    return false;
                }
                value = args[++i];
            }
            if (!take_value(name, value, in_text, out, from_set, to_set, tuning_set, error))
                return false;
            continue;
        }
        const bool flag = name == "--windowed" || name == "--help" || name == "-h" ||
                          name == "--mute" || name == "--benchmark" || name == "--no-pre-roll";
        if (!flag) {
            error = "unknown option \"" + name + "\"";
            return false;
        }
        if (inline_value) {
            error = name + " takes no value";
            return false;
        }
        if (name == "--windowed") {
            out.windowed = true;
        } else if (name == "--help" || name == "-h") {
            out.help = true;
        } else if (name == "--mute") {
            out.mute = true;
        } else if (name == "--no-pre-roll") {
            out.pre_roll = false;
            tuning_set = true;
        } else {
            out.benchmark = true;
        }
    }
    return check_combination(out, from_set, to_set, tuning_set, error);
}
