// Camera paths: reading the key file and evaluating a path at a progress.
#include "cam_path.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

// Progress at which the last key is held (the largest float below 1 that keeps the key index
// inside the path).
constexpr float MAX_PROGRESS = 0.99998808f;

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool is_number_char(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

// Reads groups "<sep> x <sep> y <sep> z <close>" from text, blanks skipped between tokens.
class cKeyReader
{
public:
    explicit cKeyReader(std::string_view text) : m_text(text) {}

    // True when only blanks are left.
    bool done()
    {
        skip_blanks();
        return m_pos >= m_text.size();
    }
    int line() const { return m_line; }

    bool vector(Vec3<float>& out)
    {
        float v[3];
        for (float& c : v) {
            if (!separator() || !number(c))
                return false;
        }
        if (!separator())
            return false;
        out = Vec3<float>(v[0], v[2], -v[1]); // z-up file axes to y-up
        return true;
    }

private:
    void skip_blanks()
    {
        while (m_pos < m_text.size() && is_blank(m_text[m_pos])) {
            if (m_text[m_pos] == '\n')
                ++m_line;
            ++m_pos;
        }
    }
    bool separator()
    {
        skip_blanks();
        if (m_pos >= m_text.size())
            return false;
        ++m_pos;
        return true;
    }
    bool number(float& out)
    {
        skip_blanks();
        char buf[64];
        std::size_t n = 0;
        while (m_pos + n < m_text.size() && n + 1 < sizeof(buf) &&
               is_number_char(m_text[m_pos + n])) {
            buf[n] = m_text[m_pos + n];
            ++n;
        }
        buf[n] = '\0';
        char* end = nullptr;
        const float value = std::strtof(buf, &end);
        if (end == buf || !std::isfinite(value))
            return false;
        m_pos += static_cast<std::size_t>(end - buf);
        out = value;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

} // namespace

bool CCamPath::load(const std::string& file_name)
{
    m_name = file_name;
    std::error_code ec;
    std::ifstream inFile;
    if (!std::filesystem::is_directory(file_name, ec))
        inFile.open(file_name, std::ios::binary);
    if (inFile.fail()) {
        // A missing path is the scene's to live with; it flies on an empty path.
        std::cerr << "## ERROR: CCamPath::load(): file not found - use cResourcepath? \""
                  << file_name << "\"" << std::endl;
        m_keys.clear();
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(inFile)),
                           std::istreambuf_iterator<char>());
    parse(text);
    return true;
}

void CCamPath::parse(std::string_view text)
{
    m_keys.clear();
    cKeyReader in(text);
    while (!in.done()) {
        const int line = in.line();
        sKey key;
        if (!in.vector(key.eye) || !in.vector(key.centre) || !in.vector(key.up)) {
            std::cerr << "# warning, unreadable camera key at line " << line << " of \"" << m_name
                      << "\" in CCamPath::parse, " << m_keys.size() << " keys kept" << std::endl;
            return;
        }
        m_keys.push_back(key);
    }
}

Vec3<float> CCamPath::evaluate(float t, Vec3<float> sKey::*which) const
{
    const int n = static_cast<int>(m_keys.size());
    if (n == 0)
        return Vec3<float>();
    if (!(t > 0))
        t = 0;
    if (t > MAX_PROGRESS)
        t = MAX_PROGRESS;
    const float f = n * t;
    int i = static_cast<int>(f);
    const float fraction = f - std::floor(f);
    if (i > n - 1)
        i = n - 1;
    const Vec3<float>& a = m_keys[i].*which;
    if (i >= n - 1)
        return a;
    const Vec3<float>& b = m_keys[i + 1].*which;
    return a + (b - a) * fraction;
}

Vec3<float> CCamPath::eye(float t) const
{
    return evaluate(t, &sKey::eye);
}
Vec3<float> CCamPath::centre(float t) const
{
    return evaluate(t, &sKey::centre);
}
Vec3<float> CCamPath::up(float t) const
{
    return evaluate(t, &sKey::up);
}
