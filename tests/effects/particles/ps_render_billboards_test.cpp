// Drawing particles as billboards: a frame draws what the previous frame filled, sprites land
// where their particles are, and the renderer leaves the GL state as it found it.
#include <gtest/gtest.h>

#include <memory>

#include "effects/particles/particle_effect.h"
#include "effects/particles/ps_render_billboards.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

class BillboardTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        m_system.init(16, 0.0f);
        m_renderer.init(16);
        m_target.reset(new cRTProxy(get_tmp_rt(cRenderTargetManager::RTT_FULL)));
    }
    void TearDown() override
    {
        m_target.reset();
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0);
        GLTest::TearDown();
    }

    void place(int i, Vec3<float> pos)
    {
        m_system.m_pt_Pos[i] = pos;
        m_system.m_pt_Life[i] = 1.0f;
        m_system.m_pt_Alive[i] = 1;
    }

    // One frame: an orthographic view 20 units across, white sprites two units wide, added
    // onto black. Returns the picture.
    std::vector<unsigned char> frame()
    {
        (*m_target)->bind_as_target(true);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(-10, 10, -10 * aspect(), 10 * aspect(), -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(1, 1, 1, 1);
        glPointSize(20.0f);
        m_renderer.render(m_system, "");
        glPopAttrib();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        (*m_target)->unbind_as_target();
        return vnt_test::read_target(**m_target);
    }

    float aspect() const { return float((*m_target)->m_height) / float((*m_target)->m_width); }

    // Brightness (red channel) of the picture at a point of the view.
    int at(const std::vector<unsigned char>& rgba, float x, float y) const
    {
        const int w = int((*m_target)->m_width), h = int((*m_target)->m_height);
        const int px = int((x + 10.0f) / 20.0f * float(w));
        const int py = int((y / aspect() + 10.0f) / 20.0f * float(h));
        return rgba[(size_t(py) * size_t(w) + size_t(px)) * 4];
    }

    cParticleSystem m_system;
    cPSRenderBillboards m_renderer;
    std::unique_ptr<cRTProxy> m_target;
};

} // namespace

TEST_F(BillboardTest, AFrameDrawsWhatThePreviousFrameFilled)
{
    place(0, {-5, 0, 0});
    place(3, {0, 3, 0});
    place(15, {6, -4, 0}); // the last slot: its attributes reach the buffer's padded tail
    m_system.m_last_update = 100;

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const std::string shader_before = shaders->get_current_shader();
    const size_t depth_before = shaders->stack_depth();

    // The first frame after init draws nothing and starts the first fill.
    std::vector<unsigned char> first = frame();
    EXPECT_EQ(at(first, -5, 0), 0);
    EXPECT_EQ(m_renderer.get_draw_count(), 0);
    EXPECT_TRUE(m_renderer.is_mapped());

    // The second draws the sprites where the particles are, round and soft.
    std::vector<unsigned char> second = frame();
    EXPECT_EQ(m_renderer.get_draw_count(), 3);
    for (auto [x, y] : {std::pair{-5.0f, 0.0f}, {0.0f, 3.0f}, {6.0f, -4.0f}})
        EXPECT_GT(at(second, x, y), 200) << x << "," << y;
    EXPECT_EQ(at(second, 0, 0), 0);          // between the sprites
    EXPECT_EQ(at(second, -5.95f, 0.95f), 0); // a sprite's corner lies outside its circle
    EXPECT_GT(at(second, -5.5f, 0), 0);      // half-way to its rim: fading
    EXPECT_LT(at(second, -5.5f, 0), at(second, -5, 0));
    // The system has not changed since: no new fill.
    EXPECT_FALSE(m_renderer.is_mapped());

    // A change (one particle moved, one gone) shows one frame later.
    m_system.m_pt_Pos[0] = Vec3<float>(-5, 5, 0);
    m_system.m_pt_Alive[3] = 0;
    m_system.m_last_update = 150;
    std::vector<unsigned char> third = frame();
    EXPECT_GT(at(third, 0, 3), 200); // still the old data
    EXPECT_TRUE(m_renderer.is_mapped());
    std::vector<unsigned char> fourth = frame();
    EXPECT_EQ(m_renderer.get_draw_count(), 2);
    EXPECT_EQ(at(fourth, 0, 3), 0);
    EXPECT_EQ(at(fourth, -5, 0), 0);
    EXPECT_GT(at(fourth, -5, 5), 200);

    // With no live particles a fill writes nothing and the next frame draws nothing.
    for (int i = 0; i < 16; ++i)
        m_system.m_pt_Alive[i] = 0;
    m_system.m_last_update = 200;
    frame();
    std::vector<unsigned char> empty = frame();
    EXPECT_EQ(m_renderer.get_draw_count(), 0);
    EXPECT_EQ(at(empty, 6, -4), 0);

    EXPECT_EQ(shaders->get_current_shader(), shader_before);
    EXPECT_EQ(shaders->stack_depth(), depth_before);
    GLint buffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &buffer);
    EXPECT_EQ(buffer, 0);
}

TEST_F(BillboardTest, ASystemLargerThanTheBuffersDrawsOnlyWhatFits)
{
    cParticleSystem big;
    big.init(64, 0.0f);
    for (int i = 0; i < 64; ++i) {
        big.m_pt_Pos[i] = Vec3<float>(float(i % 8) - 4.0f, float(i / 8) - 4.0f, 0);
        big.m_pt_Life[i] = 1.0f;
        big.m_pt_Alive[i] = 1;
    }
    big.m_last_update = 10;
    m_renderer.render(big, "");
    m_renderer.render(big, "");
    EXPECT_EQ(m_renderer.get_draw_count(), 16);
}

TEST_F(BillboardTest, EffectCreatesItsRendererAndDrawsAfterTheFirstStep)
{
    vnt_test::sTestClock clock(4000);
    sParticleEffect effect;
    effect.create(8);
    ASSERT_TRUE(effect.system && effect.renderer);
    effect.system->m_pt_Pos[0] = Vec3<float>(1, 1, 0);
    effect.system->m_pt_Life[0] = 3.0f;
    effect.system->m_pt_Alive[0] = 1;
    effect.step(clock.clock);
    effect.render();
    effect.render();
    EXPECT_EQ(effect.renderer->get_draw_count(), 1);
}
