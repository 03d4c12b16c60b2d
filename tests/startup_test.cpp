// The start-up pieces: error checks and the image-library version rule.
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

TEST(Startup, ImageLibraryVersionRule)
{
    EXPECT_TRUE(il_versions_ok(178, 178, 178));
    EXPECT_TRUE(il_versions_ok(167, 167, 167));
    EXPECT_FALSE(il_versions_ok(178, 166, 178));
    EXPECT_FALSE(il_versions_ok(166, 178, 178));
    EXPECT_FALSE(il_versions_ok(178, 178, 166));
}
