// Command-line options (see options.h).
#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole non-negative decimal number, or false.
bool parse_count(const std::string& text, long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0')
        return false;
    value = parsed;
    return true;
}

} // namespace

std::string usage_line() { return "usage: glimmerfall [--windowed] [--frames N] [--help]"; }

std::string help_text()
{
    return usage_line() +
           "\n"
           "\n"
           "Glimmerfall, a real-time audiovisual demo.\n"
           "\n"
           "Options:\n"
           "  --windowed   open a 1280x720 window instead of going fullscreen\n"
           "  --frames N   leave after N frames (as Escape does)\n"
           "  --help       show this text\n"
           "\n"
           "Keys:\n"
           "  Escape, q    quit\n"
           "  Tab          show or hide the debug overlay\n"
           "  Space        print the demo time, the scene and its variables\n"
           "  p            pause and resume\n"
           "  m            mute and unmute the music\n"
           "  t            MIDI test view\n";
}

bool parse_options(const std::vector<std::string>& args, sOptions& out, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--windowed") {
            out.windowed = true;
        } else if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--frames") {
            if (i + 1 >= args.size()) {
                error = "--frames needs a number of frames";
                return false;
            }
            if (!parse_count(args[++i], out.frames)) {
                error = "--frames needs a whole number, not \"" + args[i] + "\"";
                return false;
            }
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    return true;
}
