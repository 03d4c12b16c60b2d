// The particle field: the "beat" marks it reacts to, a simulation that stays in bounds, the folded
// picture, and frames along its window.
#include <gtest/gtest.h>

#include <cmath>

#include "clock.h"
#include "effects/particles/particle_effect.h"
#include "scene_test.h"
#include "scenes/scene_particles.h"

using namespace scene_test;

namespace {

using ParticlesTest = SceneTest<cSceneParticles>;

// Mean brightness of the left and the right half of a picture.
std::pair<double, double> halves(const std::vector<unsigned char>& rgba, int w, int h)
{
    double left = 0, right = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
            (x < w / 2 ? left : right) += p[0] + p[1] + p[2];
        }
    }
    return {left, right};
}

} // namespace

TEST_F(ParticlesTest, BeatMarksFlareTheFieldAndNothingElseDoes)
{
    EXPECT_FLOAT_EQ(scene.flare(60000), 0.0f);
    cEvent snare(EV_SNARE, 60000), midi_beat(EV_MIDI_BEAT, 60000);
    cMETrigger kick = note_on(2, 36, 60000);
    for (cEvent* ev : {&snare, &midi_beat, static_cast<cEvent*>(&kick)})
        scene.handle_event(ev);
    EXPECT_EQ(scene.m_last_beat, -1);
    EXPECT_TRUE(scene.interpolators().empty());

    cEvent beat(EV_BEAT, 60000);
    scene.handle_event(&beat);
    EXPECT_EQ(scene.m_last_beat, 60000);
    EXPECT_FLOAT_EQ(scene.flare(59999), 0.0f);
    EXPECT_FLOAT_EQ(scene.flare(60000), 1.0f);
    EXPECT_FLOAT_EQ(scene.flare(60000 + cSceneParticles::FLARE_MS), 0.0f);
}

TEST_F(ParticlesTest, SimulationStaysInBoundsAndRestsWhileThePauseLasts)
{
    // A minute of the field: twice its time in the demo.
    for (int t = 45500; t < 105500; t += 20) {
        clock.set(t);
        scene.update();
    }
    const cParticleSystem& sys = *scene.effect()->system;
    EXPECT_GT(sys.count_alive(), cSceneParticles::CAPACITY / 2);
    // Sinks, sphere and vortex keep the sparks near the middle; nothing runs away.
    float farthest = 0, fastest = 0;
    for (int i = 0; i < sys.m_capacity; ++i) {
        if (!sys.m_pt_Alive[i])
            continue;
        farthest = std::max(farthest, sys.m_pt_Pos[i].length());
        fastest = std::max(fastest, sys.m_pt_Vel[i].length());
    }
    EXPECT_LT(farthest, 30.0f);
    EXPECT_LT(fastest, 30.0f);

    const int stamped = sys.m_last_update;
    clock.clock.paused = true;
    clock.set(105600);
    scene.update();
    EXPECT_EQ(sys.m_last_update, stamped);
}

TEST_F(ParticlesTest, KaleidoscopeFoldsTheField)
{
    for (int t = 55000; t < 60000; t += 20) {
        clock.set(t);
        scene.update();
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    checked_frame(scene, clock, 60000);
    const auto plain = checked_frame(scene, clock, 60020);
    scene.m_kaleidotype = 7;
    const auto folded = checked_frame(scene, clock, 60020);
    EXPECT_NE(plain, folded);
    // The mandala mirror repeats the picture about the centre: both halves alike.
    const auto [left, right] = halves(folded, viewport[2], viewport[3]);
    ASSERT_GT(left + right, 0.0);
    EXPECT_NEAR(left / (left + right), 0.5, 0.05);
}

TEST_F(ParticlesTest, FramesAlongTheWindowKeepStateAndShowTheField)
{
    sSong song;
    scene.m_kaleidotype = 7;
    const int times[] = {50000, 65000, 80000};
    int from = 45500, i = 0;
    for (int t : times) {
        song.play(scene, clock, from, t - 20);
        from = t + 20;
        // The sprites drawn in a frame are those the frame before wrote.
        checked_frame(scene, clock, t - 20);
        const auto pixels = checked_frame(scene, clock, t, "particles_" + std::to_string(i++));
        EXPECT_GT(vnt_test::lit_share(pixels), 0.1) << t;
    }
}
