// A small streaming JSON writer for the machine-readable reports: nested objects and arrays,
// two-space indentation, strings escaped to valid UTF-8 JSON whatever bytes a file held.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vantor_tool {

class cJsonWriter
{
public:
    explicit cJsonWriter(std::ostream& out) : m_out(out) {}

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The name of the next member of the enclosing object.
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(const std::string& text) { value(std::string_view(text)); }
    void value(std::int64_t number);
    void value(int number) { value(std::int64_t(number)); }
    void value(unsigned number) { value(std::int64_t(number)); }
    void value(std::size_t number) { value(std::int64_t(number)); }
    // Non-finite numbers have no JSON form: they are written as null.
    void value(double number);
    void value(float number);
    void value(bool flag);
    void null();
    // A short array of numbers on one line: [x, y, z].
    void numbers(const float* values, int count);

    // A JSON string literal for `text`: quotes, backslashes and control characters escaped;
    // bytes that are not valid UTF-8 are taken as Latin-1 characters.
    static std::string quote(std::string_view text);

private:
    void before_value();
    void newline();

    std::ostream& m_out;
    std::vector<bool> m_first; // per open container: no member written yet
    bool m_after_key = false;
};

} // namespace vantor_tool
