// Layer compositing: the four blends on known colours, the opacity and differently sized
// layers. The state around the pass is checked with the other passes'.
#include <gtest/gtest.h>

#include "gl_extensions.h"
#include "postprocessing/post_comp.h"
#include "postprocessing/spill.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "support/gl_fixture.h"

using namespace vnt_test;

namespace {

class PostComp : public vnt_test::GLTest
{
protected:
    // Composites a layer of one colour onto a below of another and returns the result.
    tPixel blend(int mode, const tPixel& layer, const tPixel& below, float opacity)
    {
        cRTProxy l = rt(layer[0], layer[1], layer[2], layer[3]);
        cRTProxy b = rt(below[0], below[1], below[2], below[3]);
        cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
        cPostComp::get_instance()->comp(*out, *l, *b, &mode, opacity);
        return pixel_of(*out, 10, 10);
    }
    // A quarter-size target of one colour.
    static cRTProxy rt(int r, int g, int b, int a)
    {
        cRTProxy p = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
        fill(*p, r, g, b, a);
        return p;
    }
};

} // namespace

TEST_F(PostComp, BlendModesComputeColourAndAlpha)
{
    // Layer (0.6, 0.4, 0.2) at half alpha over an opaque (0.2, 0.4, 0.8).
    const tPixel layer = {153, 102, 51, 128};
    const tPixel below = {51, 102, 204, 255};
    EXPECT_TRUE(near(blend(cPostComp::BLEND_OVER, layer, below, 1.0f), {102, 102, 127, 255}));
    EXPECT_TRUE(near(blend(cPostComp::BLEND_ADD, layer, below, 1.0f), {128, 153, 230, 255}));
    EXPECT_TRUE(near(blend(cPostComp::BLEND_SCREEN, layer, below, 1.0f), {112, 133, 209, 255}));
    EXPECT_TRUE(near(blend(cPostComp::BLEND_DODGE, layer, below, 1.0f), {89, 136, 230, 255}));

    // Onto transparent black the alpha is the layer's coverage; the opacity scales it.
    const tPixel clear = {0, 0, 0, 0};
    EXPECT_TRUE(near(blend(cPostComp::BLEND_OVER, layer, clear, 1.0f), {77, 51, 26, 128}));
    EXPECT_TRUE(
        near(blend(cPostComp::BLEND_OVER, {255, 255, 255, 255}, clear, 0.25f), {64, 64, 64, 64}));
    // A white layer dodges every non-black channel to white.
    EXPECT_TRUE(near(blend(cPostComp::BLEND_DODGE, {255, 255, 255, 255}, {0, 10, 200, 255}, 1.0f),
                     {0, 255, 255, 255}));
    // Opacity zero leaves what lies below in every mode.
    for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                     cPostComp::BLEND_DODGE})
        EXPECT_TRUE(
            near(blend(mode, {250, 20, 130, 255}, {40, 180, 90, 200}, 0.0f), {40, 180, 90, 200}, 1))
            << "mode " << mode;
}

TEST_F(PostComp, HalfSizeLayerCoversTheWholeOutput)
{
    cRTProxy layer = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cRTProxy below = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    fill(*layer, 255, 0, 0, 255);
    vnt_test::paint(*layer, 0.5f, 0.5f, 1.0f, 1.0f, 0, 255, 0, 255); // top right quarter green
    fill(*below, 0, 0, 255, 255);
    const int mode = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(*out, *layer, *below, &mode, 1.0f);
    const int w = int(out->m_width), h = int(out->m_height);
    EXPECT_TRUE(near(pixel_of(*out, 0, 0), {255, 0, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, w - 1, 0), {255, 0, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, 0, h - 1), {255, 0, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, w - 1, h - 1), {0, 255, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, w / 2 + 4, h / 2 + 4), {0, 255, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, w / 2 - 4, h / 2 - 4), {255, 0, 0, 255}));
}

// The bottom layer laid over black in the next layer's pass, its glow and the layer's added as
// they are read: the picture the separate passes give, for every blend on every usable bottom.
TEST_F(PostComp, TheBottomLayerAndTheGlowsAreLaidInTheNextPassAsInTheirOwn)
{
    EXPECT_FALSE(cPostComp::usable_as_bottom(cPostComp::BLEND_DODGE)); // onto black: black
    cRTProxy bottom = rt(200, 60, 30, 160), bottom_glow = rt(40, 90, 10, 200);
    cRTProxy layer = rt(30, 120, 220, 100), layer_glow = rt(60, 20, 80, 40);
    cRTProxy black = rt(0, 0, 0, 255);
    cPostComp* comp = cPostComp::get_instance();
    for (int bottom_mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN}) {
        for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                         cPostComp::BLEND_DODGE}) {
            for (bool glows : {false, true}) {
                // The long way: each glow in a pass, the bottom onto black, the layer onto that.
                cRTProxy lit_bottom = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                cRTProxy lit_layer = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                cRTProxy below = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                cRTProxy want = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                cPostSpill* spill = cPostSpill::get_instance();
                spill->combine_into(*bottom, *bottom_glow, *lit_bottom, cPostSpill::SPILL_ADD);
                spill->combine_into(*layer, *layer_glow, *lit_layer, cPostSpill::SPILL_ADD);
                comp->comp(*below, glows ? *lit_bottom : *bottom, *black, &bottom_mode, 0.7f);
                comp->comp(*want, glows ? *lit_layer : *layer, *below, &mode, 0.6f);

                cRTProxy got = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                comp->comp_onto_bottom(
                    got.get_rt(),
                    {layer.get_rt(), glows ? layer_glow.get_rt() : nullptr, mode, 0.6f},
                    {bottom.get_rt(), glows ? bottom_glow.get_rt() : nullptr, bottom_mode, 0.7f});
                EXPECT_TRUE(near(pixel_of(*got, 5, 5), pixel_of(*want, 5, 5)))
                    << "bottom " << bottom_mode << ", layer " << mode << ", glows " << glows;
            }
        }
    }
}

TEST_F(PostComp, ALayerIsLaidOverItsTrailInTheSamePassAsInAnOverPassOfItsOwn)
{
    cRTProxy layer = rt(30, 120, 220, 100), trail = rt(180, 40, 90, 150);
    cRTProxy layer_glow = rt(60, 20, 80, 40), bottom = rt(200, 60, 30, 160);
    cRTProxy below = rt(20, 70, 50, 255), black = rt(0, 0, 0, 255);
    const int over = cPostComp::BLEND_OVER;
    cPostComp* comp = cPostComp::get_instance();
    for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                     cPostComp::BLEND_DODGE}) {
        for (bool glows : {false, true}) {
            // The long way: the layer over its trail, its glow added, then composited.
            cRTProxy on_trail = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            cRTProxy lit = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            comp->comp(*on_trail, *layer, *trail, &over, 1.0f);
            cPostSpill::get_instance()->combine_into(*on_trail, *layer_glow, *lit,
                                                     cPostSpill::SPILL_ADD);
            iRenderTarget& whole = glows ? *lit : *on_trail;
            iRenderTarget* glow = glows ? layer_glow.get_rt() : nullptr;
            cRTProxy want = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            comp->comp(*want, whole, *below, &mode, 0.6f);
            cRTProxy got = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            comp->comp(*got, *layer, *below, &mode, 0.6f, glow, trail.get_rt());
            EXPECT_TRUE(near(pixel_of(*got, 5, 5), pixel_of(*want, 5, 5)))
                << "layer " << mode << ", glow " << glows;

            // And onto a bottom layer laid over black in the same pass.
            cRTProxy bottom_on_black = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            comp->comp(*bottom_on_black, *bottom, *black, &over, 0.7f);
            comp->comp(*want, whole, *bottom_on_black, &mode, 0.6f);
            comp->comp_onto_bottom(got.get_rt(), {layer.get_rt(), glow, mode, 0.6f, trail.get_rt()},
                                   {bottom.get_rt(), nullptr, over, 0.7f});
            EXPECT_TRUE(near(pixel_of(*got, 5, 5), pixel_of(*want, 5, 5)))
                << "onto the bottom: layer " << mode << ", glow " << glows;
        }
    }
}

TEST_F(PostComp, ASmallerTrailIsStretchedUnderTheLayer)
{
    // A clear layer over a half-size trail, blue with a green right half: the trail covers
    // the whole picture, its seam in the middle.
    cRTProxy layer = rt(0, 0, 0, 0), below = rt(0, 0, 0, 255);
    cRTProxy trail = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    fill(*trail, 0, 0, 255, 255);
    paint(*trail, 0.5f, 0.0f, 1.0f, 1.0f, 0, 255, 0, 255);
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    const int over = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(*out, *layer, *below, &over, 1.0f, nullptr, trail.get_rt());
    const int w = int(out->m_width), h = int(out->m_height);
    EXPECT_TRUE(near(pixel_of(*out, 3 * w / 8, h / 2), {0, 0, 255, 255}));
    EXPECT_TRUE(near(pixel_of(*out, 5 * w / 8, h / 2), {0, 255, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*out, w - 2, h - 2), {0, 255, 0, 255}));
}

TEST_F(PostComp, ALayerAloneIsLaidOverBlackWithoutReadingBelow)
{
    cRTProxy layer = rt(200, 60, 30, 160), glow = rt(40, 90, 10, 200);
    cRTProxy black = rt(0, 0, 0, 255);
    cPostComp* comp = cPostComp::get_instance();
    for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN}) {
        for (bool glows : {false, true}) {
            cRTProxy lit = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            cPostSpill::get_instance()->combine_into(*layer, *glow, *lit, cPostSpill::SPILL_ADD);
            cRTProxy want = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
            comp->comp(*want, glows ? *lit : *layer, *black, &mode, 0.7f);
            // Whatever the target held before is of no account.
            cRTProxy got = rt(255, 255, 255, 0);
            comp->comp_alone(got.get_rt(),
                             {layer.get_rt(), glows ? glow.get_rt() : nullptr, mode, 0.7f});
            EXPECT_TRUE(near(pixel_of(*got, 5, 5), pixel_of(*want, 5, 5)))
                << "mode " << mode << ", glow " << glows;
        }
    }
}

// The last two layers in one pass, onto the bottom layer laid over black or onto a picture as
// it is: what the two passes give, for every pair of blends, with and without the glows and
// the pictures under. The pass is ready only once prepared.
TEST_F(PostComp, TwoLayersInOnePassGiveWhatTheirTwoPassesGive)
{
    cRTProxy bottom = rt(200, 60, 30, 160), bottom_glow = rt(40, 90, 10, 200);
    cRTProxy middle = rt(30, 120, 220, 100), middle_glow = rt(60, 20, 80, 40);
    cRTProxy middle_under = rt(180, 40, 90, 150), layer = rt(240, 200, 40, 170);
    cRTProxy layer_glow = rt(10, 60, 90, 60), layer_under = rt(20, 150, 120, 90);
    cRTProxy below = rt(90, 90, 160, 220);
    cPostComp* comp = cPostComp::get_instance();
    const int blends[4] = {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                           cPostComp::BLEND_DODGE};
    for (bool on_bottom : {true, false}) {
        for (int middle_mode : blends) {
            for (int mode : blends) {
                for (bool glows : {false, true}) {
                    // The top's picture under and the middle's glow, or the top's glow, the
                    // middle's picture under and the bottom's glow.
                    const bool unders = glows;
                    const cPostComp::sLayerPicture top = {
                        layer.get_rt(), glows ? layer_glow.get_rt() : nullptr, mode, 0.6f,
                        unders ? nullptr : layer_under.get_rt()};
                    const cPostComp::sLayerPicture centre = {
                        middle.get_rt(), glows ? nullptr : middle_glow.get_rt(), middle_mode, 0.8f,
                        unders ? middle_under.get_rt() : nullptr};
                    const cPostComp::sLayerPicture base =
                        on_bottom ? cPostComp::sLayerPicture{bottom.get_rt(),
                                                             glows ? bottom_glow.get_rt() : nullptr,
                                                             cPostComp::BLEND_SCREEN, 0.7f}
                                  : cPostComp::sLayerPicture{below.get_rt(), nullptr,
                                                             cPostComp::BLEND_OVER, 1.0f};
                    cRTProxy between = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                    if (on_bottom)
                        comp->comp_onto_bottom(between.get_rt(), centre, base);
                    else
                        comp->comp(*between, *centre.picture, *below, &middle_mode, 0.8f,
                                   centre.glow, centre.under);
                    cRTProxy want = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                    comp->comp(*want, *layer, *between, &mode, 0.6f, top.glow, top.under);

                    const cPostComp::sLayerShape shapes[3] = {
                        {mode, top.glow != nullptr, top.under != nullptr},
                        {middle_mode, centre.glow != nullptr, centre.under != nullptr},
                        {base.mode, base.glow != nullptr, false}};
                    EXPECT_FALSE(comp->ready_for_two(top, centre, base, on_bottom));
                    comp->warm_up_two(shapes[0], shapes[1], shapes[2], on_bottom);
                    EXPECT_TRUE(comp->ready_for_two(top, centre, base, on_bottom));
                    cRTProxy got = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
                    got->bind_as_target(false);
                    comp->comp_two_here(top, centre, base, on_bottom);
                    got->unbind_as_target();
                    EXPECT_TRUE(near(pixel_of(*got, 5, 5), pixel_of(*want, 5, 5), 2))
                        << "bottom " << on_bottom << ", middle " << middle_mode << ", layer "
                        << mode << ", glows " << glows;
                }
            }
        }
    }
    // Only the four blends have such a pass.
    const cPostComp::sLayerPicture odd = {layer.get_rt(), nullptr, 7, 1.0f};
    const cPostComp::sLayerPicture plain = {below.get_rt(), nullptr, cPostComp::BLEND_OVER, 1.0f};
    comp->warm_up_two({7, false, false}, {0, false, false}, {0, false, false}, false);
    EXPECT_FALSE(comp->ready_for_two(odd, plain, plain, false));
    EXPECT_FALSE(comp->ready_for_two(plain, odd, plain, false));
}
