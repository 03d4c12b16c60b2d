// Colour correction through a lookup picture (see color_correction.h).
#include "postprocessing/color_correction.h"

#include <cassert>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "texture_manager.h"

cPostColorCorrection::cPostColorCorrection(const std::string& in_lookup_file)
    // Always a 2D texture, whatever its size: the shader samples it in 0..1 coordinates (a
    // one-row or odd-sized picture would otherwise become a 1D or rectangle texture).
    : m_lookup(cTextureManager::get_instance()->get_texture(in_lookup_file, false, GL_CLAMP_TO_EDGE,
                                                            GL_TEXTURE_2D))
{
    register_color_correction_shader();
    // Its levels are read at their texel centres: the nearest texel is the same value for less
    // work than a filtered read (a software rasteriser reads it three times per pixel).
    if (m_lookup.isValid()) {
        m_lookup.bind(GL_TEXTURE0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        m_lookup.unbind();
    }
}

void cPostColorCorrection::apply(iRenderTarget& source, const char* in_shader)
{
    assert(m_lookup.isValid());
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    shaders->bind(in_shader ? in_shader : "color_correction_shader");
    m_lookup.bind(GL_TEXTURE1);
    RenderFSQ(source);
    m_lookup.unbind();
    glPopAttrib();
    shaders->pop_shader();
}

void cPostColorCorrection::process(iRenderTarget& in_fbo, iRenderTarget& out_fbo,
                                   const char* in_shader)
{
    assert(&in_fbo != &out_fbo);
    out_fbo.bind_as_target(false); // the quad covers every pixel
    apply(in_fbo, in_shader);
    out_fbo.unbind_as_target();
}
