// Line-by-line, token-by-token reading of a text buffer for the Wavefront parsers; nothing
// reads past the end of the buffer, whatever bytes it holds.
#pragma once

#include <charconv>
#include <cstddef>
#include <string_view>
#include <vector>

namespace vnt {

class cTextCursor
{
public:
    cTextCursor(const char* data, size_t size) : m_text(data, size) {}

    // The next line without its line end; false at the end of the buffer. Lines are counted
    // from 1.
    bool next_line(std::string_view& line)
    {
        if (m_pos >= m_text.size())
            return false;
        const size_t end = m_text.find('\n', m_pos);
        const size_t stop = end == std::string_view::npos ? m_text.size() : end;
        line = m_text.substr(m_pos, stop - m_pos);
        m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
        ++m_line;
        return true;
    }
    int line_number() const { return m_line; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 0;
};

// Tokens separated by blanks, tabs, carriage returns and line feeds.
inline std::vector<std::string_view> split_tokens(std::string_view line)
{
    std::vector<std::string_view> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() &&
               (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n'))
            ++i;
        const size_t start = i;
        while (i < line.size() &&
               !(line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n'))
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

// A whole token as a decimal number (a leading "+" allowed); false for anything else.
inline bool parse_number(std::string_view token, float& out)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    const char* end = token.data() + token.size();
    const auto result = std::from_chars(token.data(), end, out);
    return result.ec == std::errc() && result.ptr == end && !token.empty();
}

inline bool parse_number(std::string_view token, long& out)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    const char* end = token.data() + token.size();
    const auto result = std::from_chars(token.data(), end, out, 10);
    return result.ec == std::errc() && result.ptr == end && !token.empty();
}

} // namespace vnt
