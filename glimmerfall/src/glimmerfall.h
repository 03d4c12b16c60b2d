// The production: Glimmerfall's content on the vantor engine.
#pragma once

#include <string>
#include <vector>

#include "demo.h"

class cGlimmerfall : public cDemo
{
public:
    cGlimmerfall();
    ~cGlimmerfall() override;

    // Builds the content: the scene manager with the marker script and the music, the scenes,
    // loading behind the load screen, the MIDI events, the overlay's layout.
    void setup() override;

    // Its files, relative to the executable's folder (the build folder beside data/).
    static constexpr const char* MARKER_SCRIPT = "../data/script/markers.txt";
    static constexpr const char* MUSIC = "../data/music/goa3_4_master.mp3";
    static constexpr const char* MIDI_FILE = "../data/music/goa3_3.mid";
    // Searched before the engine's own folders: the production's shaders and content.
    static std::vector<std::string> search_dirs();
};
