// Hue-shift pass (see hue_shift.h).
#include "postprocessing/hue_shift.h"

#include <cassert>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"

tParamSliders sliders(hueshift_params& in_params)
{
    return {{"hue offset", &in_params.hue, 0.0f, 1440.0f},
            {"saturation", &in_params.saturation, -100.0f, 100.0f},
            {"mult", &in_params.mult, 0.0f, 20.0f}};
}

cPostHueShift::cPostHueShift()
{
    register_hueshift_shader();
}

void cPostHueShift::apply(iRenderTarget& source, const hueshift_params& in_params)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    // A copy of the structure is handed over; the shader converts and keeps the values.
    float values[4] = {in_params.hue, in_params.saturation, in_params.brightness, in_params.mult};
    cFloatsVar var(values);
    shaders->set_parameter("hueshift_shader", cShdPostHueShift::SP_IN_HSB, &var);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    shaders->bind("hueshift_shader");
    RenderFSQ(source);
    glPopAttrib();
    shaders->pop_shader();
}

void cPostHueShift::process(iRenderTarget& source, iRenderTarget& out,
                            const hueshift_params& in_params)
{
    assert(&source != &out && "hue shift cannot draw into its source");
    out.bind_as_target(false);
    apply(source, in_params);
    out.unbind_as_target();
}
