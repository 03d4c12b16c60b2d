// Pulse's timeline: which scene plays when, blended how, with which fades (the table is in
// pulse_timeline.cpp).
#pragma once

#include "vantor.h"

class cPulseTimeline : public cLayerComposition
{
public:
    using cLayerComposition::cLayerComposition;

protected:
    void build_timeline() override;
};
