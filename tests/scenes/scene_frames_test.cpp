// Scenes drawn across their settings: the space sphere and the net spheres, black and white and
// the mandala gate (the star count, the flight and the streaks' repeating run), and the scenes
// that are built but not registered (the helix, the kaleidoscope mesh and the logo light). Every
// frame keeps the state and shows something.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "effects/interpolator.h"
#include "scene_test.h"
#include "scenes/scene_blackn_white.h"
#include "scenes/scene_helix.h"
#include "scenes/scene_kaleido_mesh.h"
#include "scenes/scene_logo_light.h"
#include "scenes/scene_mandala_gate.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_spacesphere.h"

using namespace scene_test;

namespace {

class SceneFramesTest : public vnt_test::GLTest
{
protected:
    vnt_test::sTestClock clock;
};

TEST_F(SceneFramesTest, SpacesphereTurnsThePlanetInFrontOfTheStars)
{
    cSceneSpacesphere space(&clock.clock);
    space.load();
    std::vector<unsigned char> first;
    for (int ms : {0, 6000, 12000}) {
        std::vector<unsigned char> frame =
            checked_frame(space, clock, ms, "spacesphere_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.1) << ms;
        if (first.empty())
            first = frame;
        else
            EXPECT_GT(changed_share(first, frame), 0.02) << ms;
    }
    // Loading twice keeps one quadric and one texture.
    space.load();
    checked_frame(space, clock, 100);
}

TEST_F(SceneFramesTest, NetSpheresGlowAndTurn)
{
    cSceneNetSphere nets(&clock.clock);
    nets.load();
    std::vector<unsigned char> previous;
    for (int ms : {114000, 127000, 140500}) {
        std::vector<unsigned char> frame =
            checked_frame(nets, clock, ms, "netsphere_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.1) << ms;
        if (!previous.empty()) {
            EXPECT_GT(changed_share(previous, frame), 0.02) << ms;
        }
        previous = frame;
    }
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

    struct
    {
        float cur_t, rep_t;
        int ms;
    } moments[] = {{0.0f, 0.0f, 2000}, {0.45f, -700.0f, 9000}, {1.0f, 1.0f, 16000}};
    for (const auto& m : moments) {
        gate.m_cur_t = m.cur_t;
        gate.m_rep_t = m.rep_t;
        std::vector<unsigned char> frame =
            checked_frame(gate, clock, m.ms, "mandalagate_" + std::to_string(int(m.cur_t * 100)));
        EXPECT_GT(vnt_test::lit_share(frame, 40), 0.2) << m.cur_t;
        if (m.cur_t > 0.0f) {
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
                EXPECT_LT(haze, 64 * 64 * 9 / 10) << m.cur_t << " " << x0 << "," << y0;
            }
        }
    }
}

TEST_F(SceneFramesTest, HelixSpokesGlow)
{
    cSceneHelix helix(&clock.clock);
    helix.load();
    for (int ms : {0, 3000, 6000}) {
        const auto frame = checked_frame(helix, clock, ms, "helix_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.08) << ms;
    }
}

TEST_F(SceneFramesTest, KaleidoMeshFillsItsRingsAtAnySetting)
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

} // namespace
