// What the content generators write must fit what the engine reads from it.
#include <gtest/gtest.h>

#include <IL/il.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui_txt_label.h"

// The font generator and the overlay's label each map characters to 20x20 cells of
// fontlist.png: the cells with ink must be exactly those the label reads, so no character
// draws blank and no glyph sits where nothing reads it.
TEST(GeneratedFont, InkedCellsAreTheCellsTheLabelReads)
{
    ilInit();
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT); // as the engine loads it: texture rows from the bottom
    ilEnable(IL_ORIGIN_SET);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilLoadImage(VANTOR_SOURCE_DIR "/data/textures/fontlist.png"));
    const int w = ilGetInteger(IL_IMAGE_WIDTH), h = ilGetInteger(IL_IMAGE_HEIGHT);
    std::vector<unsigned char> rgba(size_t(w) * size_t(h) * 4);
    ilCopyPixels(0, 0, 0, ILuint(w), ILuint(h), 1, IL_RGBA, IL_UNSIGNED_BYTE, rgba.data());
    ilDeleteImages(1, &image);

    std::set<std::pair<int, int>> inked, read;
    for (int v = 0; v + 20 <= h; v += 20) {
        for (int u = 0; u + 20 <= w; u += 20) {
            int ink = 0;
            for (int y = v; y < v + 20; ++y) {
                for (int x = u; x < u + 20; ++x)
                    ink += rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3] > 128 ? 1 : 0;
            }
            if (ink > 10)
                inked.insert({u, v});
        }
    }
    for (int c = 1; c < 256; ++c) {
        int u = 0, v = 0;
        if (cGuiTxtLabel::glyph_cell(char(c), u, v))
            read.insert({u, v});
    }
    EXPECT_FALSE(read.empty());
    EXPECT_EQ(inked, read);
}
