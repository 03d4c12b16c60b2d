// A framed, filled rectangle in unit coordinates: the base of the sliders and the variable list.
#pragma once

#include "gui/gui_node.h"

class cGuiRectangle : public iGuiNode
{
public:
    // The filled rectangle in the fill colour, outlined in the border colour.
    void draw() override;
    // Strictly inside: pos.x < x < pos.x + w and pos.y < y < pos.y + h.
    bool contains(float in_x, float in_y) const override;
    void set_pos(float in_x, float in_y) override;
    void get_pos(float& out_x, float& out_y) const override;
    virtual void set_size(float in_w, float in_h);
    void get_size(float& out_w, float& out_h) const;

    void set_border_colour(float in_r, float in_g, float in_b, float in_a);
    void set_fill_colour(float in_r, float in_g, float in_b, float in_a);

protected:
    float m_border[4] = {1.0f, 1.0f, 1.0f, 0.25f};
    float m_fill[4] = {1.0f, 1.0f, 1.0f, 0.15f};
    float m_w = -1.0f, m_h = -1.0f; // size; negative until set
    float m_x = -1.0f, m_y = -1.0f; // lower left corner
};
