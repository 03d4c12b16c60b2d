// Variable entries with their widgets (see slider_entries.h).
#include "gui/slider_entries.h"

#include "effects/var.h"
#include "gui/gui_slider.h"
#include "gui/gui_txt_label.h"
#include "gui/gui_vec3_slider.h"

namespace {

template <class T>
void add_scalar(tVarList& io_list, const std::string& in_name, T* in_value, float in_min,
                float in_max)
{
    io_list.emplace_back(new cVar<T>(in_name, in_value), make_slider(in_min, in_max));
}

// Builds one entry with the list form and hands it to the node.
template <class tAdd> void add_one(iGuiNode* in_gui, tAdd in_add)
{
    tVarList entry;
    in_add(entry);
    add_entries(in_gui, entry);
}

} // namespace

cGuiSlider* make_slider(float in_min, float in_max)
{
    cGuiSlider* slider = new cGuiSlider(in_min, in_max);
    slider->set_size(SLIDER_WIDTH, SLIDER_HEIGHT);
    return slider;
}

cGuiVec3Slider* make_vec3_slider(float in_min, float in_max)
{
    cGuiVec3Slider* slider = new cGuiVec3Slider(in_min, in_max);
    slider->set_size(VEC3_SLIDER_WIDTH, SLIDER_HEIGHT);
    return slider;
}

void add_slider(tVarList& io_list, const std::string& in_name, float* in_value, float in_min,
                float in_max)
{
    add_scalar(io_list, in_name, in_value, in_min, in_max);
}

void add_slider(tVarList& io_list, const std::string& in_name, int* in_value, float in_min,
                float in_max)
{
    add_scalar(io_list, in_name, in_value, in_min, in_max);
}

void add_slider(tVarList& io_list, const std::string& in_name, double* in_value, float in_min,
                float in_max)
{
    add_scalar(io_list, in_name, in_value, in_min, in_max);
}

void add_vec3_slider(tVarList& io_list, const std::string& in_name, Vec3<float>* in_value,
                     float in_min, float in_max)
{
    io_list.emplace_back(new cVar<Vec3<float>>(in_name, in_value),
                         make_vec3_slider(in_min, in_max));
}

void add_label(tVarList& io_list, const std::string& in_name, std::string* in_value)
{
    io_list.emplace_back(new cVar<std::string>(in_name, in_value), new cGuiTxtLabel());
}

void add_sliders(tVarList& io_list, const tParamSliders& in_sliders)
{
    for (const sParamSlider& param : in_sliders) {
        if (param.value)
            add_slider(io_list, param.name, param.value, param.min, param.max);
    }
}

void add_slider(iGuiNode* in_gui, const std::string& in_name, float* in_value, float in_min,
                float in_max)
{
    add_one(in_gui, [&](tVarList& list) { add_slider(list, in_name, in_value, in_min, in_max); });
}

void add_slider(iGuiNode* in_gui, const std::string& in_name, int* in_value, float in_min,
                float in_max)
{
    add_one(in_gui, [&](tVarList& list) { add_slider(list, in_name, in_value, in_min, in_max); });
}

void add_slider(iGuiNode* in_gui, const std::string& in_name, double* in_value, float in_min,
                float in_max)
{
    add_one(in_gui, [&](tVarList& list) { add_slider(list, in_name, in_value, in_min, in_max); });
}

void add_vec3_slider(iGuiNode* in_gui, const std::string& in_name, Vec3<float>* in_value,
                     float in_min, float in_max)
{
    add_one(in_gui,
            [&](tVarList& list) { add_vec3_slider(list, in_name, in_value, in_min, in_max); });
}

void add_label(iGuiNode* in_gui, const std::string& in_name, std::string* in_value)
{
    add_one(in_gui, [&](tVarList& list) { add_label(list, in_name, in_value); });
}

void add_sliders(iGuiNode* in_gui, const tParamSliders& in_sliders)
{
    add_one(in_gui, [&](tVarList& list) { add_sliders(list, in_sliders); });
}

void add_entries(iGuiNode* in_gui, tVarList& io_list)
{
    if (in_gui) {
        for (auto& entry : io_list)
            in_gui->add_var(entry.first, entry.second);
        io_list.clear();
    } else {
        delete_var_list(io_list);
    }
}
