// The demo's timeline: which scene plays when, at which depth, with which fades, and the timed
// changes of the layer scenes' variables. Rows are added in this order; depth decides drawing.
#include "scenes/scene_composition.h"

#include "effects/interpolator.h"
#include "scene_manager.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spike.h"

void cSceneComposition::build_timeline()
{
    cSceneManager* scenes = cSceneManager::get_instance();

    // The cube tunnel: closed on entry, opening out at the end; the field of view narrows.
    add_layer(20, sLayer(scenes->get_scene<cSceneCubeTunnel>(), 0, 52000, 80000), 1000, 1000);
    add_interpolator(new cSetVar<float>(find_var(20, "cur_t"), 52000, 55000, 1.0f));
    add_interpolator(new cSmoothStep<float>(find_var(20, "cur_t"), 78000, 80000, 1.0f, 0.0f));
    add_interpolator(new cLerp<float>(find_var(20, "fov"), 52000, 60000, 90.0f, 60.0f));

    add_layer(55, sLayer(scenes->get_scene<cSceneNetSphere>(), 0, 113000, 141300), 2000, 1000);

    add_layer(57, sLayer(scenes->get_scene<cSceneKaleidoTunnel>(), 3, 140000, 155000), 1000, 1000);

    // The rose, folded by the matrix mirror, zooming in at its end.
    add_layer(56, sLayer(scenes->get_scene<cSceneRose>(), 0, 151000, 168500), 2000, 1500);
    add_interpolator(new cSetVar<int>(find_var(56, "kaleido2d"), 151000, 167500, 5));
    add_interpolator(new cSetVar<float>(find_var(56, "scale"), 151000, 160000, 2.0f));
    add_interpolator(new cSmoothStep<float>(find_var(56, "scale"), 165000, 167500, 2.0f, 6.0f));

    // The 3D kaleidoscope over the rose: unfolds, the camera swings down, it spins and flies
    // apart.
    add_layer(59, sLayer(scenes->get_scene<cSceneKaleido3d>(), 0, 151500, 167500), 0, 1000);
    add_interpolator(new cSetVar<int>(find_var(59, "cur_config"), 151000, 167500, 1));
    add_interpolator(new cSmoothStep<float>(find_var(59, "cur_t"), 151000, 155000, 0.0f, 0.5f));
    add_interpolator(new cSmoothStep<float>(find_var(59, "cur_t"), 165000, 167500, 0.5f, 1.0f));
    add_interpolator(new cSetVar<float>(find_var(59, "cam_t"), 151000, 155000, 0.0f));
    add_interpolator(new cSmoothStep<float>(find_var(59, "cam_t"), 156000, 159000, 0.0f, 1.0f));
    add_interpolator(new cSetVar<float>(find_var(59, "rot"), 151000, 152000, 0.0f));
    add_interpolator(new cLerp<float>(find_var(59, "rot"), 158000, 166500, 0.0f, -720.0f));

    add_layer(90, sLayer(scenes->get_scene<cSceneSpike>(), 0, 195000, 224000), 2000, 2000);
}
