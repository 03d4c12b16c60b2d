// The author's debug overlay: the frame-time graph, the shown scene's variables with their
// sliders, the scene's name and the demo time, drawn over the frame while Tab shows it.
#pragma once

#include <iostream>
#include <string>

#include "gui/fps_graph.h"
#include "gui/gui_txt_label.h"
#include "gui/gui_var_list.h"

class cScene;

class cDebugOverlay
{
public:
    // Places the list, the scene-name label and the time label.
    void layout();
    // Rebuilds the rows from the scene's variables and the controls it adds, and shows its
    // name. Null: no rows, no name.
    void set_scene(cScene* in_scene);
    // A mouse event at a window pixel (column, row from the bottom), mapped into the demo area.
    bool on_mouse(int in_kind, float in_px, float in_py);
    // The same in unit coordinates of the demo area.
    bool on_mouse_unit(int in_kind, float in_x, float in_y);
    // Draws everything over the frame; leaves the GL and shader state as it found them.
    void draw();
    // Every row as "name value", one line each.
    void print_vars(std::ostream& os = std::cerr) const;

    cFpsGraph& graph() { return m_graph; }
    cGuiVarList& var_list() { return m_varlist; }
    const cGuiTxtLabel& scene_label() const { return m_scene_label; }

private:
    cFpsGraph m_graph;
    cGuiVarList m_varlist;
    cGuiTxtLabel m_scene_label;
    cGuiTxtLabel m_time_label;
    std::string m_text;
};
