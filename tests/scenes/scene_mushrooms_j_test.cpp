// The mushroom cave: its reactions to clap, arpeggio and phrase cues, its camera paths and
// their flight inside the cave, and frames that keep the GL state.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "clock.h"
#include "effects/interpolator.h"
#include "effects/particles/particle_effect.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "resource_path.h"
#include "scene_test.h"
#include "scenes/scene_mushrooms_j.h"

using namespace scene_test;

namespace {

class MushroomsTest : public SceneTest<cSceneMushroomsJ>
{
protected:
    // The flash interpolators of the scene on one of its flash members.
    std::vector<cLerp<float>*> flashes(const float* in_member) const
    {
        std::vector<cLerp<float>*> out;
        for (cInterpolator* ip : scene.interpolators()) {
            auto* lerp = dynamic_cast<cLerp<float>*>(ip);
            auto* var = lerp ? dynamic_cast<cVar<float>*>(lerp->m_var) : nullptr;
            if (var && var->get() == in_member)
                out.push_back(lerp);
        }
        return out;
    }
    void step(int ms)
    {
        clock.set(ms);
        scene.update();
    }
};

// Distance along a ray to a triangle (Moller-Trumbore), or a negative value when it misses.
double ray_hit(const Vec3<double>& o, const Vec3<double>& d, const Vec3<double>& a,
               const Vec3<double>& b, const Vec3<double>& c)
{
    const Vec3<double> e1 = b - a, e2 = c - a, p = d.cross(e2);
    const double det = e1.dot(p);
    if (std::fabs(det) < 1e-12)
        return -1;
    const Vec3<double> s = o - a;
    const double u = s.dot(p) / det;
    if (u < 0 || u > 1)
        return -1;
    const Vec3<double> q = s.cross(e1);
    const double v = d.dot(q) / det;
    if (v < 0 || u + v > 1)
        return -1;
    return e2.dot(q) / det;
}

} // namespace

TEST_F(MushroomsTest, ClapAndArpeggioFlashTheirGroups)
{
    step(90000);
    // Neither an off note, nor another track, nor another note of the cue track flashes.
    cMETrigger off = note(iMidiEvent::NOTE_OFF, 4, 39, 90000), hat = note_on(10, 42, 90000),
               impact = note_on(1, 50, 90000);
    for (cMETrigger* ev : {&off, &hat, &impact})
        scene.handle_event(ev);
    EXPECT_TRUE(scene.interpolators().empty());
    EXPECT_EQ(scene.m_cur_path, 0);

    cMETrigger clap = note_on(4, 39, 90000), arp = note_on(21, 64, 90000);
    scene.handle_event(&clap);
    scene.handle_event(&arp);
    const auto a = flashes(&scene.m_flash_a), b = flashes(&scene.m_flash_b);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);

    // The flash runs from the hit (brightest) to gone; the cyan one is over sooner.
    step(90000);
    EXPECT_FLOAT_EQ(cSceneMushroomsJ::flash_brightness(scene.m_flash_a), 1.0f);
    step(90100);
    EXPECT_GT(cSceneMushroomsJ::flash_brightness(scene.m_flash_a),
              cSceneMushroomsJ::flash_brightness(scene.m_flash_b));
    step(90300);
    EXPECT_FLOAT_EQ(cSceneMushroomsJ::flash_brightness(scene.m_flash_b), 0.0f);
    step(90600);
    EXPECT_FLOAT_EQ(scene.m_flash_a, 1.0f);

    // Two claps 100 ms apart overlap; the later one rules while both run.
    step(91000);
    cMETrigger first = note_on(4, 39, 91000), second = note_on(4, 39, 91100);
    scene.handle_event(&first);
    step(91100);
    scene.handle_event(&second);
    step(91300);
    EXPECT_EQ(flashes(&scene.m_flash_a).size(), 2u);
    EXPECT_NEAR(scene.m_flash_a, 0.4f, 1e-5);
}

TEST_F(MushroomsTest, FinishedFlashesAreDroppedAndNotReplayedAfterASeekBack)
{
    step(95000);
    for (int i = 0; i < 20; ++i) {
        cMETrigger clap = note_on(4, 39, 95000 + 50 * i);
        step(95000 + 50 * i);
        scene.handle_event(&clap);
    }
    step(96000);
    EXPECT_FALSE(scene.interpolators().empty());
    step(96600);
    // Every flash has landed on "gone" and left the list: it does not grow over the layer.
    EXPECT_TRUE(scene.interpolators().empty());
    EXPECT_FLOAT_EQ(scene.m_flash_a, 1.0f);
    // Back to before those claps: nothing flashes by itself.
    step(95200);
    step(95250);
    EXPECT_FLOAT_EQ(scene.m_flash_a, 1.0f);
}

TEST_F(MushroomsTest, PhraseCuesStepThroughTheSevenPathsInTurn)
{
    step(80000);
    EXPECT_EQ(scene.m_path_start, 80000); // the first frame starts the first flight
    const int expected[] = {1, 2, 3, 4, 5, 6, 0, 1};
    int t = 80000;
    for (int index : expected) {
        t += 13333;
        step(t);
        cMETrigger cue = note_on(1, 48, t);
        scene.handle_event(&cue);
        EXPECT_EQ(scene.m_cur_path, index);
        EXPECT_EQ(scene.m_path_start, t);
    }
    // The camera flies the new path from its start over one phrase, then holds its end.
    const CCamPath& path = scene.m_paths[1];
    ASSERT_FALSE(path.empty());
    step(t);
    EXPECT_EQ(scene.m_camera.eye, path.eye(0.0f));
    const int half = t + cSceneMushroomsJ::PATH_MS / 2;
    step(half);
    EXPECT_FLOAT_EQ(scene.path_progress(half),
                    float(cSceneMushroomsJ::PATH_MS / 2) / float(cSceneMushroomsJ::PATH_MS));
    EXPECT_EQ(scene.m_camera.eye, path.eye(scene.path_progress(half)));
    EXPECT_EQ(scene.m_camera.ctr, path.centre(scene.path_progress(half)));
    step(t + 3 * cSceneMushroomsJ::PATH_MS);
    EXPECT_EQ(scene.m_camera.eye, path.eye(1.0f));
    // A seek to before the flight's start begins it again there.
    step(t - 5000);
    EXPECT_EQ(scene.m_path_start, t - 5000);
}

TEST_F(MushroomsTest, PausedClockHoldsTheFlashesAndTheSpores)
{
    step(100000);
    step(100020);
    cMETrigger clap = note_on(4, 39, 100020);
    scene.handle_event(&clap);
    const cParticleSystem& spores = *scene.spores()->system;
    const int stamped = spores.m_last_update;
    const int alive = spores.count_alive();
    EXPECT_GT(alive, 0);

    clock.clock.paused = true;
    step(100200);
    EXPECT_FLOAT_EQ(scene.m_flash_a, 1.0f); // the clap's flash has not started
    EXPECT_EQ(spores.m_last_update, stamped);
    EXPECT_EQ(spores.count_alive(), alive);

    clock.clock.paused = false;
    step(100220);
    EXPECT_LT(scene.m_flash_a, 1.0f);
    EXPECT_GT(spores.m_last_update, stamped);
}

TEST_F(MushroomsTest, ShippedFlightsLoadAndStayInsideTheCave)
{
    // Inside a closed tunnel every ray from the eye meets the rock, none too close, and the rock
    // it meets faces the eye.
    std::unique_ptr<cMeshObj> rock(BzObjLoader::create("../data/models/mushroom/cave.bzobj"));
    ASSERT_EQ(rock->m_norm.size(), rock->m_pos.size());
    ASSERT_FALSE(rock->m_elem.empty());
    auto vertex = [&](uint32_t i) {
        return Vec3<double>(rock->m_pos[i * 3], rock->m_pos[i * 3 + 1], rock->m_pos[i * 3 + 2]);
    };
    const Vec3<double> dirs[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                  {0, -1, 0}, {0, 0, 1},  {0.6, -0.3, -0.74}};
    for (int p = 0; p < cSceneMushroomsJ::NUM_PATHS; ++p) {
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) {
            const Vec3<float> eye = scene.m_paths[p].eye(t);
            const Vec3<double> o(eye.x, eye.y, eye.z);
            for (const Vec3<double>& d : dirs) {
                double nearest = 1e30;
                for (size_t k = 0; k + 2 < rock->m_elem.size(); k += 3) {
                    const double hit =
                        ray_hit(o, d.normalized(), vertex(rock->m_elem[k]),
                                vertex(rock->m_elem[k + 1]), vertex(rock->m_elem[k + 2]));
                    if (hit > 0 && hit < nearest)
                        nearest = hit;
                }
                EXPECT_LT(nearest, 1e29) << cSceneMushroomsJ::path_files[p] << " at " << t;
                EXPECT_GT(nearest, 0.8) << cSceneMushroomsJ::path_files[p] << " at " << t;
            }
        }
    }
}

TEST_F(MushroomsTest, FlashesLightTheCave)
{
    step(99000);
    const auto calm = checked_frame(scene, clock, 99000);
    cMETrigger clap = note_on(4, 39, 99000), arp = note_on(21, 64, 99000);
    scene.handle_event(&clap);
    scene.handle_event(&arp);
    const auto lit = checked_frame(scene, clock, 99000);
    EXPECT_GT(brightness(lit), brightness(calm) * 1.15);
}

TEST_F(MushroomsTest, FramesAlongTheWindowKeepStateAndShowTheCave)
{
    // The layer's window with the song's events: a flight per phrase, flashes on the beat.
    sSong song;
    const int times[] = {80200, 88000, 96400, 101000, 105900};
    int from = 79000, i = 0;
    for (int t : times) {
        song.play(scene, clock, from, t);
        from = t + 20;
        const auto pixels = checked_frame(scene, clock, t, "mushrooms_" + std::to_string(i++));
        EXPECT_GT(vnt_test::lit_share(pixels), 0.3) << t;
        EXPECT_GT(brightness(pixels), 20.0) << t;
    }
    EXPECT_EQ(scene.m_cur_path, 3); // the phrases at 80000, 93333 and 105000
}
