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
    // `middle` blended onto the picture below, then `layer` onto that, in one pass into
    // whatever is bound: what comp() would give through a picture in between, without it. The
    // picture below is `below` as it is, or with `below_is_bottom` the bottom layer laid over
    // opaque black as comp_onto_bottom() does (its blend usable_as_bottom()).
    void comp_two_here(const sLayerPicture& layer, const sLayerPicture& middle,
                       const sLayerPicture& below, bool below_is_bottom);
    // The bottom layer alone over opaque black, its glow added: the whole picture when no
    // layer lies above it, in one pass that reads nothing below. Into `out`, or into whatever
    // is bound when `out` is null. The blend must be usable_as_bottom().
    void comp_alone(iRenderTarget* out, const sLayerPicture& bottom);
    // Whether comp_two_here() has its pass for these pictures built (by warm_up_two()), so that
    // it would not be built in the middle of the show; false for blends other than the four.
    bool ready_for_two(const sLayerPicture& layer, const sLayerPicture& middle,
                       const sLayerPicture& below, bool below_is_bottom);
    // What a layer brings to a pass: its blend, whether a glow and a picture under it come
    // with its picture (a bottom layer has none under it).
    struct sLayerShape
    {
        int mode;
        bool glow;
        bool under;
    };
    // Builds the pass comp_two_here() takes for layers of these shapes and draws it once, as
    // warm_up() does its own, unless it is built already. Nothing for blends other than the
    // four, nor where the driver has fewer than eight texture units or coordinate sets.
    void warm_up_two(const sLayerShape& layer, const sLayerShape& middle, const sLayerShape& below,
                     bool below_is_bottom);
    // One of the four blends above.
    static bool is_blend(int mode);
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
    // Whether comp_two_here() has a pass for these blends: the four, with a bottom layer's
    // usable_as_bottom().
    static bool blends_two(int mode, int middle_mode, int below_mode, bool below_is_bottom);
    // The eVariant flags of the compositing shader for the pass.
    static int variant_of(const sLayerPicture& layer, const sLayerPicture& below,
                          bool below_is_bottom, const sLayerPicture* middle);
    // The pass itself: `layer` onto `below`, which is the picture below as it is, or the bottom
    // layer to lay over black first; a `middle` layer is blended onto that first.
    void draw(const sLayerPicture& layer, const sLayerPicture& below, bool below_is_bottom,
              const sLayerPicture* middle = nullptr);
    // Registers "blend_comp", "add_comp", "dodge_comp" and "screen_comp", in this order; the
    // variants (shd_comp.h) are built when first needed.
    cPostComp();
    ~cPostComp() = default;
};
