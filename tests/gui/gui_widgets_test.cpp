// The overlay's widgets: slider arming and dragging, the vector slider's components, the variable
// list writing dragged values back by type, the font's cells, and what the widgets draw.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "effects/var.h"
#include "gui/gui_slider.h"
#include "gui/gui_txt_label.h"
#include "gui/gui_var_list.h"
#include "gui/gui_vec3_slider.h"
#include "gui/slider_entries.h"
#include "gui_test_helpers.h"
#include "input.h"
#include "support/gl_fixture.h"

namespace {

// Holds the left button for the lifetime of the object.
struct sHeldButton
{
    sHeldButton() { g_mouse.button[1] = 1; }
    ~sHeldButton() { g_mouse.button[1] = 0; }
};

} // namespace

TEST(GuiSlider, ArmsInsideFollowsWhileArmedAndClampsToItsRange)
{
    cGuiSlider slider(-1.0f, 3.0f);
    slider.set_pos(0.2f, 0.5f);
    slider.set_size(0.4f, 0.02f);

    EXPECT_TRUE(slider.on_mouse(1, 0.3f, 0.51f)); // a press inside
    EXPECT_FALSE(slider.on_mouse(1, 0.3f, 0.6f));
    EXPECT_FALSE(slider.on_mouse(1, 0.2f, 0.51f)); // the edge is outside

    EXPECT_FALSE(slider.on_mouse(7, 0.4f, 0.51f)); // not armed: no change
    EXPECT_EQ(slider.get_value(), 0.0f);
    EXPECT_FALSE(slider.on_mouse(8, 0.7f, 0.51f)); // arming needs the pointer inside
    EXPECT_TRUE(slider.on_mouse(8, 0.3f, 0.51f));
    EXPECT_TRUE(slider.is_active());

    EXPECT_TRUE(slider.on_mouse(7, 0.5f, 0.9f)); // armed: any height, the value under x
    EXPECT_FLOAT_EQ(slider.get_value(), 2.0f);
    slider.on_mouse(7, 0.95f, 0.51f); // past the right end
    EXPECT_FLOAT_EQ(slider.get_value(), 3.0f);
    slider.on_mouse(7, 0.0f, 0.51f); // past the left end
    EXPECT_FLOAT_EQ(slider.get_value(), -1.0f);

    EXPECT_TRUE(slider.on_mouse(9, 0.0f, 0.0f));
    EXPECT_FALSE(slider.is_active());

    // A slider without a range or a width never takes a value that is not a number.
    cGuiSlider flat(2.0f, 2.0f);
    flat.set_pos(0, 0);
    flat.set_size(0.0f, 0.1f);
    flat.set_value(2.0f);
    flat.on_mouse(8, 0.0f, 0.05f);
    flat.on_mouse(7, 0.5f, 0.05f);
    EXPECT_EQ(flat.get_value(), 2.0f);
}

TEST(GuiVec3Slider, ThreeComponentsShareTheWidthAndTheEvents)
{
    cGuiVec3Slider vec(-5.0f, 5.0f);
    vec.set_size(0.62f, 0.02f);
    vec.set_pos(0.1f, 0.3f);
    EXPECT_TRUE(vec.contains(0.2f, 0.31f));
    EXPECT_FALSE(vec.contains(0.305f, 0.31f)); // in the gap
    EXPECT_TRUE(vec.on_mouse(8, 0.5f, 0.31f)); // arms the middle one
    EXPECT_TRUE(vec.component(1).is_armed());
    EXPECT_FALSE(vec.component(0).is_armed());
    vec.on_mouse(7, 0.52f, 0.9f);
    EXPECT_FLOAT_EQ(vec.get_value().y, 5.0f); // the middle slider's right end
    EXPECT_EQ(vec.get_value().x, 0.0f);
    EXPECT_TRUE(vec.on_mouse(9, 0, 0));
    EXPECT_FALSE(vec.is_active());
}

TEST(GuiVarList, DragsOnlyTheArmedRowAndWritesBackByType)
{
    float f = 0.25f;
    int i = 0, negative = 0;
    double d = 0.0;
    Vec3<float> v(1, 2, 3);
    std::string text = "hello";
    cGuiVarList list;
    list.prepare();
    list.set_pos(0.05f, 0.05f);
    list.set_size(0.9f, 0.65f);
    tVarList entries;
    add_slider(entries, "a_float", &f, 0.0f, 1.0f);
    add_slider(entries, "an_int", &i, 0.0f, 4.0f);
    add_slider(entries, "negative", &negative, -4.0f, 0.0f);
    add_slider(entries, "a_double", &d, -2.0f, 2.0f);
    add_vec3_slider(entries, "a_vector", &v, -10.0f, 10.0f);
    add_label(entries, "a_text", &text);
    add_entries(&list, entries);
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(list.rows().size(), 6u);
    list.lay_out();

    // Row i sits at y = 0.65 - 0.03 i + 0.02, its widget from x = 0.25 (0.4 wide).
    auto row_y = [](int row) { return 0.67f - 0.03f * float(row) + 0.01f; };
    auto x_of = [](float share) { return 0.25f + 0.4f * share; };

    // Hovering arms the row under the pointer; a press and a drag move only that one, even
    // across the other rows.
    g_mouse.button[1] = 0;
    list.on_mouse(7, x_of(0.1f), row_y(0));
    EXPECT_TRUE(list.rows()[0].second->is_active());
    {
        sHeldButton held;
        list.on_mouse(1, x_of(0.1f), row_y(0));
        EXPECT_TRUE(list.on_mouse(7, x_of(0.75f), row_y(3))); // over the double's row
        EXPECT_FLOAT_EQ(f, 0.75f);
        EXPECT_EQ(d, 0.0);
        EXPECT_FALSE(list.rows()[3].second->is_active());
        list.on_mouse(7, 0.99f, row_y(0)); // past the end
        EXPECT_FLOAT_EQ(f, 1.0f);
    }
    // Released over another row: that one arms now, the first one no longer moves.
    list.on_mouse(4, x_of(0.5f), row_y(1));
    EXPECT_FALSE(list.rows()[0].second->is_active());
    EXPECT_TRUE(list.rows()[1].second->is_active());

    // Hovers `row` at `from` to arm it, then drags it to `to` (shares of the width).
    auto drag = [&](int row, float from, float to) {
        list.on_mouse(7, x_of(from), row_y(row));
        sHeldButton held;
        list.on_mouse(7, x_of(to), row_y(row));
    };
    // Integers take the nearest whole number: 2.6 stores 3, 2.4 stores 2.
    drag(1, 0.5f, 2.6f / 4.0f);
    EXPECT_EQ(i, 3);
    drag(1, 0.5f, 2.4f / 4.0f);
    EXPECT_EQ(i, 2);
    // Below zero too: -2.4 stores -2 and -2.6 stores -3 (not -1 and -2).
    drag(2, 0.5f, (4.0f - 2.4f) / 4.0f);
    EXPECT_EQ(negative, -2);
    drag(2, 0.5f, (4.0f - 2.6f) / 4.0f);
    EXPECT_EQ(negative, -3);
    // Doubles, and the vector's x component dragged to its left end: the other axes keep their
    // values.
    drag(3, 0.5f, 0.875f);
    EXPECT_NEAR(d, 1.5, 1e-6);
    drag(4, 0.025f, 0.0f);
    EXPECT_EQ(std::tuple(v.x, v.y, v.z), std::tuple(-10.0f, 2.0f, 3.0f));
    // With no button held a move changes nothing.
    const float before = f;
    EXPECT_FALSE(list.on_mouse(7, x_of(0.2f), row_y(0)));
    EXPECT_EQ(f, before);

    std::ostringstream printed;
    list.print(printed);
    EXPECT_EQ(printed.str(), "a_float 1\nan_int 2\nnegative -3\na_double 1.5\n"
                             "a_vector (-10,2,3)\na_text hello\n");
}

TEST(GuiVarList, ShowsTwentyCharactersOfANameAndOwnsItsRows)
{
    float value = 0;
    cVar<float> long_name("abcdefghijklmnopqrstuvwxyz", &value), short_name("fov", &value);
    EXPECT_EQ(cGuiVarList::shown_name(&long_name), "abcdefghijklmnopqrst");
    EXPECT_EQ(cGuiVarList::shown_name(&short_name) + cGuiVarList::shown_name(nullptr), "fov");

    // A node that keeps no rows drops what it is handed; a null node too.
    cGuiSlider not_a_list;
    tVarList entries;
    add_slider(entries, "x", &value, 0, 1);
    add_entries(&not_a_list, entries);
    add_slider(entries, "y", &value, 0, 1);
    add_entries(nullptr, entries);
    EXPECT_TRUE(entries.empty());
}

TEST(GuiTxtLabel, CharactersMapToDistinctFontCellsAndOthersToNone)
{
    std::set<std::pair<int, int>> cells;
    for (const char c : std::string("a1:BA0Z9z.,-()")) {
        int u = -1, v = -1;
        ASSERT_TRUE(cGuiTxtLabel::glyph_cell(c, u, v)) << c;
        EXPECT_TRUE(cells.insert({u, v}).second) << c;
    }
    int u = 0, v = 0;
    for (const char c : {' ', '@', char(0xE9)})
        EXPECT_FALSE(cGuiTxtLabel::glyph_cell(c, u, v)) << int(c);
}

class GuiDrawTest : public vnt_test::GLTest
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0);
        GLTest::TearDown();
    }
};

TEST_F(GuiDrawTest, LabelInksEachGlyphPlaceAndSkipsBlanks)
{
    cGuiTxtLabel label;
    label.prepare();
    label.set_text("a1 B");
    label.set_pos(0.5f, 0.5f);
    int w = 0, h = 0;
    std::vector<unsigned char> rgba = gui_test::draw_unit(
        [&] {
            glColor4f(1, 0, 0, 1);
            label.draw();
        },
        0.0f, &w, &h);
    const float glyph_h = cGuiTxtLabel::glyph_height(w, h);
    // Ink per character box: red only, in the current colour.
    auto ink = [&](int index) {
        return gui_test::count_in(rgba, w, h, 0.5f + 0.01f * float(index),
                                  0.51f + 0.01f * float(index), 0.5f, 0.5f + glyph_h,
                                  [](const unsigned char* p) {
                                      EXPECT_EQ(p[1], 0);
                                      return p[0] > 128;
                                  });
    };
    for (int index = 0; index < 5; ++index) // the blank (2) takes its place; nothing after
        EXPECT_EQ(ink(index) > 10, index != 2 && index != 4) << index;
    EXPECT_EQ(ink(2) + ink(4), 0);
}

TEST_F(GuiDrawTest, SliderBarRunsFromZeroToTheValue)
{
    cGuiSlider slider(-1.0f, 1.0f);
    slider.set_pos(0.1f, 0.4f);
    slider.set_size(0.8f, 0.2f);
    slider.set_value(-0.5f);
    int w = 0, h = 0;
    std::vector<unsigned char> rgba = gui_test::draw_unit([&] { slider.draw(); }, 0.5f, &w, &h);
    auto red = [&](float x) { return int(gui_test::pixel_at(rgba, w, h, x, 0.5f)[0]); };
    auto green = [&](float x) { return int(gui_test::pixel_at(rgba, w, h, x, 0.5f)[1]); };
    // A black bar from the quarter mark (x = 0.3) to the middle (x = 0.5), the frame's light
    // fill elsewhere, a red line at zero.
    EXPECT_LT(red(0.4f), red(0.2f) - 40);
    EXPECT_LT(red(0.4f), red(0.7f) - 40);
    EXPECT_NEAR(red(0.2f), red(0.7f), 2);
    EXPECT_GT(red(0.2f), red(0.95f)); // the frame's fill over the background
    EXPECT_GT(red(0.5f) - green(0.5f), 40);

    // Positive values draw a white bar.
    slider.set_value(0.5f);
    rgba = gui_test::draw_unit([&] { slider.draw(); }, 0.5f, &w, &h);
    EXPECT_GT(red(0.6f), red(0.8f) + 40);

    // A range below zero keeps its bar inside the frame.
    cGuiSlider below(-2.0f, -1.0f);
    below.set_pos(0.1f, 0.4f);
    below.set_size(0.4f, 0.2f);
    below.set_value(-1.5f);
    rgba = gui_test::draw_unit([&] { below.draw(); }, 0.5f, &w, &h);
    EXPECT_LT(red(0.4f), red(0.2f) - 40); // from the value (0.3) to the right end (0.5)
    EXPECT_EQ(red(0.7f), red(0.95f));     // nothing drawn past the frame
}
