// Mesh shaders (see shd_mesh.h).
#include "shaders/shd_mesh.h"

#include <cassert>
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

const float* float_block(iVar* var)
{
    auto* block = dynamic_cast<cVar<float*>*>(var);
    return block ? *block->get() : nullptr;
}

const float* single_float(iVar* var)
{
    auto* value = dynamic_cast<cVar<float>*>(var);
    return value ? value->get() : nullptr;
}

} // namespace

// --- morph
// ----------------------------------------------------------------------------------------

cShdMorphDtex::cShdMorphDtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    set_samplers(diffuse_map);
    load_from_files("../src/shaders/morphDtex_vert.glsl", "../src/shaders/morphDtex_frag.glsl");
}

void cShdMorphDtex::init_parameters()
{
    m_cur_t = get_named_parameter("cur_t");
    report_lookup(m_cur_t, __LINE__);
}

void cShdMorphDtex::set_parameter(int in_parm_name, iVar* in_var)
{
    assert(in_parm_name == SP_INTERP && "unknown parm");
    const float* value = single_float(in_var);
    assert(value && "interp must be of type float");
    m_interp = *value;
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
    load_from_files("../src/shaders/normext_vert.glsl", "../src/shaders/normext_frag.glsl");
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
    case SP_EXTRUDE: {
        const float* value = single_float(in_var);
        assert(value && "extrude must be of type float");
        m_extrude = *value;
        break;
    }
    case SP_INNER_MAT: {
        const float* block = float_block(in_var);
        assert(block && "inner mat must be of type float*");
        for (int i = 0; i < 16; ++i)
            m_inner[i] = block[i];
        break;
    }
    case SP_OUTER_MAT: {
        const float* block = float_block(in_var);
        assert(block && "outer mat must be of type float*");
        for (int i = 0; i < 16; ++i)
            m_outer[i] = block[i];
        break;
    }
    case SP_MAX_EXTRUDE: {
        const float* value = single_float(in_var);
        assert(value && "max extrude must be of type float");
        m_max = *value;
        break;
    }
    default:
        assert(0 && "unknown parm");
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
    load_from_files("sinewaves_vert.glsl", "sinewaves_frag.glsl");
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
    if (in_parm_name == 1) {
        const float* value = single_float(in_var);
        assert(value && "cur_t must be of type float");
        m_cur_t = *value;
    } else if (in_parm_name == 2) {
        const float* block = float_block(in_var);
        assert(block && "offset must be of type vec3");
        for (int i = 0; i < 3; ++i)
            m_offset[i] = block[i];
    } else if (in_parm_name == 3) {
        const float* value = single_float(in_var);
        assert(value && "strength must be of type float");
        m_strength = *value;
    }
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
    load_from_files("../src/shaders/lightmap_triple_vert.glsl",
                    "../src/shaders/lightmap_triple_frag.glsl");
}

void cShdLightmapTriple::init_parameters()
{
    m_intensities_parm = get_named_parameter("intensities");
    m_col_parm = get_named_parameter("lightmap_col");
}

void cShdLightmapTriple::set_parameter(int in_parm_name, iVar* in_var)
{
    if (in_parm_name == 1) {
        const float* block = float_block(in_var);
        assert(block && "intensities must be of type vec3");
        for (int i = 0; i < 3; ++i)
            m_intensities[i] = block[i];
    } else if (in_parm_name == 2) {
        const float* block = float_block(in_var);
        assert(block && "lightmap col must be of type vec3");
        for (int i = 0; i < 3; ++i)
            m_col[i] = block[i];
    }
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
    load_from_files("../src/shaders/xray_tex_vert.glsl", "../src/shaders/xray_tex_frag.glsl");
}

void cShdXrayTex::init_parameters()
{
    m_lightemit_parm = get_named_parameter("lightemit");
}

void cShdXrayTex::set_parameter(int in_parm_name, iVar* in_var)
{
    const float* value = in_parm_name == SP_IN_EMIT ? single_float(in_var) : nullptr;
    assert(value && "wrong input to xray shader");
    m_lightemit = *value;
}

void cShdXrayTex::update_parameters()
{
    glUniform1f(m_lightemit_parm, m_lightemit);
}

// --- materials without parameters
// -----------------------------------------------------------------

cShdSelfIllum::cShdSelfIllum(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "selfillum_vert.glsl", "selfillum_frag.glsl",
                diffuse_map)
{
}

cShdRGBAtex::cShdRGBAtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "RGBAtex_vert.glsl", "RGBAtex_frag.glsl",
                diffuse_map)
{
}

cShdNotex::cShdNotex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "../src/shaders/notex_vert.glsl",
                "../src/shaders/notex_frag.glsl", {})
{
}

cShdSrcCol::cShdSrcCol(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "srccol_vert.glsl", "srccol_frag.glsl", diffuse_map)
{
}

cShdSrcColAdd::cShdSrcColAdd(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "srccol_add_vert.glsl", "srccol_add_frag.glsl",
                diffuse_map)
{
}

cShdDtex::cShdDtex(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "Dtex_vert.glsl", "Dtex_frag.glsl", diffuse_map)
{
}

cShdMasked::cShdMasked(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "masked_vert.glsl", "masked_frag.glsl",
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
