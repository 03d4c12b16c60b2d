// The program around a production: command-line options, the fixed start-up order, live play
// with the author keys, captures and the benchmark. A production's main() fills an sProduction
// and hands it to vnt::run_production().
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class cDemo;

namespace vnt {

struct sProduction
{
    std::string program; // the executable's name in the usage line and its messages
    std::string title;   // the line under the usage in --help
    // Paths relative to the executable's folder (the program works from there):
    std::string marker_script;            // its marks are named by --help and the option errors
    std::vector<std::string> search_dirs; // searched for files named without a folder, in order
    // Makes the production once the window, OpenGL and the managers are up; its setup() loads
    // the scenes, the marker script and the music.
    std::function<std::unique_ptr<cDemo>()> create;
};

// Runs the program with argv; returns the exit status of a --help or a refused option, else
// leaves through exit() (live play, captures and benchmarks end the process).
int run_production(int argc, char** argv, const sProduction& in_production);

} // namespace vnt
