// Layer-compositing shaders (see shd_comp.h).
#include "shaders/shd_comp.h"

#include "shader_manager_glsl.h"

namespace {

const std::vector<cShader_GLSL::sSampler> comp_samplers = {{"layer", 0}, {"below", 1}};
const std::vector<cShader_GLSL::sSampler> glow_samplers = {{"layer", 0}, {"below", 1}, {"glow", 2}};

// The glow variants' fragment files by blend mode (2 has none).
const char* glow_fragment(int mode)
{
    static const char* const files[5] = {"comp_over_glow_frag.glsl", "comp_add_glow_frag.glsl",
                                         nullptr, "comp_screen_glow_frag.glsl",
                                         "comp_dodge_glow_frag.glsl"};
    return files[mode];
}

} // namespace

cShdCompOver::cShdCompOver(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "comp_over_frag.glsl",
                comp_samplers)
{
}

cShdCompAdd::cShdCompAdd(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "comp_add_frag.glsl",
                comp_samplers)
{
}

cShdCompDodge::cShdCompDodge(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "comp_dodge_frag.glsl",
                comp_samplers)
{
}

cShdCompScreen::cShdCompScreen(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "comp_screen_frag.glsl",
                comp_samplers)
{
}

template <int MODE>
cShdCompGlow<MODE>::cShdCompGlow(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex012_vert.glsl", glow_fragment(MODE),
                glow_samplers)
{
}

void register_blend_comp()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompOver>("blend_comp");
}

void register_add_comp()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompAdd>("add_comp");
}

void register_dodge_comp()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompDodge>("dodge_comp");
}

void register_screen_comp()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompScreen>("screen_comp");
}

void register_blend_comp_glow()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompGlow<0>>("blend_comp_glow");
}

void register_add_comp_glow()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompGlow<1>>("add_comp_glow");
}

void register_screen_comp_glow()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompGlow<3>>("screen_comp_glow");
}

void register_dodge_comp_glow()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCompGlow<4>>("dodge_comp_glow");
}
