// Vector slider widget (see gui_vec3_slider.h).
#include "gui/gui_vec3_slider.h"

bool cGuiVec3Slider::on_mouse(int in_kind, float in_x, float in_y)
{
    if (in_kind == MOUSE_DISARM) {
        for (cGuiSlider& slider : m_sliders)
            slider.on_mouse(in_kind, in_x, in_y);
        return true;
    }
    for (cGuiSlider& slider : m_sliders) {
        if (slider.on_mouse(in_kind, in_x, in_y))
            return true;
    }
    return false;
}

void cGuiVec3Slider::draw()
{
    for (cGuiSlider& slider : m_sliders)
        slider.draw();
}

bool cGuiVec3Slider::contains(float in_x, float in_y) const
{
    for (const cGuiSlider& slider : m_sliders) {
        if (slider.contains(in_x, in_y))
            return true;
    }
    return false;
}

void cGuiVec3Slider::set_pos(float in_x, float in_y)
{
    cGuiRectangle::set_pos(in_x, in_y);
    lay_out();
}

void cGuiVec3Slider::set_size(float in_w, float in_h)
{
    cGuiRectangle::set_size(in_w, in_h);
    lay_out();
}

bool cGuiVec3Slider::is_active() const
{
    for (const cGuiSlider& slider : m_sliders) {
        if (slider.is_active())
            return true;
    }
    return false;
}

void cGuiVec3Slider::set_range(float in_min, float in_max)
{
    for (cGuiSlider& slider : m_sliders)
        slider.set_range(in_min, in_max);
}

void cGuiVec3Slider::set_value(const Vec3<float>& in_value)
{
    for (int axis = 0; axis < 3; ++axis)
        m_sliders[axis].set_value(in_value[axis]);
}

Vec3<float> cGuiVec3Slider::get_value() const
{
    return Vec3<float>(m_sliders[0].get_value(), m_sliders[1].get_value(),
                       m_sliders[2].get_value());
}

void cGuiVec3Slider::lay_out()
{
    const float width = m_w / 3.1f;
    const float gap = (m_w - 3.0f * width) / 2.0f;
    for (int axis = 0; axis < 3; ++axis) {
        m_sliders[axis].set_size(width, m_h);
        m_sliders[axis].set_pos(m_x + float(axis) * (width + gap), m_y);
    }
}
