// Ending the program on a fatal condition. Normal builds leave through exit() so the exit
// handler runs; fuzzing builds throw instead, so one bad input does not end the fuzzer.
#pragma once

#include <stdexcept>
#include <string>

namespace vnt {

// Thrown in place of exit() when the engine is built for fuzzing.
class fatal_error : public std::runtime_error
{
public:
    explicit fatal_error(int status)
        : std::runtime_error("fatal exit " + std::to_string(status)), m_status(status)
    {
    }
    int status() const { return m_status; }

private:
    int m_status;
};

// Flushes both streams and ends the program with `status`.
[[noreturn]] void fatal_exit(int status);

} // namespace vnt
