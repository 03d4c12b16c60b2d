// Every post-processing pass leaves the GL state, the bound shader, its stack and the render
// target pool as it found them, whatever state the caller had set up.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "pass_helpers.h"
#include "postprocessing/blur.h"
#include "postprocessing/color_correction.h"
#include "postprocessing/feedback.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/levels.h"
#include "postprocessing/radial_blur.h"
#include "postprocessing/spill.h"
#include "resource_path.h"
#include "support/test_media.h"

using namespace vnt_test;

namespace {

using RTM = cRenderTargetManager;
using tPass = std::function<void(iRenderTarget& src, iRenderTarget& out)>;

// A caller's state far from the defaults: blending with a custom function, depth test and
// writes, culling, lighting, a colour, a clear colour and a bound shader.
void set_caller_state()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT2);
    glColor4f(0.25f, 0.5f, 0.75f, 0.125f);
    glNormal3f(0.0f, 0.6f, 0.8f);
    glClearColor(0.3f, 0.2f, 0.1f, 0.4f);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(3, 4, 5);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(30, 0, 0, 1);
    cPostHSB::get_instance(); // registers "hsb_shader"
    cShaderManager_GLSL::get_instance()->bind("hsb_shader");
}

void reset_caller_state()
{
    cShaderManager_GLSL::get_instance()->disable();
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT2);
    glColor4f(1, 1, 1, 1);
    glNormal3f(0, 0, 1);
    glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class PassState : public GLTest
{
};

} // namespace

TEST_F(PassState, EveryPassLeavesTheStateAsItFoundIt)
{
    const std::string dir = temp_dir("post_state");
    cResourcePath::get_instance()->push_searchpath(dir + "/");
    sPicture lookup(256, 1);
    for (int x = 0; x < 256; ++x)
        lookup.set(x, 0, {255 - x, x, x, 255});
    ASSERT_TRUE(write_png((dir + "/state_lookup.png").c_str(), 256, 1, lookup.px));
    cPostColorCorrection correction("state_lookup.png");

    radialblur_params radial;
    glow_params glow;
    feedback_params trail;
    trail.blur = true;
    const std::vector<std::pair<const char*, tPass>> passes = {
        {"blur",
         [](iRenderTarget& s, iRenderTarget& o) { cPostBlur::get_instance()->blur(s, o, true); }},
        {"blur in place",
         [](iRenderTarget& s, iRenderTarget&) { cPostBlur::get_instance()->blur(s, s, false); }},
        {"radial blur process",
         [&](iRenderTarget& s, iRenderTarget& o) {
             cPostRadialBlur::get_instance()->process(s, o, radial);
         }},
        {"radial blur apply",
         [&](iRenderTarget& s, iRenderTarget&) {
             cPostRadialBlur::get_instance()->apply(s, radial);
         }},
        {"colour correction",
         [&](iRenderTarget& s, iRenderTarget& o) { correction.process(s, o); }},
        {"colour correction apply", [&](iRenderTarget& s, iRenderTarget&) { correction.apply(s); }},
        {"hsb",
         [](iRenderTarget& s, iRenderTarget& o) {
             cPostHSB::get_instance()->process(s, o, {30, 20, 10});
         }},
        {"hue shift",
         [](iRenderTarget& s, iRenderTarget& o) {
             cPostHueShift::get_instance()->process(s, o, {30, 20, 10, 2});
         }},
        {"levels",
         [](iRenderTarget& s, iRenderTarget& o) {
             cPostLevels::get_instance()->process(s, o, {10, 200, 1.5f, 5, 250});
         }},
        {"levels apply",
         [](iRenderTarget& s, iRenderTarget&) { cPostLevels::get_instance()->apply(s, {}); }},
        {"spill",
         [](iRenderTarget& s, iRenderTarget& o) {
             cRTProxy b = get_tmp_rt(RTM::RTT_HALF);
             cPostSpill::get_instance()->combine_into(s, *b, o, cPostSpill::SPILL_ADD);
         }},
        {"colour dodge",
         [](iRenderTarget& s, iRenderTarget& o) {
             cRTProxy b = get_tmp_rt(RTM::RTT_HALF);
             cPostSpill::get_instance()->combine_into(s, *b, o, cPostSpill::COLOR_DODGE);
         }},
        {"glow",
         [&](iRenderTarget& s, iRenderTarget& o) { cPostGlow::get_instance()->glow(s, o, glow); }},
        {"feedback", [&](iRenderTarget& s, iRenderTarget& o) {
             cPostFeedback::get_instance()->apply(s, o, trail);
             cPostFeedback::get_instance()->apply(s, o, trail);
             cPostFeedback::destroy_instance(); // its feedback image goes back with it
         }}};

    cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy out = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy window_stand_in = get_tmp_rt(RTM::RTT_HALF); // apply forms draw into a bound target
    for (const auto& [name, pass] : passes) {
        set_caller_state();
        const bool into_bound = std::string(name).find("apply") != std::string::npos;
        if (into_bound)
            window_stand_in->bind_as_target(false);
        sPassState before, after;
        before.capture();
        pass(*src, *out);
        after.capture();
        if (into_bound)
            window_stand_in->unbind_as_target();
        EXPECT_TRUE(after.same_as(before)) << name;
        reset_caller_state();
    }
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 3u);
}

TEST_F(PassState, SnapshotSeesWhatALeakingRoutineChanges)
{
    // The comparison above is only worth something if a leak shows in it.
    sPassState before, after;
    before.capture();
    glClearColor(0.5f, 0, 0, 0);
    glBlendFunc(GL_ONE, GL_ONE);
    cPostLevels::get_instance();
    cShaderManager_GLSL::get_instance()->bind("levels_shader");
    after.capture();
    const ::testing::AssertionResult same = after.same_as(before);
    EXPECT_FALSE(same);
    const std::string message = same.message();
    EXPECT_NE(message.find("GL_COLOR_CLEAR_VALUE="), std::string::npos) << message;
    EXPECT_NE(message.find("GL_BLEND_DST="), std::string::npos) << message;
    EXPECT_NE(message.find("shader null_shader -> levels_shader"), std::string::npos) << message;
    reset_caller_state();
}
