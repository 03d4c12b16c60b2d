// Streaming JSON writer (see json_writer.h).
#include "json_writer.h"

#include <cassert>
#include <cmath>
#include <cstdio>

#include "format.h"

namespace vantor_tool {

namespace {

// Length of the valid UTF-8 sequence at `s[i]`, or 0 when the bytes there do not form one.
std::size_t utf8_length(std::string_view s, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not valid.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string cJsonWriter::quote(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char buf[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            std::snprintf(buf, sizeof(buf), "\\u%04x", c);
            out += buf;
        } else if (c >= 0x80) {
            const std::size_t n = utf8_length(text, i);
            if (n == 0) {
                std::snprintf(buf, sizeof(buf), "\\u%04x", c);
                out += buf;
            } else {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
        } else {
            out += char(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

void cJsonWriter::newline()
{
    m_out << '\n' << std::string(m_first.size() * 2, ' ');
}

void cJsonWriter::before_value()
{
    if (m_after_key) {
        m_after_key = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out << ',';
        m_first.back() = false;
        newline();
    }
}

void cJsonWriter::begin_object()
{
    before_value();
    m_out << '{';
    m_first.push_back(true);
}

void cJsonWriter::end_object()
{
    assert(!m_first.empty() && "end_object without begin_object");
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out << '}';
    if (m_first.empty())
        m_out << '\n';
}

void cJsonWriter::begin_array()
{
    before_value();
    m_out << '[';
    m_first.push_back(true);
}

void cJsonWriter::end_array()
{
    assert(!m_first.empty() && "end_array without begin_array");
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out << ']';
}

void cJsonWriter::key(std::string_view name)
{
    before_value();
    m_out << quote(name) << ": ";
    m_after_key = true;
}

void cJsonWriter::value(std::string_view text)
{
    before_value();
    m_out << quote(text);
}

void cJsonWriter::value(std::int64_t number)
{
    before_value();
    m_out << number;
}

void cJsonWriter::value(double number)
{
    before_value();
    if (std::isfinite(number))
        m_out << format_number(number);
    else
        m_out << "null";
}

void cJsonWriter::value(float number)
{
    before_value();
    if (std::isfinite(number))
        m_out << format_number(number);
    else
        m_out << "null";
}

void cJsonWriter::value(bool flag)
{
    before_value();
    m_out << (flag ? "true" : "false");
}

void cJsonWriter::null()
{
    before_value();
    m_out << "null";
}

void cJsonWriter::numbers(const float* values, int count)
{
    before_value();
    m_out << '[';
    for (int i = 0; i < count; ++i) {
        if (i)
            m_out << ", ";
        if (std::isfinite(values[i]))
            m_out << format_number(values[i]);
        else
            m_out << "null";
    }
    m_out << ']';
}

} // namespace vantor_tool
