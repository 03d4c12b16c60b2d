// Levels pass (see levels.h).
#include "postprocessing/levels.h"

#include <cassert>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"

tParamSliders sliders(levels_params& in_params)
{
    return {{"in black", &in_params.in_black, 0.0f, 255.0f},
            {"in white", &in_params.in_white, 0.0f, 255.0f},
            {"gamma", &in_params.gamma, 0.0f, 4.0f},
            {"out black", &in_params.out_black, 0.0f, 255.0f},
            {"out white", &in_params.out_white, 0.0f, 255.0f}};
}

cPostLevels::cPostLevels()
{
    register_levels_shader();
}

void cPostLevels::apply(iRenderTarget& source, const levels_params& in_params)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();

    // Full-screen state of its own, undone in reverse order at the end.
    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST); // a caller's alpha test would drop the darker, thinner parts
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);

    // The shader takes the five values unchanged, on the 0..255 scale.
    float values[5] = {in_params.in_black, in_params.in_white, in_params.gamma, in_params.out_black,
                       in_params.out_white};
    cFloatsVar var(values);
    shaders->set_parameter("levels_shader", 1, &var);
    shaders->push_shader();
    shaders->bind("levels_shader");
    bind_source(source, GL_TEXTURE0);
    draw_quad(source);
    source.unbind_as_texture();
    shaders->pop_shader();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDepthMask(depth_mask);
    glPopAttrib();
}

void cPostLevels::process(iRenderTarget& source, iRenderTarget& out, const levels_params& in_params)
{
    assert(&source != &out && "levels cannot draw into its source");
    out.bind_as_target(false); // the quad covers every pixel
    apply(source, in_params);
    out.unbind_as_target();
}
