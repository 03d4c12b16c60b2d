// Load screen (see load_screen.h).
#include "load_screen.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "clock.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "resource_path.h"
#include "video_module.h"

namespace {

constexpr int RAMP_MS = 200;

void draw_level(float level)
{
    glPushAttrib(GL_CURRENT_BIT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(level, level, level, 1.0f);
    begin_fsq_keep_colour();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    draw_quad();
    end_fsq();
    glPopAttrib();
}

} // namespace

cLoadScreen_MM::cLoadScreen_MM(const std::string& in_model_folder)
{
    if (!in_model_folder.empty())
        cResourcePath::get_instance()->push_searchpath(in_model_folder);
    // Popped by the destructor; the viewport and clear colour are restored by hand.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glGetIntegerv(GL_VIEWPORT, m_viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, m_clear_colour);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_LIGHTING);
    cVideoModule::get_instance()->set_viewport();
    glClearColor(0, 0, 0, 0);
}

cLoadScreen_MM::~cLoadScreen_MM()
{
    glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
    glClearColor(m_clear_colour[0], m_clear_colour[1], m_clear_colour[2], m_clear_colour[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPopAttrib();
}

float cLoadScreen_MM::ramp(float from, float to, int elapsed, int duration)
{
    float t = duration > 0 ? float(elapsed) / float(duration) : 1.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float s = (3.0f - 2.0f * t) * t * t;
    return s * (to - from) + from;
}

void cLoadScreen_MM::show_progress(float in_progress, bool in_swap)
{
    const float from = m_level;
    const uint64_t started = vnt::counter_ticks();
    for (;;) {
        const int64_t elapsed = vnt::elapsed_ms(started);
        if (elapsed >= RAMP_MS)
            break;
        draw_level(ramp(from, in_progress, int(elapsed), RAMP_MS));
        if (!in_swap)
            break;
        cVideoModule::get_instance()->swap_buffers();
        // Without a display to wait for, a ramp would queue frames faster than they render.
        glFinish();
    }
    m_level = in_progress;
}
