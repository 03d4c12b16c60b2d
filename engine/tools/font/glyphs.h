// The overlay font's glyph designs: 5 columns by 9 rows of dots, rows from the top. Rows 0..6
// hold capitals, digits and the bodies of small letters (the baseline under row 6); rows 7
// and 8 hold descenders.
#pragma once

namespace font {

constexpr int GLYPH_COLUMNS = 5;
constexpr int GLYPH_ROWS = 9;

struct sGlyph
{
    char c;
    const char* rows[GLYPH_ROWS]; // '#' is ink, anything else paper
};

// Every glyph of the font; the table ends with an entry whose character is 0.
extern const sGlyph GLYPHS[];

} // namespace font
