// Particle sprite shaders (see shd_particle.h).
#include "shaders/shd_particle.h"

#include <cassert>
#include <iostream>

#include "effects/var.h"
#include "gl_extensions.h"
#include "shader_manager_glsl.h"

namespace {

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

void copy3(float* dest, const float* src)
{
    for (int i = 0; i < 3; ++i)
        dest[i] = src[i];
}

} // namespace

cShdParticleExpansion::cShdParticleExpansion(void* const* in_context, const int& in_vprof,
                                             const int& in_fprof)
    : cShdPlain(in_context, in_vprof, in_fprof, "particleexpansion_vert.glsl",
                "particleexpansion_frag.glsl", {})
{
}

cShdParticleLight::cShdParticleLight(void* const* in_context, const int& in_vprof,
                                     const int& in_fprof)
    : cShader_GLSL(in_context, in_vprof, in_fprof)
{
    load_from_files("../src/shaders/particleexpansion_light_vert.glsl",
                    "../src/shaders/particleexpansion_light_frag.glsl");
}

void cShdParticleLight::init_parameters()
{
    m_cur_t_parm = get_named_parameter("cur_t");
    report_lookup(m_cur_t_parm, __LINE__);
    m_light_position_parm = get_named_parameter("light_position");
    report_lookup(m_light_position_parm, __LINE__);
    m_max_dist_parm = get_named_parameter("max_dist");
    report_lookup(m_max_dist_parm, __LINE__);
    m_seg_width_parm = get_named_parameter("seg_width_norm");
    report_lookup(m_seg_width_parm, __LINE__);
    m_particle_size_parm = get_named_parameter("particle_size");
    report_lookup(m_particle_size_parm, __LINE__);
    m_min_color_parm = get_named_parameter("min_color");
    report_lookup(m_min_color_parm, __LINE__);
    m_max_color_parm = get_named_parameter("max_color");
    report_lookup(m_max_color_parm, __LINE__);
}

void cShdParticleLight::set_parameter(int in_parm_name, iVar* in_var)
{
    switch (in_parm_name) {
    case 1: {
        const float* value = single_float(in_var);
        assert(value && "interp must be of type float");
        m_cur_t = *value;
        break;
    }
    case 2: {
        const float* block = float_block(in_var);
        assert(block && "pos must be of type vec3");
        copy3(m_light_position, block);
        break;
    }
    case 3: {
        const float* value = single_float(in_var);
        assert(value && "max dist must be of type float");
        m_max_dist = *value;
        break;
    }
    case 4: {
        const float* block = float_block(in_var);
        assert(block && "mincol must be of type vec3");
        copy3(m_min_color, block);
        break;
    }
    case 5: {
        const float* block = float_block(in_var);
        assert(block && "max col must be of type vec3");
        copy3(m_max_color, block);
        break;
    }
    case 6: {
        const float* value = single_float(in_var);
        assert(value && "seg width must be of type float");
        m_seg_width = *value;
        break;
    }
    case 7: {
        const float* value = single_float(in_var);
        assert(value && "particle size must be of type float");
        m_particle_size = *value;
        break;
    }
    default:
        assert(0 && "unknown parm");
    }
}

void cShdParticleLight::update_parameters()
{
    glUniform1f(m_cur_t_parm, m_cur_t);
    glUniform1f(m_max_dist_parm, m_max_dist);
    glUniform1f(m_seg_width_parm, m_seg_width);
    glUniform1f(m_particle_size_parm, m_particle_size);
    glUniform3fv(m_light_position_parm, 1, m_light_position);
    glUniform3fv(m_min_color_parm, 1, m_min_color);
    glUniform3fv(m_max_color_parm, 1, m_max_color);
}

void register_pexpshader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdParticleExpansion>("pexpshader");
}

void register_particle_light_shader()
{
    cShaderManager_GLSL::get_instance()->add_shader<cShdParticleLight>("particle_light_shader");
}
