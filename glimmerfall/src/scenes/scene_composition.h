// Glimmerfall's visual timeline: the table of layers and timed variable changes on the engine's
// layer composition (the table is in timeline.cpp).
#pragma once

#include "scenes/layer_composition.h"

class cSceneComposition : public cLayerComposition
{
public:
    using cLayerComposition::cLayerComposition;

protected:
    void build_timeline() override;
};
