// Slider widget (see gui_slider.h).
#include "gui/gui_slider.h"

#include <algorithm>
#include <cmath>

#include "gl_extensions.h"

namespace {

void vertical_line(float x, float y0, float y1)
{
    glBegin(GL_LINES);
    glVertex2f(x, y0);
    glVertex2f(x, y1);
    glEnd();
}

} // namespace

void cGuiSlider::set_range(float in_min, float in_max)
{
    m_min = in_min;
    m_max = in_max;
}

float cGuiSlider::fraction(float in_value) const
{
    const float range = m_max - m_min;
    if (!(range != 0.0f) || !std::isfinite(range))
        return 0.0f;
    return (in_value - m_min) / range;
}

bool cGuiSlider::on_mouse(int in_kind, float in_x, float in_y)
{
    switch (in_kind) {
    case 1:
    case 2:
    case 3:
        return contains(in_x, in_y);
    case MOUSE_MOVE: {
        if (!m_armed)
            return false;
        // A slider without width cannot be dragged along; it keeps its value.
        if (!(m_w > 0.0f))
            return true;
        const float t = (in_x - m_x) / m_w;
        const float value = (1.0f - t) * m_min + t * m_max;
        const float lo = std::min(m_min, m_max), hi = std::max(m_min, m_max);
        if (std::isfinite(value))
            m_value = std::max(lo, std::min(hi, value));
        return true;
    }
    case MOUSE_ARM:
        if (!contains(in_x, in_y))
            return false;
        m_armed = true;
        return true;
    case MOUSE_DISARM:
        m_armed = false;
        return true;
    default:
        return false;
    }
}

void cGuiSlider::draw()
{
    cGuiRectangle::draw();
    // Zero stays inside the frame even for a range that does not contain it.
    const float zero = std::min(1.0f, std::max(0.0f, fraction(0.0f)));
    const float value = fraction(m_value);
    const float x_zero = m_x + zero * m_w;
    const float x_value = m_x + value * m_w;
    // Drawn left to right whichever side of zero the value is on, so culling keeps the bar.
    const float x_left = std::min(x_zero, x_value), x_right = std::max(x_zero, x_value);

    const float shade = m_value > 0.0f ? 1.0f : 0.0f;
    glColor4f(shade, shade, shade, m_armed ? 0.75f : 0.5f);
    glBegin(GL_QUADS);
    glVertex2f(x_left, m_y);
    glVertex2f(x_right, m_y);
    glVertex2f(x_right, m_y + m_h);
    glVertex2f(x_left, m_y + m_h);
    glEnd();

    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
    vertical_line(x_zero, m_y, m_y + m_h);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    vertical_line(x_value, m_y, m_y + m_h);
}
