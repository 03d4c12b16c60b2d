// The scenes that are built but not registered: the helix, the kaleidoscope mesh and the logo
// light. Their names, reactions and frames across their settings.
#include <gtest/gtest.h>

#include "scenes/scene_helix.h"
#include "scenes/scene_kaleido_mesh.h"
#include "scenes/scene_logo_light.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class UnshownTest : public vnt_test::GLTest
{
protected:
    vnt_test::sTestClock clock;
};

TEST_F(UnshownTest, HelixSpokesGlow)
{
    cSceneHelix helix(&clock.clock);
    helix.load();
    for (int ms : {0, 3000, 6000}) {
        std::vector<unsigned char> frame =
            checked_frame(helix, clock, ms, "helix_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.08) << ms;
    }
}

TEST_F(UnshownTest, KaleidoMeshFillsItsRingsAtAnySetting)
{
    cSceneKaleidoMesh mesh(&clock.clock);
    mesh.load();
    struct
    {
        float segwidth;
        int segments;
        float offset;
    } settings[] = {{1.0f, 8, 2.2f}, {0.6f, 2, 0.0f}, {2.0f, 50, 5.0f}, {0.0f, -4, -1.0f}};
    int i = 0;
    for (const auto& s : settings) {
        mesh.m_segwidth = s.segwidth;
        mesh.m_num_segments = s.segments;
        mesh.m_offset = s.offset;
        std::vector<unsigned char> frame =
            checked_frame(mesh, clock, 1000 * i, "kaleidomesh_" + std::to_string(i));
        // Rings of copies away from the axis cover a good part of the frame; the extremes
        // (everything at the axis, nothing wide) only have to draw without harm.
        if (s.segwidth > 0.0f && s.offset >= 1.0f) {
            EXPECT_GT(vnt_test::lit_share(frame), 0.03) << i;
        }
        ++i;
    }
    cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    EXPECT_DEATH(mesh.render_to_texture(*target, 0),
                 "render-to-texture not implemented for this scene");
}

TEST_F(UnshownTest, LogoLightShedsShellsAndTheClapKicksThem)
{
    cSceneLogoLight logo(&clock.clock);
    logo.load();
    EXPECT_NE(cShaderManager_GLSL::get_instance()->get_shader("normext_shader"), nullptr);

    // The shells spread evenly over the reach and wrap.
    EXPECT_FLOAT_EQ(cSceneLogoLight::shell_extrusion(0, 0.0f, 2.0f), 0.0f);
    EXPECT_FLOAT_EQ(cSceneLogoLight::shell_extrusion(1, 0.0f, 2.0f), 2.0f / 5.0f);
    EXPECT_NEAR(cSceneLogoLight::shell_extrusion(4, 0.3f, 2.0f), 2.0f * 0.1f, 1e-5f);
    EXPECT_GE(cSceneLogoLight::shell_extrusion(2, -7.3f, 1.0f), 0.0f);

    clock.set(5000);
    cMETrigger kick = note_on(2, 36, 5000), clap = note_on(4, 39, 5000);
    logo.handle_event(&kick);
    EXPECT_TRUE(logo.interpolators().empty());
    logo.handle_event(&clap);
    ASSERT_EQ(logo.interpolators().size(), 1u);
    EXPECT_EQ(logo.interpolators()[0]->m_endtime, 5400);

    for (float t : {0.0f, 0.5f, 1.0f}) {
        logo.m_cur_t = t;
        std::vector<unsigned char> frame = checked_frame(
            logo, clock, 5000 + int(t * 300), "logolight_" + std::to_string(int(t * 100)));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << t;
    }
}

} // namespace
