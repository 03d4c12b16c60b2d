// GL state snapshot: its number formats, what it captures, and the difference file with its
// error line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gl_extensions.h"
#include "gl_state.h"
#include "support/gl_fixture.h"
#include "support/test_media.h"

namespace {

std::vector<std::string> words_of(const std::string& text, char separator)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, separator);)
        words.push_back(word);
    return words;
}

// The line of `text` that starts with `label`, or "".
std::string line_for(const std::string& text, const std::string& label)
{
    for (const std::string& line : words_of(text, '\n')) {
        if (line.compare(0, label.size(), label) == 0)
            return line;
    }
    return "";
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

class GLState : public vnt_test::GLTest
{
};

} // namespace

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

    const std::string text = state.as_text();
    EXPECT_EQ(line_for(text, "GL_CULL_FACE="), "GL_CULL_FACE=true");
    EXPECT_EQ(line_for(text, "GL_FOG="), "GL_FOG=false");
    EXPECT_EQ(line_for(text, "GL_DEPTH_FUNC="), "GL_DEPTH_FUNC=515");
    EXPECT_EQ(line_for(text, "GL_COLOR_WRITEMASK="),
              "GL_COLOR_WRITEMASK=(true, false, true, false)");
    EXPECT_EQ(line_for(text, "GL_FOG_START="), "GL_FOG_START=1.23");
    EXPECT_EQ(line_for(text, "GL_FOG_END="), "GL_FOG_END=0.50");
    EXPECT_EQ(line_for(text, "GL_FOG_DENSITY="), "GL_FOG_DENSITY=2");
    EXPECT_EQ(line_for(text, "GL_CURRENT_NORMAL="), "GL_CURRENT_NORMAL=(1.50e-08, -0.25, 0.97)");
    EXPECT_EQ(line_for(text, "GL_LIGHT_MODEL_AMBIENT="),
              "GL_LIGHT_MODEL_AMBIENT=(0.12, 0.99, 10, 1.23e+06)");
    EXPECT_EQ(line_for(text, "GL_TEXTURE_MIN_FILTER="), "GL_TEXTURE_MIN_FILTER=GL_NEAREST");
    EXPECT_EQ(line_for(text, "GL_TEXTURE_MAG_FILTER="), "GL_TEXTURE_MAG_FILTER=GL_LINEAR");
    EXPECT_EQ(line_for(text, "GL_TEXTURE_BINDING_RECTANGLE="),
              "GL_TEXTURE_BINDING_RECTANGLE=" + std::to_string(tex));
    EXPECT_EQ(line_for(text, "GL_VIEWPORT="), "GL_VIEWPORT=(3, 4, 50, 60)");
}

TEST_F(GLState, DiffFileHoldsTheChangedLinePairs)
{
    const std::string dir = vnt_test::temp_dir("gl_state");
    sGLstate a, b;
    a.capture();
    b.capture();
    EXPECT_EQ(sGLstate::diff(a, b), "");
    ASSERT_TRUE(sGLstate::write_diff(dir + "/diff", a, b));
    EXPECT_EQ(read_file(dir + "/diff"), "\n");

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
    EXPECT_EQ(read_file(dir + "/diff"), expected + "\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(sGLstate::writestring(dir + "/no/such/folder/diff", "x"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "## ERROR while writing " + dir +
                  "/no/such/folder/diffin sGLstate::writestring skipping...\n");
}
