// Running a program or a piece of code from a test and collecting what it printed.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace vnt_test {

struct sProcessResult
{
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs `command` through the shell with the headless drivers set.
sProcessResult run_process(const std::string& command);

// What `in_code` wrote on the error stream, or on the standard output.
template <class F> std::string stderr_of(F in_code)
{
    testing::internal::CaptureStderr();
    in_code();
    return testing::internal::GetCapturedStderr();
}
template <class F> std::string stdout_of(F in_code)
{
    testing::internal::CaptureStdout();
    in_code();
    return testing::internal::GetCapturedStdout();
}

// Path of the demo executable, and of the source tree.
std::string demo_exe();
std::string source_dir();

} // namespace vnt_test
