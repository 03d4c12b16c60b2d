// The production (see pulse.h).
#include "pulse.h"

#include "pulse_timeline.h"
#include "scene_knot.h"
#include "scene_sparks.h"

std::vector<std::string> cPulse::search_dirs()
{
    return {PULSE_SHADER_DIR, "data"};
}

void cPulse::setup()
{
    cSceneManager* scenes = cSceneManager::get_instance();
    scenes->init(MARKER_SCRIPT, MUSIC);
    scenes->add_scene<cPulseTimeline>();
    scenes->add_scene<cSceneKnot>();
    scenes->add_scene<cSceneSparks>();

    // The load screen gives back the state it changed when it goes, after the overlay's set-up.
    cLoadScreen_MM loadscreen;
    scenes->start(&loadscreen);
    if (cEventQueue* queue = scenes->event_queue()) {
        cMidiLoader::load(MIDI_FILE, *queue, 0.0f);
        queue->rewind();
    }
    overlay().layout();
}
