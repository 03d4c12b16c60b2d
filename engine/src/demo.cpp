// Demo base class and main loop (see demo.h).
#include "demo.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "author_keys.h"
#include "gl_extensions.h"
#include "input.h"
#include "live_log.h"
#include "scene.h"
#include "scene_manager.h"
#include "startup.h"
#include "video_module.h"

namespace {

bool g_demo_exists = false;

// Mouse event kinds handed to the overlay.
constexpr int MOUSE_PRESS = 1;
constexpr int MOUSE_RELEASE = 4;
constexpr int MOUSE_MOVE = 7;

class cSingleDemoError : public std::exception
{
public:
    const char* what() const noexcept override
    {
        return "only a single demo allowed at any one time...";
    }
};

} // namespace

bool claim_single_demo(bool& flag)
{
    if (flag)
        return false;
    flag = true;
    return true;
}

cDemo::cDemo()
{
    if (!claim_single_demo(g_demo_exists))
        throw cSingleDemoError();
}

cDemo::~cDemo() { g_demo_exists = false; }

std::string format_time(int ms)
{
    // The demo time starts at -150 ms; a negative time is written with a leading "-".
    if (ms < 0)
        return "-" + format_time(ms == INT_MIN ? INT_MAX : -ms);
    const int hours = ms / 3600000;
    const int minutes = (ms / 60000) % 60;
    const int seconds = (ms / 1000) % 60;
    const int millis = ms % 1000;
    char text[32];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d,%03d", hours, minutes, seconds, millis);
    return text;
}

void print_time_report(std::ostream& os, int ms, const std::string& scene_name)
{
    os << "-" << std::endl;
    os << format_time(ms) << " - " << scene_name << std::endl;
}

int cDemo::current_time() const
{
    return cSceneManager::has_instance() ? cSceneManager::get_instance()->get_time() : 0;
}

std::string cDemo::current_scene_name() const
{
    if (!cSceneManager::has_instance())
        return std::string();
    const cScene* shown = cSceneManager::get_instance()->get_current();
    return shown ? shown->get_name() : std::string();
}

void cDemo::run()
{
    cSceneManager::get_instance()->play();
    vantor();
}

void cDemo::vantor()
{
    vnt::enable_vsync();
    for (;;)
        frame();
}

void cDemo::frame()
{
    pump_events();
    handle_keys();
    handle_mouse();

    cSceneManager* scenes = cSceneManager::get_instance();
    if (scenes->update())
        m_overlay.set_scene(scenes->get_current());
    m_overlay.graph().record();
    report_if_asked();
    log_frame(*scenes);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scenes->draw_current();
    if (m_show_overlay)
        m_overlay.draw();

    cVideoModule::get_instance()->swap_buffers();
    check_gl_error("cDemo::vantor");
    check_il_error();

    ++m_frames;
    if (m_frame_limit >= 0 && m_frames >= m_frame_limit)
        std::exit(0);
}

void cDemo::handle_keys()
{
    if (!g_keys.begin())
        return;
    for (int key = g_keys.next(); key != -1; key = g_keys.next()) {
        if (key == '\t' || key == ' ' || key == 'm' || key == 'p' || key == 't' ||
            key == 'q' || key == 27)
            vnt::live_log("key", std::to_string(key));
        switch (key) {
        case '\t':
            m_show_overlay = !m_show_overlay;
            g_keys.consume();
            break;
        case 27:
        case 'q':
            std::exit(0);
        case ' ':
            // Reported once this frame's time is set, so that it is the time of the picture.
            m_report_pending = true;
            g_keys.consume();
            break;
        case 'm':
            cSceneManager::get_instance()->toggle_mute();
            g_keys.consume();
            break;
        case 'p':
            cSceneManager::get_instance()->toggle_pause();
            g_keys.consume();
            break;
        case 't':
            cSceneManager::get_instance()->toggle_miditest();
            g_keys.consume();
            break;
        default:
            // Seeking and shader reload; any other key is held until released.
            if (handle_author_key(key)) {
                vnt::live_log("key", std::to_string(key));
                g_keys.consume();
            }
            break;
        }
    }
}

void cDemo::report_if_asked()
{
    if (!m_report_pending)
        return;
    m_report_pending = false;
    print_time_report(std::cerr, current_time(), current_scene_name());
    if (!cSceneManager::has_instance())
        return;
    if (cScene* shown = cSceneManager::get_instance()->get_current())
        shown->print_vars(std::cerr);
}

void cDemo::log_frame(cSceneManager& in_scenes) const
{
    if (!vnt::live_log_open())
        return;
    for (const auto& mark : in_scenes.sound().take_callbacks()) {
        const double song_ms = double(mark.frame) * 1000.0 / cSoundModule_sdl::RATE;
        vnt::live_log("callback", std::to_string(song_ms), mark.ticks);
    }
    vnt::live_log("frame", std::to_string(in_scenes.get_time()));
}

void cDemo::handle_mouse()
{
    g_mouse.advance_ring();
    const cVideoModule* video = cVideoModule::get_instance();
    const float px = g_mouse.x * float(video->m_width);
    const float py = g_mouse.y * float(video->m_height);

    if (m_show_overlay) {
        if (g_mouse.button[1] && !(g_mouse.latch & 1))
            send_overlay_mouse(MOUSE_PRESS, px, py);
        if (!g_mouse.button[1] && (g_mouse.latch & 1)) {
            send_overlay_mouse(MOUSE_RELEASE, px, py);
            g_mouse.latch &= ~1;
        }
    }
    send_overlay_mouse(MOUSE_MOVE, px, py);

    if (g_mouse.button[1])
        g_mouse.latch |= 1;
    if (g_mouse.button[2])
        g_mouse.latch |= 2;
    if (g_mouse.button[3])
        g_mouse.latch |= 4;
    if (g_mouse.button[4]) {
        g_mouse.latch |= 8;
        g_mouse.button[4] = 0;
    }
    if (g_mouse.button[5]) {
        g_mouse.latch |= 16;
        g_mouse.button[5] = 0;
    }
}

void cDemo::send_overlay_mouse(int kind, float px, float py)
{
    // A hidden overlay keeps arming the slider under the pointer, but a drag must not edit a
    // variable nobody can see.
    if (!m_show_overlay && g_mouse.any_button())
        return;
    m_overlay.on_mouse(kind, px, py);
}
