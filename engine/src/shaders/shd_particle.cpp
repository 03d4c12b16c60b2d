// Particle sprite shaders (see shd_particle.h).
#include "shaders/shd_particle.h"

#include <algorithm>
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

// Copies a checked parameter; a refused one (null) leaves the stored value as it was.
void take(float& out, const float* value)
{
    if (value)
        out = *value;
}

void take3(float (&out)[3], const float* block)
{
    if (block)
        std::copy(block, block + 3, out);
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
    load_from_files("particleexpansion_light_vert.glsl",
                    "particleexpansion_light_frag.glsl");
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
    case 1:
        take(m_cur_t, float_parameter(in_var, "particle_light_shader parameter 1 (cur_t)"));
        break;
    case 2:
        take3(m_light_position,
              floats_parameter(in_var, 3, "particle_light_shader parameter 2 (light position)"));
        break;
    case 3:
        take(m_max_dist, float_parameter(in_var, "particle_light_shader parameter 3 (max dist)"));
        break;
    case 4:
        take3(m_min_color,
              floats_parameter(in_var, 3, "particle_light_shader parameter 4 (min colour)"));
        break;
    case 5:
        take3(m_max_color,
              floats_parameter(in_var, 3, "particle_light_shader parameter 5 (max colour)"));
        break;
    case 6:
        take(m_seg_width, float_parameter(in_var, "particle_light_shader parameter 6 (seg width)"));
        break;
    case 7:
        take(m_particle_size,
             float_parameter(in_var, "particle_light_shader parameter 7 (particle size)"));
        break;
    default:
        report_unknown_parameter("particle_light_shader", in_parm_name);
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
