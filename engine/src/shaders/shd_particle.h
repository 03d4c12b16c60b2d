// Particle sprite shaders. The renderer writes one position per particle and binds it four
// times (vertex position and texture-coordinate sets 0, 1, 2 at successive offsets); texture
// coordinate set 3 holds the corner number 0..3, which says which attribute carries the
// particle's position and which corner of the camera-facing quad the vertex becomes.
#pragma once

#include "shader_glsl.h"
#include "shaders/shd_plain.h"

// Soft round sprites in the current colour; the quad's edge is 0.1 x the GL point size in eye
// units, so the renderer sizes its particles with glPointSize.
class cShdParticleExpansion : public cShdPlain
{
public:
    cShdParticleExpansion(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Soft round sprites lit by a point light: full light up to max_dist minus a soft edge of
// seg_width_norm x max_dist, none beyond max_dist; the colour runs from min_color (unlit) to
// max_color (lit) times the current colour. particle_size is the edge in eye units, pulsing
// slightly with cur_t (seconds) at a phase of its own per particle.
class cShdParticleLight : public cShader_GLSL
{
public:
    cShdParticleLight(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_cur_t_parm = -1, m_light_position_parm = -1, m_max_dist_parm = -1;
    int m_seg_width_parm = -1, m_particle_size_parm = -1;
    int m_min_color_parm = -1, m_max_color_parm = -1;
    float m_cur_t = 0;
    float m_light_position[3] = {0, 0, 0};
    float m_max_dist = 0;
    float m_min_color[3] = {0, 0, 0};
    float m_max_color[3] = {0, 0, 0};
    float m_seg_width = 0;
    float m_particle_size = 0;
};

// Registration under "pexpshader" and "particle_light_shader".
void register_pexpshader();
void register_particle_light_shader();
