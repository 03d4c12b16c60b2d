// Radial blur (see radial_blur.h).
#include "postprocessing/radial_blur.h"

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "postprocessing/blur.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "video_module.h"

tParamSliders sliders(radialblur_params& in_params)
{
    const cVideoModule* video = cVideoModule::get_instance();
    return {{"center_x", &in_params.center_x, 0.0f, float(video->get_vp_width())},
            {"center_y", &in_params.center_y, 0.0f, float(video->get_vp_height())},
            {"distance", &in_params.distance, 0.0f, 500.0f},
            {"num_samples", &in_params.num_samples, 1.0f, 100.0f},
            {"propagation", &in_params.propagation, 0.0f, 2.0f},
            {"multiplier", &in_params.multiplier, 0.0f, 5.0f}};
}

void cPostRadialBlur::apply(iRenderTarget& source, const radialblur_params& in_params)
{
    if (m_first_use) {
        register_radialblur_shader();
        m_first_use = false;
    }
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();

    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_BLEND);

    // The shader keeps its own copy of the six floats.
    float values[6] = {in_params.center_x,    in_params.center_y,    in_params.distance,
                       in_params.num_samples, in_params.propagation, in_params.multiplier};
    cFloatsVar var(values);
    shaders->set_parameter("radialblur_shader", 1, &var);

    shaders->push_shader();
    shaders->bind("radialblur_shader");
    source.bind_as_texture(GL_TEXTURE0);
    begin_fsq();
    draw_quad(source);
    end_fsq();
    source.unbind_as_texture();
    shaders->pop_shader();

    glDepthMask(depth_mask);
    glPopAttrib();
}

void cPostRadialBlur::process(iRenderTarget& source, iRenderTarget& target,
                              const radialblur_params& in_params)
{
    cRTProxy blurred = get_tmp_rt(in_params.size);
    cPostBlur::get_instance()->blur(source, *blurred, true);
    target.bind_as_target(false);
    apply(*blurred, in_params);
    target.unbind_as_target();
}
