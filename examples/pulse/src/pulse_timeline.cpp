// The timeline: the knot alone, then the sparks screened over it while it fades, then the sparks
// alone, folded by the kaleidoscope for the last bars. Times in ms; depth decides drawing.
#include "pulse_timeline.h"

#include "scene_knot.h"
#include "scene_sparks.h"

void cPulseTimeline::build_timeline()
{
    cSceneManager* scenes = cSceneManager::get_instance();

    // The knot fades in from black and turns half round on top of its tumble.
    add_layer(10, sLayer(scenes->get_scene<cSceneKnot>(), cPostComp::BLEND_OVER, 0, 10500), 1500,
              2500);
    add_interpolator(new cSmoothStep<float>(find_var(10, "spin"), 0, 10500, 0.0f, 180.0f));

    // The sparks come in on the bells, screened over the knot, and fade out at the end.
    add_layer(20, sLayer(scenes->get_scene<cSceneSparks>(), cPostComp::BLEND_SCREEN, 7000, 16000),
              3000, 1500);
    add_interpolator(new cSetVar<int>(find_var(20, "mirror"), 7000, 12000, 0));
    add_interpolator(new cSetVar<int>(find_var(20, "mirror"), 12000, 16000, 7));
}
