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
    // An `under` picture (a scene's trail, see cScene::render_leaving(); any size, stretched
    // like the others) has the layer laid over it first, as an over pass at full opacity would,
    // before the glow.
    void comp(iRenderTarget& out, iRenderTarget& layer, iRenderTarget& below, const int* mode,
              float opacity, iRenderTarget* glow = nullptr, iRenderTarget* under = nullptr);
    // The same into whatever is bound now (the window, over its viewport): the last layer of
    // a picture goes there at once instead of through one more full-screen copy.
    void comp_here(iRenderTarget& layer, iRenderTarget& below, const int* mode, float opacity,
                   iRenderTarget* glow = nullptr, iRenderTarget* under = nullptr);

    // A layer of a picture as the compositing reads it: its picture, the glow its scene left
    // (or none), its blend mode, its opacity and the picture it lies over (or none; a bottom
    // layer has none).
    struct sLayerPicture
    {
        iRenderTarget* picture;
        iRenderTarget* glow;
        int mode;
        float opacity;
        iRenderTarget* under = nullptr;
    };
    // `layer` blended onto the bottom layer of a picture, which is laid over opaque black in
    // the same pass: what compositing `bottom` onto black first and `layer` onto that gives,
    // one full-size pass sooner. Into `out`, or into whatever is bound when `out` is null.
    // The bottom layer's blend must be usable_as_bottom().
    void comp_onto_bottom(iRenderTarget* out, const sLayerPicture& layer,
                          const sLayerPicture& bottom);
    // The bottom layer alone over opaque black, its glow added: the whole picture when no
    // layer lies above it, in one pass that reads nothing below. Into `out`, or into whatever
    // is bound when `out` is null. The blend must be usable_as_bottom().
    void comp_alone(iRenderTarget* out, const sLayerPicture& bottom);
    // Over, add and screen: onto opaque black they all give the layer's colour times its
    // alpha (dodge gives black).
    static bool usable_as_bottom(int mode);
    // Builds every blend in every variant and draws each once into a small pooled target and
    // into a corner of the window: a software rasteriser compiles a shader's machine code for
    // each kind of target at its first draw, which would otherwise stall the first frames that
    // show a new combination of layers. The window's corner is left with whatever was drawn.
    void warm_up();

private:
    friend class vnt::tSingleton<cPostComp>;
    // The pass itself: `layer` onto `below`, which is the picture below as it is, or the bottom
    // layer to lay over black first.
    void draw(const sLayerPicture& layer, const sLayerPicture& below, bool below_is_bottom);
    // Registers "blend_comp", "add_comp", "dodge_comp" and "screen_comp", in this order; the
    // variants (shd_comp.h) are built when first needed.
    cPostComp();
    ~cPostComp() = default;
};
