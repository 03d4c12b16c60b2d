// Declared drawing state (see draw_state.h).
#include "draw_state.h"

#include <algorithm>

namespace {

void set_enabled(GLenum in_cap, bool in_on)
{
    if (in_on)
        glEnable(in_cap);
    else
        glDisable(in_cap);
}

} // namespace

sDrawState& sDrawState::with_blending(GLenum in_src_rgb, GLenum in_dst_rgb, GLenum in_src_alpha,
                                      GLenum in_dst_alpha)
{
    blend = true;
    blend_src_rgb = in_src_rgb;
    blend_dst_rgb = in_dst_rgb;
    blend_src_alpha = in_src_alpha;
    blend_dst_alpha = in_dst_alpha;
    return *this;
}

sDrawState& sDrawState::with_ambient(const GLfloat* in_rgba)
{
    std::copy(in_rgba, in_rgba + 4, ambient);
    return *this;
}

sDrawState& sDrawState::with_fog(GLfloat in_start, GLfloat in_end, const GLfloat* in_rgba)
{
    fog = true;
    fog_start = in_start;
    fog_end = in_end;
    std::copy(in_rgba, in_rgba + 4, fog_colour);
    return *this;
}

void sDrawState::apply() const
{
    set_enabled(GL_DEPTH_TEST, depth_test);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(depth_write ? GL_TRUE : GL_FALSE);
    set_enabled(GL_CULL_FACE, cull);
    glCullFace(GL_BACK);
    set_enabled(GL_BLEND, blend);
    glBlendFuncSeparate(blend_src_rgb, blend_dst_rgb, blend_src_alpha, blend_dst_alpha);
    set_enabled(GL_LIGHTING, lighting);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    set_enabled(GL_COLOR_MATERIAL, colour_material);
    set_enabled(GL_NORMALIZE, normalize);
    set_enabled(GL_FOG, fog);
    if (fog) {
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, fog_start);
        glFogf(GL_FOG_END, fog_end);
        glFogfv(GL_FOG_COLOR, fog_colour);
    }
    set_enabled(GL_TEXTURE_2D, texture_2d);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_ALPHA_TEST);
    glShadeModel(GL_SMOOTH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}
