// Three sliders side by side for the x, y and z of a vector.
#pragma once

#include "gui/gui_slider.h"
#include "math/vec3.h"

class cGuiVec3Slider : public cGuiRectangle
{
public:
    cGuiVec3Slider() = default;
    cGuiVec3Slider(float in_min, float in_max) { set_range(in_min, in_max); }

    // Disarm (9) goes to all three; any other kind to each in turn until one takes it.
    bool on_mouse(int in_kind, float in_x, float in_y) override;
    void draw() override;
    bool contains(float in_x, float in_y) const override;
    void set_pos(float in_x, float in_y) override;
    void set_size(float in_w, float in_h) override;
    bool is_active() const override;

    void set_range(float in_min, float in_max);
    void set_value(const Vec3<float>& in_value);
    Vec3<float> get_value() const;
    cGuiSlider& component(int in_axis) { return m_sliders[in_axis]; }
    const cGuiSlider& component(int in_axis) const { return m_sliders[in_axis]; }

private:
    // Each slider w / 3.1 wide, the two gaps sharing the rest.
    void lay_out();

    cGuiSlider m_sliders[3];
};
