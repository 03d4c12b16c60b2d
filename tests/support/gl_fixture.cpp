// Shared headless GL context for the tests (see gl_fixture.h).
#include "support/gl_fixture.h"

#include <IL/il.h>
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <tuple>

#include "gl_extensions.h"
#include "gl_state.h"
#include "shader_manager_glsl.h"
#include "startup.h"
#include "video_module.h"

namespace vnt_test {

namespace {

// A forked child of a process that holds a Mesa context cannot exit cleanly (the driver's
// threads are not in the child): death tests re-run the test in a fresh process instead. The
// style is set before the first test of every program that can make the context, not when the
// context is made, so that a death test sees the same style in its own process and in the
// re-run one whatever ran before it.
class cThreadsafeDeathTests : public ::testing::Environment
{
public:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

::testing::Environment* const g_death_test_style =
    ::testing::AddGlobalTestEnvironment(new cThreadsafeDeathTests);

} // namespace

void ensure_gl(unsigned width, unsigned height)
{
    static bool ready = false;
    if (ready)
        return;
    ready = true;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    cVideoModule* video = cVideoModule::get_instance();
    video->set_size(width, height);
    video->set_hidden(true);
    video->init_sdl();
    init_gl();
    init_il();
    init_gl_state();
    init_search_paths(test_search_dirs());
    check_gl_error("ensure_gl");
    // As in the demo's exit handler: the context goes before the driver's own exit handlers
    // run, or they wait for it forever.
    std::atexit([] { SDL_Quit(); });
}

std::array<unsigned char, 4> read_pixel(int x, int y)
{
    std::array<unsigned char, 4> px{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

std::vector<unsigned char> read_pixels(int x, int y, int w, int h)
{
    std::vector<unsigned char> out(size_t(w) * size_t(h) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

bool write_png(const char* path, int w, int h, const std::vector<unsigned char>& rgba)
{
    if (w <= 0 || h <= 0 || rgba.size() < size_t(w) * size_t(h) * 4)
        return false; // the bytes are not a w x h picture: nothing past them is read
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    // The bytes come bottom row first, which is DevIL's lower-left origin.
    ilTexImage(ILuint(w), ILuint(h), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
               const_cast<unsigned char*>(rgba.data()));
    ilEnable(IL_FILE_OVERWRITE);
    const bool ok = ilSaveImage(path) == IL_TRUE;
    ilDeleteImages(1, &image);
    return ok;
}

std::string frame_state()
{
    sGLstate gl;
    gl.capture();
    std::ostringstream out;
    out << gl.as_text();
    GLfloat v[16];
    for (auto [name, what, n] : {std::tuple{"PROJECTION_MATRIX", GL_PROJECTION_MATRIX, 16},
                                 {"MODELVIEW_MATRIX", GL_MODELVIEW_MATRIX, 16},
                                 {"TEXTURE_MATRIX", GL_TEXTURE_MATRIX, 16},
                                 {"POINT_SIZE", GL_POINT_SIZE, 1},
                                 {"LINE_WIDTH", GL_LINE_WIDTH, 1}}) {
        glGetFloatv(what, v);
        out << name << "=";
        for (int i = 0; i < n; ++i)
            out << " " << v[i];
        out << "\n";
    }
    for (auto [name, what] : {std::pair{"PROJECTION_STACK_DEPTH", GL_PROJECTION_STACK_DEPTH},
                              {"MODELVIEW_STACK_DEPTH", GL_MODELVIEW_STACK_DEPTH},
                              {"TEXTURE_STACK_DEPTH", GL_TEXTURE_STACK_DEPTH},
                              {"ATTRIB_STACK_DEPTH", GL_ATTRIB_STACK_DEPTH},
                              {"PROGRAM", GL_CURRENT_PROGRAM},
                              {"FRAMEBUFFER", GL_FRAMEBUFFER_BINDING_EXT},
                              {"ACTIVE_TEXTURE", GL_ACTIVE_TEXTURE},
                              {"CLIENT_ACTIVE_TEXTURE", GL_CLIENT_ACTIVE_TEXTURE},
                              {"ARRAY_BUFFER", GL_ARRAY_BUFFER_BINDING_ARB},
                              {"ELEMENT_ARRAY_BUFFER", GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB},
                              {"SCISSOR_TEST", GL_SCISSOR_TEST},
                              {"FRONT_FACE", GL_FRONT_FACE},
                              {"BLEND_SRC_RGB", GL_BLEND_SRC_RGB},
                              {"BLEND_DST_RGB", GL_BLEND_DST_RGB},
                              {"BLEND_SRC_ALPHA", GL_BLEND_SRC_ALPHA},
                              {"BLEND_DST_ALPHA", GL_BLEND_DST_ALPHA},
                              {"VERTEX_ARRAY", GL_VERTEX_ARRAY},
                              {"NORMAL_ARRAY", GL_NORMAL_ARRAY},
                              {"TEXTURE_COORD_ARRAY", GL_TEXTURE_COORD_ARRAY},
                              {"COLOR_ARRAY", GL_COLOR_ARRAY}}) {
        GLint i = 0;
        glGetIntegerv(what, &i);
        out << name << "=" << i << "\n";
    }
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    out << "SHADER=" << shaders->get_current_shader() << " (stack " << shaders->stack_depth()
        << ")\n";
    return out.str();
}

void GLTest::SetUp()
{
    ensure_gl();
    while (glGetError() != GL_NO_ERROR) {
    }
}

void GLTest::TearDown()
{
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace vnt_test
