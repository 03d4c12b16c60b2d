// The production: Pulse's scenes, timeline and music on the vantor engine.
#pragma once

#include <string>
#include <vector>

#include "vantor.h"

class cPulse : public cDemo
{
public:
    // The scene manager with the marker script and the music, the scenes (the timeline first:
    // it is what plays), loading behind the load screen, the MIDI notes, the overlay's layout.
    void setup() override;

    // Its files, relative to the executable's folder (the build's pulse folder).
    static constexpr const char* MARKER_SCRIPT = "data/markers.txt";
    static constexpr const char* MUSIC = "data/pulse.mp3";
    static constexpr const char* MIDI_FILE = "data/pulse.mid";
    // Searched before the engine's own folders: its shaders, then its content.
    static std::vector<std::string> search_dirs();
};
