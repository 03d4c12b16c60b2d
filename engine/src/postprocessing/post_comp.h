// Layer compositing: blends a layer picture onto the picture below it into a third target
// with a blend mode and an opacity. The arithmetic is in the four compositing shaders.
#pragma once

#include "singleton.h"

class iRenderTarget;

class cPostComp : public vnt::tSingleton<cPostComp>
{
public:
    // Blend modes; 2 is reserved (an assertion), other values bind no shader at all.
    enum eBlendMode
    {
        BLEND_OVER = 0,
        BLEND_ADD = 1,
        BLEND_SCREEN = 3,
        BLEND_DODGE = 4
    };

    // Draws `layer` blended onto `below` into `out`, each source stretched over the whole of
    // `out`, every pixel written (nothing is cleared first). `out` must differ from both
    // sources; opacity 0..1 reaches the shader as the vertex colour's alpha. A `glow` picture
    // (any size, stretched like the others) is added to the layer first, as cPostGlow's
    // combine would (see cScene::render_leaving_glow()). Leaves the GL state, the bound shader
    // and the bound target as they were.
    void comp(iRenderTarget& out, iRenderTarget& layer, iRenderTarget& below, const int* mode,
              float opacity, iRenderTarget* glow = nullptr);
    // The same into whatever is bound now (the window, over its viewport): the last layer of
    // a picture goes there at once instead of through one more full-screen copy.
    void comp_here(iRenderTarget& layer, iRenderTarget& below, const int* mode, float opacity,
                   iRenderTarget* glow = nullptr);

private:
    friend class vnt::tSingleton<cPostComp>;
    // Registers "blend_comp", "add_comp", "dodge_comp" and "screen_comp", in this order, then
    // their "_glow" variants.
    cPostComp();
    ~cPostComp() = default;
};
