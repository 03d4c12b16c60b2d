// Turning members into (variable, widget) entries: for a scene's get_vars list, or straight
// into a GUI node from add_gui. Numbers get a slider with a range, vectors three sliders, texts
// a label; the variable is named after the parameter and points at the member.
#pragma once

#include <string>

#include "gui/param_slider.h"
#include "math/vec3.h"
#include "scene.h"

class cGuiSlider;
class cGuiVec3Slider;
class iGuiNode;

// Widget sizes the entries are made with, in unit coordinates of the demo area.
constexpr float SLIDER_WIDTH = 0.4f;
constexpr float SLIDER_HEIGHT = 0.02f;
constexpr float VEC3_SLIDER_WIDTH = 0.6f;

cGuiSlider* make_slider(float in_min, float in_max);
cGuiVec3Slider* make_vec3_slider(float in_min, float in_max);

void add_slider(tVarList& io_list, const std::string& in_name, float* in_value, float in_min,
                float in_max);
void add_slider(tVarList& io_list, const std::string& in_name, int* in_value, float in_min,
                float in_max);
void add_slider(tVarList& io_list, const std::string& in_name, double* in_value, float in_min,
                float in_max);
void add_vec3_slider(tVarList& io_list, const std::string& in_name, Vec3<float>* in_value,
                     float in_min, float in_max);
void add_label(tVarList& io_list, const std::string& in_name, std::string* in_value);
// One float slider per parameter of a pass or component.
void add_sliders(tVarList& io_list, const tParamSliders& in_sliders);

// The same, handed to a GUI node (which owns them from then on; a null node drops them).
void add_slider(iGuiNode* in_gui, const std::string& in_name, float* in_value, float in_min,
                float in_max);
void add_slider(iGuiNode* in_gui, const std::string& in_name, int* in_value, float in_min,
                float in_max);
void add_slider(iGuiNode* in_gui, const std::string& in_name, double* in_value, float in_min,
                float in_max);
void add_vec3_slider(iGuiNode* in_gui, const std::string& in_name, Vec3<float>* in_value,
                     float in_min, float in_max);
void add_label(iGuiNode* in_gui, const std::string& in_name, std::string* in_value);
void add_sliders(iGuiNode* in_gui, const tParamSliders& in_sliders);
// Moves every entry of the list into the node and empties the list.
void add_entries(iGuiNode* in_gui, tVarList& io_list);
