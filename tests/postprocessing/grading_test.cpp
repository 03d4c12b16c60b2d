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
using RTM = cRenderTargetManager;
using tPass = std::function<void(iRenderTarget&, iRenderTarget&)>;

namespace {

class Grading : public GLTest
{
protected:
    // One flat colour through a pass; the result's pixel.
    static tPixel through(tPixel colour, const tPass& pass)
    {
        cRTProxy src = get_tmp_rt(RTM::RTT_EIGHTH);
        cRTProxy out = get_tmp_rt(RTM::RTT_EIGHTH);
        upload(*src, sPicture(int(src->m_width), int(src->m_height), colour));
        pass(*src, *out);
        return download(*out).at(7, 5);
    }
    // The largest channel change a pass makes to a picture of gradients and alpha bands.
    static int change_of_gradient(const tPass& pass)
    {
        cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
        cRTProxy out = get_tmp_rt(RTM::RTT_QUATER);
        sPicture pic(int(src->m_width), int(src->m_height));
        for (int i = 0; i < pic.w * pic.h; ++i) {
            const int x = i % pic.w, y = i / pic.w;
            pic.rect(x, y, x + 1, y + 1,
                     {uint8_t(x * 255 / (pic.w - 1)), uint8_t(y * 255 / (pic.h - 1)),
                      uint8_t(x + y), uint8_t(64 + 64 * (y % 3))});
        }
        upload(*src, pic);
        pass(*src, *out);
        const sPicture got = download(*out);
        int worst = 0;
        for (size_t i = 0; i < pic.px.size(); ++i)
            worst = std::max(worst, std::abs(int(got.px[i]) - int(pic.px[i])));
        return worst;
    }
    // A pass that grades through `Pass` with the parameters `p`.
    template <class Pass, class Params> static tPass graded(const Params& p)
    {
        return [p](iRenderTarget& s, iRenderTarget& o) { Pass::get_instance()->process(s, o, p); };
    }
    static tPixel levels(tPixel c, levels_params p) { return through(c, graded<cPostLevels>(p)); }
    static tPixel hsb(tPixel c, hsb_params p) { return through(c, graded<cPostHSB>(p)); }
    static tPixel hueshift(tPixel c, hueshift_params p)
    {
        return through(c, graded<cPostHueShift>(p));
    }
};

// A picture file in a folder of the search path.
std::string write_picture(const std::string& name, const sPicture& pic)
{
    static const std::string dir = [] {
        const std::string d = temp_dir("post_pictures");
        cResourcePath::get_instance()->push_searchpath(d + "/");
        return d;
    }();
    EXPECT_TRUE(write_png((dir + "/" + name).c_str(), pic.w, pic.h, pic.px));
    return name;
}

} // namespace

TEST_F(Grading, LevelsStretchTheInputRangeThroughTheGamma)
{
    EXPECT_LE(change_of_gradient(graded<cPostLevels>(levels_params{})), 1);
    // A raised black point cuts the darks and stretches the rest.
    EXPECT_TRUE(near(levels({50, 100, 255, 77}, {100, 255, 1, 0, 255}), {0, 0, 255, 77}));
    EXPECT_TRUE(near(levels({178, 216, 140, 255}, {100, 255, 1, 0, 255}), {127, 189, 65, 255}));
    EXPECT_TRUE(near(levels({100, 200, 250, 255}, {0, 200, 1, 0, 255}), {128, 255, 255, 255}));
    EXPECT_TRUE(near(levels({64, 0, 255, 255}, {0, 255, 2, 0, 255}), {128, 0, 255, 255}));
    EXPECT_TRUE(near(levels({0, 255, 128, 255}, {0, 255, 1, 50, 150}), {50, 150, 100, 255}));
    // An empty input range is a threshold, never a division by zero.
    EXPECT_TRUE(near(levels({100, 140, 121, 255}, {120, 120, 1, 0, 255}), {0, 255, 255, 255}));
}

TEST_F(Grading, HsbWorksInDegreesAndPercent)
{
    EXPECT_LE(change_of_gradient(graded<cPostHSB>(hsb_params{})), 1);
    EXPECT_TRUE(near(hsb({255, 0, 0, 200}, {90, 0, 0}), {128, 255, 0, 200}));
    EXPECT_TRUE(near(hsb({255, 0, 0, 200}, {-120, 0, 0}), {0, 0, 255, 200}));
    EXPECT_TRUE(near(hsb({0, 255, 0, 255}, {60, 0, 0}), {0, 255, 255, 255}));
    EXPECT_TRUE(near(hsb({200, 100, 60, 255}, {0, -100, 0}), {120, 120, 120, 255})); // grey
    EXPECT_TRUE(near(hsb({200, 100, 60, 255}, {0, -50, 0}), {160, 110, 90, 255}));
    EXPECT_TRUE(near(hsb({200, 100, 60, 255}, {0, 50, 0}), {240, 90, 30, 255}));
    EXPECT_TRUE(near(hsb({100, 50, 25, 255}, {0, 0, 20}), {151, 101, 76, 255}));
}

TEST_F(Grading, HueShiftTurnsWithOffsetAndLuminance)
{
    // Whole turns change nothing.
    EXPECT_LE(change_of_gradient(graded<cPostHueShift>(hueshift_params{1080, 0, 0, 0})), 2);
    EXPECT_TRUE(near(hueshift({255, 0, 0, 255}, {120, 0, 0, 0}), {0, 255, 0, 255}));
    // Red's luminance is 0.299: a third of a turn per 0.299 makes it green too.
    EXPECT_TRUE(
        near(hueshift({255, 0, 0, 255}, {0, 0, 0, 1.0f / 3 / 0.299f}), {0, 255, 0, 255}, 3));
    EXPECT_TRUE(near(hueshift({90, 90, 90, 255}, {45, 0, 0, 7}), {90, 90, 90, 255}));
}

TEST_F(Grading, ColourCorrectionMapsEveryChannelThroughTheLookup)
{
    // One row: red inverted, green halved, blue a step. Six rows: read along the middle one.
    // Neither size is a power-of-two picture, and both must still be sampled.
    sPicture one_row(256, 1), six_rows(256, 6);
    for (int x = 0; x < 256; ++x) {
        one_row.rect(x, 0, x + 1, 1,
                     {uint8_t(255 - x), uint8_t(x / 2), uint8_t(x < 128 ? 0 : 255), 255});
        six_rows.rect(x, 0, x + 1, 6, {uint8_t(x), uint8_t(255 - x), 128, 255});
    }
    cPostColorCorrection first(write_picture("lookup_one_row.png", one_row));
    cPostColorCorrection second(write_picture("lookup_six_rows.png", six_rows));
    const auto corrected = [](cPostColorCorrection& c, tPixel colour) {
        return through(colour, [&](auto& s, auto& o) { c.process(s, o); });
    };
    EXPECT_TRUE(near(corrected(first, {30, 200, 100, 99}), {225, 100, 0, 99}, 1));
    EXPECT_TRUE(near(corrected(first, {255, 0, 200, 255}), {0, 0, 255, 255}, 1));
    EXPECT_TRUE(near(corrected(second, {10, 10, 10, 255}), {10, 245, 128, 255}, 1));
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
    bpic.rect(0, 0, bpic.w / 2, bpic.h, {128, 0, 255, 255});
    upload(*b, bpic);

    spill->combine_into(*a, *b, *out, cPostSpill::SPILL_ADD);
    for (const char* name : {"spill_shader", "coldodge_shader", "coldodge_mask_shader"})
        EXPECT_NE(cShaderManager_GLSL::get_instance()->get_shader(name), nullptr) << name;
    EXPECT_TRUE(near(download(*out).at(w - 3, 3), {200, 255, 255, 255}));
    EXPECT_TRUE(near(download(*out).at(3, 3), {228, 50, 255, 255}));
    spill->combine_into(*a, *b, *out, cPostSpill::COLOR_DODGE);
    EXPECT_TRUE(near(download(*out).at(3, 3), {201, 50, 255, 128}));

    // A mask white in its top half lets the dodge through there only.
    sPicture mask(4, 4, {0, 0, 0, 255});
    mask.rect(0, 2, 4, 4, {255, 255, 255, 255});
    cTexProxy tex = cTextureManager::get_instance()->get_texture(
        write_picture("dodge_mask.png", mask), false, GL_CLAMP_TO_EDGE, 0);
    out->bind_as_target(false);
    spill->combine(*a, *b, cPostSpill::COLOR_DODGE, &tex);
    out->unbind_as_target();
    EXPECT_TRUE(near(download(*out).at(3, h - 3), {201, 50, 255, 128}));
    EXPECT_TRUE(near(download(*out).at(3, 3), {100, 50, 200, 128}));
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
    cPostGlow::get_instance()->glow(*src, *out, {RTM::RTT_QUATER, 0, 255});
    save(*out, "glow_everything");
    sPicture g = download(*out);
    EXPECT_TRUE(near(g.at(40, h / 2), {120, 120, 120, 255}, 3)); // flat parts double
    EXPECT_GT(g.at(w / 2 + 2, h / 2 - 100)[0], 5);               // the dim half spills over
    EXPECT_LT(g.at(w / 2 + 2, h / 2 - 100)[0], 60);
    EXPECT_EQ(g.at(w / 2 + 60, h - 10)[0], 0);

    // At pre-cut 128 only the bright square glows; the dim half stays exactly as it was.
    cPostGlow::get_instance()->glow(*src, *out, {RTM::RTT_QUATER, 128, 160});
    save(*out, "glow_bright_parts");
    g = download(*out);
    EXPECT_TRUE(near(g.at(40, h / 2), {60, 60, 60, 255}, 0));
    EXPECT_TRUE(near(g.at(w / 2 + 120, h / 2), {255, 255, 255, 255}, 1));
    const tPixel halo = g.at(w / 2 + 90, h / 2); // beside the square, in its warm colour
    EXPECT_GT(halo[0], 20);
    EXPECT_GT(halo[0], halo[2]);
    EXPECT_EQ(g.at(w / 2 + 40, h / 2)[0], 0);

    // One blur pass instead of three: a narrower halo, as strong at the square's edge.
    cPostGlow::get_instance()->glow(*src, *out, {RTM::RTT_QUATER, 128, 160, 1});
    const sPicture narrow = download(*out);
    EXPECT_LT(narrow.at(w / 2 + 90, h / 2)[0], halo[0]);
    EXPECT_GT(narrow.at(w / 2 + 98, h / 2)[0], 20);
}
