// Feedback trail by pixels: the fade halves or keeps old pictures, the transform works about
// the image's centre, a new feedback image starts empty, and any target size is accepted.
#include <gtest/gtest.h>

#include "pass_helpers.h"
#include "postprocessing/feedback.h"
#include "postprocessing/levels.h"
#include "video_module.h"

using namespace vnt_test;

namespace {

using RTM = cRenderTargetManager;

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
    sPicture frame(iRenderTarget& src, iRenderTarget& out, const sPicture& pic,
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
    sPicture square(w, h);
    square.rect(40, 40, 80, 80, {255, 200, 100, 255});

    feedback_params keep;
    keep.fade = 0;
    EXPECT_TRUE(close(frame(*src, *out, square, keep).at(60, 60), {255, 200, 100, 255}, 0));
    sPicture moved(w, h);
    moved.rect(200, 100, 240, 140, {0, 0, 255, 255});
    sPicture later = frame(*src, *out, moved, keep);
    for (int i = 0; i < 3; ++i)
        later = frame(*src, *out, empty, keep);
    // Every picture stays, the newer over the older.
    EXPECT_TRUE(close(later.at(60, 60), {255, 200, 100, 255}, 0));
    EXPECT_TRUE(close(later.at(220, 120), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(close(later.at(150, 20), {0, 0, 0, 0}, 0));
    cPostFeedback::destroy_instance();

    // The picture itself is on top in its own frame; the feedback image then holds half of
    // it, and every later frame halves it again.
    feedback_params half;
    half.fade = 0.5f;
    const sPicture white(w, h, {255, 255, 255, 255});
    EXPECT_TRUE(close(frame(*src, *out, white, half).at(10, 10), {255, 255, 255, 255}, 0));
    EXPECT_TRUE(close(fed_back().at(10, 10), {128, 128, 128, 128}, 1));
    int expected = 128;
    for (int i = 0; i < 4; ++i) {
        expected /= 2;
        const tRGBA got = frame(*src, *out, empty, half).at(10, 10);
        EXPECT_TRUE(close(got, {expected, expected, expected, expected}, 1)) << "frame " << i;
    }
}

TEST_F(Feedback, TransformWorksAboutTheCentreAndBlurSoftens)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy out = get_tmp_rt(RTM::RTT_QUATER);
    const int w = int(src->m_width), h = int(src->m_height);
    const int cx = w / 2, cy = h / 2;
    sPicture dots(w, h);
    dots.rect(cx - 2, cy - 2, cx + 2, cy + 2, {255, 0, 0, 255});
    dots.rect(cx + 18, cy - 2, cx + 22, cy + 2, {0, 255, 0, 255});
    const sPicture empty(w, h);

    // Texture coordinates scaled by a half about the centre: the trail under the picture is
    // the picture at twice the size, around the same centre.
    feedback_params zoom;
    zoom.fade = 0;
    zoom.transform[0] = 0.5f;
    zoom.transform[5] = 0.5f;
    const sPicture first = frame(*src, *out, dots, zoom);
    save(*out, "feedback_zoom");
    EXPECT_EQ(first.at(cx + 20, cy)[1], 255); // the picture
    EXPECT_EQ(first.at(cx + 40, cy)[1], 255); // its enlarged copy
    EXPECT_EQ(first.at(cx + 30, cy)[1], 0);
    EXPECT_EQ(first.at(cx + 2, cy + 2)[0], 255); // the red dot grew about the centre
    // Without a new picture the trail keeps growing.
    const sPicture second = frame(*src, *out, empty, zoom);
    EXPECT_EQ(second.at(cx + 80, cy)[1], 255);
    EXPECT_EQ(second.at(cx + 40, cy)[1], 0);

    // A translation moves the trail by whole pixels every frame.
    cPostFeedback::destroy_instance();
    feedback_params shift;
    shift.fade = 0;
    shift.transform[12] = -10; // sampling 10 pixels to the left moves the picture right
    const sPicture once = frame(*src, *out, dots, shift);
    EXPECT_EQ(once.at(cx + 20, cy)[1], 255);
    EXPECT_EQ(once.at(cx + 30, cy)[1], 255);
    EXPECT_EQ(once.at(cx + 25, cy)[1], 0);
    const sPicture twice = frame(*src, *out, empty, shift);
    EXPECT_EQ(twice.at(cx + 40, cy)[1], 255);
    EXPECT_EQ(twice.at(cx + 30, cy)[1], 0);

    // With blur the fed-back picture softens and turns opaque.
    cPostFeedback::destroy_instance();
    feedback_params soft;
    soft.fade = 0;
    soft.blur = true;
    frame(*src, *out, dots, soft);
    const sPicture blurred = frame(*src, *out, empty, soft);
    EXPECT_LT(blurred.at(cx, cy)[0], 200);
    EXPECT_GT(blurred.at(cx + 3, cy)[0], 10);
    EXPECT_EQ(blurred.at(10, 10)[3], 255);
}

TEST_F(Feedback, ANewFeedbackImageStartsEmpty)
{
    cRTProxy quarter_src = get_tmp_rt(RTM::RTT_QUATER);
    cRTProxy quarter_out = get_tmp_rt(RTM::RTT_QUATER);
    feedback_params params;
    params.fade = 0;
    const sPicture red_q(int(quarter_src->m_width), int(quarter_src->m_height), {255, 0, 0, 255});
    frame(*quarter_src, *quarter_out, red_q, params);

    // Every free half-size target in the pool holds a stale picture.
    {
        std::vector<cRTProxy> stale;
        int free_halves = 0;
        for (const auto& entry : cRenderTargetManager::get_instance()->pool())
            free_halves += entry.first == RTM::RTT_HALF;
        for (int i = 0; i < free_halves; ++i) {
            stale.push_back(get_tmp_rt(RTM::RTT_HALF));
            upload(*stale.back(), sPicture(int(stale.back()->m_width), int(stale.back()->m_height),
                                           {0, 255, 0, 255}));
        }
    }
    cRTProxy half_src = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy half_out = get_tmp_rt(RTM::RTT_HALF);
    const int w = int(half_src->m_width), h = int(half_src->m_height);
    // The size class changed: neither the old quarter-size trail nor a stale picture shows.
    const sPicture first = frame(*half_src, *half_out, sPicture(w, h), params);
    EXPECT_EQ(cPostFeedback::get_instance()->feedback().get_size(), RTM::RTT_HALF);
    EXPECT_TRUE(close(first.at(w / 2, h / 2), {0, 0, 0, 0}, 0));
    EXPECT_TRUE(close(first.at(3, h - 3), {0, 0, 0, 0}, 0));
}

TEST_F(Feedback, AnyTargetSizeGetsAFeedbackImage)
{
    const unsigned vp = cVideoModule::get_instance()->get_vp_width();
    EXPECT_EQ(cPostFeedback::size_class_for(vp), RTM::RTT_FULL);
    EXPECT_EQ(cPostFeedback::size_class_for(vp / 2), RTM::RTT_HALF);
    EXPECT_EQ(cPostFeedback::size_class_for(vp / 4), RTM::RTT_QUATER);
    EXPECT_EQ(cPostFeedback::size_class_for(vp / 8), RTM::RTT_EIGHTH);
    EXPECT_EQ(cPostFeedback::size_class_for(vp * 2), RTM::RTT_DOUBLE);
    EXPECT_EQ(cPostFeedback::size_class_for(vp / 3), RTM::RTT_QUATER);

    // A double-size target works like any other.
    cRTProxy src = get_tmp_rt(RTM::RTT_DOUBLE);
    cRTProxy out = get_tmp_rt(RTM::RTT_DOUBLE);
    const int w = int(src->m_width), h = int(src->m_height);
    sPicture pic(w, h);
    pic.rect(100, 100, 200, 200, {10, 20, 30, 255});
    feedback_params params;
    params.fade = 0.5f;
    EXPECT_TRUE(close(frame(*src, *out, pic, params).at(150, 150), {10, 20, 30, 255}, 0));
    EXPECT_EQ(cPostFeedback::get_instance()->feedback().get_size(), RTM::RTT_DOUBLE);
    EXPECT_TRUE(close(fed_back().at(150, 150), {5, 10, 15, 128}, 1));
}

TEST_F(Feedback, FadeIsDrawnWithoutTheCallersShader)
{
    cRTProxy src = get_tmp_rt(RTM::RTT_EIGHTH);
    cRTProxy out = get_tmp_rt(RTM::RTT_EIGHTH);
    const int w = int(src->m_width), h = int(src->m_height);
    cPostLevels::get_instance(); // registers "levels_shader"
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->bind("levels_shader");
    feedback_params params;
    params.fade = 0.5f;
    frame(*src, *out, sPicture(w, h, {200, 100, 40, 255}), params);
    EXPECT_TRUE(close(fed_back().at(5, 5), {100, 50, 20, 128}, 1));
    EXPECT_EQ(shaders->get_current_shader(), "levels_shader");
    shaders->disable();
}
