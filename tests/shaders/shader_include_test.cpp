// Shared GLSL source: #include splices a file in (beside the including file or through the search
// paths, once per stage), refuses missing files and cycles with the file and line, numbers the
// files for the compiler's messages, and an edit of an included file rebuilds on reload.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "gl_extensions.h"
#include "shader_glsl.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"

namespace {

const std::string dir = "/tmp/vnt_include_test_" + std::to_string(getpid());

std::string put(const std::string& name, const std::string& text)
{
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/" + name) << text;
    return dir + "/" + name;
}

const char* const vertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";

// Everything the builds printed or failed with, one error after another.
std::string errors_of(const cShader_GLSL::sBuild& build)
{
    std::string text;
    for (const auto& e : build.errors)
        text += e.error + "\n" + e.listing + "\n";
    return text;
}

cShader_GLSL::sBuild build_fragment(const std::string& text, const std::string& defines = "")
{
    const cShader_GLSL::sBuild build =
        cShader_GLSL::compile_and_link(put("v.glsl", vertex), put("f.glsl", text), defines);
    if (build.ok())
        glDeleteProgram(build.program);
    return build;
}

std::string g_fragment;
class cIncludingShader : public cShader_GLSL
{
public:
    cIncludingShader(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        load_from_files(dir + "/v.glsl", g_fragment);
    }
    void init_parameters() override {}
    void update_parameters() override {}
    void disable_parameters() override {}
};

class ShaderInclude : public vnt_test::GLTest
{
protected:
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        GLTest::TearDown();
    }
};

TEST_F(ShaderInclude, IncludedFilesAreSplicedInOncePerStage)
{
    // Nested and repeated includes: a second copy of colour.glsl would define colour() twice.
    put("colour.glsl", "vec4 colour() { return vec4(1.0, 0.5, 0.0, 1.0); }\n");
    put("tint.glsl", "#include \"colour.glsl\"\nvec4 tint() { return colour() * 0.5; }\n");
    cShader_GLSL::sBuild build = build_fragment(
        "// a comment may come first\n#version 120\n#include \"tint.glsl\"\n"
        "  #  include \"colour.glsl\"\n/* not an include:\n#include \"nowhere.glsl\" */\n"
        "void main() { gl_FragColor = tint() + colour(); }\n");
    EXPECT_TRUE(build.ok()) << errors_of(build);
    EXPECT_NE(build.stamp.find(dir + "/colour.glsl"), std::string::npos) << build.stamp;

    // Not beside the file: through the search paths (the engine's shared lighting).
    build = build_fragment("#version 120\n#include \"lighting.glsl\"\nvoid main() { vec4 a, b; "
                           "light0(vec3(0.0, 0.0, 1.0), vec3(0.0), a, b); gl_FragColor = a; }\n");
    EXPECT_TRUE(build.ok()) << errors_of(build);
}

TEST_F(ShaderInclude, MissingFilesCyclesAndMisplacedVersionsFailTheStageWithFileAndLine)
{
    const std::string f = dir + "/f.glsl";
    put("a.glsl", "#include \"b.glsl\"\n");
    put("b.glsl", "\n#include \"a.glsl\"\n");
    put("versioned.glsl", "#version 120\n");
    put("self.glsl", "#include \"self.glsl\"\n");
    put("versionless.glsl", "\n");
    const std::pair<const char*, std::string> cases[] = {
        {"#version 120\n\n#include \"nowhere.glsl\"\n",
         f + ":3: cannot find included file \"nowhere.glsl\""},
        {"#version 120\n#include \"a.glsl\"\n",
         dir + "/b.glsl:2: include cycle: \"a.glsl\" is already being read"},
        {"#version 120\n#include \"self.glsl\"\n",
         dir + "/self.glsl:1: include cycle: \"self.glsl\" is already being read"},
        {"#version 120\n#include \"versioned.glsl\"\n",
         dir + "/versioned.glsl:1: #version belongs in the stage's own file only"},
        {"#include \"versionless.glsl\"\n#version 120\n",
         f + ":2: #version must come before any #include"},
        {"#version 120\n#include nowhere.glsl\n", f + ":2: #include needs a file name in quotes"},
    };
    for (const auto& [source, message] : cases) {
        const cShader_GLSL::sBuild build = build_fragment(source);
        EXPECT_FALSE(build.ok()) << source;
        EXPECT_TRUE(build.fragment_failed) << source;
        EXPECT_NE(errors_of(build).find(message), std::string::npos) << errors_of(build);
    }

    // A chain deeper than the bound is refused, not followed.
    for (int i = 0; i < 20; ++i)
        put("deep" + std::to_string(i) + ".glsl",
            "#include \"deep" + std::to_string(i + 1) + ".glsl\"\n");
    put("deep20.glsl", "\n");
    const cShader_GLSL::sBuild deep = build_fragment("#version 120\n#include \"deep0.glsl\"\n");
    EXPECT_NE(errors_of(deep).find("includes nested deeper than 16"), std::string::npos)
        << errors_of(deep);
}

TEST_F(ShaderInclude, CompileErrorsNameTheIncludedFileAndItsLine)
{
    const std::string broken = put("broken.glsl", "// shared\n\nvec4 broken() { return nope; }\n");
    // #line counts differently before GLSL 3.30.
    for (const char* version : {"#version 120\n", "#version 330 compatibility\n"}) {
        const cShader_GLSL::sBuild build = build_fragment(
            std::string(version) +
            "#include \"broken.glsl\"\nvoid main() { gl_FragColor = nope_either; }\n");
        ASSERT_FALSE(build.ok());
        const std::string text = errors_of(build);
        // Mesa writes "source:line(column)"; the numbering below the log names source 1.
        EXPECT_NE(text.find("1:3("), std::string::npos) << text;
        EXPECT_NE(text.find("0:3("), std::string::npos) << text; // back in the stage's own file
        EXPECT_NE(text.find("source 1: " + broken), std::string::npos) << text;
    }
}

// Defined names reach the stage and its includes, and the lines keep their numbers.
TEST_F(ShaderInclude, DefinesSelectAVariantAndKeepTheLineNumbers)
{
    put("pick.glsl", "#ifdef RED\nvec4 pick() { return vec4(1, 0, 0, 1); }\n#endif\n");
    const std::string text = "// a variant\n#version 120\n#include \"pick.glsl\"\n"
                             "void main() { gl_FragColor = pick(); }\n";
    EXPECT_TRUE(build_fragment(text, "RED GREEN").ok());
    const cShader_GLSL::sBuild plain = build_fragment(text);
    ASSERT_FALSE(plain.ok()); // pick() exists only in the variant
    EXPECT_NE(errors_of(plain).find("0:4("), std::string::npos) << errors_of(plain);
    const cShader_GLSL::sBuild broken =
        build_fragment("#version 120\nvoid main() { gl_FragColor = nope; }\n", "RED");
    EXPECT_NE(errors_of(broken).find("0:2("), std::string::npos) << errors_of(broken);
}

TEST_F(ShaderInclude, ReloadRebuildsWhenAnIncludedFileChanges)
{
    auto* shaders = cShaderManager_GLSL::get_instance();
    put("v.glsl", vertex);
    put("part.glsl", "vec4 part() { return vec4(1.0); }\n");
    g_fragment = put("whole.glsl", "#version 120\n#include \"part.glsl\"\n"
                                   "void main() { gl_FragColor = part(); }\n");
    shaders->add_shader<cIncludingShader>("including");
    auto* shader = dynamic_cast<cShader_GLSL*>(shaders->get_shader("including"));
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_UNCHANGED);

    put("part.glsl", "vec4 part() { return vec4(0.25); }\n"); // another size
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_DONE);
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_UNCHANGED);

    // A broken include fails once and keeps the program; mending it rebuilds.
    const unsigned program = shader->get_program();
    put("part.glsl", "vec4 part() { return nope; }\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_FAILED);
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_UNCHANGED);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(shader->get_program(), program);
    put("part.glsl", "vec4 part() { return vec4(0.5, 0.5, 0.5, 1.0); }\n");
    EXPECT_EQ(shader->reload_if_changed(), cShader_GLSL::RELOAD_DONE);
}

} // namespace
