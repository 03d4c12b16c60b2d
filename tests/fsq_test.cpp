// Full-screen quads: every call leaves the matrices and the state it brackets as it found them,
// and each source is stretched over the whole destination on its own texture unit.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "shaders/shd_post.h"
#include "support/gl_fixture.h"

using namespace vnt_test;

using Fsq = vnt_test::GLTest;

TEST_F(Fsq, EveryCallRestoresMatricesEnablesColourAndDepthMask)
{
    cRTProxy a = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cRTProxy b = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cRTProxy c = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    // Everything the frame gives back, plus the matrix mode and the draw buffer.
    auto state = [] {
        GLint mode = 0, buffer = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_DRAW_BUFFER, &buffer);
        return vnt_test::frame_state() + "MATRIX_MODE=" + std::to_string(mode) +
               "\nDRAW_BUFFER=" + std::to_string(buffer) + "\n";
    };
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"RenderFSQ(rt)", [&] { RenderFSQ(*a); }},
        {"RenderFSQ()", [] { RenderFSQ(); }},
        {"RenderFSQ(a, b)", [&] { RenderFSQ(*a, *b); }},
        {"RenderFSQ(a, b, c)", [&] { RenderFSQ(*a, *b, *c); }},
        {"RenderFSQ(a, b, 1, 1)", [&] { RenderFSQ(*a, *b, 1.0f, 1.0f); }},
        {"keep colour",
         [&] {
             begin_fsq_keep_colour();
             draw_quad_2(*a, *b);
             end_fsq();
         }},
    };
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.5f, -2, -4);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    for (bool on : {true, false}) {
        for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_ALPHA_TEST})
            on ? glEnable(cap) : glDisable(cap);
        glDepthMask(on ? GL_TRUE : GL_FALSE);
        for (const auto& call : calls) {
            const std::string before = state();
            call.second();
            EXPECT_EQ(state(), before) << call.first;
        }
    }
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(Fsq, HalfSizeSourceFillsFullSizeTargetFilteredEvenAfterAOneToOneRead)
{
    cRTProxy half = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cRTProxy copy = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cRTProxy full = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    fill(*half, 255, 0, 0, 255);
    paint(*half, 0.5f, 0.0f, 1.0f, 1.0f, 0, 255, 0, 255); // right half green
    cShaderManager_GLSL::get_instance()->disable();
    glDisable(GL_BLEND);
    const int w = int(full->m_width), h = int(full->m_height);
    // Stretched, the source covers the target; the seam's pixels lie between two of the
    // source's and take a mix.
    auto stretch_and_check = [&](const char* when) {
        full->bind_as_target(false);
        RenderFSQ(*half);
        full->unbind_as_target();
        EXPECT_TRUE(near(pixel_of(*full, 0, 0), {255, 0, 0, 255})) << when;
        EXPECT_TRUE(near(pixel_of(*full, w - 1, h - 1), {0, 255, 0, 255})) << when;
        const tPixel left = pixel_of(*full, w / 2 - 1, 4), right = pixel_of(*full, w / 2, 4);
        EXPECT_TRUE(left[0] > 100 && left[1] > 20 && right[0] > 20 && right[1] > 100) << when;
    };
    stretch_and_check("first");
    // One to one: every pixel as it is, the seam sharp.
    copy->bind_as_target(false);
    RenderFSQ(*half);
    copy->unbind_as_target();
    const int hw = int(copy->m_width);
    EXPECT_TRUE(near(pixel_of(*copy, hw / 2 - 1, 4), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(pixel_of(*copy, hw / 2, 4), {0, 255, 0, 255}, 0));
    stretch_and_check("after the one-to-one read");
    glEnable(GL_BLEND);
}

TEST_F(Fsq, DepthTestedDrawingAfterAQuadStillWritesDepth)
{
    cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cRTProxy source = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cShaderManager_GLSL::get_instance()->disable();
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    target->bind_as_target(true);
    RenderFSQ(*source);
    glDisable(GL_LIGHTING);
    glRectf(-1, -1, 1, 1); // z = 0: depth 0.5, depth test on
    glEnable(GL_LIGHTING);
    GLfloat depth = 0;
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    target->unbind_as_target();
    EXPECT_NEAR(depth, 0.5f, 0.01f);
}
