// Running a program from a test and collecting what it printed.
#pragma once

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

// Path of the demo executable, and of the source tree.
std::string demo_exe();
std::string source_dir();

} // namespace vnt_test
