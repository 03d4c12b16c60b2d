// Frame-time graph (see fps_graph.h).
#include "gui/fps_graph.h"

#include <algorithm>
#include <string>

#include "gl_extensions.h"
#include "math/defmath.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"
#include "startup.h"

namespace {

constexpr int SMOOTH_RADIUS = 3; // frames averaged on each side for the thick line

void line_strip(const float* in_ratios, int in_count)
{
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < in_count; ++k)
        glVertex2f(cFpsGraph::point_x(k), cFpsGraph::point_y(in_ratios[k]));
    glEnd();
}

} // namespace

void cFpsGraph::record()
{
    const int now = cSceneManager::has_instance() ? cSceneManager::get_instance()->get_time() : 0;
    record_time(uint32_t(now));
}

void cFpsGraph::record_time(uint32_t in_time_ms)
{
    const uint32_t prev = m_times[m_index];
    m_index = uint16_t((m_index + 1) % FRAMES);
    m_times[m_index] = in_time_ms;
    // The slot's old duration goes in either case: it belongs to a frame 250 records ago.
    m_durations[m_index] = prev != 0 ? in_time_ms - prev : 0;
}

uint32_t cFpsGraph::extreme(bool in_longest) const
{
    uint32_t result = in_longest ? 0 : NO_MINIMUM;
    for (int step = 1; step <= FRAMES; ++step) {
        const uint32_t duration = m_durations[(m_index + step) % FRAMES];
        if (duration == 0)
            continue;
        result = in_longest ? std::max(result, duration) : std::min(result, duration);
    }
    return result;
}

float cFpsGraph::point_x(int k)
{
    return BOX_X + 0.1f + float(k) * (BOX_W - BOX_X - 0.05f) / 248.0f;
}

float cFpsGraph::point_y(float in_ratio)
{
    return BOX_Y + BOX_H * in_ratio;
}

int cFpsGraph::ratios(int mode, float* out_ratios) const
{
    int count = 0;
    for (int step = 1; step <= FRAMES; ++step) {
        const uint32_t duration = m_durations[(m_index + step) % FRAMES];
        if (duration == 0)
            continue;
        if (mode == 1)
            out_ratios[count++] = float(m_best) / float(duration);
        else
            out_ratios[count++] = m_worst ? float(duration) / float(m_worst) : 0.0f;
    }
    return count;
}

void cFpsGraph::draw_texts()
{
    if (m_best == 0 || m_best == NO_MINIMUM)
        return; // nothing recorded yet
    glColor4f(1.0f, 1.0f, 1.0f, 0.85f);
    m_label.set_text(std::to_string(m_best) + "ms");
    m_label.set_pos(BOX_X, BOX_Y + BOX_H - 0.03f);
    m_label.draw();
    m_label.set_text(vnt::two_decimals(1000.0f / float(m_best)) + "hz");
    m_label.set_pos(BOX_X, BOX_Y + BOX_H - 0.06f);
    m_label.draw();
}

void cFpsGraph::RenderOverlay(int mode)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    // The blend factors, depth mask, line width and colour come back with the pop.
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);

    const float x0 = BOX_X + 0.1f, x1 = BOX_X + BOX_W;
    const float y0 = BOX_Y, y1 = BOX_Y + BOX_H;
    glColor4f(0.0f, 0.0f, 0.0f, 0.2f);
    glRectf(x0, y0, x1, y1);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();

    if (mode == 1)
        m_best = extreme(false);
    else
        m_worst = extreme(true);

    float points[FRAMES];
    const int count = ratios(mode, points);
    glColor4f(1.0f, 1.0f, 1.0f, 0.65f);
    line_strip(points, count);

    draw_texts();

    float smooth[FRAMES];
    for (int k = 0; k < count; ++k) {
        const int lo = std::max(0, k - SMOOTH_RADIUS), hi = std::min(count - 1, k + SMOOTH_RADIUS);
        float sum = 0.0f;
        for (int j = lo; j <= hi; ++j)
            sum += points[j];
        smooth[k] = sum / float(hi - lo + 1);
    }
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(4.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    line_strip(smooth, count);

    glPopAttrib();
    shaders->pop_shader();
    check_gl_error("cFpsGraph::RenderOverlay");
}
