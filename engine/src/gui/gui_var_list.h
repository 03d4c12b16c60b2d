// The overlay's list of variables: one row per (variable, widget) pair, drawn top down with the
// variable's name, its value and its widget. Sliders follow their variables each frame and
// write dragged values back.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui_rectangle.h"
#include "gui/gui_txt_label.h"

class cGuiVarList : public cGuiRectangle
{
public:
    static constexpr float ROW_HEIGHT = 0.03f; // unit height of a row
    static constexpr float WIDGET_X = 0.2f;    // widget column, from the list's left edge
    static constexpr float VALUE_X = 0.15f;    // value text column
    static constexpr size_t NAME_LENGTH = 20;  // characters of a name shown

    cGuiVarList() = default;
    ~cGuiVarList() override;
    cGuiVarList(const cGuiVarList&) = delete;
    cGuiVarList& operator=(const cGuiVarList&) = delete;

    // Empties the rows and sets the list's fill colour.
    void prepare() override;
    // Arms the widget under the pointer while no button is held; while one is held, moves go
    // to the armed widget and its value is written into the row's variable.
    bool on_mouse(int in_kind, float in_x, float in_y) override;
    void draw() override;
    bool is_active() const override { return false; }
    // Appends a row; the list owns both.
    void add_var(iVar* in_var, iGuiNode* in_widget) override;

    // Deletes every row and marks the layout stale.
    void clear();
    const std::vector<std::pair<iVar*, iGuiNode*>>& rows() const { return m_rows; }
    // The name a row shows: the first 20 characters of the variable's.
    static std::string shown_name(const iVar* in_var);
    // Every row as "name value" lines.
    void print(std::ostream& os) const;
    // Places the widgets: row i at (x + 0.2, h - 0.03 i + 0.02).
    void lay_out();

private:
    void sync_widget(iVar* in_var, iGuiNode* in_widget) const;
    void write_back(iVar* in_var, iGuiNode* in_widget) const;
    void draw_row(size_t in_row);
    float row_y(size_t in_row) const;

    std::vector<std::pair<iVar*, iGuiNode*>> m_rows; // owned
    bool m_dirty = true;                             // rows must be laid out again
    cGuiTxtLabel m_label;                            // writes the names and values
};
