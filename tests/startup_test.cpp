// The start-up pieces: error checks, the fixed GL state, the image-library version rule.
#include <gtest/gtest.h>

#include <IL/il.h>

#include "gl_extensions.h"
#include "startup.h"
#include "support/gl_fixture.h"

using vnt_test::GLTest;

TEST_F(GLTest, CheckGlErrorReportsOnePendingErrorPerCall)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(check_gl_error("nothing"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Mesa keeps one error flag, so one error is pending at a time here.
    glEnable(0xFFFF); // GL_INVALID_ENUM
    testing::internal::CaptureStderr();
    EXPECT_TRUE(check_gl_error("first"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "## ERROR: OpenGL  first: invalid enumerant\n");

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix(); // GL_STACK_UNDERFLOW
    testing::internal::CaptureStderr();
    EXPECT_TRUE(check_gl_error(""));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "## ERROR: OpenGL : stack underflow\n");
    EXPECT_FALSE(check_gl_error("done"));
}

TEST_F(GLTest, CheckIlErrorDrainsEveryPendingError)
{
    for (int i = 0; i < 3; ++i)
        ilLoadImage("/nonexistent/picture.png");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(check_il_error());
    const std::string err = testing::internal::GetCapturedStderr();
    int lines = 0;
    for (size_t at = err.find("## ERROR: OpenIL Error "); at != std::string::npos;
         at = err.find("## ERROR: OpenIL Error ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3) << err;
    EXPECT_FALSE(check_il_error());
}

TEST_F(GLTest, FixedStateAfterStartUp)
{
    init_gl_state();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[3], 0.1f);
}

TEST(Startup, ImageLibraryVersionRule)
{
    EXPECT_TRUE(il_versions_ok(178, 178, 178));
    EXPECT_TRUE(il_versions_ok(167, 167, 167));
    EXPECT_FALSE(il_versions_ok(178, 166, 178));
    EXPECT_FALSE(il_versions_ok(166, 178, 178));
    EXPECT_FALSE(il_versions_ok(178, 178, 166));
}
