// Shaders for drawing meshes: materials with and without texture (lit like the fixed-function
// pipeline by light 0 and the material), self-illumination, morphing, lightmaps, x-ray, waving
// and extrusion. Material textures are normalised 2D textures; the diffuse map is on unit 0.
#pragma once

#include "shader_glsl.h"
#include "shaders/shd_plain.h"

// Morph between the mesh drawn (positions, normals) and a second mesh whose positions arrive
// in texture-coordinate set 3 and normals in set 4; textured and lit like cShdDtex.
// Id SP_INTERP: the blend weight cur_t, 0 (drawn mesh) to 1 (second mesh).
class cShdMorphDtex : public cShader_GLSL
{
public:
    enum
    {
        SP_INTERP = 1
    };
    cShdMorphDtex(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_cur_t = -1;
    float m_interp = 0;
};

// Extrusion along the normals with a sphere-mapped texture (unit 0) fading out as the
// extrusion approaches its maximum. SP_EXTRUDE: extrusion in object units; SP_INNER_MAT and
// SP_OUTER_MAT: 4x4 column-major rotations applied before and after the extrusion;
// SP_MAX_EXTRUDE: the extrusion at which the surface has faded out.
class cShdNormExt : public cShader_GLSL
{
public:
    enum
    {
        SP_EXTRUDE = 1,
        SP_INNER_MAT = 2,
        SP_OUTER_MAT = 3,
        SP_MAX_EXTRUDE = 4
    };
    cShdNormExt(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_t_parm = -1, m_inner_rotmat = -1, m_outer_rotmat = -1, m_max_extrude = -1;
    float m_extrude = 0;
    float m_inner[16] = {};
    float m_outer[16] = {};
    float m_max = 0;
};

// Vertices swaying on sine waves, bending with the square of their height above y = 0 (plants
// in a field); textured (unit 0) and lit. Id 1: cur_t, the wave phase in radians; id 2: offset,
// three floats added to the position before the phase is taken (so instances differ); id 3:
// in_strength, the sway in object units at height 1. Other ids are ignored.
class cShdSinewaves : public cShader_GLSL
{
public:
    cShdSinewaves(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_cur_t_parm = -1, m_offset_parm = -1, m_strength_parm = -1;
    float m_cur_t = 0;
    float m_offset[3] = {0, 0, 0};
    float m_strength = 0;
};

// Three lightmaps on units 0, 1 and 2 (a neutral one and two coloured light sources, all on
// texture-coordinate set 0): neutral * intensities.x + (second * intensities.y + third *
// intensities.z) * lightmap_col, times the material's diffuse colour. Id 1: intensities (three
// floats); id 2: lightmap_col (three floats). Other ids are ignored.
class cShdLightmapTriple : public cShader_GLSL
{
public:
    cShdLightmapTriple(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_intensities_parm = -1, m_col_parm = -1;
    float m_intensities[3] = {0, 0, 0};
    float m_col[3] = {0, 0, 0};
};

// X-ray: surfaces seen edge-on are opaque and glowing, surfaces facing the viewer see-through.
// Textured (unit 0). SP_IN_EMIT: lightemit, 0 (invisible) upwards, the glow strength.
class cShdXrayTex : public cShader_GLSL
{
public:
    enum
    {
        SP_IN_EMIT = 1
    };
    cShdXrayTex(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_lightemit_parm = -1;
    float m_lightemit = 0;
};

// The texture (unit 0) at full brightness times the material's diffuse colour; unlit.
class cShdSelfIllum : public cShdPlain
{
public:
    cShdSelfIllum(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Lit material with an RGBA texture (unit 0): colour and alpha both modulated.
class cShdRGBAtex : public cShdPlain
{
public:
    cShdRGBAtex(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Lit material without texture.
class cShdNotex : public cShdPlain
{
public:
    cShdNotex(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The texture (unit 0) tinted by the current colour (glColor); unlit.
class cShdSrcCol : public cShdPlain
{
public:
    cShdSrcCol(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The current colour added onto the texture (unit 0); alpha from both multiplied; unlit.
class cShdSrcColAdd : public cShdPlain
{
public:
    cShdSrcColAdd(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Lit material with a diffuse colour texture (unit 0); the alpha is the material's.
class cShdDtex : public cShdPlain
{
public:
    cShdDtex(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The texture (unit 0) tinted by the current colour, cut out by a mask on unit 1 (its
// luminance times its alpha), both on texture-coordinate set 0; unlit.
class cShdMasked : public cShdPlain
{
public:
    cShdMasked(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Registration under the fixed names ("rgba_shader" and "rgbatex_shader" are two instances).
void register_morph_shader();
void register_normext_shader();
void register_sinewave_shader();
void register_lmt_shader();
void register_xraytex_shader();
void register_self_illum_shader();
void register_rgba_shader();
void register_rgbatex_shader();
void register_notex_shader();
void register_srccol_shader();
void register_srccoladd_shader();
void register_dtex_shader();
void register_masked_shader();
