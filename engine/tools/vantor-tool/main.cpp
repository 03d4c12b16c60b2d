// vantor-tool: shows authors what the demo makes of their MIDI files, marker scripts, meshes
// and camera paths, and converts OBJ models into the compressed mesh format the demo loads.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "input_files.h"
#include "verbs.h"

namespace vantor_tool {

int usage_error(const char* verb, const std::string& what, const char* usage)
{
    std::cout.flush();
    std::cerr << "vantor-tool " << verb << ": " << what << "\n" << usage;
    return STATUS_USAGE;
}

} // namespace vantor_tool

namespace {

using namespace vantor_tool;

struct sVerb
{
    const char* name;
    const char* summary;
    int (*run)(const tArgs&);
};

const sVerb VERBS[] = {
    {"midi", "header, tempo and per-track notes of a MIDI file", run_midi},
    {"markers", "the events of a marker script and the reader's warnings", run_markers},
    {"mesh", "counts, materials, ranges and bounds of a .bzobj or .obj mesh", run_mesh},
    {"campath", "keys, bounding boxes and length of a camera path", run_campath},
    {"convert", "write an OBJ/MTL model as the .bzobj the demo loads", run_convert},
};

void print_usage(std::ostream& out)
{
    out << "usage: vantor-tool VERB [OPTIONS] FILE...\n"
           "  Shows what a production on the engine makes of its files, with the engine's own\n"
           "  loaders. A bare file name is also looked for in the folders of VANTOR_DATA_PATH\n"
           "  (':' between them) and in the engine's own assets.\n\n";
    for (const sVerb& v : VERBS)
        out << "  " << v.name << std::string(10 - std::strlen(v.name), ' ') << v.summary << "\n";
    out << "\n  vantor-tool VERB --help   the verb's arguments and output\n"
           "  Exit status: 0 success, 1 a file that cannot be read or that the demo would refuse\n"
           "  (the engine's own fatal errors keep the engine's status), 2 wrong arguments.\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        print_usage(std::cerr);
        return STATUS_USAGE;
    }
    const std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        print_usage(std::cout);
        return STATUS_OK;
    }
    init_search_paths();
    const tArgs args(argv + 2, argv + argc);
    for (const sVerb& v : VERBS) {
        if (verb == v.name)
            return v.run(args);
    }
    std::cerr << "vantor-tool: unknown verb \"" << verb << "\"\n";
    print_usage(std::cerr);
    return STATUS_USAGE;
}
