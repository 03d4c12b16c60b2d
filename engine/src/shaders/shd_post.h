// Shaders of the full-screen post-processing passes: levels, hue/saturation/brightness, hue
// shift, separable and radial blur, spill and colour dodge, colour correction, resampling.
// Every source is a render target on unit 0 (a rectangle texture, sampled in pixels).
#pragma once

#include "shader_glsl.h"
#include "shaders/shd_plain.h"

// Levels on the 0..255 scale. Id 1: five floats (in black, in white, gamma, out black, out
// white); identity at 0, 255, 1, 0, 255. Other ids are ignored.
class cShdLevels : public cShader_GLSL
{
public:
    cShdLevels(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_in_black = -1, m_in_white = -1, m_gamma = -1, m_out_black = -1, m_out_white = -1;
    float m_values[5] = {0, 0, 0, 0, 0};
};

// Hue, saturation and brightness. Id SP_IN_HSB: three floats, hue in degrees (-180..180),
// saturation and brightness in percent (-100..100), stored as H_adjust = hue / -180 * pi,
// S_adjust = saturation / 100 + 1 (a factor), B_adjust = brightness / 100 (an offset).
class cShdPostHSB : public cShader_GLSL
{
public:
    enum
    {
        SP_IN_HSB = 1
    };
    cShdPostHSB(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

    const float* get_adjust() const { return m_adjust; }

private:
    int m_h = -1, m_s = -1, m_b = -1;
    float m_adjust[3] = {0, 0, 0}; // H (radians), S (factor), B (offset)
};

// Hue shift that also cycles the hue with the picture's luminance. Id SP_IN_HSB: four floats,
// hue offset in degrees, saturation and brightness as cShdPostHSB, then the multiplier:
// mult_adjust full hue turns from black to white.
class cShdPostHueShift : public cShader_GLSL
{
public:
    enum
    {
        SP_IN_HSB = 1
    };
    cShdPostHueShift(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_h = -1, m_s = -1, m_b = -1, m_mult = -1;
    float m_adjust[4] = {0, 0, 0, 0};
};

// Radial (zoom) blur towards a centre. Id 1: six floats, the centre x and y in viewport pixels,
// the streak length in pixels (0..500), the number of samples (1..100), the propagation (0..2:
// how the weight runs along the streak, 1 is even) and the multiplier of the result (0..5).
class cShdRadialblur : public cShader_GLSL
{
public:
    cShdRadialblur(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

private:
    int m_center = -1, m_dist = -1, m_num_samples = -1, m_propagation = -1, m_multiplier = -1;
    float m_values[6] = {0, 0, 0, 0, 0, 0};
};

// One pass of the separable gaussian blur along `sampledir` (texels: (1, 0) horizontal,
// (0, 1) vertical). Id 1: two floats. This variant blurs all four channels.
class cShdBlurTex : public cShader_GLSL
{
public:
    cShdBlurTex(void* const* in_context, const int& in_vprof, const int& in_fprof);
    void init_parameters() override;
    void set_parameter(int in_parm_name, iVar* in_var) override;
    void update_parameters() override;
    void disable_parameters() override {}

protected:
    // For the variant: its own file pair.
    cShdBlurTex(void* const* in_context, const int& in_vprof, const int& in_fprof,
                const char* in_vertex_file, const char* in_fragment_file);

private:
    int m_sampledir = -1;
    float m_dir[2] = {0, 0};
};

// The blur that drops alpha: colour blurred, the result opaque.
class cShdBlurTexNoAlpha : public cShdBlurTex
{
public:
    cShdBlurTexNoAlpha(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Three of cShdBlurTex's passes along the same direction in one: its kernel applied three times.
class cShdBlurTexWide : public cShdBlurTex
{
public:
    cShdBlurTexWide(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// a + b: the picture on unit 0 plus the second picture (the glow) on unit 1.
class cShdPostSpillAdd : public cShdPlain
{
public:
    cShdPostSpillAdd(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The picture on unit 0 over the trail on unit 1, times the vertex colour (a feedback step).
class cShdPostFeedback : public cShdPlain
{
public:
    cShdPostFeedback(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// A mirror sheet's texture coordinates as colours (red, green): its fold map.
class cShdPostFoldBake : public cShdPlain
{
public:
    cShdPostFoldBake(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The picture on unit 0 read through the fold map on unit 1 (its coordinates on unit 1).
class cShdPostFold : public cShdPlain
{
public:
    cShdPostFold(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Colour dodge of the picture on unit 0 by the picture on unit 1: a / (1 - b).
class cShdPostColDodge : public cShdPlain
{
public:
    cShdPostColDodge(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// The colour dodge applied through a mask on unit 2 (a normalised 2D texture: its luminance
// times its alpha says how much of the dodge shows).
class cShdPostColDodgeMasked : public cShdPlain
{
public:
    cShdPostColDodgeMasked(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Colour correction through a lookup picture on unit 1: a normalised 2D texture 256 columns
// wide whose middle row maps each input level (column) to the output level, per channel.
class cShdCorrection : public cShdPlain
{
public:
    cShdCorrection(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// 2 x 2 box filter for drawing a picture into a target of half its size.
class cShdResampleHalf : public cShdPlain
{
public:
    cShdResampleHalf(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Registration under the fixed names.
void register_levels_shader();
void register_hsb_shader();
void register_hueshift_shader();
void register_radialblur_shader();
void register_alpha_blur_shader();
void register_no_alpha_blur_shader();
void register_wide_blur_shader();
void register_spill_shader();
void register_feedback_shader();
// "fold_bake_shader" and "fold_shader".
void register_fold_shaders();
void register_coldodge_shader();
void register_coldodge_mask_shader();
void register_color_correction_shader();
void register_half_resample_shader();
