// Colour grading by pixels: levels, hue/saturation/brightness, hue shift, the lookup
// correction, spill and colour dodge (with and without mask) and the glow built from them.
#include <gtest/gtest.h>

#include <string>

#include "pass_helpers.h"
#include "postprocessing/color_correction.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/levels.h"
#include "postprocessing/spill.h"
#include "resource_path.h"
#include "support/test_media.h"
#include "texture_manager.h"

using namespace vnt_test;

namespace {

using RTM = cRenderTargetManager;

// Red grows to the right, green upwards, blue is the mixed diagonal; alpha varies in bands.
sPicture gradient(int w, int h)
{
    sPicture pic(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.set(x, y, {x * 255 / (w - 1), y * 255 / (h - 1), (x + y) % 256, 64 + 64 * (y % 3)});
    return pic;
}

class Grading : public GLTest
{
protected:
    // One flat colour through a pass; the result's pixel.
    template <class Pass> tRGBA through(tRGBA colour, Pass pass)
    {
        cRTProxy src = get_tmp_rt(RTM::RTT_EIGHTH);
        cRTProxy out = get_tmp_rt(RTM::RTT_EIGHTH);
        upload(*src, sPicture(int(src->m_width), int(src->m_height), colour));
        pass(*src, *out);
        return download(*out).at(7, 5);
    }
    tRGBA levels(tRGBA colour, levels_params p)
    {
        return through(colour, [&](iRenderTarget& s, iRenderTarget& o) {
            cPostLevels::get_instance()->process(s, o, p);
        });
    }
    tRGBA hsb(tRGBA colour, hsb_params p)
    {
        return through(colour, [&](iRenderTarget& s, iRenderTarget& o) {
            cPostHSB::get_instance()->process(s, o, p);
        });
    }
    tRGBA hueshift(tRGBA colour, hueshift_params p)
    {
        return through(colour, [&](iRenderTarget& s, iRenderTarget& o) {
            cPostHueShift::get_instance()->process(s, o, p);
        });
    }
    // The largest change a pass makes to the gradient picture.
    template <class Pass> int change_of_gradient(Pass pass)
    {
        cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
        cRTProxy out = get_tmp_rt(RTM::RTT_QUATER);
        const sPicture pic = gradient(int(src->m_width), int(src->m_height));
        upload(*src, pic);
        pass(*src, *out);
        return max_difference(download(*out), pic);
    }
};

// A lookup picture 256 columns wide in the search path, one row per entry of `rows`.
std::string write_lookup(const std::string& name, int rows, tRGBA (*map)(int level))
{
    static const std::string dir = [] {
        const std::string d = temp_dir("post_lookups");
        cResourcePath::get_instance()->push_searchpath(d + "/");
        return d;
    }();
    sPicture pic(256, rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 256; ++x)
            pic.set(x, y, map(x));
    EXPECT_TRUE(write_png((dir + "/" + name).c_str(), 256, rows, pic.px));
    return name;
}

} // namespace

TEST_F(Grading, LevelsStretchTheInputRangeThroughTheGamma)
{
    EXPECT_LE(change_of_gradient([](iRenderTarget& s, iRenderTarget& o) {
                  cPostLevels::get_instance()->process(s, o, levels_params{});
              }),
              1);

    levels_params black; // a raised black point cuts the darks and stretches the rest
    black.in_black = 100;
    EXPECT_TRUE(close(levels({50, 100, 255, 77}, black), {0, 0, 255, 77}));
    EXPECT_TRUE(close(levels({178, 216, 140, 255}, black), {127, 189, 65, 255}));

    levels_params white; // a lowered white point clips the brights
    white.in_white = 200;
    EXPECT_TRUE(close(levels({100, 200, 250, 255}, white), {128, 255, 255, 255}));

    levels_params gamma; // gamma 2 lifts a quarter to a half
    gamma.gamma = 2;
    EXPECT_TRUE(close(levels({64, 0, 255, 255}, gamma), {128, 0, 255, 255}));

    levels_params out; // the output range squeezes black and white together
    out.out_black = 50;
    out.out_white = 150;
    EXPECT_TRUE(close(levels({0, 255, 128, 255}, out), {50, 150, 100, 255}));

    levels_params flat; // an empty input range is a hard threshold, never a division by zero
    flat.in_black = 120;
    flat.in_white = 120;
    EXPECT_TRUE(close(levels({100, 140, 121, 255}, flat), {0, 255, 255, 255}));
}

TEST_F(Grading, HsbWorksInDegreesAndPercent)
{
    EXPECT_LE(change_of_gradient([](iRenderTarget& s, iRenderTarget& o) {
                  cPostHSB::get_instance()->process(s, o, hsb_params{});
              }),
              1);

    const tRGBA red = {255, 0, 0, 200};
    EXPECT_TRUE(close(hsb(red, {90, 0, 0}), {128, 255, 0, 200}));
    EXPECT_TRUE(close(hsb(red, {-120, 0, 0}), {0, 0, 255, 200}));
    EXPECT_TRUE(close(hsb(red, {180, 0, 0}), {0, 255, 255, 200}));
    EXPECT_TRUE(close(hsb({0, 255, 0, 255}, {60, 0, 0}), {0, 255, 255, 255}));

    // Saturation scales the distance from the colour's brightest channel.
    EXPECT_TRUE(close(hsb({200, 100, 50, 255}, {0, -100, 0}), {200, 200, 200, 255}));
    EXPECT_TRUE(close(hsb({200, 100, 50, 255}, {0, -50, 0}), {200, 150, 125, 255}));
    EXPECT_TRUE(close(hsb({200, 150, 100, 255}, {0, 100, 0}), {200, 100, 0, 255}));

    // Brightness moves the value and keeps hue and saturation.
    EXPECT_TRUE(close(hsb({100, 50, 25, 255}, {0, 0, 20}), {151, 76, 38, 255}));
    EXPECT_TRUE(close(hsb({100, 50, 25, 255}, {0, 0, -100}), {0, 0, 0, 255}));
}

TEST_F(Grading, HueShiftTurnsWithOffsetAndLuminance)
{
    EXPECT_LE(change_of_gradient([](iRenderTarget& s, iRenderTarget& o) {
                  cPostHueShift::get_instance()->process(s, o, hueshift_params{});
              }),
              1);
    // Whole turns of offset change nothing.
    EXPECT_LE(change_of_gradient([](iRenderTarget& s, iRenderTarget& o) {
                  cPostHueShift::get_instance()->process(s, o, {1080, 0, 0, 0});
              }),
              2);

    const tRGBA red = {255, 0, 0, 255};
    EXPECT_TRUE(close(hueshift(red, {120, 0, 0, 0}), {0, 255, 0, 255}));
    // Red's luminance is 0.299: a multiplier of 1/3 turn per 0.299 makes it green too.
    EXPECT_TRUE(close(hueshift(red, {0, 0, 0, 1.0f / 3.0f / 0.299f}), {0, 255, 0, 255}, 3));
    // Greys have no hue to turn.
    EXPECT_TRUE(close(hueshift({90, 90, 90, 255}, {45, 0, 0, 7}), {90, 90, 90, 255}));
    // Saturation and brightness act as in the HSB pass.
    EXPECT_TRUE(close(hueshift({200, 100, 50, 255}, {0, -100, 0, 0}), {200, 200, 200, 255}));
    EXPECT_TRUE(close(hueshift({100, 50, 25, 255}, {0, 0, 20, 0}), {151, 76, 38, 255}));
}

TEST_F(Grading, ColourCorrectionMapsEveryChannelThroughTheLookup)
{
    // A one-row lookup: red inverted, green halved, blue a hard step; the alpha is kept.
    const std::string name = write_lookup("lookup_one_row.png", 1, [](int level) -> tRGBA {
        return {255 - level, level / 2, level < 128 ? 0 : 255, 255};
    });
    cPostColorCorrection correction(name);
    ASSERT_TRUE(correction.lookup().isValid());
    EXPECT_EQ(correction.lookup().get_target(), GLenum(GL_TEXTURE_2D));

    const tRGBA got = through(
        {30, 200, 100, 99}, [&](iRenderTarget& s, iRenderTarget& o) { correction.process(s, o); });
    EXPECT_TRUE(close(got, {225, 100, 0, 99}, 1));
    const tRGBA bright = through(
        {255, 0, 200, 255}, [&](iRenderTarget& s, iRenderTarget& o) { correction.process(s, o); });
    EXPECT_TRUE(close(bright, {0, 0, 255, 255}, 1));

    // A taller lookup is read along its middle row.
    const std::string tall = write_lookup("lookup_tall.png", 6, [](int level) -> tRGBA {
        return {level, 255 - level, 128, 255};
    });
    cPostColorCorrection second(tall);
    const tRGBA mid = through({10, 10, 10, 255},
                              [&](iRenderTarget& s, iRenderTarget& o) { second.process(s, o); });
    EXPECT_TRUE(close(mid, {10, 245, 128, 255}, 1));
}

TEST_F(Grading, SpillAddsAndDodgeDividesOptionallyThroughAMask)
{
    cPostSpill* spill = cPostSpill::get_instance();
    cRTProxy a = get_tmp_rt(RTM::RTT_EIGHTH);
    cRTProxy b = get_tmp_rt(RTM::RTT_QUATER); // another size: sampled over its whole extent
    cRTProxy out = get_tmp_rt(RTM::RTT_EIGHTH);
    const int w = int(a->m_width), h = int(a->m_height);
    upload(*a, sPicture(w, h, {100, 50, 200, 128}));
    sPicture bpic(int(b->m_width), int(b->m_height), {100, 250, 100, 255});
    bpic.rect(0, 0, int(b->m_width) / 2, int(b->m_height), {128, 0, 255, 255});
    upload(*b, bpic);

    spill->combine_into(*a, *b, *out, cPostSpill::SPILL_ADD);
    EXPECT_TRUE(spill->shaders_registered());
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    for (const char* name : {"spill_shader", "coldodge_shader", "coldodge_mask_shader"})
        EXPECT_NE(shaders->get_shader(name), nullptr) << name;
    EXPECT_TRUE(close(download(*out).at(w - 3, 3), {200, 255, 255, 255}));
    EXPECT_TRUE(close(download(*out).at(3, 3), {228, 50, 255, 255}));

    spill->combine_into(*a, *b, *out, cPostSpill::COLOR_DODGE);
    EXPECT_TRUE(close(download(*out).at(3, 3), {201, 50, 255, 128}));

    // The mask (a 2D texture) lets the dodge through where it is white, top half only.
    sPicture mask(4, 4, {0, 0, 0, 255});
    mask.rect(0, 2, 4, 4, {255, 255, 255, 255});
    const std::string dir = temp_dir("post_mask");
    cResourcePath::get_instance()->push_searchpath(dir + "/");
    ASSERT_TRUE(write_png((dir + "/dodge_mask.png").c_str(), 4, 4, mask.px));
    cTexProxy tex =
        cTextureManager::get_instance()->get_texture("dodge_mask.png", false, GL_CLAMP_TO_EDGE, 0);
    ASSERT_EQ(tex.get_target(), GLenum(GL_TEXTURE_2D));
    out->bind_as_target(false);
    spill->combine(*a, *b, cPostSpill::COLOR_DODGE, &tex);
    out->unbind_as_target();
    const sPicture masked = download(*out);
    EXPECT_TRUE(close(masked.at(3, h - 3), {201, 50, 255, 128}));
    EXPECT_TRUE(close(masked.at(3, 3), {100, 50, 200, 128}));
}

TEST_F(Grading, GlowAddsABlurredCopyOfItsBrightParts)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy out = get_tmp_rt(RTM::RTT_HALF);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h, {0, 0, 0, 255});
    pic.rect(0, 0, w / 2, h, {60, 60, 60, 255}); // dim left half
    pic.rect(w / 2 + 100, h / 2 - 20, w / 2 + 140, h / 2 + 20, {255, 240, 200, 255});
    upload(*src, pic);

    // Pre-cut 0 and post-cut 255: the whole picture blurred and added.
    glow_params all;
    all.precut = 0;
    all.postcut = 255;
    all.size = RTM::RTT_QUATER;
    cPostGlow::get_instance()->glow(*src, *out, all);
    save(*out, "glow_everything");
    sPicture g = download(*out);
    EXPECT_TRUE(close(g.at(40, h / 2), {120, 120, 120, 255}, 3)); // flat parts double
    EXPECT_TRUE(close(g.at(w / 2 - 60, 20), {120, 120, 120, 255}, 3));
    EXPECT_GT(g.at(w / 2 + 2, h / 2 - 100)[0], 5); // the dim half spills over its edge
    EXPECT_LT(g.at(w / 2 + 2, h / 2 - 100)[0], 60);
    EXPECT_EQ(g.at(w / 2 + 60, h - 10)[0], 0); // far from anything: still black

    // Only the bright square glows at pre-cut 128: the dim half is left exactly as it was.
    glow_params bright;
    bright.precut = 128;
    bright.postcut = 160;
    bright.size = RTM::RTT_QUATER;
    cPostGlow::get_instance()->glow(*src, *out, bright);
    save(*out, "glow_bright_parts");
    g = download(*out);
    EXPECT_TRUE(close(g.at(40, h / 2), {60, 60, 60, 255}, 0));
    EXPECT_TRUE(close(g.at(w / 2 + 120, h / 2), {255, 255, 255, 255}, 1)); // saturates
    const tRGBA halo = g.at(w / 2 + 90, h / 2);                            // beside the square
    EXPECT_GT(halo[0], 20);
    EXPECT_GT(halo[0], halo[2]); // the glow keeps the square's warm colour
    EXPECT_EQ(g.at(w / 2 + 40, h / 2)[0], 0);
}
