// Scene manager (see scene_manager.h).
#include "scene_manager.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <iostream>

#include "event_queue.h"
#include "event_queue_factory.h"
#include "fatal.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "live_log.h"
#include "load_screen.h"
#include "render_target_manager.h"
#include "scene.h"
#include "scenes/scene_midi_test.h"
#include "shader_manager_glsl.h"
#include "video_module.h"

namespace {

bool g_muted = false; // process-wide, as the mute key is

constexpr int FADE_MS = 1500;
constexpr int SEEK_LEAD_MS = 150; // set_time puts the demo time this far before the target

} // namespace

cSceneManager::cSceneManager()
{
    set_rt_time_source([this]() { return m_clock.demo_time(); });
}

cSceneManager::~cSceneManager()
{
    set_rt_time_source(nullptr);
    m_sound.close();
    for (cScene* scene : m_scenes)
        delete scene;
    delete m_miditest_scene;
    m_scenes_by_name.clear();
}

void cSceneManager::init(const std::string& in_marker_file, const std::string& in_music_file)
{
    assert(!m_eventqueue);
    m_eventqueue.reset(cEventQueue_factory::loadFile(in_marker_file));
    m_sound.init();
    m_sound.load(in_music_file);
    m_clock.frequency = int64_t(SDL_GetPerformanceFrequency());
    m_clock.tick();
    m_clock.prev = m_clock.start = m_clock.now;
}

void cSceneManager::register_scene(cScene* in_scene)
{
    m_scenes.push_back(in_scene);
    m_scenes_by_name.emplace(in_scene->get_name(), in_scene); // a taken name keeps its scene
}

cScene* cSceneManager::get_scene_by_name(const std::string& in_name) const
{
    auto found = m_scenes_by_name.find(in_name);
    return found == m_scenes_by_name.end() ? nullptr : found->second;
}

void cSceneManager::draw_fade(float in_alpha) const
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, in_alpha);
    draw_quad();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    shaders->pop_shader();
}

void cSceneManager::start(iLoadScreen* in_loadscreen)
{
    in_loadscreen->show_progress(0.0f, true);
    if (m_scenes.empty()) {
        std::cerr << "scene " << 0 << " not added - exiting!" << std::endl;
        vnt::fatal_exit(-1);
    }
    m_current = m_scenes[0];
    m_current->load();

    m_miditest_scene = new cSceneMidiTest(&m_clock);
    m_miditest_scene->load();

    in_loadscreen->show_progress(1.0f, true);

    m_clock.tick();
    const int t0 = m_clock.demo_time();
    for (int elapsed = 0; elapsed < FADE_MS; elapsed = m_clock.demo_time() - t0) {
        in_loadscreen->show_progress(1.0f, false);
        draw_fade(std::clamp(float(elapsed) / 1000.0f, 0.0f, 1.0f));
        cVideoModule::get_instance()->swap_buffers();
        glFinish(); // pace the fade by the pictures actually drawn
        if (dynamic_cast<cFixedStepSource*>(cClock::source()))
            break; // a fixed-step run has no wall clock to wait for
        m_clock.tick();
    }
}

cScene* cSceneManager::get_current() const
{
    return m_miditest ? m_miditest_scene : m_current;
}

void cSceneManager::draw_current()
{
    cScene* scene = get_current();
    if (scene)
        scene->draw();
    else
        std::cerr << "# warning, no scene selected in " << "cSceneManager::draw_current"
                  << std::endl;
}

void cSceneManager::set_start(int in_mark, int in_time_ms)
{
    m_start_mark = in_mark;
    m_start_time = in_time_ms;
}

bool cSceneManager::jump_to_start()
{
    int t = m_start_time;
    if (m_start_mark >= 0) {
        t = m_eventqueue ? m_eventqueue->find_next(m_start_mark) : -1;
        if (t < 0) {
            std::cerr << "## DEBUG-ERROR in " << "..\\src\\cSceneManager.cpp" << " line " << 237
                      << ", event not found! Exiting..." << std::endl;
            vnt::fatal_exit(1);
        }
    } else if (m_eventqueue) {
        m_eventqueue->seek(t);
    }
    set_time(t);
    place_music();
    return true;
}

void cSceneManager::dispatch(cEvent* in_event)
{
    const int id = in_event->m_id;
    if (id >= EV_SCENE_FIRST && id <= 20)
        return;
    if (id == EV_MIDI || id == EV_MIDI_BEAT || id == EV_BEAT) {
        // Marker beats reach the scenes too: the particle field pulses on them.
        if (cScene* scene = get_current())
            scene->handle_event(in_event);
        return;
    }
    if (id == EV_QUIT)
        std::exit(0);
    std::cerr << "unhandled demo_event: " << id << std::endl;
}

bool cSceneManager::fire_events()
{
    bool jumped = false;
    if (m_first_frame) {
        m_first_frame = false;
        jumped = jump_to_start();
    }
    if (!m_eventqueue)
        return jumped;
    int t = m_clock.demo_time();
    while (cEvent* due = m_eventqueue->pop_due(t)) {
        dispatch(due);
        t = m_clock.demo_time();
    }
    return jumped;
}

bool cSceneManager::update()
{
    const int previous = m_clock.demo_time();
    m_clock.tick();
    const bool seeked = m_seek_pending;
    if (m_seek_pending) {
        m_seek_pending = false;
        seek(m_pending_seek);
    }
    follow_music(previous);
    const bool jumped = fire_events() || seeked;
    // Back from the MIDI test view the scene takes up the demo time where it now is, as after
    // a seek: updating it first would let the composition take the gap for a stall.
    const bool toggled = m_miditest != m_miditest_prev;
    m_miditest_prev = m_miditest;
    bool changed = jumped || toggled;
    cScene* scene = get_current();
    if (scene && !jumped && !toggled)
        changed = scene->update();
    return changed;
}

void cSceneManager::follow_music(int in_previous_ms)
{
    if (!m_music_live || m_clock.paused)
        return;
    double heard = 0.0;
    if (!m_sound.heard_ms(heard))
        return;
    const double demo = double(m_clock.demo_time()) + m_clock.shift_rest;
    m_clock.shift(
        m_music_lock.correction(demo, heard, double(in_previous_ms), double(m_clock.delta())));
}

void cSceneManager::place_music()
{
    if (!m_music_live)
        return;
    // The device plays its buffer before the music set now: start that much further on.
    const double lead = m_sound.latency_ms();
    m_sound.set_time(m_clock.demo_time() + int(lead + 0.5));
    m_music_lock.restart();
    vnt::live_log("seek", std::to_string(m_clock.demo_time()));
}

void cSceneManager::set_time(int in_t)
{
    m_clock.tick();
    m_clock.start = m_clock.now - m_clock.paused_total - in_t + SEEK_LEAD_MS;
    std::cout << "changed time to " << m_clock.demo_time() << "ms" << std::endl;
}

void cSceneManager::seek(int in_t)
{
    set_time(in_t);
    place_music();
    if (m_eventqueue)
        m_eventqueue->seek(in_t);
}

void cSceneManager::play()
{
    if (m_music_live) {
        SDL_Delay(100);
        m_sound.play();
    }
    set_time(0);
    place_music();
}

bool cSceneManager::muted() const { return g_muted; }

bool cSceneManager::toggle_mute()
{
    if (!g_muted)
        m_volume_before_mute = m_sound.volume();
    m_sound.set_volume(g_muted ? m_volume_before_mute : 0);
    g_muted = !g_muted;
    vnt::live_log("volume", std::to_string(m_sound.volume()));
    return g_muted;
}

void cSceneManager::toggle_pause()
{
    if (m_music_live)
        m_sound.toggle_pause();
    if (!m_clock.paused) {
        m_clock.paused = true;
        vnt::live_log("pause", std::to_string(m_clock.demo_time()));
        return;
    }
    m_clock.paused = false;
    m_clock.tick();
    m_clock.paused_total += m_clock.now - m_clock.prev;
    m_music_lock.restart();
    vnt::live_log("resume", std::to_string(m_clock.demo_time()));
}

bool cSceneManager::toggle_miditest()
{
    m_miditest = !m_miditest;
    return m_miditest;
}
