// Every post-processing pass (the composition and the kaleidoscope too) leaves the GL state, the
// matrices, the bound shader, its stack and the render target pool as it found them, whatever
// state the caller had set up.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pass_helpers.h"
#include "postprocessing/blur.h"
#include "postprocessing/color_correction.h"
#include "postprocessing/feedback.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/kaleidoscope.h"
#include "postprocessing/levels.h"
#include "postprocessing/post_comp.h"
#include "postprocessing/radial_blur.h"
#include "postprocessing/spill.h"
#include "resource_path.h"
#include "support/test_media.h"

using namespace vnt_test;
using RTM = cRenderTargetManager;

namespace {

// A caller's state far from the defaults: blending with its own function, depth test and
// writes, culling, lighting, alpha test, a colour mask, a colour, a normal, a clear colour,
// matrices and a bound shader.
void set_caller_state(bool on)
{
    const auto set = [on](GLenum cap) { on ? glEnable(cap) : glDisable(cap); };
    for (GLenum cap :
         {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_LIGHT2, GL_ALPHA_TEST})
        set(cap);
    glColorMask(GL_TRUE, !on, GL_TRUE, !on);
    glBlendFunc(on ? GL_SRC_ALPHA : GL_ONE, on ? GL_ONE : GL_ZERO);
    glDepthFunc(on ? GL_LEQUAL : GL_LESS);
    glDepthMask(GL_TRUE);
    on ? glColor4f(0.25f, 0.5f, 0.75f, 0.125f) : glColor4f(1, 1, 1, 1);
    on ? glNormal3f(0.0f, 0.6f, 0.8f) : glNormal3f(0, 0, 1);
    on ? glClearColor(0.3f, 0.2f, 0.1f, 0.4f) : glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (on)
        glTranslatef(3, 4, 5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (on)
        glRotatef(30, 0, 0, 1);
    cPostHSB::get_instance(); // registers "hsb_shader"
    on ? cShaderManager_GLSL::get_instance()->bind("hsb_shader")
       : cShaderManager_GLSL::get_instance()->disable();
}

} // namespace

using PassState = GLTest;

TEST_F(PassState, EveryPassLeavesTheStateAsItFoundIt)
{
    const std::string dir = temp_dir("post_state");
    cResourcePath::get_instance()->push_searchpath(dir + "/");
    ASSERT_TRUE(write_png((dir + "/state_lookup.png").c_str(), 256, 1,
                          sPicture(256, 1, {90, 80, 70, 255}).px));
    cPostColorCorrection correction("state_lookup.png");
    radialblur_params radial;
    feedback_params trail;
    trail.blur = true;
    using tPass = std::function<void(iRenderTarget & s, iRenderTarget & o)>;
    // Passes named "... apply" draw into a target the test has bound.
    const std::vector<std::pair<std::string, tPass>> passes = {
        {"blur", [](auto& s, auto& o) { cPostBlur::get_instance()->blur(s, o, true); }},
        {"blur in place", [](auto& s, auto&) { cPostBlur::get_instance()->blur(s, s, false); }},
        {"radial blur",
         [&](auto& s, auto& o) { cPostRadialBlur::get_instance()->process(s, o, radial); }},
        {"radial blur apply",
         [&](auto& s, auto&) { cPostRadialBlur::get_instance()->apply(s, radial); }},
        {"colour correction", [&](auto& s, auto& o) { correction.process(s, o); }},
        {"colour correction apply", [&](auto& s, auto&) { correction.apply(s); }},
        {"hsb",
         [](auto& s, auto& o) {
             cPostHSB::get_instance()->process(s, o, {30, 20, 10});
         }},
        {"hue shift",
         [](auto& s, auto& o) {
             cPostHueShift::get_instance()->process(s, o, {30, 20, 10, 2});
         }},
        {"levels",
         [](auto& s, auto& o) {
             cPostLevels::get_instance()->process(s, o, {10, 200, 1.5f, 5, 250});
         }},
        {"levels apply", [](auto& s, auto&) { cPostLevels::get_instance()->apply(s, {}); }},
        {"spill and dodge",
         [](auto& s, auto& o) {
             cRTProxy b = get_tmp_rt(RTM::RTT_HALF);
             cPostSpill::get_instance()->combine_into(s, *b, o, cPostSpill::SPILL_ADD);
             cPostSpill::get_instance()->combine_into(s, *b, o, cPostSpill::COLOR_DODGE);
         }},
        {"glow", [](auto& s, auto& o) { cPostGlow::get_instance()->glow(s, o, glow_params{}); }},
        {"feedback",
         [&](auto& s, auto& o) {
             cPostFeedback::get_instance()->apply(s, o, trail);
             cPostFeedback::get_instance()->apply(s, o, trail);
             cPostFeedback::destroy_instance(); // its feedback image goes back with it
         }},
        {"kaleidoscope",
         [](auto& s, auto& o) {
             for (uint8_t type : {0, 4, 7})
                 cPostKaleidoscope::get_instance()->process(s, o, type);
         }},
        {"composition", [](auto& s, auto& o) {
             cRTProxy below = get_tmp_rt(RTM::RTT_HALF);
             const int mode = cPostComp::BLEND_OVER;
             cPostComp::get_instance()->comp(o, s, *below, &mode, 0.5f);
         }}};

    cRTProxy src = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy out = get_tmp_rt(RTM::RTT_HALF);
    cRTProxy bound = get_tmp_rt(RTM::RTT_HALF);
    for (const auto& [name, pass] : passes) {
        set_caller_state(true);
        const bool into_bound = name.find("apply") != std::string::npos;
        if (into_bound)
            bound->bind_as_target(false);
        SCOPED_TRACE(name);
        const uint32_t lent = cRenderTargetManager::get_instance()->lent_out();
        const std::string before = frame_state();
        pass(*src, *out);
        EXPECT_EQ(before, frame_state());
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), lent);
        if (into_bound)
            bound->unbind_as_target();
        set_caller_state(false);
    }
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 3u);
}
