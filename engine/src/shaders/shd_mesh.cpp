// Mesh shaders (see shd_mesh.h).
#include "shaders/shd_mesh.h"

#include <algorithm>
#include <cstddef>
#include <iostream>

#include "effects/var.h"
#include "gl_extensions.h"
#include "shader_manager_glsl.h"

namespace {

const std::vector<cShader_GLSL::sSampler> diffuse_map = {{"diffuse_map", 0}};

// Per-lookup report of a parameter the programs lack.
void report_lookup(int location, int line)
{
    if (location < 0)
        std::cerr << "## ERROR: unable to get shader-parameters in " << __FILE__ << ", line "
                  << line << std::endl;
}

// Copies a checked parameter; a refused one (null) leaves the stored value as it was.
void take(float& out, const float* value)
{
    if (value)
        out = *value;
}

template <std::size_t N> void take(float (&out)[N], const float* block)
{
    if (block)
        std::copy(block, block + N, out);
}

} // namespace

// --- morph
// ----------------------------------------------------------------------------------------

cShdMorphDtex::cShdMorphDtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(diffuse_map);
    load_from_files("morphDtex_vert.glsl", "lit_tex_frag.glsl");
}

void cShdMorphDtex::init_parameters()
{
    m_cur_t = get_named_parameter("cur_t");
    report_lookup(m_cur_t, __LINE__);
}

void cShdMorphDtex::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != SP_INTERP) {
        report_unknown_parameter("morph_shader", in_parm_name);
        return;
    }
    take(m_interp, float_parameter(in_var, "morph_shader parameter SP_INTERP"));
}

void cShdMorphDtex::update_parameters()
{
    glUniform1f(m_cur_t, m_interp);
}

// --- normal extrusion
// ------------------------------------------------------------------------------

cShdNormExt::cShdNormExt(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers({{"sphere_map", 0}});
    load_from_files("normext_vert.glsl", "normext_frag.glsl");
}

void cShdNormExt::init_parameters()
{
    m_t_parm = get_named_parameter("t_parm");
    report_lookup(m_t_parm, __LINE__);
    m_inner_rotmat = get_named_parameter("inner_rotmat");
    report_lookup(m_inner_rotmat, __LINE__);
    m_outer_rotmat = get_named_parameter("outer_rotmat");
    report_lookup(m_outer_rotmat, __LINE__);
    m_max_extrude = get_named_parameter("max_extrude");
    report_lookup(m_max_extrude, __LINE__);
}

void cShdNormExt::set_parameter(int in_parm_name, iVar* in_var)
{
    switch (in_parm_name) {
    case SP_EXTRUDE:
        take(m_extrude, float_parameter(in_var, "normext_shader parameter SP_EXTRUDE"));
        break;
    case SP_INNER_MAT:
        take(m_inner, floats_parameter(in_var, 16, "normext_shader parameter SP_INNER_MAT"));
        break;
    case SP_OUTER_MAT:
        take(m_outer, floats_parameter(in_var, 16, "normext_shader parameter SP_OUTER_MAT"));
        break;
    case SP_MAX_EXTRUDE:
        take(m_max, float_parameter(in_var, "normext_shader parameter SP_MAX_EXTRUDE"));
        break;
    default:
        report_unknown_parameter("normext_shader", in_parm_name);
    }
}

void cShdNormExt::update_parameters()
{
    glUniform1f(m_t_parm, m_extrude);
    glUniformMatrix4fv(m_inner_rotmat, 1, GL_FALSE, m_inner);
    glUniformMatrix4fv(m_outer_rotmat, 1, GL_FALSE, m_outer);
    glUniform1f(m_max_extrude, m_max);
}

// --- sine waves ---------------------------------------------------------------------------------

cShdSinewaves::cShdSinewaves(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(diffuse_map);
    load_from_files("sinewaves_vert.glsl", "lit_rgba_tex_frag.glsl");
}

void cShdSinewaves::init_parameters()
{
    m_cur_t_parm = get_named_parameter("cur_t");
    report_lookup(m_cur_t_parm, __LINE__);
    m_offset_parm = get_named_parameter("offset");
    report_lookup(m_offset_parm, __LINE__);
    m_strength_parm = get_named_parameter("in_strength");
    report_lookup(m_strength_parm, __LINE__);
}

void cShdSinewaves::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name == 1)
        take(m_cur_t, float_parameter(in_var, "sinewave_shader parameter 1 (cur_t)"));
    else if (in_parm_name == 2)
        take(m_offset, floats_parameter(in_var, 3, "sinewave_shader parameter 2 (offset)"));
    else if (in_parm_name == 3)
        take(m_strength, float_parameter(in_var, "sinewave_shader parameter 3 (strength)"));
}

void cShdSinewaves::update_parameters()
{
    glUniform1f(m_cur_t_parm, m_cur_t);
    glUniform3f(m_offset_parm, m_offset[0], m_offset[1], m_offset[2]);
    glUniform1f(m_strength_parm, m_strength);
}

// --- lightmaps ----------------------------------------------------------------------------------

cShdLightmapTriple::cShdLightmapTriple(void* const* in_context, const int& in_vprof,
                                       const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers({{"lightmap_neutral", 0}, {"lightmap_a", 1}, {"lightmap_b", 2}});
    load_from_files("material_tex0_vert.glsl", "lightmap_triple_frag.glsl");
}

void cShdLightmapTriple::init_parameters()
{
    m_intensities_parm = get_named_parameter("intensities");
    m_col_parm = get_named_parameter("lightmap_col");
}

void cShdLightmapTriple::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name == 1)
        take(m_intensities, floats_parameter(in_var, 3, "lmt_shader parameter 1 (intensities)"));
    else if (in_parm_name == 2)
        take(m_col, floats_parameter(in_var, 3, "lmt_shader parameter 2 (lightmap colour)"));
}

void cShdLightmapTriple::update_parameters()
{
    glUniform3fv(m_intensities_parm, 1, m_intensities);
    glUniform3fv(m_col_parm, 1, m_col);
}

// --- x-ray --------------------------------------------------------------------------------------

cShdXrayTex::cShdXrayTex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(diffuse_map);
    load_from_files("xray_tex_vert.glsl", "xray_tex_frag.glsl");
}

void cShdXrayTex::init_parameters()
{
    m_lightemit_parm = get_named_parameter("lightemit");
}

void cShdXrayTex::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name != SP_IN_EMIT) {
        report_unknown_parameter("xraytex_shader", in_parm_name);
        return;
    }
    take(m_lightemit, float_parameter(in_var, "xraytex_shader parameter SP_IN_EMIT"));
}

void cShdXrayTex::update_parameters()
{
    glUniform1f(m_lightemit_parm, m_lightemit);
}

// --- materials without parameters
// -----------------------------------------------------------------

cShdSelfIllum::cShdSelfIllum(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "material_tex0_vert.glsl", "tinted_tex_frag.glsl",
                diffuse_map)
{
}

cShdRGBAtex::cShdRGBAtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "lit_tex0_vert.glsl", "lit_rgba_tex_frag.glsl",
                diffuse_map)
{
}

cShdNotex::cShdNotex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "notex_vert.glsl", "notex_frag.glsl", {})
{
}

cShdSrcCol::cShdSrcCol(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "tinted_tex_frag.glsl",
                diffuse_map)
{
}

cShdSrcColAdd::cShdSrcColAdd(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "srccol_add_frag.glsl",
                diffuse_map)
{
}

cShdDtex::cShdDtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "lit_tex0_vert.glsl", "lit_tex_frag.glsl",
                diffuse_map)
{
}

cShdMasked::cShdMasked(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "tex0_vert.glsl", "masked_frag.glsl",
                {{"diffuse_map", 0}, {"mask", 1}})
{
}

// --- registration -------------------------------------------------------------------------------

void register_morph_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdMorphDtex>("morph_shader");
}

void register_normext_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdNormExt>("normext_shader");
}

void register_sinewave_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdSinewaves>("sinewave_shader");
}

void register_lmt_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdLightmapTriple>("lmt_shader");
}

void register_xraytex_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdXrayTex>("xraytex_shader");
}

void register_self_illum_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdSelfIllum>("self_illum_shader");
}

void register_rgba_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdRGBAtex>("rgba_shader");
}

void register_rgbatex_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdRGBAtex>("rgbatex_shader");
}

void register_notex_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdNotex>("notex_shader");
}

void register_srccol_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdSrcCol>("srccol_shader");
}

void register_srccoladd_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdSrcColAdd>("srccoladd_shader");
}

void register_dtex_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdDtex>("dtex_shader");
}

void register_masked_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdMasked>("masked_shader");
}
