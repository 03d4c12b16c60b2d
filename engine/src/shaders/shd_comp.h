// The layer-compositing blends. Each samples the layer on unit 0 and the picture below on unit 1
// (rectangle textures) and takes the layer's opacity from the vertex colour's alpha. Variants of
// the same sources (comp_layer.glsl) add the layer's glow (unit 2), or read the bottom layer's
// own picture as the picture below (its glow on unit 3, its opacity in the third component of
// its coordinates), or lay the layer over a picture of its own (unit 4), or blend one more layer
// (unit 5, its glow on 6 and the picture under it on 7) onto the picture below first, so that
// none of these needs a full-size pass of its own.
#pragma once

#include <string>

#include "shaders/shd_plain.h"

class cShdComp : public cShdPlain
{
public:
    enum eVariant
    {
        LAYER_GLOW = 1,  // the layer's glow is added to it
        BOTTOM = 2,      // the picture below is the bottom layer, laid over opaque black here
        BOTTOM_GLOW = 4, // with its glow added (only with BOTTOM)
        LAYER_UNDER = 8, // the layer is laid over a picture of its own size first
        ALONE = 16,      // no layer over the bottom one (only with BOTTOM, no layer flags)
        // A middle layer blended onto the picture below before the layer, in one of the four
        // blends (one flag at most; middle_variant() gives it), with its glow and the picture
        // under it as the layer's.
        MIDDLE_OVER = 32,
        MIDDLE_ADD = 64,
        MIDDLE_SCREEN = 128,
        MIDDLE_DODGE = 256,
        MIDDLE_GLOW = 512,
        MIDDLE_UNDER = 1024,
        MIDDLE = MIDDLE_OVER | MIDDLE_ADD | MIDDLE_SCREEN | MIDDLE_DODGE,
    };
    // `in_mode` is the blend mode (0 over, 1 add, 3 screen, 4 dodge); `in_variant` ORs eVariant.
    cShdComp(void* const* in_context, const int& in_vprof, const int& in_fprof, int in_mode,
             int in_variant);

    // The registered name: "blend_comp", "add_comp", "screen_comp" or "dodge_comp", then "_glow"
    // for LAYER_GLOW, "_under" for LAYER_UNDER, then for a middle layer "_on", its blend's
    // first word and "middle", "_glow" and "_under" for its own, then "_onbottom" for BOTTOM or
    // "_onglowingbottom" for BOTTOM_GLOW, then "_alone" for ALONE.
    static std::string name_of(int in_mode, int in_variant);
    // The MIDDLE_* flag of a middle layer in blend mode `in_mode`.
    static int middle_variant(int in_mode);
};

// Registration under the fixed names "blend_comp", "add_comp", "dodge_comp", "screen_comp".
void register_blend_comp();
void register_add_comp();
void register_dodge_comp();
void register_screen_comp();
// One variant under its name, unless it is registered already.
void register_comp(int in_mode, int in_variant);
// Every blend in every variant.
void register_comp_variants();
