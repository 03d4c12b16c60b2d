// A horizontal slider over [m_min, m_max]: armed by the variable list when the pointer is over
// it with no button held, it follows the pointer while armed.
#pragma once

#include "gui/gui_rectangle.h"

class cGuiSlider : public cGuiRectangle
{
public:
    cGuiSlider() = default;
    cGuiSlider(float in_min, float in_max) : m_min(in_min), m_max(in_max) {}

    // Press kinds (1..3): whether the point is inside. Move (7): an armed slider takes the
    // value under the pointer, limited to the range. Arm (8) when inside; disarm (9).
    bool on_mouse(int in_kind, float in_x, float in_y) override;
    // The frame, a bar from zero to the value (white above 0, black otherwise), a red line at
    // zero and a white one at the value.
    void draw() override;
    bool is_active() const override { return m_armed; }

    void set_range(float in_min, float in_max);
    float get_min() const { return m_min; }
    float get_max() const { return m_max; }
    void set_value(float in_value) { m_value = in_value; }
    float get_value() const { return m_value; }
    bool is_armed() const { return m_armed; }

    // Share of the width at which `in_value` stands: 0 at m_min, 1 at m_max (0 for an empty
    // range).
    float fraction(float in_value) const;

protected:
    float m_min = 0.0f;
    float m_max = 1.0f;
    float m_value = 0.0f;
    bool m_armed = false;
};
