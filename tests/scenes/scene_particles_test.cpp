// The particle field: its variable, the "beat" marks it reacts to (straight, through the
// composition and through the scene manager), a simulation that stays in bounds, the folded
// picture, and frames along its window.
#include <gtest/gtest.h>

#include <cmath>

#include "clock.h"
#include "effects/particles/particle_effect.h"
#include "load_screen.h"
#include "scene_manager.h"
#include "scenes/scene_particles.h"
#include "scenes3_support.h"
#include "support/test_media.h"

using namespace scenes3_test;

namespace {

class ParticlesTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        field.load();
    }
    vnt_test::sTestClock clock;
    cSceneParticles field{&clock.clock};
};

class cNoLoadScreen : public iLoadScreen
{
public:
    void show_progress(float, bool) override {}
};

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
    EXPECT_FLOAT_EQ(field.flare(60000), 0.0f);
    cEvent snare(EV_SNARE, 60000), midi_beat(EV_MIDI_BEAT, 60000);
    cMETrigger kick = note_on(2, 36, 60000);
    for (cEvent* ev : {&snare, &midi_beat, static_cast<cEvent*>(&kick)})
        field.handle_event(ev);
    EXPECT_EQ(field.m_last_beat, -1);
    EXPECT_TRUE(field.interpolators().empty());

    cEvent beat(EV_BEAT, 60000);
    field.handle_event(&beat);
    EXPECT_EQ(field.m_last_beat, 60000);
    EXPECT_FLOAT_EQ(field.flare(59999), 0.0f);
    EXPECT_FLOAT_EQ(field.flare(60000), 1.0f);
    EXPECT_FLOAT_EQ(field.flare(60000 + cSceneParticles::FLARE_MS / 2), 0.25f);
    EXPECT_FLOAT_EQ(field.flare(60000 + cSceneParticles::FLARE_MS), 0.0f);
    EXPECT_FLOAT_EQ(field.flare(90000), 0.0f);
}

TEST_F(ParticlesTest, BeatsReachTheFieldThroughTheCompositionWhileItsLayerShows)
{
    cSceneComposition comp(&clock.clock);
    comp.add_layer(25, sLayer(&field, 1, 45500, 83000), 0, 0);
    cEvent early(EV_BEAT, 40000), beat(EV_BEAT, 70000), late(EV_BEAT, 84000);
    clock.set(40000);
    comp.handle_event(&early);
    EXPECT_EQ(field.m_last_beat, -1);
    clock.set(70000);
    comp.handle_event(&beat);
    EXPECT_EQ(field.m_last_beat, 70000);
    clock.set(84000);
    comp.handle_event(&late);
    EXPECT_EQ(field.m_last_beat, 70000);
}

TEST(ParticlesManager, BeatMarksReachTheFieldAsTheCurrentScene)
{
    vnt_test::ensure_gl();
    const std::string dir = vnt_test::temp_dir("particlebeats");
    ASSERT_TRUE(vnt_test::write_silent_mp3(dir + "/song.mp3", 2000));
    vnt_test::write_text(dir + "/markers.txt", "s00 0:00:00,000\nbeat 0:00:00,500\n");
    cFixedStepSource source(100.0, 10000);
    cClock::set_source(&source);
    cSceneManager* manager = cSceneManager::get_instance();
    manager->set_music_live(false);
    manager->init(dir + "/markers.txt", dir + "/song.mp3");
    cSceneParticles* field = manager->add_scene<cSceneParticles>();
    cNoLoadScreen loadscreen;
    manager->start(&loadscreen);
    for (int i = 0; i < 80; ++i) {
        source.advance();
        manager->update();
    }
    EXPECT_EQ(field->m_last_beat, 500);
    cSceneManager::destroy_instance();
    cClock::set_source(nullptr);
}

TEST_F(ParticlesTest, SimulationStaysInBoundsAndRestsWhileThePauseLasts)
{
    // A minute of the field: twice its time in the demo.
    for (int t = 45500; t < 105500; t += 20) {
        clock.set(t);
        field.update();
    }
    const cParticleSystem& sys = *field.effect()->system;
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
    field.update();
    EXPECT_EQ(sys.m_last_update, stamped);
}

TEST_F(ParticlesTest, KaleidoscopeFoldsTheField)
{
    for (int t = 55000; t < 60000; t += 20) {
        clock.set(t);
        field.update();
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    checked_frame(field, clock, 60000);
    const auto plain = checked_frame(field, clock, 60020);
    field.m_kaleidotype = 7;
    const auto folded = checked_frame(field, clock, 60020);
    EXPECT_NE(plain, folded);
    // The mandala mirror repeats the picture about the centre: both halves alike.
    const auto [left, right] = halves(folded, viewport[2], viewport[3]);
    ASSERT_GT(left + right, 0.0);
    EXPECT_NEAR(left / (left + right), 0.5, 0.05);
}

TEST_F(ParticlesTest, FramesAlongTheWindowKeepStateAndShowTheField)
{
    sSong song;
    field.m_kaleidotype = 7;
    const int times[] = {50000, 65000, 80000};
    int from = 45500, i = 0;
    for (int t : times) {
        song.play(field, clock, from, t - 20);
        from = t + 20;
        // The sprites drawn in a frame are those the frame before wrote.
        checked_frame(field, clock, t - 20);
        const auto pixels = checked_frame(field, clock, t, "particles_" + std::to_string(i++));
        EXPECT_GT(vnt_test::lit_share(pixels), 0.1) << t;
    }
}
