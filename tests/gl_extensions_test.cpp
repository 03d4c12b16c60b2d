// Extension-string matching and the loader's fatal exits and warnings.
#include <gtest/gtest.h>

#include <string>

#include "gl_extensions.h"
#include "support/gl_fixture.h"

TEST(GlExtensions, TokensMatchWholeAndAnywhere)
{
    const char* list = "GL_ARB_multitexture_extra GL_EXT_foo GL_ARB_texture_rectangle";
    EXPECT_FALSE(vnt::has_extension_in(list, "GL_ARB_multitexture")); // prefix of a token
    EXPECT_TRUE(vnt::has_extension_in(list, "GL_EXT_foo"));
    EXPECT_TRUE(vnt::has_extension_in(list, "GL_ARB_texture_rectangle")); // last, no blank
    // Case-sensitive; an empty or missing list holds nothing.
    EXPECT_FALSE(
        vnt::has_extension_in(list, "GL_EXT_fo") || vnt::has_extension_in(list, "gl_ext_foo") ||
        vnt::has_extension_in("", "GL_EXT_foo") || vnt::has_extension_in(nullptr, "GL_EXT_foo"));
    EXPECT_TRUE(vnt::has_extension_in("  GL_A   GL_B ", "GL_B")); // runs of blanks
}

TEST(GlExtensions, MissingMandatoryExtensionsEndTheProgram)
{
    vnt_test::ensure_gl();
    EXPECT_EXIT(vnt::load_extensions("GL_ARB_multitexture GL_EXT_framebuffer_object"),
                ::testing::ExitedWithCode(1),
                "# WARNING: GL_ARB_vertex_buffer_object not supported");
    EXPECT_EXIT(vnt::load_extensions("GL_ARB_vertex_buffer_object GL_ARB_multitexture_foo "
                                     "GL_EXT_framebuffer_object"),
                ::testing::ExitedWithCode(255), "# WARNING: GL_ARB_multitexture not supported");
    EXPECT_EXIT(vnt::load_extensions("GL_ARB_vertex_buffer_object GL_ARB_multitexture"),
                ::testing::ExitedWithCode(1), "# WARNING: GL_EXT_framebuffer_object not supported");
    EXPECT_EXIT(vnt::load_extensions(""), ::testing::ExitedWithCode(1),
                "GL_ARB_vertex_buffer_object not supported");
}

TEST(GlExtensions, OptionalExtensionsOnlyWarn)
{
    vnt_test::ensure_gl();
    testing::internal::CaptureStderr();
    vnt::load_extensions("GL_ARB_vertex_buffer_object GL_ARB_multitexture "
                         "GL_EXT_framebuffer_object GL_EXT_texture_rectangle");
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* warning :
         {"GL_ARB_imaging not supported",
          "GL_ARB_texture_rectangle not supported\n"
          "           GL_EXT_texture_rectangle supported though\n",
          "EXT_texture_lod_bias not supported",
          "\tGL_ARB_point_sprite not supported! (go bug your hardware-vendor)"})
        EXPECT_NE(err.find(std::string("# WARNING: ") + warning), std::string::npos) << err;
    // The entry points are there on this driver.
    EXPECT_TRUE(glBindBufferARB && glBindFramebufferEXT && glUseProgram);
    EXPECT_EQ(err.find("not initialized"), std::string::npos) << err;
}
