// Hue, saturation and brightness pass (see hsb.h).
#include "postprocessing/hsb.h"

#include <cassert>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"

tParamSliders sliders(hsb_params& in_params)
{
    return {{"hue", &in_params.hue, -180.0f, 180.0f},
            {"saturation", &in_params.saturation, -100.0f, 100.0f},
            {"brightness", &in_params.brightness, -100.0f, 100.0f}};
}

cPostHSB::cPostHSB()
{
    register_hsb_shader();
}

void cPostHSB::apply(iRenderTarget& source, const hsb_params& in_params)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    // The shader converts and keeps the three values.
    float values[3] = {in_params.hue, in_params.saturation, in_params.brightness};
    cFloatsVar var(values);
    shaders->set_parameter("hsb_shader", cShdPostHSB::SP_IN_HSB, &var);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    shaders->bind("hsb_shader");
    RenderFSQ(source);
    glPopAttrib();
    shaders->pop_shader();
}

void cPostHSB::process(iRenderTarget& source, iRenderTarget& out, const hsb_params& in_params)
{
    assert(&source != &out && "hsb cannot draw into its source");
    out.bind_as_target(false);
    apply(source, in_params);
    out.unbind_as_target();
}
