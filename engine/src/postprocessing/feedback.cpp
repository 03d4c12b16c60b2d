// Feedback trail (see feedback.h).
#include "postprocessing/feedback.h"

#include "fsq.h"
#include "gl_extensions.h"
#include "postprocessing/blur.h"
#include "postprocessing/post_comp.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "video_module.h"

namespace {

// Pushes the texture matrix of unit `unit` and loads `transform` into it about the centre of a
// `w` x `h` image, the transform working in the pixels of an image `pixel_scale` times smaller
// (a picture twice the trail's size is read through the trail's transform with 2).
void push_transform_on(int unit, const float* transform, float w, float h, float pixel_scale)
{
    glActiveTextureARB(GL_TEXTURE0 + GLenum(unit));
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(w / 2.0f, h / 2.0f, 0.0f);
    glScalef(pixel_scale, pixel_scale, 1.0f);
    glMultMatrixf(transform);
    glScalef(1.0f / pixel_scale, 1.0f / pixel_scale, 1.0f);
    glTranslatef(-w / 2.0f, -h / 2.0f, 0.0f);
}

// Pushes the texture matrices of units 0 .. `units` - 1 and loads `transform` about the centre
// of a `w` x `h` image (in its pixels) into each; pop_transform() gives them back.
void push_transform(const float* transform, float w, float h, int units)
{
    glMatrixMode(GL_TEXTURE);
    for (int u = 0; u < units; ++u)
        push_transform_on(u, transform, w, h, 1.0f);
    glActiveTextureARB(GL_TEXTURE0);
    glMatrixMode(GL_MODELVIEW);
}

void pop_transform(int units)
{
    glMatrixMode(GL_TEXTURE);
    for (int u = 0; u < units; ++u) {
        glActiveTextureARB(GL_TEXTURE0 + GLenum(u));
        glPopMatrix();
    }
    glActiveTextureARB(GL_TEXTURE0);
    glMatrixMode(GL_MODELVIEW);
}

// Draws `combined` into the bound feedback image through `transform`, which works in the
// image's pixels about its centre, every channel multiplied by (1 - fade): every pixel is
// written, so the image needs no clearing and no darkening pass of its own.
void feed_back(iRenderTarget& combined, const iRenderTarget& feedback, const float* transform,
               float fade)
{
    cShaderManager_GLSL::get_instance()->disable(); // fixed-function, through the texture matrix
    push_transform(transform, float(feedback.m_width), float(feedback.m_height), 1);
    glDisable(GL_BLEND);
    glPushAttrib(GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); // the texels times the colour
    begin_fsq_keep_colour();
    const float keep = 1.0f - fade;
    glColor4f(keep, keep, keep, keep);
    combined.bind_as_texture(GL_TEXTURE0);
    draw_quad(combined);
    combined.unbind_as_texture();
    end_fsq();
    glPopAttrib();
    pop_transform(1);
}

// The same for `source` laid over the trail `feedback` (the bound target), without the
// picture in between: each is read through the transform and the two are laid over each other
// as they are read. `source` may be larger than the trail: it is read through the same
// transform, scaled to its pixels, at the trail's pixel centres.
void feed_over(iRenderTarget& source, iRenderTarget& feedback, const float* transform, float fade)
{
    const float w = float(feedback.m_width), h = float(feedback.m_height);
    glMatrixMode(GL_TEXTURE);
    push_transform_on(0, transform, float(source.m_width), float(source.m_height),
                      float(source.m_width) / w);
    push_transform_on(1, transform, w, h, 1.0f);
    glActiveTextureARB(GL_TEXTURE0);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
    glPushAttrib(GL_CURRENT_BIT);
    begin_fsq_keep_colour();
    const float keep = 1.0f - fade;
    glColor4f(keep, keep, keep, keep);
    source.bind_as_texture(GL_TEXTURE0);
    feedback.bind_as_texture(GL_TEXTURE1);
    cShaderManager_GLSL::get_instance()->bind("feedback_shader");
    draw_quad_2(source, feedback);
    feedback.unbind_as_texture();
    source.unbind_as_texture();
    end_fsq();
    glPopAttrib();
    pop_transform(2);
}

} // namespace

cPostFeedback::cPostFeedback()
{
    register_feedback_shader();
}

tParamSliders sliders(feedback_params& in_params)
{
    return {{"feedback fade", &in_params.fade, 0.0f, 0.5f}};
}

int cPostFeedback::size_class_for(unsigned in_width)
{
    const float ratio =
        float(cVideoModule::get_instance()->get_vp_width()) / float(in_width ? in_width : 1);
    if (ratio < 0.51f)
        return cRenderTargetManager::RTT_DOUBLE;
    return cPostBlur::size_class_for(in_width);
}

void cPostFeedback::apply(iRenderTarget& source, iRenderTarget& target,
                          const feedback_params& in_params)
{
    feed_into_size(source, in_params, size_class_for(target.m_width));
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    const int over = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(target, source, *m_feedback, &over, 1.0f);
    glPopAttrib();
    shaders->pop_shader();
}

void cPostFeedback::feed(iRenderTarget& source, const feedback_params& in_params)
{
    const unsigned width = in_params.half_size ? source.m_width / 2 : source.m_width;
    feed_into_size(source, in_params, size_class_for(width));
}

void cPostFeedback::feed_into_size(iRenderTarget& source, const feedback_params& in_params,
                                   int size)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    // Colour-buffer state too: the fresh image's clear colour.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    if (!m_feedback.isValid() || m_feedback.get_size() != size) {
        // A pooled target holds whatever was drawn into it last: the trail starts empty.
        m_feedback = get_tmp_rt(size);
        glClearColor(0, 0, 0, 0);
        m_feedback->bind_as_target(true);
        m_feedback->unbind_as_target();
    }
    const int over = cPostComp::BLEND_OVER;
    cPostComp* comp = cPostComp::get_instance();
    const bool same_size =
        source.m_width == m_feedback->m_width && source.m_height == m_feedback->m_height;
    if (!in_params.blur && (same_size || in_params.half_size)) {
        // Nothing to soften in between: the next trail in one pass, into a fresh image.
        cRTProxy next = get_tmp_rt(size);
        next->bind_as_target(false);
        feed_over(source, *m_feedback, in_params.transform, in_params.fade);
        next->unbind_as_target();
        m_feedback = std::move(next);
    } else {
        cRTProxy combined = get_tmp_rt(size);
        comp->comp(*combined, source, *m_feedback, &over, 1.0f);
        if (in_params.blur) {
            cPostBlur* blur = cPostBlur::get_instance();
            blur->blur(*combined, *combined, false);
            blur->blur(*combined, *combined, false);
        }
        m_feedback->bind_as_target(false);
        feed_back(*combined, *m_feedback, in_params.transform, in_params.fade);
        m_feedback->unbind_as_target();
    }
    glPopAttrib();
    shaders->pop_shader();
}
