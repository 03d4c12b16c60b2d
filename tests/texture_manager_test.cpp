// Texture manager: target choice by picture size, mipmaps, the cache, pixel layout and origin,
// the texture handle's unit bindings, and missing or undecodable files.
#include <gtest/gtest.h>

#include <IL/il.h>

#include <filesystem>
#include <fstream>

#include "gl_extensions.h"
#include "mesh_files/mesh_test_util.h"
#include "resource_path.h"
#include "support/gl_fixture.h"
#include "texture_manager.h"

using ::testing::ExitedWithCode;

namespace {

// Writes a w x h picture whose pixel (x, y) (y = 0 the bottom row) is (x, y, 77) in `channels`
// (3: RGB, 4: RGBA with alpha 200).
void write_picture(const std::string& path, int w, int h, int channels)
{
    std::vector<unsigned char> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            px.insert(px.end(), {(unsigned char)(x), (unsigned char)(y), 77});
            if (channels == 4)
                px.push_back(200);
        }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(ILuint(w), ILuint(h), 1, ILubyte(channels), channels == 4 ? IL_RGBA : IL_RGB,
               IL_UNSIGNED_BYTE, px.data());
    ilEnable(IL_FILE_OVERWRITE);
    ASSERT_TRUE(ilSaveImage(path.c_str()));
    ilDeleteImages(1, &image);
}

GLint level_param(GLenum target, GLint level, GLenum what)
{
    GLint v = 0;
    glGetTexLevelParameteriv(target, level, what, &v);
    return v;
}

GLint tex_param(GLenum target, GLenum what)
{
    GLint v = 0;
    glGetTexParameteriv(target, what, &v);
    return v;
}

class TextureManagerTest : public vnt_test::GLTest
{
protected:
    static void SetUpTestSuite()
    {
        // The GL driver runs threads: death tests start a fresh process instead of forking.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        vnt_test::ensure_gl();
        s_scratch = new mesh_test::cScratchDir("texture_test");
        s_dir = s_scratch->path();
        write_picture(s_dir + "/ramp_256x1.png", 256, 1, 3);
        write_picture(s_dir + "/photo_640x480.png", 640, 480, 4);
        write_picture(s_dir + "/square_512.png", 512, 512, 4);
        write_picture(s_dir + "/small_4x4.png", 4, 4, 4);
        write_picture(s_dir + "/odd_rgb_3x5.png", 3, 5, 3);
        std::ofstream(s_dir + "/broken.png") << "this is not a picture";
        cResourcePath::get_instance()->push_searchpath(s_dir);
    }
    static void TearDownTestSuite() { delete s_scratch; }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
    static inline std::string s_dir;
};

} // namespace

TEST_F(TextureManagerTest, OneRowPicturesAreOneDimensionalRGB)
{
    // Asking for mipmaps does not stop a lookup table: it gets none.
    cTexProxy p = cTextureManager::get_instance()->get_texture("ramp_256x1.png", true, GL_CLAMP, 0);
    ASSERT_TRUE(p.isValid());
    EXPECT_EQ(p.get_target(), GLenum(GL_TEXTURE_1D));
    EXPECT_EQ(p.get_width(), 256u);
    EXPECT_EQ(p.get_height(), 1u);
    glBindTexture(GL_TEXTURE_1D, p.get_texname());
    EXPECT_EQ(level_param(GL_TEXTURE_1D, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(tex_param(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    std::vector<unsigned char> texels(256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_1D, 0);
    EXPECT_EQ(texels[3 * 200 + 0], 200);
    EXPECT_EQ(texels[3 * 200 + 2], 77);
}

TEST_F(TextureManagerTest, OtherSizesAreRectanglesWithoutMipmaps)
{
    // Asked to repeat, which rectangle textures cannot: clamped, and no OpenGL error.
    testing::internal::CaptureStderr();
    cTexProxy p =
        cTextureManager::get_instance()->get_texture("photo_640x480.png", true, GL_REPEAT, 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("## ERROR"), std::string::npos) << err;
    EXPECT_EQ(p.get_target(), GLenum(GL_TEXTURE_RECTANGLE_ARB));
    EXPECT_EQ(p.get_width(), 640u);
    EXPECT_EQ(p.get_height(), 480u);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, p.get_texname());
    EXPECT_EQ(tex_param(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(tex_param(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(level_param(GL_TEXTURE_RECTANGLE_ARB, 0, GL_TEXTURE_WIDTH), 640);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
}

TEST_F(TextureManagerTest, PowerOfTwoSquaresGetAFullMipmapChain)
{
    cTexProxy p =
        cTextureManager::get_instance()->get_texture("square_512.png", true, GL_REPEAT, 0);
    EXPECT_EQ(p.get_target(), GLenum(GL_TEXTURE_2D));
    glBindTexture(GL_TEXTURE_2D, p.get_texname());
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_REPEAT);
    for (GLint level = 0; level <= 9; ++level) {
        EXPECT_EQ(level_param(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH), 512 >> level) << level;
        EXPECT_EQ(level_param(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT), 512 >> level) << level;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureManagerTest, TheCacheUploadsOnceAndKeepsTheFirstSettings)
{
    cTextureManager* tm = cTextureManager::get_instance();
    EXPECT_FALSE(tm->is_uploaded("small_4x4.png"));
    cTexProxy first = tm->get_texture("small_4x4.png", false, GL_CLAMP_TO_EDGE, 0);
    EXPECT_TRUE(tm->is_uploaded("small_4x4.png"));
    const size_t entries = tm->size();

    // Mark one texel; a second upload would overwrite it.
    const unsigned char marker[4] = {1, 2, 3, 4};
    glBindTexture(GL_TEXTURE_2D, first.get_texname());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, marker);

    cTexProxy second = tm->get_texture("small_4x4.png", true, GL_REPEAT, 0);
    EXPECT_EQ(second.get_texname(), first.get_texname());
    EXPECT_EQ(tm->size(), entries);
    std::vector<unsigned char> texels(4 * 4 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 1);
    EXPECT_EQ(texels[3], 4);
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    // Row 1 is the second row from the bottom of the file: the origin is lower left.
    EXPECT_EQ(texels[(1 * 4 + 2) * 4 + 0], 2);
    EXPECT_EQ(texels[(1 * 4 + 2) * 4 + 1], 1);
    EXPECT_EQ(texels[(1 * 4 + 2) * 4 + 3], 200);
    glBindTexture(GL_TEXTURE_2D, 0);

    // The target is chosen on every call; the name stays the cache key.
    cTexProxy forced = tm->get_texture("small_4x4.png", false, GL_CLAMP, GL_TEXTURE_2D);
    EXPECT_EQ(forced.get_texname(), first.get_texname());
}

TEST_F(TextureManagerTest, OddRowLengthsArriveUnskewed)
{
    // RGB rows of 9 bytes: a 4-byte row alignment would shift every row.
    cTexProxy p =
        cTextureManager::get_instance()->get_texture("odd_rgb_3x5.png", false, GL_CLAMP, 0);
    EXPECT_EQ(p.get_target(), GLenum(GL_TEXTURE_RECTANGLE_ARB));
    std::vector<unsigned char> texels(3 * 5 * 4);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, p.get_texname());
    glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(texels[size_t(y * 3 + x) * 4 + 0], x) << x << "," << y;
            EXPECT_EQ(texels[size_t(y * 3 + x) * 4 + 1], y) << x << "," << y;
        }
}

TEST_F(TextureManagerTest, HandlesBindOnTheirUnitAndLeaveUnitZeroActive)
{
    cTexProxy none;
    EXPECT_FALSE(none.isValid());

    cTexProxy p = cTextureManager::get_instance()->get_texture("small_4x4.png", false, GL_CLAMP, 0);
    p.bind(GL_TEXTURE2);
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE2);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), p.get_texname());
    glActiveTextureARB(GL_TEXTURE0);

    // A copy carries the texture, not the binding.
    cTexProxy copy = p;
    EXPECT_EQ(copy.get_texname(), p.get_texname());
    EXPECT_EQ(p.get_bound_unit(), GLenum(GL_TEXTURE2));

    p.unbind();
    glActiveTextureARB(GL_TEXTURE2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glActiveTextureARB(GL_TEXTURE0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);

    EXPECT_DEATH(copy.unbind(), "m_bound_activetexture > 0");
    EXPECT_DEATH(none.bind(GL_TEXTURE0), "isValid\\(\\)");
}

TEST_F(TextureManagerTest, MissingFilesEndTheProgram)
{
    EXPECT_EXIT(
        cTextureManager::get_instance()->get_texture("no/such/picture.png", true, GL_CLAMP, 0),
        ExitedWithCode(255),
        "## ERROR: in .*texture_manager.cpp line [0-9]+: file was not found in path: "
        "\"no/such/picture.png\"");
}

TEST_F(TextureManagerTest, UndecodableFilesBecomeAPlaceholder)
{
    testing::internal::CaptureStderr();
    cTexProxy p = cTextureManager::get_instance()->get_texture("broken.png", true, GL_CLAMP, 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("## ERROR: OpenIL Error"), std::string::npos) << err;
    EXPECT_NE(err.find("placeholder"), std::string::npos) << err;
    ASSERT_TRUE(p.isValid());
    EXPECT_EQ(p.get_width(), 1u);
    EXPECT_EQ(p.get_target(), GLenum(GL_TEXTURE_1D));
}
