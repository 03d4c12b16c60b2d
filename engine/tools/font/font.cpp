// Generates the overlay's bitmap font "fontlist.png": white glyphs with a soft dark rim, one
// per 20x20 pixel cell. Capitals and ". : , - ( )" fill the bottom row of cells, digits and
// small letters the top row, at the cells the overlay's text label reads.
// Usage: font_generator DATA_DIR
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "glyphs.h"
#include "image_writer.h"

namespace {

constexpr int CELL = 20;
constexpr int WIDTH = 720;  // 36 cells: digits and punctuation from 0, letters from 200
constexpr int HEIGHT = 40;  // two rows of cells
constexpr int DOT_W = 3;    // pixels per design dot across: broad glyphs read well when small
constexpr int DOT_H = 2;    // pixels per design dot up
constexpr int LEFT = 3;     // left margin of the 15-pixel-wide design in its cell
constexpr int BASELINE = 4; // pixel row of the baseline in its cell
constexpr int SUBSAMPLES = 4;
constexpr float INK_GROW = 0.2f;   // pixels each dot grows on every side, for bolder strokes
constexpr float RIM_ALPHA = 0.55f; // darkness of the rim around the strokes

// Lower left corner of a character's cell; false for characters the font does not carry.
bool cell_of(char c, int& u, int& v)
{
    if (c >= 'A' && c <= 'Z') {
        u = (c - 55) * CELL;
        v = 0;
    } else if (c >= 'a' && c <= 'z') {
        u = (c - 'a' + 'A' - 55) * CELL;
        v = CELL;
    } else if (c >= '0' && c <= '9') {
        u = (c - '0') * CELL;
        v = CELL;
    } else {
        const std::string marks = "-.:,()";
        const int cells[] = {60, 80, 100, 120, 160, 180};
        const std::string::size_type at = marks.find(c);
        if (at == std::string::npos)
            return false;
        u = cells[at];
        v = 0;
    }
    return true;
}

// Ink coverage (0..1) of every pixel of one cell, rows from the bottom.
std::vector<float> coverage(const font::sGlyph& glyph)
{
    std::vector<float> cover(CELL * CELL, 0.0f);
    for (int py = 0; py < CELL; ++py) {
        for (int px = 0; px < CELL; ++px) {
            int hits = 0;
            for (int sy = 0; sy < SUBSAMPLES; ++sy) {
                for (int sx = 0; sx < SUBSAMPLES; ++sx) {
                    const float x = float(px) + (float(sx) + 0.5f) / SUBSAMPLES;
                    const float y = float(py) + (float(sy) + 0.5f) / SUBSAMPLES;
                    bool ink = false;
                    for (int row = 0; row < font::GLYPH_ROWS && !ink; ++row) {
                        for (int col = 0; col < font::GLYPH_COLUMNS && !ink; ++col) {
                            if (glyph.rows[row][col] != '#')
                                continue;
                            const float x0 = float(LEFT + DOT_W * col) - INK_GROW;
                            const float y0 =
                                float(BASELINE + DOT_H * (font::GLYPH_ROWS - 3 - row)) - INK_GROW;
                            ink = x >= x0 && x < x0 + DOT_W + 2 * INK_GROW && y >= y0 &&
                                  y < y0 + DOT_H + 2 * INK_GROW;
                        }
                    }
                    hits += ink ? 1 : 0;
                }
            }
            cover[py * CELL + px] = float(hits) / float(SUBSAMPLES * SUBSAMPLES);
        }
    }
    return cover;
}

// White ink over a dark rim one pixel wide.
void paint_cell(assets::sImage& image, int u, int v, const std::vector<float>& cover)
{
    for (int py = 0; py < CELL; ++py) {
        for (int px = 0; px < CELL; ++px) {
            float rim = 0.0f;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = px + dx, ny = py + dy;
                    if (nx >= 0 && nx < CELL && ny >= 0 && ny < CELL)
                        rim = std::max(rim, cover[ny * CELL + nx]);
                }
            }
            const float ink = cover[py * CELL + px];
            const float alpha = ink + RIM_ALPHA * rim * (1.0f - ink);
            const float white = alpha > 0.0f ? ink / alpha : 1.0f;
            image.set(u + px, v + py, white, white, white, alpha);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: font_generator DATA_DIR\n");
        return 2;
    }
    assets::sImage image(WIDTH, HEIGHT);
    // Paper is white and transparent, so filtering at glyph edges never darkens the ink.
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x)
            image.set(x, y, 1.0f, 1.0f, 1.0f, 0.0f);
    }
    for (const font::sGlyph* glyph = font::GLYPHS; glyph->c; ++glyph) {
        int u = 0, v = 0;
        if (!cell_of(glyph->c, u, v)) {
            std::fprintf(stderr, "## ERROR: no cell for glyph '%c'\n", glyph->c);
            return 1;
        }
        paint_cell(image, u, v, coverage(*glyph));
    }
    const std::string path = std::string(argv[1]) + "/textures/fontlist.png";
    if (!assets::write_image(path, image)) {
        std::fprintf(stderr, "## ERROR: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
