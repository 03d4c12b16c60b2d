// The production's content (see glimmerfall.h).
#include "glimmerfall.h"

#include <exception>

#include "event_queue.h"
#include "load_screen.h"
#include "midi_loader.h"
#include "scene_manager.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_blackn_white.h"
#include "scenes/scene_composition.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_flower_field.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_mandala_cube.h"
#include "scenes/scene_mandala_gate.h"
#include "scenes/scene_midi_test.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spacesphere.h"
#include "scenes/scene_spike.h"
#include "scenes/scene_title.h"

namespace {

bool g_glimmerfall_exists = false;

class cSingleGlimmerfallError : public std::exception
{
public:
    const char* what() const noexcept override
    {
        return "only a single demo allowed at any one time...";
    }
};

} // namespace

cGlimmerfall::cGlimmerfall()
{
    if (!claim_single_demo(g_glimmerfall_exists))
        throw cSingleGlimmerfallError();
}

cGlimmerfall::~cGlimmerfall() { g_glimmerfall_exists = false; }

std::vector<std::string> cGlimmerfall::search_dirs()
{
    return {"../glimmerfall/shaders", "../data", "../data/models", "../data/music",
            "../data/textures"};
}

void cGlimmerfall::setup()
{
    cSceneManager* scenes = cSceneManager::get_instance();
    scenes->init(MARKER_SCRIPT, MUSIC);

    // Registration order; a name that is taken keeps its first scene.
    scenes->add_scene<cSceneComposition>();
    scenes->add_scene<cSceneMidiTest>();
    scenes->add_scene<cSceneKaleido3d>();
    scenes->add_scene<cSceneGreets>();
    scenes->add_scene<cSceneMandalaCube>();
    scenes->add_scene<cSceneAttractor>();
    scenes->add_scene<cSceneTitle>();
    scenes->add_scene<cSceneFlowerField>();
    scenes->add_scene<cSceneMandala>();
    scenes->add_scene<cSceneMandalaGate>();
    scenes->add_scene<cSceneCubeTunnel>();
    scenes->add_scene<cSceneRose>();
    scenes->add_scene<cSceneBlacknWhite>();
    scenes->add_scene<cSceneSpike>();
    scenes->add_scene<cSceneSpacesphere>();
    scenes->add_scene<cSceneKaleidoTunnel>();
    scenes->add_scene<cSceneParticles>();
    scenes->add_scene<cSceneGanesh>();
    scenes->add_scene<cSceneNetSphere>();
    scenes->add_scene<cSceneMushroomsJ>();

    {
        cLoadScreen_MM loadscreen;
        scenes->start(&loadscreen);

        if (cEventQueue* queue = scenes->event_queue()) {
            cMidiLoader::load(MIDI_FILE, *queue, 0.0f);
            queue->rewind();
        }
        overlay().layout();
    }
}
