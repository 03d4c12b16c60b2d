// Layer compositing (see post_comp.h).
#include "postprocessing/post_comp.h"

#include <cassert>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_comp.h"
#include "startup.h"

namespace {

void bind_blend_shader(int mode)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    switch (mode) {
    case cPostComp::BLEND_OVER:
        shaders->bind("blend_comp");
        break;
    case cPostComp::BLEND_ADD:
        shaders->bind("add_comp");
        break;
    case 2:
        assert(0 && "blendmode not yet supported");
        break;
    case cPostComp::BLEND_SCREEN:
        shaders->bind("screen_comp");
        break;
    case cPostComp::BLEND_DODGE:
        shaders->bind("dodge_comp");
        break;
    default:
        break; // drawn with whatever shading is current
    }
}

} // namespace

cPostComp::cPostComp()
{
    register_blend_comp();
    register_add_comp();
    register_dodge_comp();
    register_screen_comp();
}

void cPostComp::comp(iRenderTarget& out, iRenderTarget& layer, iRenderTarget& below,
                     const int* mode, float opacity)
{
    assert(&out != &layer && &out != &below && "comp cannot draw into one of its sources");
    out.bind_as_target(false); // the quad covers every pixel
    comp_here(layer, below, mode, opacity);
    out.unbind_as_target();
}

void cPostComp::comp_here(iRenderTarget& layer, iRenderTarget& below, const int* mode,
                          float opacity)
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

    below.bind_as_texture(GL_TEXTURE1);
    layer.bind_as_texture(GL_TEXTURE0);
    bind_blend_shader(*mode);

    glColor4f(1, 1, 1, opacity);
    draw_quad_2(layer, below);

    end_fsq();
    below.unbind_as_texture();
    layer.unbind_as_texture();
    glPopAttrib();
    shaders->pop_shader();
    check_gl_error("comp");
}
