// Separable and radial blur: a bright pixel spreads evenly and keeps its energy, the same target
// can be source and destination, the temporary follows the destination's size, the alpha
// variants differ, and the radial blur streaks away from its centre.
#include <gtest/gtest.h>

#include "pass_helpers.h"
#include "postprocessing/blur.h"
#include "postprocessing/radial_blur.h"

using namespace vnt_test;
using RTM = cRenderTargetManager;

using Blur = GLTest;

TEST_F(Blur, SpreadsABrightPixelSymmetricallyAndKeepsItsEnergy)
{
    cRTProxy rt = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(rt->m_width), h = int(rt->m_height), cx = w / 2, cy = h / 2;
    sPicture pic(w, h, {0, 0, 0, 255});
    pic.rect(cx, cy, cx + 1, cy + 1, {255, 255, 255, 255});
    upload(*rt, pic);
    cPostBlur::get_instance()->blur(*rt, *rt, true); // in place
    const sPicture out = download(*rt);

    for (int d = 1; d <= 4; ++d) { // mirror images agree along the axes and a diagonal
        const int right = out.at(cx + d, cy)[0];
        EXPECT_NEAR(out.at(cx - d, cy)[0], right, 1) << d;
        EXPECT_NEAR(out.at(cx, cy + d)[0], right, 1) << d;
        EXPECT_NEAR(out.at(cx, cy - d)[0], right, 1) << d;
        EXPECT_NEAR(out.at(cx + d, cy + d)[0], out.at(cx - d, cy - d)[0], 1) << d;
    }
    // A bell: highest in the middle, falling outwards, nothing past the kernel.
    EXPECT_GT(out.at(cx, cy)[0], out.at(cx + 1, cy)[0]);
    EXPECT_GT(out.at(cx + 1, cy)[0], out.at(cx + 2, cy)[0]);
    EXPECT_GT(out.at(cx + 2, cy)[0], 0);
    EXPECT_LT(out.at(cx, cy)[0], 40);
    EXPECT_EQ(out.at(cx + 7, cy)[0], 0);
    long energy = 0;
    for (size_t i = 0; i < out.px.size(); i += 4)
        energy += out.px[i];
    EXPECT_NEAR(double(energy), 255.0, 255.0 * 0.15); // two passes of 8-bit rounding
    EXPECT_EQ(out.at(cx + 3, cy + 1)[3], 255);
}

TEST_F(Blur, OverwritesTheDestinationThroughATemporaryOfItsSize)
{
    const auto& pool = cRenderTargetManager::get_instance()->pool();
    for (int size : {RTM::RTT_FULL, RTM::RTT_HALF, RTM::RTT_QUATER}) {
        cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
        cRTProxy dst = get_tmp_rt(size);
        upload(*src, sPicture(int(src->m_width), int(src->m_height), {90, 140, 200, 255}));
        upload(*dst, sPicture(int(dst->m_width), int(dst->m_height), {255, 0, 0, 17}));
        cPostBlur::get_instance()->blur(*src, *dst, true);
        // The temporary went back to the pool last: the newest entry tells its class.
        EXPECT_EQ(pool.back().first, size);
        // A flat picture blurs to itself, over every pixel of the dirty destination.
        const sPicture out = download(*dst);
        for (auto [x, y] : {std::pair{0, 0}, {out.w - 1, out.h - 1}, {out.w / 2, out.h / 2}})
            EXPECT_TRUE(near(out.at(x, y), {90, 140, 200, 255}, 1)) << "size " << size;
    }
}

TEST_F(Blur, AlphaIsBlurredOrDroppedByTheVariant)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy kept = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy dropped = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h);
    pic.rect(0, 0, w / 2, h, {200, 100, 50, 255}); // opaque left half, transparent right
    upload(*src, pic);
    cPostBlur::get_instance()->blur(*src, *kept, true);
    cPostBlur::get_instance()->blur(*src, *dropped, false);
    const sPicture a = download(*kept), b = download(*dropped);

    EXPECT_EQ(a.at(w - 5, h / 2)[3], 0);
    EXPECT_EQ(a.at(5, h / 2)[3], 255);
    EXPECT_GT(a.at(w / 2, h / 2)[3], 30); // just right of the edge: partly covered
    EXPECT_LT(a.at(w / 2, h / 2)[3], 225);
    EXPECT_EQ(b.at(w - 5, h / 2)[3], 255);
    EXPECT_EQ(b.at(w / 2, h / 2)[3], 255);
    EXPECT_NEAR(b.at(w / 2, h / 2)[0], a.at(w / 2, h / 2)[0], 1);
}

TEST_F(Blur, ThreeBlursInTwoPassesLookAsThreeBlurs)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy once = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h, {0, 0, 0, 0});
    pic.rect(w / 2, h / 2, w / 2 + 1, h / 2 + 1, {255, 255, 255, 255}); // a spark
    pic.rect(40, 30, 70, 36, {250, 120, 10, 200});                      // a bar
    pic.rect(w - 90, h - 60, w - 40, h - 20, {30, 200, 240, 255});      // a patch
    upload(*src, pic);
    cPostBlur* blur = cPostBlur::get_instance();
    blur->blur_three_times(*src, *once);
    for (int i = 0; i < 3; ++i)
        blur->blur(*src, *src, true);
    const sPicture want = download(*src), got = download(*once);
    // The same bell, to the rounding of the six passes' eight-bit results (the outermost taps
    // are dropped): away from the edges, where each of the three passes repeats the edge.
    int worst = 0;
    for (int y = 12; y < h - 12; ++y)
        for (int x = 12; x < w - 12; ++x)
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, std::abs(int(got.at(x, y)[c]) - int(want.at(x, y)[c])));
    EXPECT_LE(worst, 3);
    // The spark spread as wide: still lit eight texels out, as after three blurs.
    EXPECT_GT(got.at(w / 2 + 6, h / 2)[0], 0);
    EXPECT_NEAR(got.at(w / 2 + 3, h / 2)[0], want.at(w / 2 + 3, h / 2)[0], 1);
}

TEST_F(Blur, RadialBlurStreaksAwayFromItsCentre)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_FULL);
    cRTProxy out = get_tmp_rt(RTM::RTT_FULL);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h, {0, 0, 0, 255});
    pic.rect(900, 340, 940, 380, {255, 255, 255, 255}); // right of the centre (640, 360)
    upload(*src, pic);
    radialblur_params params;
    params.distance = 200;
    params.num_samples = 40;
    cPostRadialBlur::get_instance()->process(*src, *out, params);
    save(*out, "radial_blur_streak");
    const sPicture streaked = download(*out);
    // Pixels on the far side of the square gather it; pixels between it and the centre, above
    // or below it do not.
    EXPECT_GT(streaked.at(1000, 360)[0], 20);
    EXPECT_GT(streaked.at(1080, 360)[0], 5);
    EXPECT_LT(streaked.at(850, 360)[0], 5);
    EXPECT_LT(streaked.at(920, 300)[0], 5);

    // No streak and one sample give the softened picture; the multiplier scales it.
    params.distance = 0;
    params.num_samples = 1;
    params.multiplier = 0.5f;
    upload(*src, sPicture(w, h, {200, 100, 40, 255}));
    cPostRadialBlur::get_instance()->process(*src, *out, params);
    EXPECT_TRUE(near(download(*out).at(300, 200), {100, 50, 20, 255}));
}
