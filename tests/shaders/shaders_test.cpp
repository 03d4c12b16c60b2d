// The effect shaders: every registered pair builds on Mesa with all its parameters and
// samplers, refuses parameters of the wrong size or type, and the shaders no pass test reaches
// (radial blur across target sizes, materials) compute what they should. The grading and blur
// shaders are tested through their passes, the morph through cMeshMorph, the particle sprites
// through the billboard renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_glsl.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "shaders/shd_comp.h"
#include "shaders/shd_mesh.h"
#include "shaders/shd_particle.h"
#include "shaders/shd_post.h"
#include "support/gl_fixture.h"

using namespace vnt_test;

namespace {

// Every shader's name and its registration (named after it).
#define SHADER(name) tShader(#name, register_##name)
using tShader = std::pair<const char*, std::function<void()>>;
const std::vector<tShader> named_shaders = {
    SHADER(blend_comp),           SHADER(add_comp),
    SHADER(dodge_comp),           SHADER(screen_comp),
    SHADER(levels_shader),        SHADER(hsb_shader),
    SHADER(hueshift_shader),      SHADER(radialblur_shader),
    SHADER(alpha_blur_shader),    SHADER(no_alpha_blur_shader),
    SHADER(spill_shader),         SHADER(coldodge_shader),
    SHADER(coldodge_mask_shader), SHADER(color_correction_shader),
    SHADER(half_resample_shader), SHADER(morph_shader),
    SHADER(normext_shader),       SHADER(sinewave_shader),
    SHADER(lmt_shader),           SHADER(xraytex_shader),
    SHADER(self_illum_shader),    SHADER(rgba_shader),
    SHADER(rgbatex_shader),       SHADER(notex_shader),
    SHADER(srccol_shader),        SHADER(srccoladd_shader),
    SHADER(dtex_shader),          SHADER(masked_shader),
    SHADER(pexpshader),           SHADER(particle_light_shader),
    SHADER(feedback_shader)};
// The compositing blends in their variants (the plain ones are named above).
const std::vector<tShader> all_shaders = [] {
    static std::deque<std::string> names; // the entries point into it
    std::vector<tShader> list = named_shaders;
    for (int mode : {0, 1, 3, 4}) {
        for (int variant : {1, 2, 3, 6, 7}) {
            names.push_back(cShdComp::name_of(mode, variant));
            list.emplace_back(names.back().c_str(), [=] { register_comp(mode, variant); });
        }
    }
    return list;
}();
#undef SHADER

using ShaderSources = vnt_test::GLTest;

class Shaders : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        for (const auto& entry : all_shaders) {
            if (!shaders->get_shader(entry.first))
                entry.second();
        }
    }

    // Draws `src` through the named shader into `out` (cleared first), unblended.
    void pass(const char* shader, iRenderTarget& src, iRenderTarget& out)
    {
        shaders->push_shader();
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_BLEND);
        shaders->bind(shader);
        out.bind_as_target(true);
        RenderFSQ(src);
        out.unbind_as_target();
        glPopAttrib();
        shaders->pop_shader();
    }
    template <class Block> void set_block(const char* shader, const Block& block)
    {
        cFloatsVar var(block);
        shaders->set_parameter(shader, 1, &var);
    }
    // A normalised 2D texture bound on `unit` (GL_TEXTURE0 + i) for the test's duration.
    void texture_2d(GLenum unit, int w, int h, const std::vector<unsigned char>& rgba)
    {
        glGenTextures(1, &m_texture);
        glActiveTextureARB(unit);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glActiveTextureARB(GL_TEXTURE0);
        m_unit = unit;
    }
    void TearDown() override
    {
        if (m_texture) {
            glActiveTextureARB(m_unit);
            glBindTexture(GL_TEXTURE_2D, 0);
            glActiveTextureARB(GL_TEXTURE0);
            glDeleteTextures(1, &m_texture);
        }
        GLTest::TearDown();
    }

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    GLuint m_texture = 0;
    GLenum m_unit = GL_TEXTURE0;
};

} // namespace

// Every name is built in a fresh process, whatever the other tests registered before, without
// a word on the error stream (a lookup or sampler that fails prints its error line).
TEST_F(ShaderSources, EveryRegisteredPairBuildsWithAllItsParametersAndSamplers)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            testing::internal::CaptureStderr();
            for (const auto& entry : all_shaders)
                entry.second();
            const std::string err = testing::internal::GetCapturedStderr();
            cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
            std::vector<GLuint> programs;
            for (const auto& entry : all_shaders) {
                auto* shader = dynamic_cast<cShader_GLSL*>(shaders->get_shader(entry.first));
                programs.push_back(shader ? shader->get_program() : 0);
            }
            std::sort(programs.begin(), programs.end());
            // Each name has its own program, also the class registered under two names.
            const bool distinct = programs.front() != 0 &&
                                  std::unique(programs.begin(), programs.end()) == programs.end();
            std::cerr << "<<" << err << ">> " << (distinct ? "built" : "missing or shared programs")
                      << std::endl;
            std::exit(0);
        },
        testing::ExitedWithCode(0), "<<>> built");
}

TEST_F(Shaders, ParametersOfTheWrongSizeOrTypeAreRefusedWithAMessage)
{
    float hsb[3] = {90, 50, -20};
    set_block("hsb_shader", hsb);
    const float* adjust =
        dynamic_cast<cShdPostHSB*>(shaders->get_shader("hsb_shader"))->get_adjust();
    const std::vector<float> kept(adjust, adjust + 3);
    const float two[2] = {0, 0};
    float one = 0;
    cFloatsVar short_block(two);
    cVar<float> single(&one);
    const std::pair<const char*, iVar*> refused[] = {
        {"hsb_shader parameter SP_IN_HSB expects 3 floats, got 2 floats", &short_block},
        {"hsb_shader parameter SP_IN_HSB expects 3 floats, got one float", &single},
        {"hsb_shader parameter SP_IN_HSB expects 3 floats, got no variable", nullptr}};
    for (const auto& [message, var] : refused) {
        testing::internal::CaptureStderr();
        shaders->set_parameter("hsb_shader", cShdPostHSB::SP_IN_HSB, var);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("## ERROR: ") + message + "\n");
        EXPECT_EQ(std::vector<float>(adjust, adjust + 3), kept) << message;
    }
    // Every block shader checks its own length, the matrices and triples too.
    const float sixteen[16] = {};
    cFloatsVar matrix(sixteen);
    testing::internal::CaptureStderr();
    shaders->set_parameter("normext_shader", cShdNormExt::SP_INNER_MAT, &short_block);
    shaders->set_parameter("particle_light_shader", 2, &matrix);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_EXTRUDE, &matrix);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_OUTER_MAT, &matrix);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "## ERROR: normext_shader parameter SP_INNER_MAT expects 16 floats, got 2 floats\n"
              "## ERROR: particle_light_shader parameter 2 (light position) expects 3 floats, "
              "got 16 floats\n"
              "## ERROR: normext_shader parameter SP_EXTRUDE expects one float, got 16 floats\n");
}

TEST_F(Shaders, RadialBlurStreaksTowardsItsCentreInViewportPixels)
{
    // (The copy without a streak, scaled by the multiplier, is checked through the pass.)
    // A spot in a quarter-size source drawn into a half-size target: the spot lands at x = 160,
    // the centre is at x = 480 of the target, the streaks reach 120 target pixels.
    cRTProxy src = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    fill(*src, 0, 0, 0, 255);
    paint(*src, 77 / 320.0f, 87 / 180.0f, 83 / 320.0f, 93 / 180.0f, 255, 255, 255, 255);
    float streak[6] = {480, 180, 120, 40, 1, 1};
    set_block("radialblur_shader", streak);
    pass("radialblur_shader", *src, *out);
    EXPECT_GT(pixel_of(*out, 60, 180)[0], 10); // its streak passes the spot
    EXPECT_EQ(pixel_of(*out, 4, 180)[0], 0);   // too far out: the streak ends before the spot
    EXPECT_EQ(pixel_of(*out, 200, 180)[0], 0); // inside the spot: streaks point away from it
    EXPECT_EQ(pixel_of(*out, 60, 300)[0], 0);  // another ray
}

namespace {

// Light 0 and a material as a scene would set them (directional light from the viewer's
// upper right, shiny white specular).
void set_up_light()
{
    const GLenum names[4] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_POSITION};
    const GLfloat light[4][4] = {{0.1f, 0.1f, 0.2f, 1.0f},
                                 {0.8f, 0.7f, 0.6f, 1.0f},
                                 {0.5f, 0.5f, 0.5f, 1.0f},
                                 {0.3f, 0.4f, 1.0f, 0.0f}};
    const GLfloat material[4][4] = {{0.3f, 0.3f, 0.3f, 1.0f},
                                    {0.9f, 0.5f, 0.3f, 0.75f},
                                    {0.6f, 0.6f, 0.6f, 1.0f},
                                    {0.05f, 0.0f, 0.1f, 1.0f}};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < 4; ++i) {
        glLightfv(GL_LIGHT0, names[i], light[i]);
        glMaterialfv(GL_FRONT_AND_BACK, i < 3 ? names[i] : GL_EMISSION, material[i]);
    }
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 8.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

// A small quad in the middle of the target with a tilted normal, drawn through `shader`
// ("" for the fixed-function pipeline) into a cleared target; returns the middle pixel.
tPixel lit_quad(iRenderTarget& out, const char* shader, float nx, float ny)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    if (*shader)
        shaders->bind(shader);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    set_up_light();
    out.bind_as_target(true);
    const float nz = std::sqrt(1 - nx * nx - ny * ny);
    glBegin(GL_QUADS);
    glNormal3f(nx, ny, nz);
    glTexCoord2f(0.5f, 0.5f);
    glVertex3f(-0.5f, -0.5f, -0.5f);
    glVertex3f(0.5f, -0.5f, -0.5f);
    glVertex3f(0.5f, 0.5f, -0.5f);
    glVertex3f(-0.5f, 0.5f, -0.5f);
    glEnd();
    const tPixel px = vnt_test::read_pixel(int(out.m_width / 2), int(out.m_height / 2));
    out.unbind_as_target();
    glPopAttrib();
    shaders->pop_shader();
    return px;
}

} // namespace

TEST_F(Shaders, MaterialShadersLightLikeTheFixedFunctionPipeline)
{
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    for (auto n :
         {std::make_pair(0.0f, 0.0f), std::make_pair(0.3f, 0.4f), std::make_pair(-0.6f, 0.2f)}) {
        const tPixel fixed = lit_quad(*out, "", n.first, n.second);
        EXPECT_TRUE(near(lit_quad(*out, "notex_shader", n.first, n.second), fixed, 3))
            << "normal " << n.first << ", " << n.second;
    }

    // With a diffuse texture on unit 0, modulated as GL_MODULATE does.
    texture_2d(GL_TEXTURE0, 1, 1, {128, 255, 64, 100});
    glEnable(GL_TEXTURE_2D);
    const tPixel fixed = lit_quad(*out, "", 0.3f, 0.4f);
    const tPixel rgba = lit_quad(*out, "rgba_shader", 0.3f, 0.4f);
    const tPixel dtex = lit_quad(*out, "dtex_shader", 0.3f, 0.4f);
    const tPixel self = lit_quad(*out, "self_illum_shader", 0.3f, 0.4f);
    glDisable(GL_TEXTURE_2D);
    EXPECT_TRUE(near(rgba, fixed, 3));
    EXPECT_TRUE(near(dtex, {fixed[0], fixed[1], fixed[2], 191}, 3)) << "the material's alpha";
    // Texture times the material's diffuse colour (0.9, 0.5, 0.3, 0.75), whatever the light.
    EXPECT_TRUE(near(self, {115, 128, 19, 75}, 2));
}
