// GL state snapshot: its number formats, what it captures, and the difference file with its
// error line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_extensions.h"
#include "gl_state.h"
#include "support/gl_fixture.h"
#include "support/test_media.h"

using GLState = vnt_test::GLTest;

TEST_F(GLState, FormatsBooleansIntegersFloatsAndFilters)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    glFogf(GL_FOG_START, 1.234f);       // cut, not rounded
    glFogf(GL_FOG_END, 0.5f);           // padded
    glFogf(GL_FOG_DENSITY, 2.0f);       // printed without a point: left as it is
    glNormal3f(1.5e-8f, -0.25f, 0.97f); // an exponent keeps the number's size
    const float ambient[4] = {0.126f, 0.999f, 10.0f, 1234567.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glViewport(3, 4, 50, 60);
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, tex);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    sGLstate state;
    state.capture();
    glPopAttrib();
    glDeleteTextures(1, &tex);

    const std::string text = "\n" + state.as_text();
    for (const std::string& line : std::vector<std::string>{
             "GL_CULL_FACE=true", "GL_FOG=false", "GL_DEPTH_FUNC=515",
             "GL_COLOR_WRITEMASK=(true, false, true, false)", "GL_FOG_START=1.23",
             "GL_FOG_END=0.50", "GL_FOG_DENSITY=2", "GL_CURRENT_NORMAL=(1.50e-08, -0.25, 0.97)",
             "GL_LIGHT_MODEL_AMBIENT=(0.12, 0.99, 10, 1.23e+06)",
             "GL_TEXTURE_MIN_FILTER=GL_NEAREST", "GL_TEXTURE_MAG_FILTER=GL_LINEAR",
             "GL_VIEWPORT=(3, 4, 50, 60)", "GL_TEXTURE_BINDING_RECTANGLE=" + std::to_string(tex)})
        EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << text;
}

TEST_F(GLState, DiffFileHoldsTheChangedLinePairs)
{
    const std::string dir = vnt_test::temp_dir("gl_state");
    sGLstate a, b;
    a.capture();
    b.capture();
    EXPECT_EQ(sGLstate::diff(a, b), "");
    ASSERT_TRUE(sGLstate::write_diff(dir + "/diff", a, b));
    EXPECT_EQ(vnt_test::read_file(dir + "/diff"), "\n");

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_FOG);
    glClearColor(0.5f, 0.25f, 0, 1);
    b.capture();
    glPopAttrib();
    const std::string expected = "GL_COLOR_CLEAR_VALUE=(0, 0, 0, 0)\n"
                                 "GL_COLOR_CLEAR_VALUE=(0.50, 0.25, 0, 1)\n\n"
                                 "GL_FOG=false\nGL_FOG=true\n\n";
    EXPECT_EQ(sGLstate::diff(a, b), expected);
    ASSERT_TRUE(sGLstate::write_diff(dir + "/diff", a, b)); // truncated, not appended to
    EXPECT_EQ(vnt_test::read_file(dir + "/diff"), expected + "\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(sGLstate::writestring(dir + "/no/such/folder/diff", "x"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "## ERROR while writing " + dir +
                  "/no/such/folder/diffin sGLstate::writestring skipping...\n");
}
