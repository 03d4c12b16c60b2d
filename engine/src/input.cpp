// Event pump and input state (see input.h).
#include "input.h"

#include <SDL2/SDL.h>

#include <cctype>
#include <cstdlib>

#include "video_module.h"

cKeySet g_keys;
sMouse g_mouse;

bool cKeySet::begin()
{
    m_pass = m_keys;
    m_pass.insert(m_tapped.begin(), m_tapped.end());
    m_tapped.clear();
    m_cursor = m_pass.begin();
    m_last = -1;
    return !m_pass.empty();
}

int cKeySet::next()
{
    if (m_cursor == m_pass.end()) {
        m_last = -1;
        return -1;
    }
    m_last = *m_cursor;
    ++m_cursor;
    return m_last;
}

void cKeySet::consume()
{
    if (m_last != -1)
        m_keys.erase(m_last); // a held key counts once; the pass walks its own copy
    m_last = -1;
}

void sMouse::advance_ring()
{
    ring_index = (ring_index + 1) % 3;
    ring[ring_index] = sMousePos{x, y, z};
}

bool sMouse::any_button() const
{
    for (int b = 1; b <= 5; ++b) {
        if (button[b])
            return true;
    }
    return false;
}

void window_to_mouse(int px, int py, float& x, float& y)
{
    const cVideoModule* video = cVideoModule::get_instance();
    const float w = float(video->m_width);
    const float h = float(video->m_height);
    x = float(px) / w;
    y = (h - float(py)) / h;
}

namespace {

int key_code(SDL_Keycode sym)
{
    return (sym >= 0 && sym < 256) ? std::tolower(int(sym)) : int(sym);
}

} // namespace

void handle_input_event(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE)
            std::exit(0);
        if (!event.key.repeat)
            g_keys.press(key_code(event.key.keysym.sym));
        break;
    case SDL_KEYUP:
        g_keys.release(key_code(event.key.keysym.sym));
        break;
    case SDL_MOUSEMOTION:
        window_to_mouse(event.motion.x, event.motion.y, g_mouse.x, g_mouse.y);
        g_mouse.z = 0;
        break;
    case SDL_MOUSEBUTTONDOWN:
        window_to_mouse(event.button.x, event.button.y, g_mouse.last_press.x,
                        g_mouse.last_press.y);
        g_mouse.last_press.z = 0;
        if (event.button.button >= 1 && event.button.button <= 5)
            g_mouse.button[event.button.button] = 1;
        break;
    case SDL_MOUSEBUTTONUP:
        // The wheel entries are cleared by the demo's mouse handling.
        if (event.button.button >= 1 && event.button.button <= 3)
            g_mouse.button[event.button.button] = 0;
        break;
    case SDL_MOUSEWHEEL:
        // SDL2 reports the wheel apart from the buttons; it keeps the old button numbers here.
        if (event.wheel.y > 0)
            g_mouse.button[4] = 1;
        else if (event.wheel.y < 0)
            g_mouse.button[5] = 1;
        break;
    case SDL_QUIT:
        std::exit(0);
    default:
        break;
    }
}

int pump_events()
{
    int handled = 0;
    SDL_Event event;
    while (handled < EVENTS_PER_FRAME && SDL_PollEvent(&event)) {
        handle_input_event(event);
        ++handled;
    }
    return handled;
}
