// Text forms shared by the reports (see format.h).
#include "format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vantor_tool {

namespace {

template <class T> std::string shortest(T value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0)
        return "0"; // -0 (from the camera paths' axis swap) reads as 0
    char text[64];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    return std::string(text, result.ptr);
}

} // namespace

std::string format_time(std::int64_t ms)
{
    const bool negative = ms < 0;
    const std::uint64_t a = negative ? std::uint64_t(0) - std::uint64_t(ms) : std::uint64_t(ms);
    char text[48];
    std::snprintf(text, sizeof(text), "%s%02llu:%02llu:%02llu,%03llu", negative ? "-" : "",
                  static_cast<unsigned long long>(a / 3600000),
                  static_cast<unsigned long long>(a / 60000 % 60),
                  static_cast<unsigned long long>(a / 1000 % 60),
                  static_cast<unsigned long long>(a % 1000));
    return text;
}

std::string format_number(double value)
{
    return shortest(value);
}

std::string format_number(float value)
{
    return shortest(value);
}

std::string format_vec3(const float* v)
{
    return "(" + format_number(v[0]) + ", " + format_number(v[1]) + ", " + format_number(v[2]) +
           ")";
}

std::string printable(std::string_view name)
{
    std::string out(name);
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f)
            c = '?';
    }
    return out;
}

} // namespace vantor_tool
