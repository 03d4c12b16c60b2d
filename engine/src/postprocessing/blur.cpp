// Separable blur (see blur.h).
#include "postprocessing/blur.h"

#include <cassert>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "video_module.h"

namespace {

// One pass: `from` sampled along `dir` (texels) into `to`, without clearing.
void blur_pass(const char* shader, iRenderTarget& from, iRenderTarget& to, float dir_x, float dir_y)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    to.bind_as_target(false);
    from.bind_as_texture(GL_TEXTURE0);
    float dir[2] = {dir_x, dir_y};
    cFloatsVar var(dir);
    shaders->set_parameter(shader, 1, &var);
    shaders->bind(shader);
    draw_quad(from);
    to.unbind_as_target();
    from.unbind_as_texture();
}

} // namespace

cPostBlur::cPostBlur()
{
    register_alpha_blur_shader();
    register_no_alpha_blur_shader();
}

int cPostBlur::size_class_for(unsigned in_width)
{
    const float ratio =
        float(cVideoModule::get_instance()->get_vp_width()) / float(in_width ? in_width : 1);
    for (int size : {cRenderTargetManager::RTT_FULL, cRenderTargetManager::RTT_HALF,
                     cRenderTargetManager::RTT_QUATER, cRenderTargetManager::RTT_EIGHTH}) {
        if (ratio - float(size) < 0.01f)
            return size;
    }
    // Narrower than any pooled class: the smallest temporary is the closest.
    return cRenderTargetManager::RTT_EIGHTH;
}

void cPostBlur::blur(iRenderTarget& source, iRenderTarget& target, const bool* keep_alpha)
{
    assert(keep_alpha && "blur needs keep_alpha");
    two_passes(*keep_alpha ? "alpha_blur_shader" : "no_alpha_blur_shader", source, target);
}

void cPostBlur::blur_three_times(iRenderTarget& source, iRenderTarget& target)
{
    if (!cShaderManager_GLSL::get_instance()->has_shader("wide_blur_shader"))
        register_wide_blur_shader();
    two_passes("wide_blur_shader", source, target);
}

void cPostBlur::two_passes(const char* shader, iRenderTarget& source, iRenderTarget& target)
{
    // Full-screen state of its own; the order of the pops mirrors the pushes.
    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glColor4f(1, 1, 1, 1);

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    // Vertical into the temporary, horizontal into the target: `source` may be `target`.
    cRTProxy tmp = get_tmp_rt(size_class_for(target.m_width));
    blur_pass(shader, source, *tmp, 0.0f, 1.0f);
    blur_pass(shader, *tmp, target, 1.0f, 0.0f);
    shaders->pop_shader();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDepthMask(depth_mask);
    glPopAttrib();
} // tmp goes back to the pool last
