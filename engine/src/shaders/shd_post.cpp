// Post-processing shaders (see shd_post.h).
#include "shaders/shd_post.h"

#include <algorithm>
#include <initializer_list>
#include <iostream>

#include "effects/var.h"
#include "gl_extensions.h"
#include "shader_manager_glsl.h"

namespace {

const std::vector<cShader_GLSL::sSampler> one_source = {{"source", 0}};
const std::vector<cShader_GLSL::sSampler> two_sources = {{"a", 0}, {"b", 1}};

// Summary report: one line after all lookups when any of them failed.
void report_missing(std::initializer_list<int> locations, const char* operation)
{
    for (int location : locations) {
        if (location < 0) {
            std::cerr << "## ERROR: unable to get parameters in " << operation << std::endl;
            return;
        }
    }
}

constexpr float pi = 3.14159265358979f;

} // namespace

// --- levels -----------------------------------------------------------------------------------

cShdLevels::cShdLevels(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(one_source);
    load_from_files("tex0_vert.glsl", "post_levels_frag.glsl");
}

void cShdLevels::init_parameters()
{
    m_in_black = get_named_parameter("inBlack");
    m_in_white = get_named_parameter("inWhite");
    m_gamma = get_named_parameter("Gamma");
    m_out_black = get_named_parameter("outBlack");
    m_out_white = get_named_parameter("outWhite");
    report_missing({m_in_black, m_in_white, m_gamma, m_out_black, m_out_white},
                   "cShdLevels::init_parameters()");
}

void cShdLevels::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != 1)
        return;
    if (const float* block = floats_parameter(in_var, 5, "levels_shader parameter 1"))
        std::copy(block, block + 5, m_values);
}

void cShdLevels::update_parameters()
{
    glUniform1f(m_in_black, m_values[0]);
    glUniform1f(m_in_white, m_values[1]);
    glUniform1f(m_gamma, m_values[2]);
    glUniform1f(m_out_black, m_values[3]);
    glUniform1f(m_out_white, m_values[4]);
}

// --- hue, saturation, brightness ----------------------------------------------------------------

cShdPostHSB::cShdPostHSB(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(one_source);
    load_from_files("tex0_vert.glsl", "post_hsb_frag.glsl");
}

void cShdPostHSB::init_parameters()
{
    m_h = get_named_parameter("H_adjust");
    m_s = get_named_parameter("S_adjust");
    m_b = get_named_parameter("B_adjust");
    report_missing({m_h, m_s, m_b}, "cShdPostHSB::init_parameters()");
}

void cShdPostHSB::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != SP_IN_HSB) {
        report_unknown_parameter("hsb_shader", in_parm_name);
        return;
    }
    const float* block = floats_parameter(in_var, 3, "hsb_shader parameter SP_IN_HSB");
    if (!block)
        return;
    m_adjust[0] = block[0] / -180.0f * pi;
    m_adjust[1] = block[1] / 100.0f + 1.0f;
    m_adjust[2] = block[2] / 100.0f;
}

void cShdPostHSB::update_parameters()
{
    glUniform1f(m_h, m_adjust[0]);
    glUniform1f(m_s, m_adjust[1]);
    glUniform1f(m_b, m_adjust[2]);
}

// --- hue shift ----------------------------------------------------------------------------------

cShdPostHueShift::cShdPostHueShift(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(one_source);
    load_from_files("tex0_vert.glsl", "post_hueshift_frag.glsl");
}

void cShdPostHueShift::init_parameters()
{
    m_h = get_named_parameter("H_adjust");
    m_s = get_named_parameter("S_adjust");
    m_b = get_named_parameter("B_adjust");
    m_mult = get_named_parameter("mult_adjust");
    report_missing({m_h, m_s, m_b, m_mult}, "cShdPostHueShift::init_parameters()");
}

void cShdPostHueShift::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != SP_IN_HSB) {
        report_unknown_parameter("hueshift_shader", in_parm_name);
        return;
    }
    const float* block = floats_parameter(in_var, 4, "hueshift_shader parameter SP_IN_HSB");
    if (!block)
        return;
    m_adjust[0] = block[0] / -180.0f * pi;
    m_adjust[1] = block[1] / 100.0f + 1.0f;
    m_adjust[2] = block[2] / 100.0f;
    m_adjust[3] = block[3];
}

void cShdPostHueShift::update_parameters()
{
    glUniform1f(m_h, m_adjust[0]);
    glUniform1f(m_s, m_adjust[1]);
    glUniform1f(m_b, m_adjust[2]);
    glUniform1f(m_mult, m_adjust[3]);
}

// --- radial blur --------------------------------------------------------------------------------

cShdRadialblur::cShdRadialblur(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(one_source);
    load_from_files("tex0_vert.glsl", "post_radialblur_frag.glsl");
}

void cShdRadialblur::init_parameters()
{
    m_center = get_named_parameter("blur_center");
    m_dist = get_named_parameter("dist");
    m_num_samples = get_named_parameter("num_samples");
    m_propagation = get_named_parameter("propagation");
    m_multiplier = get_named_parameter("multiplier");
    report_missing({m_center, m_dist, m_num_samples, m_propagation, m_multiplier},
                   "cSdhRadialblur::init_parameters()");
}

void cShdRadialblur::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != 1) {
        report_unknown_parameter("radialblur_shader", in_parm_name);
        return;
    }
    if (const float* block = floats_parameter(in_var, 6, "radialblur_shader parameter 1"))
        std::copy(block, block + 6, m_values);
}

void cShdRadialblur::update_parameters()
{
    glUniform2f(m_center, m_values[0], m_values[1]);
    glUniform1f(m_dist, m_values[2]);
    glUniform1f(m_num_samples, m_values[3]);
    glUniform1f(m_propagation, m_values[4]);
    glUniform1f(m_multiplier, m_values[5]);
}

// --- separable blur -----------------------------------------------------------------------------

cShdBlurTex::cShdBlurTex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdBlurTex(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "blurtex_frag.glsl")
{
}

cShdBlurTex::cShdBlurTex(void* const* in_context, const int& in_vprof, const int& in_fprof,
                         const char* in_vertex_file, const char* in_fragment_file)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(one_source);
    load_from_files(in_vertex_file, in_fragment_file);
}

void cShdBlurTex::init_parameters()
{
    m_sampledir = get_named_parameter("sampledir");
}

void cShdBlurTex::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != 1) {
        report_unknown_parameter("blur shader", in_parm_name);
        return;
    }
    if (const float* block = floats_parameter(in_var, 2, "blur shader parameter 1"))
        std::copy(block, block + 2, m_dir);
}

void cShdBlurTex::update_parameters()
{
    glUniform2fv(m_sampledir, 1, m_dir);
}

cShdBlurTexNoAlpha::cShdBlurTexNoAlpha(void* const* in_context, const int& in_vprof,
                                       const int& in_fprof)
    : cShdBlurTex(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "blurtex_noalpha_frag.glsl")
{
}

cShdBlurTexWide::cShdBlurTexWide(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdBlurTex(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "blurtex_wide_frag.glsl")
{
}

// --- combinations, correction, resampling --------------------------------------------------------

cShdPostSpillAdd::cShdPostSpillAdd(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "post_spilladd_frag.glsl",
                two_sources)
{
}

cShdPostFeedback::cShdPostFeedback(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "post_feedback_frag.glsl",
                two_sources)
{
}

cShdPostFoldBake::cShdPostFoldBake(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "post_fold_bake_frag.glsl", {})
{
}

cShdPostFold::cShdPostFold(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "post_fold_frag.glsl",
                two_sources)
{
}

cShdPostColDodge::cShdPostColDodge(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "post_col_dodge_frag.glsl",
                two_sources)
{
}

cShdPostColDodgeMasked::cShdPostColDodgeMasked(void* const* in_context, const int& in_vprof,
                                               const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0123_vert.glsl",
                "post_col_dodge_masked_frag.glsl", {{"a", 0}, {"b", 1}, {"mask", 2}})
{
}

cShdCorrection::cShdCorrection(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "post_correction_frag.glsl",
                {{"source", 0}, {"lookup", 1}})
{
}

cShdResampleHalf::cShdResampleHalf(void* const* in_context, const int& in_vprof,
                                   const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "resample_half_frag.glsl",
                one_source)
{
}

// --- registration -------------------------------------------------------------------------------

void register_levels_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdLevels>("levels_shader");
}

void register_hsb_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostHSB>("hsb_shader");
}

void register_hueshift_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostHueShift>("hueshift_shader");
}

void register_radialblur_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdRadialblur>("radialblur_shader");
}

void register_alpha_blur_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdBlurTex>("alpha_blur_shader");
}

void register_wide_blur_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdBlurTexWide>("wide_blur_shader");
}

void register_no_alpha_blur_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdBlurTexNoAlpha>("no_alpha_blur_shader");
}

void register_spill_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostSpillAdd>("spill_shader");
}

void register_feedback_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostFeedback>("feedback_shader");
}

void register_fold_shaders()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->add_shader<cShdPostFoldBake>("fold_bake_shader");
    shaders->add_shader<cShdPostFold>("fold_shader");
}

void register_coldodge_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostColDodge>("coldodge_shader");
}

void register_coldodge_mask_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdPostColDodgeMasked>("coldodge_mask_shader");
}

void register_color_correction_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdCorrection>("color_correction_shader");
}

void register_half_resample_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdResampleHalf>("half_resample_shader");
}
