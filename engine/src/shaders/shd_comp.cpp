// Layer-compositing shaders (see shd_comp.h).
#include "shaders/shd_comp.h"

#include <cassert>

#include "shader_manager_glsl.h"

namespace {

const char* const MODE_NAMES[5] = {"blend_comp", "add_comp", nullptr, "screen_comp", "dodge_comp"};
const char* const MIDDLE_DEFINES[5] = {"MIDDLE_OVER", "MIDDLE_ADD", nullptr, "MIDDLE_SCREEN",
                                       "MIDDLE_DODGE"};
const char* const MIDDLE_NAMES[5] = {"blend", "add", nullptr, "screen", "dodge"};
const char* const FRAGMENT_FILES[5] = {"comp_over_frag.glsl", "comp_add_frag.glsl", nullptr,
                                       "comp_screen_frag.glsl", "comp_dodge_frag.glsl"};

std::vector<cShader_GLSL::sSampler> samplers_of(int variant)
{
    std::vector<cShader_GLSL::sSampler> samplers = {{"below", 1}};
    if (!(variant & cShdComp::ALONE))
        samplers.insert(samplers.begin(), {"layer", 0});
    if (variant & cShdComp::LAYER_GLOW)
        samplers.push_back({"layer_glow", 2});
    if (variant & cShdComp::BOTTOM_GLOW)
        samplers.push_back({"bottom_glow", 3});
    if (variant & cShdComp::LAYER_UNDER)
        samplers.push_back({"layer_under", 4});
    if (variant & cShdComp::MIDDLE)
        samplers.push_back({"middle", 5});
    if (variant & cShdComp::MIDDLE_GLOW)
        samplers.push_back({"middle_glow", 6});
    if (variant & cShdComp::MIDDLE_UNDER)
        samplers.push_back({"middle_under", 7});
    return samplers;
}

std::string defines_of(int variant)
{
    std::string defines;
    if (variant & cShdComp::LAYER_GLOW)
        defines += " LAYER_GLOW";
    if (variant & (cShdComp::BOTTOM | cShdComp::BOTTOM_GLOW))
        defines += " BOTTOM";
    if (variant & cShdComp::BOTTOM_GLOW)
        defines += " BOTTOM_GLOW";
    if (variant & cShdComp::LAYER_UNDER)
        defines += " LAYER_UNDER";
    if (variant & cShdComp::ALONE)
        defines += " ALONE";
    if (variant & cShdComp::MIDDLE)
        defines += " MIDDLE";
    for (int mode : {0, 1, 3, 4}) {
        if (variant & cShdComp::middle_variant(mode))
            defines += std::string(" ") + MIDDLE_DEFINES[mode];
    }
    if (variant & cShdComp::MIDDLE_GLOW)
        defines += " MIDDLE_GLOW";
    if (variant & cShdComp::MIDDLE_UNDER)
        defines += " MIDDLE_UNDER";
    return defines;
}

bool is_mode(int mode)
{
    return mode >= 0 && mode < 5 && MODE_NAMES[mode];
}

} // namespace

cShdComp::cShdComp(void* const* in_context, const int& in_vprof, const int& in_fprof, int in_mode,
                   int in_variant)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0123_vert.glsl",
                FRAGMENT_FILES[is_mode(in_mode) ? in_mode : 0], samplers_of(in_variant),
                defines_of(in_variant))
{
    assert(is_mode(in_mode) && "no compositing shader for this blend mode");
}

std::string cShdComp::name_of(int in_mode, int in_variant)
{
    std::string name = MODE_NAMES[is_mode(in_mode) ? in_mode : 0];
    if (in_variant & LAYER_GLOW)
        name += "_glow";
    if (in_variant & LAYER_UNDER)
        name += "_under";
    for (int mode : {0, 1, 3, 4}) {
        if (in_variant & middle_variant(mode))
            name += std::string("_on") + MIDDLE_NAMES[mode] + "middle";
    }
    if (in_variant & MIDDLE_GLOW)
        name += "_glow";
    if (in_variant & MIDDLE_UNDER)
        name += "_under";
    if (in_variant & BOTTOM_GLOW)
        name += "_onglowingbottom";
    else if (in_variant & BOTTOM)
        name += "_onbottom";
    if (in_variant & ALONE)
        name += "_alone";
    return name;
}

int cShdComp::middle_variant(int in_mode)
{
    assert(is_mode(in_mode) && "no compositing shader for this blend mode");
    switch (in_mode) {
    case 1:
        return MIDDLE_ADD;
    case 3:
        return MIDDLE_SCREEN;
    case 4:
        return MIDDLE_DODGE;
    default:
        return MIDDLE_OVER;
    }
}

void register_comp(int in_mode, int in_variant)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const std::string name = cShdComp::name_of(in_mode, in_variant);
    if (!shaders->has_shader(name))
        shaders->add_shader<cShdComp>(name, in_mode, in_variant);
}

void register_blend_comp()
{
    register_comp(0, 0);
}

void register_add_comp()
{
    register_comp(1, 0);
}

void register_dodge_comp()
{
    register_comp(4, 0);
}

void register_screen_comp()
{
    register_comp(3, 0);
}

void register_comp_variants()
{
    for (int mode : {0, 1, 3, 4})
        for (int variant : {0, 1, 2, 3, 6, 7})
            for (int under : {0, int(cShdComp::LAYER_UNDER)})
                register_comp(mode, variant | under);
    for (int variant : {2, 6})
        register_comp(0, variant | cShdComp::ALONE);
}
