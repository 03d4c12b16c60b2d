// Texture manager: target choice by picture size, mipmaps, the cache, pixel layout and origin,
// the handle's unit bindings, and a missing file (damaged ones: fuzz/damaged_images_test).
#include <gtest/gtest.h>

#include <IL/il.h>

#include "gl_extensions.h"
#include "mesh_files/mesh_test_util.h"
#include "resource_path.h"
#include "support/gl_fixture.h"
#include "texture_manager.h"

using ::testing::ExitedWithCode;

namespace {

// A w x h picture whose pixel (x, y) (y = 0 the bottom row) is (x, y, 77), RGB or RGBA.
void write_picture(const std::string& path, int w, int h, int channels)
{
    std::vector<unsigned char> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            px.insert(px.end(), {(unsigned char)(x), (unsigned char)(y), 77, 200});
            px.resize(px.size() - size_t(4 - channels));
        }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(ILuint(w), ILuint(h), 1, ILubyte(channels), channels == 4 ? IL_RGBA : IL_RGB,
               IL_UNSIGNED_BYTE, px.data());
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage(path.c_str());
    ilDeleteImages(1, &image);
}

GLint param(GLenum target, GLenum what, GLint level = -1)
{
    GLint v = 0;
    if (level < 0)
        glGetTexParameteriv(target, what, &v);
    else
        glGetTexLevelParameteriv(target, level, what, &v);
    return v;
}

cTexProxy get(const char* name, bool mipmap, GLenum wrap, GLenum target = 0)
{
    return cTextureManager::get_instance()->get_texture(name, mipmap, wrap, target);
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
        const std::string dir = s_scratch->path();
        write_picture(dir + "/ramp_256x1.png", 256, 1, 3);
        write_picture(dir + "/photo_640x480.png", 640, 480, 4);
        write_picture(dir + "/square_512.png", 512, 512, 4);
        write_picture(dir + "/small_4x4.png", 4, 4, 4);
        write_picture(dir + "/handle_4x4.png", 4, 4, 4); // the cache test owns small_4x4
        write_picture(dir + "/odd_rgb_3x5.png", 3, 5, 3);
        cResourcePath::get_instance()->push_searchpath(dir);
    }
    static void TearDownTestSuite() { delete s_scratch; }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
};

} // namespace

TEST_F(TextureManagerTest, TargetsBySize)
{
    // One row: 1D with internal format RGB; asking for mipmaps does not stop it.
    cTexProxy ramp = get("ramp_256x1.png", true, GL_CLAMP);
    EXPECT_EQ(ramp.get_target(), GLenum(GL_TEXTURE_1D));
    glBindTexture(GL_TEXTURE_1D, ramp.get_texname());
    EXPECT_EQ(param(GL_TEXTURE_1D, GL_TEXTURE_INTERNAL_FORMAT, 0), GL_RGB);
    EXPECT_EQ(param(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    std::vector<unsigned char> texels(256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_1D, 0);
    EXPECT_EQ(texels[3 * 200], 200);

    // Not powers of two: a rectangle without mipmaps, clamped since it cannot repeat (no
    // OpenGL error).
    testing::internal::CaptureStderr();
    cTexProxy photo = get("photo_640x480.png", true, GL_REPEAT);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(photo.get_target(), GLenum(GL_TEXTURE_RECTANGLE_ARB));
    EXPECT_EQ(photo.get_width() * 1000 + photo.get_height(), 640480u);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, photo.get_texname());
    EXPECT_EQ(param(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(param(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);

    // Powers of two: 2D with the whole mipmap chain.
    cTexProxy square = get("square_512.png", true, GL_REPEAT);
    EXPECT_EQ(square.get_target(), GLenum(GL_TEXTURE_2D));
    glBindTexture(GL_TEXTURE_2D, square.get_texname());
    EXPECT_EQ(param(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);
    for (GLint level = 0; level <= 9; ++level)
        EXPECT_EQ(param(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT, level), 512 >> level) << level;
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureManagerTest, TheCacheUploadsOnceAndKeepsTheFirstSettings)
{
    cTextureManager* tm = cTextureManager::get_instance();
    cTexProxy first = get("small_4x4.png", false, GL_CLAMP_TO_EDGE);
    const size_t entries = tm->size();
    // Mark one texel; a second upload would overwrite it.
    const unsigned char marker[4] = {1, 2, 3, 4};
    glBindTexture(GL_TEXTURE_2D, first.get_texname());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, marker);
    EXPECT_EQ(get("small_4x4.png", true, GL_REPEAT).get_texname(), first.get_texname());
    EXPECT_EQ(tm->size(), entries);
    std::vector<unsigned char> texels(4 * 4 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[3], 4);
    EXPECT_EQ(param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(param(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    // Texel (2, 1) is the second row from the bottom of the file: the origin is lower left.
    EXPECT_EQ(texels[(1 * 4 + 2) * 4 + 0] * 1000 + texels[(1 * 4 + 2) * 4 + 1], 2001);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureManagerTest, OddRowLengthsArriveUnskewed)
{
    // RGB rows of 9 bytes: a 4-byte row alignment would shift every row.
    cTexProxy p = get("odd_rgb_3x5.png", false, GL_CLAMP);
    std::vector<unsigned char> texels(3 * 5 * 4);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, p.get_texname());
    glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(texels[i * 4] * 1000 + texels[i * 4 + 1], int(i % 3) * 1000 + int(i / 3));
}

TEST_F(TextureManagerTest, HandlesBindOnTheirUnitAndLeaveUnitZeroActive)
{
    cTexProxy p = get("handle_4x4.png", false, GL_CLAMP);
    const cTexProxy copy = p; // carries the texture, not the binding
    p.bind(GL_TEXTURE2);
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_TRUE(active == GL_TEXTURE0 && !glIsEnabled(GL_TEXTURE_2D)) << active;
    glActiveTextureARB(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && GLuint(bound) == p.get_texname()) << bound;
    p.unbind();
    glActiveTextureARB(GL_TEXTURE2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0);

    EXPECT_FALSE(cTexProxy().isValid());
    EXPECT_DEATH(cTexProxy(copy).unbind(), "m_bound_activetexture > 0");
    EXPECT_DEATH(cTexProxy().bind(GL_TEXTURE0), "isValid\\(\\)");
}

TEST_F(TextureManagerTest, AMissingFileEndsTheProgram)
{
    EXPECT_EXIT(get("no/such/picture.png", true, GL_CLAMP), ExitedWithCode(255),
                "## ERROR: in .*texture_manager.cpp line [0-9]+: file was not found in path: "
                "\"no/such/picture.png\"");
}
