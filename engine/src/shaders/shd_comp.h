// The four layer-compositing blends. Each samples the layer on unit 0 and the picture below on
// unit 1 (rectangle textures) and takes the layer's opacity from the vertex colour's alpha.
#pragma once

#include "shaders/shd_plain.h"

// Layer over below.
class cShdCompOver : public cShdPlain
{
public:
    cShdCompOver(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Below plus the layer.
class cShdCompAdd : public cShdPlain
{
public:
    cShdCompAdd(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Below brightened by the layer: below / (1 - layer).
class cShdCompDodge : public cShdPlain
{
public:
    cShdCompDodge(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// 1 - (1 - below)(1 - layer).
class cShdCompScreen : public cShdPlain
{
public:
    cShdCompScreen(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// One of the four blends with the layer's glow picture added to the layer first (unit 2, the
// coordinates of set 2): a layer whose scene left its glow to the compositing. `MODE` is the
// cPostComp blend mode (0 over, 1 add, 3 screen, 4 dodge).
template <int MODE> class cShdCompGlow : public cShdPlain
{
public:
    cShdCompGlow(void* const* in_context, const int& in_vprof, const int& in_fprof);
};

// Registration under the fixed names "blend_comp", "add_comp", "dodge_comp", "screen_comp",
// and the same with "_glow" appended for the blends that add a glow.
void register_blend_comp();
void register_add_comp();
void register_dodge_comp();
void register_screen_comp();
void register_blend_comp_glow();
void register_add_comp_glow();
void register_dodge_comp_glow();
void register_screen_comp_glow();
