// The demo's timeline: which scene plays when, at which depth, with which fades, and the timed
// changes of the layer scenes' variables. Rows are added in this order; depth decides drawing.
#include "scenes/scene_composition.h"

#include "effects/interpolator.h"
#include "scene_manager.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_flower_field.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spike.h"
#include "scenes/scene_title.h"

void cSceneComposition::build_timeline()
{
    cSceneManager* scenes = cSceneManager::get_instance();

    // The attractor opens the demo: single view with the first preset, fading in for ten seconds.
    add_layer(5, sLayer(scenes->get_scene<cSceneAttractor>(), 0, 0, 27000), 10000, 3000);
    add_interpolator(new cSetVar<int>(find_var(5, "cur_config"), 0, 27000, 0));
    add_interpolator(new cSetVar<int>(find_var(5, "ifsconfig"), 0, 27000, 0));
    add_interpolator(new cSetVar<int>(find_var(5, "cur_anim"), 0, 27000, 1));

    // The title: the name etched out of the dark over the attractor's last seconds.
    add_layer(10, sLayer(scenes->get_scene<cSceneTitle>(), 0, 13313, 26000), 5000, 0);
    add_interpolator(new cLerp<float>(find_var(10, "cur_t"), 13313, 26000, 0.0f, 1.0f));

    // The flower field seen from high above, the camera coming down among the flowers.
    add_layer(12, sLayer(scenes->get_scene<cSceneFlowerField>(), 0, 25000, 40000), 0, 2000);
    add_interpolator(new cSetVar<int>(find_var(12, "cur_config"), 24000, 40000, 1));
    add_interpolator(new cLerp<float>(find_var(12, "cur_t"), 25000, 37000, 1.0f, 0.0f));

    // The mandala unfolds, graded green-blue.
    add_layer(15, sLayer(scenes->get_scene<cSceneMandala>(), 0, 37000, 53000), 2000, 250);
    add_interpolator(new cSetVar<int>(find_var(15, "cur_config"), 37000, 53000, 2));
    add_interpolator(new cLerp<float>(find_var(15, "cur_t"), 37000, 53000, 0.33f, 1.0f));

    // The cube tunnel: closed on entry, opening out at the end; the field of view narrows.
    add_layer(20, sLayer(scenes->get_scene<cSceneCubeTunnel>(), 0, 52000, 80000), 1000, 1000);
    add_interpolator(new cSetVar<float>(find_var(20, "cur_t"), 52000, 55000, 1.0f));
    add_interpolator(new cSmoothStep<float>(find_var(20, "cur_t"), 78000, 80000, 1.0f, 0.0f));
    add_interpolator(new cLerp<float>(find_var(20, "fov"), 52000, 60000, 90.0f, 60.0f));

    // The particle field, added onto the tunnel, folded by the mandala mirror.
    add_layer(25, sLayer(scenes->get_scene<cSceneParticles>(), 1, 45500, 83000), 1000, 1000);
    add_interpolator(new cSetVar<int>(find_var(25, "kaleidotype"), 44500, 106000, 7));

    // The mushroom cave; its spore pods turn twice round over a minute.
    add_layer(45, sLayer(scenes->get_scene<cSceneMushroomsJ>(), 0, 80000, 106000), 500, 500);
    add_interpolator(new cLerp<float>(find_var(45, "rotation"), 80000, 140000, 0.0f, 720.0f));

    // The mandala again, graded blue-green, over the end of the cave.
    add_layer(65, sLayer(scenes->get_scene<cSceneMandala>(), 0, 105000, 117000), 2000, 0);
    add_interpolator(new cLerp<int>(find_var(65, "cur_config"), 105000, 117000, 1, 1));
    add_interpolator(new cLerp<float>(find_var(65, "cur_t"), 105000, 117000, 0.3f, 1.0f));

    add_layer(55, sLayer(scenes->get_scene<cSceneNetSphere>(), 0, 113000, 141300), 2000, 1000);

    // The Ganesh sculpture: five flights, each from its start to part of its length; the
    // mandala opens out for the last six seconds.
    add_layer(60, sLayer(scenes->get_scene<cSceneGanesh>(), 0, 112500, 141000), 2000, 2000);
    {
        struct sFlight
        {
            int path, start, end;
            float to;
        };
        const sFlight flights[] = {{4, 113000, 119100, 0.65f},
                                   {1, 119100, 125500, 0.92f},
                                   {5, 125500, 130000, 0.92f},
                                   {3, 130000, 134500, 0.95f},
                                   {6, 134500, 141300, 0.95f}};
        for (const sFlight& f : flights) {
            add_interpolator(new cSetVar<int>(find_var(60, "campath"), f.start, f.end, f.path));
            add_interpolator(
                new cLerp<float>(find_var(60, "campath_t"), f.start, f.end, 0.0f, f.to));
        }
        add_interpolator(new cLerp<float>(find_var(60, "scene_t"), 135000, 141300, 0.0f, 1.0f));
    }

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

    // A short last mandala, graded red-yellow, opening onto the flower field.
    add_layer(70, sLayer(scenes->get_scene<cSceneMandala>(), 0, 166500, 169500), 2000, 0);
    add_interpolator(new cSetVar<int>(find_var(70, "cur_config"), 166500, 169500, 3));
    add_interpolator(new cLerp<float>(find_var(70, "cur_t"), 166500, 169500, 0.33f, 1.0f));

    // The flower field again: among the flowers, rising above them for the greetings, sinking
    // away at the end. The hold on "cur_t" runs past the end of the demo and stands before the
    // rise: the rise wins while it runs, lands on 1 once after 185000, and from the next frame
    // the hold throws the camera back among the stems, a cut on the bar line at 185 s.
    add_layer(68, sLayer(scenes->get_scene<cSceneFlowerField>(), 0, 168000, 196000), 500, 0);
    add_interpolator(new cSetVar<float>(find_var(68, "cur_t"), 168000, 1750000, 0.0f));
    add_interpolator(new cSetVar<int>(find_var(68, "cur_config"), 168000, 180000, 3));
    add_interpolator(new cSmoothStep<float>(find_var(68, "cur_t"), 178000, 185000, 0.0f, 1.0f));
    add_interpolator(
        new cSmoothStep<float>(find_var(68, "outtro_t"), 194000, 196000, 0.0f, 1.0f));

    // The greetings fly past over the field.
    add_layer(80, sLayer(scenes->get_scene<cSceneGreets>(), 0, 182000, 196000), 500, 1000);
    add_interpolator(new cLerp<float>(find_var(80, "cur_t"), 182000, 196000, 0.0f, 1.0f));

    add_layer(90, sLayer(scenes->get_scene<cSceneSpike>(), 0, 195000, 224000), 2000, 2000);

    // The attractor again: the six-fold mandala screened over the spike ball, then the single
    // view to close.
    add_layer(100, sLayer(scenes->get_scene<cSceneAttractor>(), 3, 196000, 222000), 2000, 2000);
    add_interpolator(new cSetVar<int>(find_var(100, "cur_config"), 194000, 230000, 1));
    add_layer(110, sLayer(scenes->get_scene<cSceneAttractor>(), 0, 224000, 235000), 3000, 3000);
    add_interpolator(new cSetVar<int>(find_var(110, "cur_config"), 224000, 230000, 0));
}
