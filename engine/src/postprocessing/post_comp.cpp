// Layer compositing (see post_comp.h).
#include "postprocessing/post_comp.h"

#include <cassert>
#include <string>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_comp.h"
#include "startup.h"

namespace {

void bind_blend_shader(int mode, bool with_glow)
{
    const char* name = nullptr;
    switch (mode) {
    case cPostComp::BLEND_OVER:
        name = "blend_comp";
        break;
    case cPostComp::BLEND_ADD:
        name = "add_comp";
        break;
    case 2:
        assert(0 && "blendmode not yet supported");
        break;
    case cPostComp::BLEND_SCREEN:
        name = "screen_comp";
        break;
    case cPostComp::BLEND_DODGE:
        name = "dodge_comp";
        break;
    default:
        break; // drawn with whatever shading is current
    }
    if (name)
        cShaderManager_GLSL::get_instance()->bind(with_glow ? std::string(name) + "_glow" : name);
}

} // namespace

cPostComp::cPostComp()
{
    register_blend_comp();
    register_add_comp();
    register_dodge_comp();
    register_screen_comp();
    register_blend_comp_glow();
    register_add_comp_glow();
    register_dodge_comp_glow();
    register_screen_comp_glow();
}

void cPostComp::comp(iRenderTarget& out, iRenderTarget& layer, iRenderTarget& below,
                     const int* mode, float opacity, iRenderTarget* glow)
{
    assert(&out != &layer && &out != &below && &out != glow &&
           "comp cannot draw into one of its sources");
    out.bind_as_target(false); // the quad covers every pixel
    comp_here(layer, below, mode, opacity, glow);
    out.unbind_as_target();
}

void cPostComp::comp_here(iRenderTarget& layer, iRenderTarget& below, const int* mode,
                          float opacity, iRenderTarget* glow)
{
    assert(mode && "comp needs a blend mode");
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();

    // The colour-buffer group too: the colour mask is changed below.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_ALPHA_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_BLEND); // the shader computes the blend; its output is written as it is
    begin_fsq_keep_colour();

    if (glow)
        glow->bind_as_texture(GL_TEXTURE2);
    below.bind_as_texture(GL_TEXTURE1);
    layer.bind_as_texture(GL_TEXTURE0);
    bind_blend_shader(*mode, glow != nullptr);

    glColor4f(1, 1, 1, opacity);
    if (glow)
        draw_quad_3(layer, below, *glow);
    else
        draw_quad_2(layer, below);

    end_fsq();
    if (glow)
        glow->unbind_as_texture();
    below.unbind_as_texture();
    layer.unbind_as_texture();
    glPopAttrib();
    shaders->pop_shader();
    check_gl_error("comp");
}
