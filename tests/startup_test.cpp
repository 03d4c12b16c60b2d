// The start-up pieces: error checks and the image-library version rule.
#include <gtest/gtest.h>

#include <IL/il.h>

#include "gl_extensions.h"
#include "startup.h"
#include "support/gl_fixture.h"
#include "support/process.h"

using vnt_test::GLTest;

TEST_F(GLTest, CheckGlErrorReportsOnePendingErrorPerCall)
{
    EXPECT_EQ(vnt_test::stderr_of([] { EXPECT_FALSE(check_gl_error("nothing")); }), "");

    // Mesa keeps one error flag, so one error is pending at a time here.
    glEnable(0xFFFF); // GL_INVALID_ENUM
    EXPECT_EQ(vnt_test::stderr_of([] { EXPECT_TRUE(check_gl_error("first")); }),
              "## ERROR: OpenGL  first: invalid enumerant\n");

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix(); // GL_STACK_UNDERFLOW
    EXPECT_EQ(vnt_test::stderr_of([] { EXPECT_TRUE(check_gl_error("")); }),
              "## ERROR: OpenGL : stack underflow\n");
    EXPECT_FALSE(check_gl_error("done"));
}

TEST_F(GLTest, CheckIlErrorDrainsEveryPendingError)
{
    for (int i = 0; i < 3; ++i)
        ilLoadImage("/nonexistent/picture.png");
    const std::string err = vnt_test::stderr_of([] { EXPECT_TRUE(check_il_error()); });
    int lines = 0;
    for (size_t at = err.find("## ERROR: OpenIL Error "); at != std::string::npos;
         at = err.find("## ERROR: OpenIL Error ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3) << err;
    EXPECT_FALSE(check_il_error());
}

TEST(Startup, ImageLibraryVersionRule)
{
    EXPECT_TRUE(il_versions_ok(178, 178, 178) && il_versions_ok(167, 167, 167));
    EXPECT_FALSE(il_versions_ok(178, 166, 178) || il_versions_ok(166, 178, 178) ||
                 il_versions_ok(178, 178, 166));
}
