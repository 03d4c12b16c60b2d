// Feedback trail by pixels: the fade halves or keeps old pictures, the transform works about
// the image's centre, a new feedback image starts empty, any target size is accepted and a
// caller's shader does not reach the trail's own quads.
#include <gtest/gtest.h>

#include "pass_helpers.h"
#include "postprocessing/feedback.h"
#include "postprocessing/levels.h"

using namespace vnt_test;
using RTM = cRenderTargetManager;

namespace {

class Feedback : public GLTest
{
protected:
    void TearDown() override
    {
        cPostFeedback::destroy_instance(); // as the owning scene does
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
        GLTest::TearDown();
    }
    // One frame: `pic` through the trail into `out`; the output's picture.
    static sPicture frame(iRenderTarget& src, iRenderTarget& out, const sPicture& pic,
                          const feedback_params& params)
    {
        upload(src, pic);
        cPostFeedback::get_instance()->apply(src, out, params);
        return download(out);
    }
    static sPicture fed_back() { return download(*cPostFeedback::get_instance()->feedback()); }
};

} // namespace

TEST_F(Feedback, FadeHalvesOrKeepsOlderPictures)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy out = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height);
    const sPicture empty(w, h);
    sPicture square(w, h), moved(w, h);
    square.rect(40, 40, 80, 80, {255, 200, 100, 255});
    moved.rect(200, 100, 240, 140, {0, 0, 255, 255});

    feedback_params keep;
    keep.fade = 0;
    frame(*src, *out, square, keep);
    sPicture later = frame(*src, *out, moved, keep);
    for (int i = 0; i < 3; ++i)
        later = frame(*src, *out, empty, keep);
    EXPECT_TRUE(near(later.at(60, 60), {255, 200, 100, 255}, 0)); // every picture stays
    EXPECT_TRUE(near(later.at(220, 120), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(near(later.at(150, 20), {0, 0, 0, 0}, 0));
    cPostFeedback::destroy_instance();

    // The picture is on top in its own frame; the feedback image then holds half of it, and
    // every later frame halves that again.
    feedback_params half;
    half.fade = 0.5f;
    EXPECT_TRUE(near(frame(*src, *out, sPicture(w, h, {255, 255, 255, 255}), half).at(10, 10),
                     {255, 255, 255, 255}, 0));
    EXPECT_TRUE(near(fed_back().at(10, 10), {128, 128, 128, 128}, 1));
    for (int expected : {64, 32, 16, 8}) {
        const uint8_t e = uint8_t(expected);
        EXPECT_TRUE(near(frame(*src, *out, empty, half).at(10, 10), {e, e, e, e}, 1));
    }
}

TEST_F(Feedback, TransformWorksAboutTheCentreAndBlurSoftens)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy out = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height), cx = w / 2, cy = h / 2;
    const sPicture empty(w, h);
    sPicture dots(w, h);
    dots.rect(cx - 2, cy - 2, cx + 2, cy + 2, {255, 0, 0, 255});
    dots.rect(cx + 18, cy - 2, cx + 22, cy + 2, {0, 255, 0, 255});

    // Texture coordinates halved about the centre: under the picture lies its enlarged copy.
    feedback_params zoom;
    zoom.fade = 0;
    zoom.transform[0] = zoom.transform[5] = 0.5f;
    const sPicture first = frame(*src, *out, dots, zoom);
    save(*out, "feedback_zoom");
    EXPECT_EQ(first.at(cx + 20, cy)[1], 255);
    EXPECT_EQ(first.at(cx + 40, cy)[1], 255);
    EXPECT_EQ(first.at(cx + 30, cy)[1], 0);
    EXPECT_EQ(first.at(cx + 2, cy + 2)[0], 255); // the red dot grew about the centre
    EXPECT_EQ(frame(*src, *out, empty, zoom).at(cx + 80, cy)[1], 255);
    cPostFeedback::destroy_instance();

    feedback_params shift; // sampling 10 pixels to the left moves the trail right
    shift.fade = 0;
    shift.transform[12] = -10;
    const sPicture once = frame(*src, *out, dots, shift);
    EXPECT_EQ(once.at(cx + 30, cy)[1], 255);
    EXPECT_EQ(once.at(cx + 25, cy)[1], 0);
    EXPECT_EQ(frame(*src, *out, empty, shift).at(cx + 40, cy)[1], 255);
    cPostFeedback::destroy_instance();

    feedback_params soft; // blurred before it is fed back, and opaque
    soft.fade = 0;
    soft.blur = true;
    frame(*src, *out, dots, soft);
    const sPicture blurred = frame(*src, *out, empty, soft);
    EXPECT_LT(blurred.at(cx, cy)[0], 200);
    EXPECT_GT(blurred.at(cx + 3, cy)[0], 10);
    EXPECT_EQ(blurred.at(10, 10)[3], 255);
}

TEST_F(Feedback, AHalfSizeTrailMovesAsItsTransformSaysInItsOwnPixels)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height), cx = w / 2, cy = h / 2;
    sPicture dot(w, h);
    dot.rect(cx + 18, cy - 2, cx + 22, cy + 2, {0, 255, 0, 255});
    upload(*src, dot);

    // Sampling five of the trail's pixels to the left moves the picture ten of its own right.
    feedback_params shift;
    shift.fade = 0;
    shift.half_size = true;
    shift.transform[12] = -5;
    cPostFeedback* trail = cPostFeedback::get_instance();
    trail->feed(*src, shift);
    ASSERT_EQ(trail->feedback()->m_width, src->m_width / 2);
    const sPicture fed = fed_back();
    EXPECT_EQ(fed.at(cx / 2 + 15, cy / 2)[1], 255);
    EXPECT_EQ(fed.at(cx / 2 + 10, cy / 2)[1], 0);
    EXPECT_EQ(fed.at(cx / 2 + 15, cy / 2)[3], 255);
}

TEST_F(Feedback, ANewFeedbackImageStartsEmpty)
{
    cRTProxy quarter_src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy quarter_out = get_tmp_rt(RTM::RTT_QUATER);
    feedback_params params;
    params.fade = 0;
    frame(*quarter_src, *quarter_out,
          sPicture(int(quarter_src->m_width), int(quarter_src->m_height), {255, 0, 0, 255}),
          params);
    { // every free half-size target of the pool holds a stale picture
        std::vector<cRTProxy> stale;
        for (const auto& entry : cRenderTargetManager::get_instance()->pool())
            if (entry.first == RTM::RTT_HALF)
                stale.push_back(cRTProxy());
        for (cRTProxy& rt : stale) {
            rt = get_tmp_rt(RTM::RTT_HALF);
            upload(*rt, sPicture(int(rt->m_width), int(rt->m_height), {0, 255, 0, 255}));
        }
    }
    // The size class changed: neither the quarter-size trail nor a stale picture shows.
    cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy out = get_tmp_rt(RTM::RTT_HALF);
    const int w = int(src->m_width), h = int(src->m_height);
    const sPicture first = frame(*src, *out, sPicture(w, h), params);
    EXPECT_EQ(cPostFeedback::get_instance()->feedback().get_size(), RTM::RTT_HALF);
    EXPECT_TRUE(near(first.at(w / 2, h / 2), {0, 0, 0, 0}, 0));
    EXPECT_TRUE(near(first.at(3, h - 3), {0, 0, 0, 0}, 0));
}

TEST_F(Feedback, DoubleSizeTargetsAndCallersShadersAreHandled)
{
    // A target twice the viewport's width gets a double-size trail.
    cRTProxy src = get_tmp_rt(RTM::RTT_DOUBLE);
    cRTProxy out = get_tmp_rt(RTM::RTT_DOUBLE);
    sPicture pic(int(src->m_width), int(src->m_height));
    pic.rect(100, 100, 200, 200, {10, 20, 30, 255});
    feedback_params params;
    params.fade = 0.5f;
    EXPECT_TRUE(near(frame(*src, *out, pic, params).at(150, 150), {10, 20, 30, 255}, 0));
    EXPECT_EQ(cPostFeedback::get_instance()->feedback().get_size(), RTM::RTT_DOUBLE);
    EXPECT_TRUE(near(fed_back().at(150, 150), {5, 10, 15, 128}, 1));
    cPostFeedback::destroy_instance();

    // The fed-back and the fading quad are fixed-function whatever shader the caller bound.
    cRTProxy small_src = get_tmp_rt(RTM::RTT_EIGHTH);
    cRTProxy small_out = get_tmp_rt(RTM::RTT_EIGHTH);
    cPostLevels::get_instance(); // registers "levels_shader"
    cShaderManager_GLSL::get_instance()->bind("levels_shader");
    frame(*small_src, *small_out,
          sPicture(int(small_src->m_width), int(small_src->m_height), {200, 100, 40, 255}), params);
    EXPECT_TRUE(near(fed_back().at(5, 5), {100, 50, 20, 128}, 1));
    EXPECT_EQ(cShaderManager_GLSL::get_instance()->get_current_shader(), "levels_shader");
    cShaderManager_GLSL::get_instance()->disable();
}
