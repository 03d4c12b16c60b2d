// Sends what the engine's loaders print on one stream elsewhere for a while: into a buffer
// (to report it afterwards) or onto another stream (to keep standard output clean for JSON).
#pragma once

#include <ostream>
#include <sstream>
#include <string>

namespace vantor_tool {

class cStreamRedirect
{
public:
    // Collects what `stream` receives; text() returns it.
    explicit cStreamRedirect(std::ostream& stream) : m_stream(stream)
    {
        m_saved = m_stream.rdbuf(m_buffer.rdbuf());
    }
    // Forwards what `stream` receives to `target`.
    cStreamRedirect(std::ostream& stream, std::ostream& target) : m_stream(stream)
    {
        m_saved = m_stream.rdbuf(target.rdbuf());
    }
    ~cStreamRedirect() { restore(); }
    cStreamRedirect(const cStreamRedirect&) = delete;
    cStreamRedirect& operator=(const cStreamRedirect&) = delete;

    void restore()
    {
        if (m_saved) {
            m_stream.flush();
            m_stream.rdbuf(m_saved);
            m_saved = nullptr;
        }
    }
    std::string text() const { return m_buffer.str(); }

private:
    std::ostream& m_stream;
    std::ostringstream m_buffer;
    std::streambuf* m_saved = nullptr;
};

} // namespace vantor_tool
