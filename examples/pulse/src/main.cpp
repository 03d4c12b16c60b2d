// Pulse, the vantor engine's example production: its name, its files and its production class.
#include <memory>

#include "pulse.h"

int main(int argc, char** argv)
{
    vnt::sProduction production;
    production.program = "pulse";
    production.title = "Pulse, the vantor engine's example production: a knot and a swirl of "
                       "sparks on sixteen seconds of music.";
    production.marker_script = cPulse::MARKER_SCRIPT;
    production.search_dirs = cPulse::search_dirs();
    production.create = [] { return std::make_unique<cPulse>(); };
    return vnt::run_production(argc, argv, production);
}
