// Glimmerfall on the vantor engine: its name, its files and its production class.
#include <memory>

#include "glimmerfall.h"
#include "host.h"

int main(int argc, char** argv)
{
    vnt::sProduction production;
    production.program = "glimmerfall";
    production.title = "Glimmerfall, a real-time audiovisual demo.";
    production.marker_script = cGlimmerfall::MARKER_SCRIPT;
    production.search_dirs = cGlimmerfall::search_dirs();
    production.create = [] { return std::make_unique<cGlimmerfall>(); };
    return vnt::run_production(argc, argv, production);
}
