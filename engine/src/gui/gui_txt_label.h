// A line of text in the overlay's bitmap font "fontlist.png": 20 x 20 pixel cells, one glyph
// per character, each drawn 0.01 of the viewport wide and as high again on screen.
#pragma once

#include <string>

#include "gui/gui_node.h"
#include "tex_proxy.h"

class cGuiTxtLabel : public iGuiNode
{
public:
    static constexpr float GLYPH_WIDTH = 0.01f; // unit width of one character
    static constexpr int CELL = 20;             // pixels per glyph cell in the font picture

    // Makes sure the engine's asset folder of textures, where the font lives, is searched.
    void prepare() override;
    // The text in the current colour, from (x, y) rightwards.
    void draw() override;
    void set_pos(float in_x, float in_y) override;
    void get_pos(float& out_x, float& out_y) const override;
    bool is_active() const override { return false; }

    void set_text(const std::string& in_text) { m_text = in_text; }
    const std::string& get_text() const { return m_text; }

    // The font cell of a character (lower left corner, pixels): letters in row 0 (upper case)
    // and row 20 (lower case) from u = 200, digits in row 20 from u = 0, and ". : , - ( )" in
    // row 0. False for characters without a glyph; they still take their place.
    static bool glyph_cell(char in_c, int& out_u, int& out_v);
    // Screen height of a glyph for a viewport (square glyphs on screen).
    static float glyph_height(int in_vp_width, int in_vp_height);

private:
    float m_x = 0.0f, m_y = 0.0f;
    std::string m_text;
    cTexProxy m_font; // loaded on the first draw
    std::string m_font_name = "fontlist.png";
};
