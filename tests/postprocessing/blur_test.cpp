// Separable and radial blur: a bright pixel spreads evenly and keeps its energy, the same target
// can be source and destination, the temporary follows the destination's size, the alpha
// variants differ, and the radial blur streaks towards its centre.
#include <gtest/gtest.h>

#include "pass_helpers.h"
#include "postprocessing/blur.h"
#include "postprocessing/radial_blur.h"
#include "render_target_manager.h"
#include "video_module.h"

using namespace vnt_test;

namespace {

using RTM = cRenderTargetManager;

class Blur : public GLTest
{
};

} // namespace

TEST_F(Blur, SpreadsABrightPixelSymmetricallyAndKeepsItsEnergy)
{
    cRTProxy rt = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(rt->m_width), h = int(rt->m_height);
    const int cx = w / 2, cy = h / 2;
    sPicture pic(w, h, {0, 0, 0, 255});
    pic.set(cx, cy, {255, 255, 255, 255});
    upload(*rt, pic);

    cPostBlur::get_instance()->blur(*rt, *rt, true);
    const sPicture out = download(*rt);
    save(*rt, "blur_bright_pixel");

    // Mirror images around the pixel agree, along the axes and the diagonals.
    for (int d = 1; d <= 4; ++d) {
        const int right = out.at(cx + d, cy)[0];
        EXPECT_NEAR(out.at(cx - d, cy)[0], right, 1) << "d " << d;
        EXPECT_NEAR(out.at(cx, cy + d)[0], right, 1) << "d " << d;
        EXPECT_NEAR(out.at(cx, cy - d)[0], right, 1) << "d " << d;
        EXPECT_NEAR(out.at(cx + d, cy + d)[0], out.at(cx - d, cy - d)[0], 1) << "d " << d;
    }
    // A bell: the peak is in the middle, falls off outwards and is gone past the kernel.
    EXPECT_GT(out.at(cx, cy)[0], out.at(cx + 1, cy)[0]);
    EXPECT_GT(out.at(cx + 1, cy)[0], out.at(cx + 2, cy)[0]);
    EXPECT_GT(out.at(cx + 2, cy)[0], 0);
    EXPECT_LT(out.at(cx, cy)[0], 40);
    EXPECT_EQ(out.at(cx + 7, cy)[0], 0);
    EXPECT_EQ(out.at(cx, cy - 7)[0], 0);
    // The energy stays within what 8-bit rounding of two passes can lose or add.
    EXPECT_NEAR(double(out.sum(0)), 255.0, 255.0 * 0.15);
    // Alpha was opaque everywhere and stays so.
    EXPECT_EQ(out.at(cx + 3, cy + 1)[3], 255);
}

TEST_F(Blur, OverwritesADirtyDestinationWithTheBlurredSource)
{
    // A flat picture blurs to itself whatever the destination held and whatever its size.
    for (int size : {RTM::RTT_FULL, RTM::RTT_HALF, RTM::RTT_QUATER}) {
        cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
        cRTProxy dst = get_tmp_rt(size);
        upload(*src, sPicture(int(src->m_width), int(src->m_height), {90, 140, 200, 255}));
        upload(*dst, sPicture(int(dst->m_width), int(dst->m_height), {255, 0, 0, 17}));
        cPostBlur::get_instance()->blur(*src, *dst, true);
        const sPicture out = download(*dst);
        const int w = out.w, h = out.h;
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, h - 1}, {w / 2, h / 2}, {w - 1, 0}})
            EXPECT_TRUE(close(out.at(x, y), {90, 140, 200, 255}, 1)) << "size " << size;
    }
}

TEST_F(Blur, AlphaIsBlurredOrDroppedByTheVariant)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h, {0, 0, 0, 0});
    pic.rect(0, 0, w / 2, h, {200, 100, 50, 255}); // opaque left half, transparent right
    cRTProxy kept = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy dropped = get_tmp_rt(RTM::RTT_QUATER);
    upload(*src, pic);
    cPostBlur::get_instance()->blur(*src, *kept, true);
    cPostBlur::get_instance()->blur(*src, *dropped, false);
    const sPicture a = download(*kept), b = download(*dropped);

    EXPECT_EQ(a.at(w - 5, h / 2)[3], 0);
    EXPECT_EQ(a.at(5, h / 2)[3], 255);
    const int edge = a.at(w / 2, h / 2)[3]; // just right of the edge: partly covered
    EXPECT_GT(edge, 30);
    EXPECT_LT(edge, 225);
    // Without alpha everything is opaque; the colour is blurred the same way.
    EXPECT_EQ(b.at(w - 5, h / 2)[3], 255);
    EXPECT_EQ(b.at(w / 2, h / 2)[3], 255);
    EXPECT_NEAR(b.at(w / 2, h / 2)[0], a.at(w / 2, h / 2)[0], 1);
}

TEST_F(Blur, TemporaryFollowsTheDestinationsSizeClass)
{
    const unsigned vp = cVideoModule::get_instance()->get_vp_width();
    EXPECT_EQ(cPostBlur::size_class_for(vp), RTM::RTT_FULL);
    EXPECT_EQ(cPostBlur::size_class_for(vp * 2), RTM::RTT_FULL);
    EXPECT_EQ(cPostBlur::size_class_for(vp / 2), RTM::RTT_HALF);
    EXPECT_EQ(cPostBlur::size_class_for(vp / 3), RTM::RTT_QUATER);
    EXPECT_EQ(cPostBlur::size_class_for(vp / 4), RTM::RTT_QUATER);
    EXPECT_EQ(cPostBlur::size_class_for(vp / 8), RTM::RTT_EIGHTH);
    EXPECT_EQ(cPostBlur::size_class_for(vp / 10), RTM::RTT_EIGHTH);
    EXPECT_EQ(cPostBlur::size_class_for(0), RTM::RTT_EIGHTH);

    // The temporary goes back to the pool last, so the pool's newest entry tells its class.
    const auto& pool = cRenderTargetManager::get_instance()->pool();
    for (int size : {RTM::RTT_HALF, RTM::RTT_FULL, RTM::RTT_QUATER}) {
        cRTProxy rt = get_tmp_rt(size);
        cPostBlur::get_instance()->blur(*rt, *rt, false);
        EXPECT_EQ(pool.back().first, size);
    }
}

TEST_F(Blur, RadialBlurStreaksTowardsItsCentre)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_FULL);
    cRTProxy out = get_tmp_rt(RTM::RTT_FULL);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h, {0, 0, 0, 255});
    pic.rect(900, 340, 940, 380, {255, 255, 255, 255}); // a bright square right of the centre
    upload(*src, pic);

    radialblur_params params;
    params.center_x = 640;
    params.center_y = 360;
    params.distance = 200;
    params.num_samples = 40;
    params.size = RTM::RTT_HALF;
    cPostRadialBlur::get_instance()->process(*src, *out, params);
    save(*out, "radial_blur_streak");
    const sPicture streaked = download(*out);
    // Pixels on the far side of the square (away from the centre) gather it; pixels between
    // it and the centre do not, and neither do pixels above or below it.
    EXPECT_GT(streaked.at(1000, 360)[0], 20);
    EXPECT_GT(streaked.at(1080, 360)[0], 5);
    EXPECT_LT(streaked.at(850, 360)[0], 5);
    EXPECT_LT(streaked.at(920, 300)[0], 5);

    // No streak and one sample: the softened picture itself; the multiplier scales it.
    params.distance = 0;
    params.num_samples = 1;
    params.multiplier = 0.5f;
    upload(*src, sPicture(w, h, {200, 100, 40, 255}));
    cPostRadialBlur::get_instance()->process(*src, *out, params);
    EXPECT_TRUE(close(download(*out).at(300, 200), {100, 50, 20, 255}, 2));
}
