// Text forms shared by the reports: demo times, numbers, vectors and names from files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor_tool {

// Milliseconds as "HH:MM:SS,mmm" (the marker-script form); negative times get a leading "-".
std::string format_time(std::int64_t ms);
// The shortest text that reads back to the same float ("0.1", "1e+30"); "nan", "inf", "-inf".
std::string format_number(double value);
std::string format_number(float value);
// "(x, y, z)" with format_number.
std::string format_vec3(const float* v);
// A name as read from a file, safe to print on a terminal: control bytes become "?".
std::string printable(std::string_view name);

} // namespace vantor_tool
