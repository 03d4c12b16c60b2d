// Command-line options of the demo executable.
#pragma once

#include <string>
#include <vector>

struct sOptions
{
    bool windowed = false; // a window instead of fullscreen
    long frames = -1;      // leave through exit(0) after this many frames; negative: never
    bool help = false;
};

// Parses argv[1..]; on a bad option or value returns false with a message in `error`.
bool parse_options(const std::vector<std::string>& args, sOptions& out, std::string& error);

// The usage line printed on a bad option, and the --help text.
std::string usage_line();
std::string help_text();
