// Framebuffer-object targets: shared depth buffers, binding as target and as texture, status
// reports, and grabbing the window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gl_extensions.h"
#include "render_target_fbo.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "support/gl_fixture.h"
#include "video_module.h"

using vnt_test::fill;
using vnt_test::near;
using vnt_test::paint;
using vnt_test::pixel_of;

namespace {

using RenderTargetFbo = vnt_test::GLTest;

std::unique_ptr<cRenderTarget_fbo> make_target(uint32_t w, uint32_t h, bool depth)
{
    auto rt = std::make_unique<cRenderTarget_fbo>(w, h, depth, false);
    rt->init();
    return rt;
}

GLint gl_int(GLenum in_name)
{
    GLint value = 0;
    glGetIntegerv(in_name, &value);
    return value;
}

GLint attached_depth(const cRenderTarget_fbo& rt)
{
    const GLint previous = gl_int(GL_FRAMEBUFFER_BINDING_EXT);
    GLint name = 0;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, rt.get_framebuffer());
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(previous));
    return name;
}

// Draws a quad at clip-space depth z (window depth (z + 1) / 2) in the bound target.
void depth_quad(float z)
{
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    for (auto [x, y] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
        glVertex3f(float(x), float(y), z);
    glEnd();
    glPopAttrib();
}

} // namespace

TEST_F(RenderTargetFbo, DepthBuffersAreSharedPerSizeAndFreedWithTheirLastUser)
{
    auto a = make_target(96, 64, true);
    auto b = make_target(96, 64, true);
    auto none = make_target(96, 64, false);
    EXPECT_NE(a->get_depth_buffer(), 0u);
    EXPECT_EQ(a->get_depth_buffer(), b->get_depth_buffer());
    EXPECT_EQ(attached_depth(*b), GLint(a->get_depth_buffer()));
    EXPECT_EQ(none->get_depth_buffer(), 0u);
    EXPECT_EQ(attached_depth(*none), 0);

    // Equal pixel counts of another shape get a depth buffer of their own shape, and depth
    // testing works over the whole of each target.
    auto tall = make_target(64, 96, true);
    EXPECT_NE(tall->get_depth_buffer(), a->get_depth_buffer());
    cShaderManager_GLSL::get_instance()->disable();
    glClearDepth(1.0);
    for (cRenderTarget_fbo* rt : {a.get(), tall.get()}) {
        glClearColor(0, 0, 0, 1);
        rt->bind_as_target(true);
        glClearColor(0, 0, 0, 0);
        depth_quad(0.0f);
        GLfloat far_corner = 0;
        glReadPixels(GLint(rt->m_width) - 1, GLint(rt->m_height) - 1, 1, 1, GL_DEPTH_COMPONENT,
                     GL_FLOAT, &far_corner);
        rt->unbind_as_target();
        EXPECT_NEAR(far_corner, 0.5f, 0.01f) << rt->m_width << "x" << rt->m_height;
    }

    // The first user goes: the second keeps a working depth buffer.
    const GLuint shared = a->get_depth_buffer();
    a.reset();
    EXPECT_TRUE(glIsRenderbufferEXT(shared));
    b->bind_as_target(true);
    depth_quad(0.0f);
    depth_quad(0.5f); // behind: must fail the depth test
    GLfloat depth = 0;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    b->unbind_as_target();
    EXPECT_NEAR(depth, 0.5f, 0.01f);

    // The last user goes: the buffer and its entry go with it; a new target gets a fresh one.
    b.reset();
    EXPECT_FALSE(glIsRenderbufferEXT(shared));
    EXPECT_EQ(cRenderTarget_fbo::s_depth_buffers.count({96u, 64u}), 0u);
    auto again = make_target(96, 64, true);
    EXPECT_TRUE(glIsRenderbufferEXT(again->get_depth_buffer()));
    EXPECT_EQ(attached_depth(*again), GLint(again->get_depth_buffer()));
}

TEST_F(RenderTargetFbo, BindingAsTargetRestoresViewportAndDrawBufferClearsOnRequestAndKeepsItsPlace)
{
    // Viewport, draw buffer and framebuffer, as one text.
    auto state = [] {
        GLint v[7];
        glGetIntegerv(GL_VIEWPORT, v);
        glGetIntegerv(GL_DRAW_BUFFER, &v[4]);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &v[5]);
        v[6] = cRenderTarget_fbo::fbo_bound;
        std::string text;
        for (GLint i : v)
            text += std::to_string(i) + " ";
        return text;
    };
    const std::string before = state();
    auto rt = make_target(80, 48, true);
    rt->bind_as_target(false);
    EXPECT_EQ(state(), "0 0 80 48 " + std::to_string(GL_COLOR_ATTACHMENT0_EXT) + " " +
                           std::to_string(rt->get_framebuffer()) + " 1 ");
    rt->unbind_as_target();
    EXPECT_EQ(state(), before);

    // Without the flag the contents stay; with it colour and depth are cleared.
    fill(*rt, 10, 20, 30, 40);
    rt->bind_as_target(false);
    depth_quad(0.0f);
    rt->unbind_as_target();
    EXPECT_TRUE(near(pixel_of(*rt, 3, 3), {255, 255, 255, 255}));
    glClearColor(0, 1, 0, 1);
    glClearDepth(1.0);
    rt->bind_as_target(true);
    glClearColor(0, 0, 0, 0);
    GLfloat depth = 0;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    const vnt_test::tPixel colour = vnt_test::read_pixel(3, 3);
    rt->unbind_as_target();
    EXPECT_TRUE(near(colour, {0, 255, 0, 255}));
    EXPECT_FLOAT_EQ(depth, 1.0f);

    // A target made while another is bound (a pool miss in the middle of drawing) leaves the
    // drawing in the bound one.
    auto outer = make_target(64, 64, true);
    fill(*outer, 0, 0, 0, 255);
    outer->bind_as_target(false);
    auto late = make_target(32, 32, true);
    EXPECT_EQ(GLuint(gl_int(GL_FRAMEBUFFER_BINDING_EXT)), outer->get_framebuffer());
    EXPECT_TRUE(cRenderTarget_fbo::fbo_bound);
    outer->unbind_as_target();
    paint(*outer, 0, 0, 1, 1, 200, 100, 50, 255);
    EXPECT_TRUE(near(pixel_of(*outer, 63, 63), {200, 100, 50, 255}));
}

TEST_F(RenderTargetFbo, TextureBindingUsesOneUnitAndReturnsToUnitZero)
{
    auto rt = make_target(32, 32, false);
    // Per unit 0..2: rectangle texturing enabled, and the rectangle texture bound there.
    auto units = [] {
        std::vector<std::pair<bool, GLint>> state;
        for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1, GL_TEXTURE2}) {
            glActiveTextureARB(unit);
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &bound);
            state.emplace_back(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB), bound);
        }
        glActiveTextureARB(GL_TEXTURE0);
        return state;
    };
    // The bound unit and the active unit.
    auto units_of = [&] { return std::pair(rt->get_bound_unit(), gl_int(GL_ACTIVE_TEXTURE)); };
    rt->bind_as_texture(GL_TEXTURE2);
    EXPECT_EQ(units_of(), std::pair(int(GL_TEXTURE2), GLint(GL_TEXTURE0)));
    const GLint tex = GLint(rt->get_texture());
    EXPECT_EQ(units(), (std::vector<std::pair<bool, GLint>>{{false, 0}, {false, 0}, {true, tex}}));
    rt->unbind_as_texture();
    EXPECT_EQ(units_of(), std::pair(-1, GLint(GL_TEXTURE0)));
    EXPECT_EQ(units(), (std::vector<std::pair<bool, GLint>>{{false, 0}, {false, 0}, {false, 0}}));
}

TEST_F(RenderTargetFbo, BadStatusPrintsItsLineAndTheDescription)
{
    EXPECT_STREQ(cRenderTarget_fbo::status_message(0x1234), "## ERROR, FBO error");
    // A framebuffer object without attachments, checked by an 800 x 600 target.
    cRenderTarget_fbo described(800, 600, false, false);
    GLuint empty = 0;
    glGenFramebuffersEXT(1, &empty);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, empty);
    testing::internal::CaptureStderr();
    const bool ok = described.CheckFrameBufferStatus();
    const std::string err = testing::internal::GetCapturedStderr();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDeleteFramebuffersEXT(1, &empty);
    EXPECT_FALSE(ok);
    EXPECT_EQ(err, "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT\n"
                   "width x height = (800 x 600)\n"
                   "textarget: " +
                       std::to_string(GL_TEXTURE_RECTANGLE_ARB) +
                       "\n"
                       "type: " +
                       std::to_string(GL_FLOAT) + "\nwithout depth\n");
}

TEST_F(RenderTargetFbo, CopyFromFramebufferGrabsTheDemoArea)
{
    cVideoModule* video = cVideoModule::get_instance();
    cRTProxy proxy = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    auto* rt = dynamic_cast<cRenderTarget_fbo*>(proxy.get_rt());
    ASSERT_NE(rt, nullptr);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    const GLint texture_before = gl_int(GL_TEXTURE_BINDING_RECTANGLE_ARB);
    rt->copy_from_framebuffer();
    EXPECT_EQ(gl_int(GL_TEXTURE_BINDING_RECTANGLE_ARB), texture_before);
    EXPECT_TRUE(near(pixel_of(*rt, 0, 0), {51, 102, 153, 255}));
    EXPECT_TRUE(near(pixel_of(*rt, int(video->get_vp_width()) - 1, int(video->get_vp_height()) - 1),
                     {51, 102, 153, 255}));
}

TEST_F(RenderTargetFbo, WrittenPixelsReplaceThePictureRowsFromTheBottom)
{
    auto rt = make_target(3, 2, false);
    // Blue, green, red, alpha per pixel; the first row is the bottom one.
    std::vector<uint8_t> bgra(3 * 2 * 4, 0);
    for (size_t i = 0; i < 6; ++i) {
        bgra[i * 4 + 0] = uint8_t(10 * i);
        bgra[i * 4 + 2] = uint8_t(200 - 10 * i);
        bgra[i * 4 + 3] = 255;
    }
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, other);
    rt->write_pixels(bgra.data());
    EXPECT_EQ(gl_int(GL_TEXTURE_BINDING_RECTANGLE_ARB), GLint(other));
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    glDeleteTextures(1, &other);
    EXPECT_TRUE(near(pixel_of(*rt, 0, 0), {200, 0, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*rt, 2, 1), {150, 0, 50, 255}));

    // Only the middle column of another picture, read from its own place in the rows; an
    // unpack row length set by someone else is not disturbed, nor used.
    for (size_t i = 0; i < 6; ++i)
        bgra[i * 4 + 1] = 99;
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    rt->write_columns(bgra.data(), 1, 1);
    rt->write_columns(bgra.data(), 3, 5); // off the picture: nothing
    EXPECT_EQ(gl_int(GL_UNPACK_ROW_LENGTH), 7);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    EXPECT_TRUE(near(pixel_of(*rt, 0, 0), {200, 0, 0, 255}));
    EXPECT_TRUE(near(pixel_of(*rt, 1, 0), {190, 99, 10, 255}));
    EXPECT_TRUE(near(pixel_of(*rt, 1, 1), {160, 99, 40, 255}));
    EXPECT_TRUE(near(pixel_of(*rt, 2, 1), {150, 0, 50, 255}));
}
