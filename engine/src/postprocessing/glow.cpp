// Glow (see glow.h).
#include "postprocessing/glow.h"

#include <cassert>

#include "postprocessing/blur.h"
#include "postprocessing/levels.h"
#include "postprocessing/spill.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

// The glow picture: the levels above `precut`, blurred `blurs` times, stretched so that
// `postcut` becomes full strength.
void prepare_glow(iRenderTarget& source, iRenderTarget& glowimg, const glow_params& in_params)
{
    cRTProxy cut = get_tmp_rt(in_params.size);
    levels_params lift_black;
    lift_black.in_black = in_params.precut;
    cPostLevels::get_instance()->process(source, *cut, lift_black);

    cPostBlur* blur = cPostBlur::get_instance();
    int blurs = in_params.blurs;
    for (; blurs >= 3; blurs -= 3)
        blur->blur_three_times(*cut, *cut);
    for (; blurs > 0; --blurs)
        blur->blur(*cut, *cut, true);

    levels_params lower_white;
    lower_white.in_white = in_params.postcut;
    cPostLevels::get_instance()->process(*cut, glowimg, lower_white);
}

} // namespace

tParamSliders sliders(glow_params& in_params)
{
    return {{"pre-cut", &in_params.precut, 0.0f, 255.0f},
            {"post-cut", &in_params.postcut, 0.0f, 255.0f}};
}

void cPostGlow::glow(iRenderTarget& source, iRenderTarget& target, const glow_params& in_params)
{
    assert(&source != &target && "glow cannot draw into its source");
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    cRTProxy glowimg = glow_picture(source, in_params);
    cPostSpill::get_instance()->combine_into(source, *glowimg, target, cPostSpill::SPILL_ADD);
    shaders->pop_shader();
}

cRTProxy cPostGlow::glow_picture(iRenderTarget& source, const glow_params& in_params)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    cRTProxy glowimg = get_tmp_rt(in_params.size);
    prepare_glow(source, *glowimg, in_params);
    shaders->pop_shader();
    return glowimg;
}
