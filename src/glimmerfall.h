// The production: Glimmerfall's content on the vantor engine.
#pragma once

#include "demo.h"

class cGlimmerfall : public cDemo
{
public:
    cGlimmerfall();
    ~cGlimmerfall() override;

    // Builds the content: the scene manager with the marker script and the music, the scenes,
    // loading behind the load screen, the MIDI events, the overlay's layout.
    void setup() override;
};
