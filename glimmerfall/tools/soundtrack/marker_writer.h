// The marker script: "<token> <h>:<mm>:<ss>,<ms>" lines with comments between the sections.
#pragma once

#include <string>

namespace soundtrack {

struct sSong;

// Formats a time in ms as the script writes it, e.g. 62345 -> "0:01:02,345".
std::string format_marker_time(int ms);

// The whole script: a header, then the marks and tokens in time order, each section opened by
// a comment line that says what the music does there.
std::string write_markers(const sSong& song);

} // namespace soundtrack
