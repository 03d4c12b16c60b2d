// The shader registry: binding and rebinding, the bind stack, immediate and deferred
// parameters, unknown and duplicate names, the profile choice, the build-failure report and
// reloading a bound shader.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>
#include <tuple>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target_manager.h"
#include "shader_glsl.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "shaders/shd_post.h"
#include "support/gl_fixture.h"

using namespace vnt_test;

namespace {

struct sCalls
{
    int built = 0, bind = 0, unbind = 0, update = 0, disable = 0;
    bool program_current_at_disable = false;
};
sCalls g_calls;

// Counts what the manager asks of it; draws a + b.
class cCountingShader : public cShader_GLSL
{
public:
    cCountingShader(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        ++g_calls.built;
        set_samplers({{"a", 0}, {"b", 1}});
        load_from_files("tex01_vert.glsl", "post_spilladd_frag.glsl");
    }
    void bind() override
    {
        ++g_calls.bind;
        cShader_GLSL::bind();
    }
    void unbind() override
    {
        ++g_calls.unbind;
        cShader_GLSL::unbind();
    }
    void init_parameters() override {}
    void update_parameters() override { ++g_calls.update; }
    void disable_parameters() override
    {
        ++g_calls.disable;
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        g_calls.program_current_at_disable = GLuint(program) == get_program();
    }
};

// A pair read from files the test writes.
std::string g_vertex_file, g_fragment_file;
class cFileShader : public cShader_GLSL
{
public:
    cFileShader(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        load_from_files(g_vertex_file, g_fragment_file);
    }
    void init_parameters() override {}
    void update_parameters() override {}
    void disable_parameters() override {}
};

const char* const good_vertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
const char* const good_fragment = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
const char* const broken = "#version 120\nvoid main() { this is not glsl; }\n";

std::string write_source(const std::string& name, const char* text)
{
    const std::string path = "/tmp/vnt_shader_test_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path) << text;
    return path;
}

GLint current_program()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

GLuint program_of(const char* name)
{
    return dynamic_cast<cShader_GLSL*>(cShaderManager_GLSL::get_instance()->get_shader(name))
        ->get_program();
}

class ShaderManager : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        register_levels_shader();
        register_hsb_shader();
    }
    void TearDown() override
    {
        shaders->disable();
        GLTest::TearDown();
    }

    // Draws a grey source through whatever shader is bound now and reads the result.
    tPixel draw_grey()
    {
        cRTProxy src = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        fill(*src, 100, 100, 100, 255);
        out->bind_as_target(true);
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_BLEND);
        RenderFSQ(*src);
        glPopAttrib();
        const tPixel px = vnt_test::read_pixel(4, 4);
        out->unbind_as_target();
        return px;
    }

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    float levels[5] = {0, 255, 1, 0, 255};
    float hsb[3] = {0, 0, 0};
    cFloatsVar levels_var{levels};
    cFloatsVar hsb_var{hsb};
};

} // namespace

TEST_F(ShaderManager, ProfilesComeFromTheGlslVersion)
{
    const std::pair<const char*, int> versions[] = {{"1.20", 120},
                                                    {"4.60 NVIDIA 535.1", 460},
                                                    {nullptr, 0},
                                                    {"OpenGL ES GLSL 3.00", 0},
                                                    {"99999999999.5", 0}};
    for (const auto& [text, version] : versions)
        EXPECT_EQ(cShaderManager_GLSL::parse_glsl_version(text), version) << (text ? text : "null");

    int vprof = 0, fprof = 0;
    testing::internal::CaptureStdout();
    cShaderManager_GLSL::choose_profiles_from("4.60 NVIDIA", vprof, fprof);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(vprof == 460 && fprof == 460);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::cout.rdbuf(std::cerr.rdbuf());
            cShaderManager_GLSL::choose_profiles_from("1.10", vprof, fprof);
        },
        testing::ExitedWithCode(255),
        "## glsl-ERROR: No vertex-programming capabilities detected - exiting");
}

TEST_F(ShaderManager, StackRestoresEnclosingShadersWithTheirValues)
{
    // Nothing bound, push, bind, pop: nothing bound again, profiles off.
    shaders->push_shader();
    shaders->bind("levels_shader");
    EXPECT_TRUE(shaders->profiles_enabled());
    shaders->pop_shader();
    EXPECT_EQ(std::tuple(shaders->get_current_shader(), shaders->profiles_enabled(),
                         current_program(), shaders->stack_depth()),
              std::tuple("null_shader", false, 0, 0u));

    // Levels with out black 255 (white), nested under it HSB and then the blend shader.
    levels[3] = 255;
    shaders->set_parameter("levels_shader", 1, &levels_var);
    shaders->bind("levels_shader");
    shaders->push_shader();
    hsb[2] = -100; // brightness -100: black
    shaders->set_parameter("hsb_shader", cShdPostHSB::SP_IN_HSB, &hsb_var);
    shaders->bind("hsb_shader");
    shaders->push_shader();
    shaders->disable();
    shaders->pop_shader();
    EXPECT_EQ(shaders->get_current_shader(), "hsb_shader");
    EXPECT_EQ(GLuint(current_program()), program_of("hsb_shader"));
    EXPECT_TRUE(near(draw_grey(), {0, 0, 0, 255}));
    shaders->pop_shader();
    EXPECT_EQ(shaders->get_current_shader(), "levels_shader");
    EXPECT_EQ(GLuint(current_program()), program_of("levels_shader"));
    EXPECT_TRUE(near(draw_grey(), {255, 255, 255, 255}));
}

TEST_F(ShaderManager, ParametersReachTheBoundShaderAtOnceAndOthersAtTheirBind)
{
    shaders->set_parameter("levels_shader", 1, &levels_var);
    shaders->bind("levels_shader");
    EXPECT_TRUE(near(draw_grey(), {100, 100, 100, 255}));
    levels[3] = 255; // out black: every level becomes white, without a new bind
    shaders->set_parameter("levels_shader", 1, &levels_var);
    EXPECT_TRUE(near(draw_grey(), {255, 255, 255, 255}));

    shaders->set_parameter("hsb_shader", 1, &hsb_var);
    shaders->bind("hsb_shader");
    levels[3] = 0; // stored in the levels shader only; the bound program is untouched
    shaders->set_parameter("levels_shader", 1, &levels_var);
    EXPECT_EQ(GLuint(current_program()), program_of("hsb_shader"));
    EXPECT_TRUE(near(draw_grey(), {100, 100, 100, 255}));
    shaders->bind("levels_shader");
    EXPECT_TRUE(near(draw_grey(), {100, 100, 100, 255}));
}

TEST_F(ShaderManager, BindingTheCurrentShaderUnbindsAndBindsItAgain)
{
    shaders->add_shader<cCountingShader>("counting");
    g_calls = sCalls();
    shaders->bind("counting");
    shaders->bind("counting");
    EXPECT_EQ(std::tuple(g_calls.bind, g_calls.update, g_calls.unbind, g_calls.disable),
              std::tuple(2, 2, 1, 1));
    EXPECT_TRUE(g_calls.program_current_at_disable); // parameters go before the program
    shaders->disable();
    EXPECT_EQ(g_calls.unbind, 2);
    shaders->disable(); // nothing bound: nothing to do
    EXPECT_EQ(g_calls.unbind, 2);
}

TEST_F(ShaderManager, UnknownAndDuplicateNamesAreWarnedAbout)
{
    shaders->add_shader<cCountingShader>("counting");
    cShader* first = shaders->get_shader("counting");
    const int built = g_calls.built;
    testing::internal::CaptureStderr();
    shaders->add_shader<cCountingShader>("counting");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "# warning: shader \"counting\" already exists! Skipping...\n");
    EXPECT_EQ(g_calls.built, built);
    EXPECT_EQ(shaders->get_shader("counting"), first);

    shaders->bind("counting");
    testing::internal::CaptureStderr();
    shaders->bind("no_such_shader");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "#WARNING in cShaderManager_GLSL::bind: trying to bind unknown shader: "
              "\"no_such_shader\"\n");
    EXPECT_EQ(std::tuple(shaders->get_current_shader(), shaders->profiles_enabled(),
                         current_program(), shaders->get_shader("no_such_shader")),
              std::tuple("null_shader", true, 0, nullptr));
}

TEST_F(ShaderManager, SourcesThatDoNotBuildEndTheProgramNamingTheFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string good_v = write_source("good_vert.glsl", good_vertex);
    const std::string good_f = write_source("good_frag.glsl", good_fragment);
    const std::string bad_v = write_source("broken_vert.glsl", broken);
    const std::string bad_f = write_source("broken_frag.glsl", broken);

    g_vertex_file = good_v;
    g_fragment_file = bad_f;
    shaders->bind("levels_shader"); // the block names the shader bound by the drawing code
    EXPECT_EXIT(shaders->add_shader<cFileShader>("broken"), testing::ExitedWithCode(1),
                "\n-{51}\nGLSL compile error in [^ ]*broken_frag\\.glsl\n.+\n-{51}\n"
                "last-shader: levels_shader\nGLSL error, exiting\\.\\.\\.\n"
                "## ERROR: cShader_GLSL::load_from_files\\(\\) failed on [^ ]*broken_frag\\.glsl");

    g_vertex_file = bad_v; // both broken: two blocks, the vertex file is named
    EXPECT_EXIT(shaders->add_shader<cFileShader>("broken"), testing::ExitedWithCode(1),
                "error in [^ ]*broken_vert\\.glsl.+error in [^ ]*broken_frag\\.glsl.+"
                "failed on [^ ]*broken_vert\\.glsl");

    g_vertex_file = "nowhere_vert.glsl";
    g_fragment_file = good_f;
    EXPECT_EXIT(shaders->add_shader<cFileShader>("broken"), testing::ExitedWithCode(1),
                "GLSL compile error in nowhere_vert\\.glsl\nfile not found\n.+"
                "failed on nowhere_vert\\.glsl");
    for (const std::string& path : {good_v, good_f, bad_v, bad_f})
        std::remove(path.c_str());
}

// (A failed reload keeps the running program: see the reload key's test.)
TEST_F(ShaderManager, ReloadingTheBoundShaderLeavesTheNewProgramBound)
{
    g_vertex_file = write_source("reload_vert.glsl", good_vertex);
    g_fragment_file = write_source("reload_frag.glsl", good_fragment);
    shaders->add_shader<cFileShader>("reloadable");
    auto* shader = dynamic_cast<cShader_GLSL*>(shaders->get_shader("reloadable"));
    shaders->bind("reloadable");
    EXPECT_TRUE(near(draw_grey(), {255, 255, 255, 255}));

    std::ofstream(g_fragment_file) << "#version 120\nvoid main() { gl_FragColor = vec4(0.0, "
                                      "0.0, 0.0, 1.0); }\n";
    EXPECT_TRUE(shader->reload_from_files(g_vertex_file, g_fragment_file));
    EXPECT_NE(shader->get_program(), 0u);
    EXPECT_EQ(GLuint(current_program()), shader->get_program());
    EXPECT_TRUE(near(draw_grey(), {0, 0, 0, 255}));
    std::remove(g_vertex_file.c_str());
    std::remove(g_fragment_file.c_str());
}
