// The drawing state a scene declares: depth, culling, blending, lighting, fog and texturing.
// The scene base puts it on before the scene draws, from a neutral baseline whatever state the
// scene is drawn from, and gives back the state it found afterwards (see cScene::begin_drawing).
#pragma once

#include "gl_extensions.h"

struct sDrawState
{
    bool depth_test = false; // passing at equal depth (GL_LEQUAL)
    bool depth_write = false;
    bool cull = false; // back faces
    bool blend = false;
    // The factors for colour and for alpha; they are set also when blending is off, for a
    // scene that turns it on for a part of its drawing.
    GLenum blend_src_rgb = GL_SRC_ALPHA;
    GLenum blend_dst_rgb = GL_ONE_MINUS_SRC_ALPHA;
    GLenum blend_src_alpha = GL_SRC_ALPHA;
    GLenum blend_dst_alpha = GL_ONE_MINUS_SRC_ALPHA;
    bool lighting = false;
    GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 0.1f}; // the light model's, as the engine starts
    bool colour_material = false;                  // ambient and diffuse follow the current colour
    bool normalize = false;
    bool fog = false; // linear from fog_start to fog_end (eye distance) into fog_colour
    GLfloat fog_start = 0.0f;
    GLfloat fog_end = 1.0f;
    GLfloat fog_colour[4] = {0, 0, 0, 0};
    bool texture_2d = false;

    // Settings to chain in a scene's constructor:
    //   m_draw_state = sDrawState().with_depth_test().with_depth_writes().with_culling();
    sDrawState& with_depth_test() { return set(depth_test); }
    sDrawState& with_depth_writes() { return set(depth_write); }
    sDrawState& with_culling() { return set(cull); }
    // Blending on, with the factors for colour and alpha alike, or each pair its own.
    sDrawState& with_blending(GLenum in_src = GL_SRC_ALPHA, GLenum in_dst = GL_ONE_MINUS_SRC_ALPHA)
    {
        return with_blending(in_src, in_dst, in_src, in_dst);
    }
    sDrawState& with_blending(GLenum in_src_rgb, GLenum in_dst_rgb, GLenum in_src_alpha,
                              GLenum in_dst_alpha);
    sDrawState& with_lighting() { return set(lighting); }
    sDrawState& with_ambient(const GLfloat* in_rgba);
    sDrawState& with_colour_material() { return set(colour_material); }
    sDrawState& with_normalize() { return set(normalize); }
    sDrawState& with_fog(GLfloat in_start, GLfloat in_end, const GLfloat* in_rgba);
    sDrawState& with_texture_2d() { return set(texture_2d); }

    // Puts the state on, with the rest of the baseline: no alpha test, no 1D or rectangle
    // texturing, smooth shading and every colour channel written. Fog's parameters are set only
    // when fog is on.
    void apply() const;

private:
    sDrawState& set(bool& io_flag)
    {
        io_flag = true;
        return *this;
    }
};
