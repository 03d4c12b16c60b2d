// Author keys (see author_keys.h).
#include "author_keys.h"

#include <SDL2/SDL_keycode.h>

#include <algorithm>
#include <climits>

#include "event_queue.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"

namespace {

constexpr int SEEK_LEAD_MS = 150; // a seek shows this much before its target first
constexpr int ARROW_STEP_MS = 5000;
constexpr int RESTART_GRACE_MS = 1000; // Page Up within this of a part's start goes further back

void seek_to_mark(cSceneManager* in_scenes, int in_mark_ms)
{
    if (in_mark_ms >= 0)
        in_scenes->request_seek(in_mark_ms - 1);
}

} // namespace

int mark_time(const cEventQueue* in_queue, int in_id)
{
    if (!in_queue)
        return -1;
    for (const cEvent* event : in_queue->events()) {
        if (event->m_id == in_id)
            return event->m_time;
    }
    return -1;
}

std::vector<int> scene_mark_times(const cEventQueue* in_queue)
{
    std::vector<int> marks;
    if (!in_queue)
        return marks;
    for (const cEvent* event : in_queue->events()) {
        if (event->m_id >= EV_SCENE_FIRST && event->m_id <= EV_SCENE_100)
            marks.push_back(event->m_time);
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

int mark_landing(int in_mark_ms)
{
    return in_mark_ms - 1 - SEEK_LEAD_MS;
}

int next_mark(const std::vector<int>& in_marks, int in_t)
{
    for (int mark : in_marks) {
        if (mark_landing(mark) > in_t)
            return mark;
    }
    return -1;
}

int previous_mark(const std::vector<int>& in_marks, int in_t)
{
    int found = -1;
    for (int mark : in_marks) {
        if (mark_landing(mark) + RESTART_GRACE_MS <= in_t)
            found = mark;
    }
    if (found < 0 && !in_marks.empty())
        found = in_marks.front();
    return found;
}

int shifted_target(int in_t, int in_delta_ms, int in_quit_ms)
{
    long long target = (long long)in_t + in_delta_ms + SEEK_LEAD_MS;
    if (in_quit_ms >= 0)
        target = std::min<long long>(target, (long long)in_quit_ms - 1);
    return int(std::clamp<long long>(target, 0, INT_MAX));
}

bool handle_author_key(int in_key)
{
    if (in_key != SDLK_LEFT && in_key != SDLK_RIGHT && in_key != SDLK_PAGEUP &&
        in_key != SDLK_PAGEDOWN && in_key != SDLK_HOME && in_key != 'r')
        return false;
    cSceneManager* scenes = cSceneManager::get_instance();
    const cEventQueue* queue = scenes->event_queue();
    const int t = scenes->get_time();
    switch (in_key) {
    case SDLK_LEFT:
        scenes->request_seek(shifted_target(t, -ARROW_STEP_MS, mark_time(queue, EV_QUIT)));
        return true;
    case SDLK_RIGHT:
        scenes->request_seek(shifted_target(t, ARROW_STEP_MS, mark_time(queue, EV_QUIT)));
        return true;
    case SDLK_PAGEUP:
        seek_to_mark(scenes, previous_mark(scene_mark_times(queue), t));
        return true;
    case SDLK_PAGEDOWN:
        seek_to_mark(scenes, next_mark(scene_mark_times(queue), t));
        return true;
    case SDLK_HOME:
        seek_to_mark(scenes, mark_time(queue, EV_SCENE_FIRST));
        return true;
    case 'r':
        cShaderManager_GLSL::get_instance()->reload_changed();
        return true;
    default:
        return false;
    }
}
