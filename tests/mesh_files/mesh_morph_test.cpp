// Morphing mesh: the source mesh drawn through "morph_shader" with the target's positions and
// normals as extra streams; the weight moves the picture from one mesh to the other.
#include <gtest/gtest.h>

#include "effects/var.h"
#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_morph.h"
#include "mesh_files/mesh_test_util.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "resource_path.h"
#include "shader.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "support/gl_fixture.h"

namespace {

// A quad of width 0.2 at x0 (4 vertices in a fixed order), normals towards the viewer.
void write_quad(const std::string& path, float x0, int extra_vertices = 0)
{
    cMeshObj quad;
    quad.m_flags = iMeshType::T_NORMALS_BIT | iMeshType::T_DTEX_BIT;
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
        quad.m_pos.insert(quad.m_pos.end(), {x0 + 0.2f * c[0], 0.2f + 0.6f * c[1], 0.0f});
        quad.m_norm.insert(quad.m_norm.end(), {0, 0, 1});
        quad.m_tex0.insert(quad.m_tex0.end(), {c[0], c[1]});
    }
    quad.m_pos.resize(quad.m_pos.size() + 3 * size_t(extra_vertices), 0.0f);
    quad.m_norm.resize(quad.m_pos.size(), 1.0f);
    quad.m_tex0.resize(quad.m_pos.size() / 3 * 2, 0.0f);
    quad.m_elem = {0, 1, 2, 0, 2, 3};
    std::string error;
    ASSERT_TRUE(bobj_save(quad, path, error)) << error;
}

class MeshMorphTest : public vnt_test::GLTest
{
protected:
    static void SetUpTestSuite()
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        vnt_test::ensure_gl();
        s_scratch = new mesh_test::cScratchDir("mesh_morph_test");
        if (s_scratch->owner()) {
            write_quad(s_scratch->path() + "/morph_left.bzobj", 0.1f);
            write_quad(s_scratch->path() + "/morph_right.bzobj", 0.7f);
            write_quad(s_scratch->path() + "/morph_bigger.bzobj", 0.7f, 3);
        }
        cResourcePath::get_instance()->push_searchpath(s_scratch->path());
        register_morph_shader();
        // A white map for the shader's diffuse sampler.
        const unsigned char white[4] = {255, 255, 255, 255};
        glGenTextures(1, &s_white);
        glBindTexture(GL_TEXTURE_2D, s_white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    static void TearDownTestSuite()
    {
        glDeleteTextures(1, &s_white);
        delete s_scratch;
    }

    // Draws the morph at `weight` over a quarter-size target; returns the row through the
    // middle as coverage flags (true where something was drawn).
    static std::vector<bool> draw_at(cMeshMorph& morph, float weight)
    {
        float w = weight;
        cVar<float> var(&w);
        cShaderManager_GLSL::get_instance()->set_parameter("morph_shader", cShdMorphDtex::SP_INTERP,
                                                           &var);
        cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
        const int width = int(target->m_width), height = int(target->m_height);
        glClearColor(0, 0, 0, 0);
        target->bind_as_target(true);
        glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
        glDisable(GL_DEPTH_TEST);
        const GLfloat white[4] = {1, 1, 1, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, white);
        glBindTexture(GL_TEXTURE_2D, s_white);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        morph.draw();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glBindTexture(GL_TEXTURE_2D, 0);
        glPopAttrib();
        const std::vector<unsigned char> row = vnt_test::read_pixels(0, height / 2, width, 1);
        target->unbind_as_target();
        std::vector<bool> covered(10);
        for (int i = 0; i < 10; ++i) {
            const size_t x = size_t((float(i) + 0.5f) / 10.0f * float(width));
            covered[size_t(i)] = row[x * 4] > 200 && row[x * 4 + 1] > 200 && row[x * 4 + 2] > 200;
        }
        return covered;
    }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
    static inline GLuint s_white = 0;
};

} // namespace

using tCover = std::vector<bool>;
const tCover left = {0, 1, 1, 0, 0, 0, 0, 0, 0, 0};
const tCover middle = {0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
const tCover right = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0};

TEST_F(MeshMorphTest, WeightMovesTheSourceOntoTheTarget)
{
    cMeshMorph morph;
    morph.load("morph_left.bzobj", "morph_right.bzobj", true, true);
    morph.shader_inited = true;
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    ASSERT_EQ(shaders->get_current_shader(), "null_shader");
    // Coverage per tenth of the width: the quads cover 0.1..0.3 and 0.7..0.9.
    EXPECT_EQ(draw_at(morph, 0.0f), left);
    EXPECT_EQ(draw_at(morph, 1.0f), right);
    EXPECT_EQ(draw_at(morph, 0.5f), middle);
    // The shader is popped and the extra streams are off again.
    EXPECT_EQ(shaders->get_current_shader(), "null_shader");
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    for (GLenum unit : {GL_TEXTURE3, GL_TEXTURE4}) {
        glClientActiveTextureARB(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    }
    glClientActiveTextureARB(GL_TEXTURE0);
}

TEST_F(MeshMorphTest, MismatchAndMisuse)
{
    // Meshes that do not line up: reported, and the source is drawn unchanged.
    cMeshMorph morph;
    testing::internal::CaptureStderr();
    morph.load("morph_left.bzobj", "morph_bigger.bzobj", true, true);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("## ERROR in cMeshMorph::load"), std::string::npos) << err;
    EXPECT_DEATH(morph.draw(), "shader_inited");
    EXPECT_DEATH(morph.upload(true), "cMeshMorph::upload.*Assertion `0' failed");
    morph.shader_inited = true;
    EXPECT_EQ(draw_at(morph, 1.0f), left);
}
