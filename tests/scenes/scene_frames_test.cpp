// Scenes drawn across their settings: the space sphere and the net spheres, black and white and
// the mandala gate (the star count, the flight and the streaks' repeating run), the spike ball
// (the hats and the clap), the rose (the clap's swell, the traced curves, the kaleidoscope types
// and the closing zoom), the 3D kaleidoscope (every arrangement, transparent corners), and the
// scenes that are built but not registered (the helix, the kaleidoscope mesh and the logo
// light). Every frame keeps the state and shows something.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "effects/interpolator.h"
#include "fsq.h"
#include "scene_test.h"
#include "scenes/scene_blackn_white.h"
#include "scenes/scene_helix.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_mesh.h"
#include "scenes/scene_logo_light.h"
#include "scenes/scene_mandala_gate.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spacesphere.h"
#include "scenes/scene_spike.h"

using namespace scene_test;

namespace {

class SceneFramesTest : public vnt_test::GLTest
{
protected:
    vnt_test::sTestClock clock;
};

TEST_F(SceneFramesTest, SpacesphereTurnsThePlanetAndTheNetSpheresGlowAndTurn)
{
    cSceneSpacesphere space(&clock.clock);
    space.load();
    sweep(space, clock, "spacesphere", {0, 6000, 12000}, 0.1, 0.02);
    // Loading twice keeps one quadric and one texture.
    space.load();
    checked_frame(space, clock, 100);
    cSceneNetSphere nets(&clock.clock);
    nets.load();
    sweep(nets, clock, "netsphere", {114000, 127000, 140500}, 0.1, 0.02);
}

TEST_F(SceneFramesTest, BlacknWhiteInterferesMoreAsItGoes)
{
    cSceneBlacknWhite bw(&clock.clock);
    bw.load();
    // Progress outside 0..1 holds the star count at its ends.
    EXPECT_EQ(cSceneBlacknWhite::star_count(-3.0f), cSceneBlacknWhite::star_count(0.0f));
    EXPECT_EQ(cSceneBlacknWhite::star_count(7.0f), cSceneBlacknWhite::MAX_STARS);

    for (float t : {0.0f, 0.5f, 1.0f}) {
        bw.m_cur_t = t;
        const int ms = 4000 + int(t * 8000);
        std::vector<unsigned char> frame =
            checked_frame(bw, clock, ms, "blacknwhite_" + std::to_string(int(t * 100)));
        // Black and white in about equal parts, nothing in between for most pixels.
        const double white = vnt_test::lit_share(frame, 128);
        EXPECT_GT(white, 0.15) << t;
        EXPECT_LT(white, 0.85) << t;
        size_t grey = 0;
        for (size_t i = 0; i < frame.size(); i += 4)
            grey += frame[i] > 40 && frame[i] < 215;
        EXPECT_LT(double(grey) / double(frame.size() / 4), 0.2) << t;
    }
}

TEST_F(SceneFramesTest, MandalaGateFliesInAndItsStreaksRepeat)
{
    cSceneMandalaGate gate(&clock.clock);
    gate.load();
    EXPECT_FLOAT_EQ(cSceneMandalaGate::eye_z(5.0f), cSceneMandalaGate::eye_z(1.0f));
    // The run repeats every period; rep_t shifts it, negative shifts and times included.
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(2250, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(0, -375.0f), 0.75f);
    EXPECT_GE(cSceneMandalaGate::streak_phase(-100000, 1.0f), 0.0f);

    for (auto [cur_t, rep_t, ms] :
         {std::tuple{0.0f, 0.0f, 2000}, {0.45f, -700.0f, 9000}, {1.0f, 1.0f, 16000}}) {
        gate.m_cur_t = cur_t;
        gate.m_rep_t = rep_t;
        std::vector<unsigned char> frame =
            checked_frame(gate, clock, ms, "mandalagate_" + std::to_string(int(cur_t * 100)));
        EXPECT_GT(vnt_test::lit_share(frame, 40), 0.2) << cur_t;
        if (cur_t > 0.0f) {
            // Inside the tunnel the wall surrounds the eye: no corner of the frame is a hole
            // onto the haze (only the seams between the petals show it).
            for (auto [x0, y0] : {std::pair{0, 0}, {1216, 0}, {0, 656}, {1216, 656}}) {
                int haze = 0;
                for (int y = y0; y < y0 + 64; ++y) {
                    for (int x = x0; x < x0 + 64; ++x) {
                        const unsigned char* p = &frame[(size_t(y) * 1280 + size_t(x)) * 4];
                        haze += std::abs(p[0] - 8) < 6 && p[1] < 6 && std::abs(p[2] - 18) < 6;
                    }
                }
                EXPECT_LT(haze, 64 * 64 * 9 / 10) << cur_t << " " << x0 << "," << y0;
            }
        }
    }
}

TEST_F(SceneFramesTest, HelixSpokesGlow)
{
    cSceneHelix helix(&clock.clock);
    helix.load();
    sweep(helix, clock, "helix", {0, 3000, 6000}, 0.08);
}

TEST_F(SceneFramesTest, KaleidoMeshFillsItsRingsAtAnySetting)
{
    cSceneKaleidoMesh mesh(&clock.clock);
    mesh.load();
    int i = 0;
    for (auto [segwidth, segments, offset] :
         {std::tuple{1.0f, 8, 2.2f}, {0.6f, 2, 0.0f}, {2.0f, 50, 5.0f}, {0.0f, -4, -1.0f}}) {
        mesh.m_segwidth = segwidth;
        mesh.m_num_segments = segments;
        mesh.m_offset = offset;
        std::vector<unsigned char> frame =
            checked_frame(mesh, clock, 1000 * i, "kaleidomesh_" + std::to_string(i));
        // Rings of copies away from the axis cover a good part of the frame; the extremes
        // (everything at the axis, nothing wide) only have to draw without harm.
        if (segwidth > 0.0f && offset >= 1.0f) {
            EXPECT_GT(vnt_test::lit_share(frame), 0.03) << i;
        }
        ++i;
    }
}

TEST_F(SceneFramesTest, LogoLightShedsShellsAndTheClapKicksThem)
{
    cSceneLogoLight logo(&clock.clock);
    logo.load();
    // The shells spread over the reach and wrap, also for a progress below zero.
    EXPECT_NEAR(cSceneLogoLight::shell_extrusion(4, 0.3f, 2.0f), 2.0f * 0.1f, 1e-5f);
    EXPECT_GE(cSceneLogoLight::shell_extrusion(2, -7.3f, 1.0f), 0.0f);

    clock.set(5000);
    cMETrigger kick = note_on(2, 36, 5000), clap = note_on(4, 39, 5000);
    logo.handle_event(&kick);
    EXPECT_TRUE(logo.interpolators().empty());
    logo.handle_event(&clap);
    EXPECT_EQ(logo.interpolators().size(), 1u);

    for (float t : {0.0f, 0.5f, 1.0f}) {
        logo.m_cur_t = t;
        std::vector<unsigned char> frame = checked_frame(
            logo, clock, 5000 + int(t * 300), "logolight_" + std::to_string(int(t * 100)));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << t;
    }
}

using SpikeTest = SceneTest<cSceneSpike>;

TEST_F(SpikeTest, HatsDodgeAndClapPumps)
{
    clock.set(200000);
    cMETrigger kick = note_on(2, 36, 200000), off = note_off(10, 42, 200000);
    scene.handle_event(&kick);
    scene.handle_event(&off);
    EXPECT_TRUE(scene.interpolators().empty());

    cMETrigger hat = note_on(10, 42, 200000), clap = note_on(4, 39, 200000);
    scene.handle_event(&hat);
    scene.handle_event(&clap);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_dodge, 1.0f);
    EXPECT_FLOAT_EQ(scene.m_pump, 1.0f);
    clock.set(200200);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_dodge, 0.0f);
    EXPECT_GT(scene.m_pump, 0.0f);
    clock.set(200400);
    scene.update();
    EXPECT_FLOAT_EQ(scene.m_pump, 0.0f);
}

TEST_F(SpikeTest, FramesKeepStateAndGlow)
{
    const std::vector<unsigned char> calm =
        sweep(scene, clock, "spikeball", {196500, 209000, 222500}, 0.15);
    // A clap makes the picture brighter.
    cMETrigger clap = note_on(4, 39, 222500);
    scene.handle_event(&clap);
    std::vector<unsigned char> pumped = checked_frame(scene, clock, 222500, "spikeball_clap");
    EXPECT_GT(vnt_test::mean_rgba(pumped)[0], vnt_test::mean_rgba(calm)[0]);
}

using RoseTest = SceneTest<cSceneRose>;

TEST_F(RoseTest, TracedPetalsReachTheUnitCircleAndStayInsideIt)
{
    std::vector<float> points;
    for (int layer : {-3, 0, 4, cComponentRose::MAX_LAYERS + 5}) {
        cComponentRose::trace_layer(layer, 0.7f, points);
        ASSERT_EQ(points.size(), size_t(cComponentRose::POINTS_PER_LAYER) * 3);
        float reach = 0;
        for (size_t i = 0; i < points.size(); i += 3) {
            const float r = std::hypot(points[i], points[i + 1]);
            EXPECT_LE(r, 1.0001f);
            reach = std::max(reach, r);
        }
        EXPECT_GT(reach, 0.99f) << layer;
    }
}

TEST_F(RoseTest, PointsAreDiscsOfTheirDiameterWithASoftRim)
{
    // One white point in the middle of a 32 x 32 corner, each pixel showing its coverage.
    glPushAttrib(GL_VIEWPORT_BIT | GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, 32, 32);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    begin_fsq();
    const float point[3] = {0.5f, 0.5f, 0}, white[4] = {1, 1, 1, 1};
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, point);
    glColorPointer(4, GL_FLOAT, 0, white);
    constexpr float DIAMETER = 9.0f;
    const std::string before = vnt_test::frame_state();
    cComponentRose::draw_soft_points(0, 1, DIAMETER);
    EXPECT_EQ(vnt_test::frame_state(), before);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    end_fsq();
    const std::vector<unsigned char> pixels = vnt_test::read_pixels(0, 0, 32, 32);
    glPopAttrib();

    double covered = 0;
    int rim = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int value = pixels[size_t(y * 32 + x) * 4];
            covered += value / 255.0;
            // From the pixel's centre to the point, where the four middle pixels meet.
            const double r = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
            if (r < DIAMETER / 2 - 1) {
                EXPECT_GT(value, 240) << x << "," << y;
            } else if (r > DIAMETER / 2 + 1) {
                EXPECT_EQ(value, 0) << x << "," << y;
            }
            rim += value > 0 && value < 255;
        }
    }
    EXPECT_NEAR(covered, 3.14159 * DIAMETER * DIAMETER / 4,
                0.1 * 3.14159 * DIAMETER * DIAMETER / 4);
    EXPECT_GT(rim, 8) << "the rim is soft";
}

TEST_F(RoseTest, ClapSwellsTheRose)
{
    cMETrigger kick = note_on(2, 36, 152000), clap = note_on(4, 39, 152000);
    expect_kick(scene, clock, 152000, scene.m_rose.m_kick, {&kick}, &clap);
}

TEST_F(RoseTest, FramesKeepStateAndFillTheScreen)
{
    for (auto [ms, kaleido, scale] : {std::tuple{152000, 5, 2.0f},
                                      {160500, 5, 2.0f},
                                      {166800, 5, 4.6f},
                                      {158000, 0, 2.0f},
                                      {158000, 12, 2.0f}}) {
        scene.m_kaleido2d = kaleido;
        scene.m_scale = scale;
        const std::string name = "rose_" + std::to_string(ms) + "_type" + std::to_string(kaleido);
        EXPECT_GT(vnt_test::lit_share(checked_frame(scene, clock, ms, name)), 0.1) << name;
    }
}

using Kaleido3dTest = SceneTest<cSceneKaleido3d>;

TEST_F(Kaleido3dTest, EveryArrangementDrawsAndLeavesTheCornersTransparent)
{
    // Every arrangement names meshes of the table.
    for (const auto& config : cSceneKaleido3d::configs) {
        EXPECT_TRUE(config.centre >= 0 && config.centre < cSceneKaleido3d::NUM_MESHES);
        for (int mesh : config.rings)
            EXPECT_TRUE(mesh >= 0 && mesh < cSceneKaleido3d::NUM_MESHES);
    }
    scene.m_cur_t = 0.5f;
    for (int config = 0; config < cSceneKaleido3d::NUM_CONFIGS; ++config) {
        scene.m_cur_config = config;
        std::vector<unsigned char> frame =
            checked_frame(scene, clock, 160000, "kaleido3d_config" + std::to_string(config));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << config;
        // The lower left corner lies outside the arrangement: nothing covers the layer below.
        EXPECT_LT(frame[3], 16) << config;
    }
    // Along its window (arrangement 1): unfolding, seen from below and turning, flying apart.
    scene.m_cur_config = 1;
    for (auto [ms, cur_t, cam_t, rot] : {std::tuple{153000, 0.25f, 0.0f, 0.0f},
                                         {160000, 0.5f, 1.0f, -170.0f},
                                         {166000, 0.68f, 1.0f, -678.0f}}) {
        scene.m_cur_t = cur_t;
        scene.m_cam_t = cam_t;
        scene.m_rot = rot;
        const auto frame = checked_frame(scene, clock, ms, "kaleido3d_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.05) << ms;
    }
    // Folded away: nothing at all.
    scene.m_cur_t = 0.0f;
    EXPECT_LT(vnt_test::lit_share(checked_frame(scene, clock, 160000)), 0.001);
}

} // namespace
