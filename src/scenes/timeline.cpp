// The demo's timeline: which scene plays when, at which depth, with which fades, and the timed
// changes of the layer scenes' variables. Rows are added in this order; depth decides drawing.
#include "scenes/scene_composition.h"

#include "effects/interpolator.h"
#include "scene_manager.h"

void cSceneComposition::build_timeline()
{
    // The rows join as their scenes are built.
}
