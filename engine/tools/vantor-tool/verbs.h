// The verbs of vantor-tool: each takes the arguments after its name and returns the exit
// status; its usage text is what "--help" prints.
#pragma once

#include <string>
#include <vector>

namespace vantor_tool {

using tArgs = std::vector<std::string>;

extern const char* const MIDI_USAGE;
int run_midi(const tArgs& args);

extern const char* const MARKERS_USAGE;
int run_markers(const tArgs& args);

extern const char* const MESH_USAGE;
int run_mesh(const tArgs& args);

extern const char* const CAMPATH_USAGE;
int run_campath(const tArgs& args);

extern const char* const CONVERT_USAGE;
int run_convert(const tArgs& args);

// Prints "vantor-tool <verb>: <what>" and the usage on the error stream; returns STATUS_USAGE.
int usage_error(const char* verb, const std::string& what, const char* usage);

} // namespace vantor_tool
