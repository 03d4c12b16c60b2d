// The particle store, the shared random table, the emitters and their controllers, the
// updaters and the fixed-step effect.
#include <gtest/gtest.h>

#include <cmath>

#include "clock.h"
#include "effects/particles/particle_effect.h"
#include "effects/particles/particle_emitter_cube_volume.h"
#include "effects/particles/particle_emitter_plane.h"
#include "effects/particles/particle_system.h"
#include "effects/particles/particle_updaters.h"
#include "effects/particles/random_table.h"
#include "support/scene_capture.h"

namespace {

using tCube = cParticleEmitterCubeVolume<ControllerConstant<100>, ControllerConstant<5>>;
using tPlane = cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 10>>;

// A system of `capacity` slots stamped from `clock`.
struct sSystem
{
    vnt_test::sTestClock clock;
    cParticleSystem system;
    explicit sSystem(int capacity, int time_ms = 1000) : clock(time_ms)
    {
        system.init(capacity, 0.0f);
        system.set_clock(&clock.clock);
    }
    // A live particle in slot i.
    void place(int i, Vec3<float> pos, Vec3<float> vel = Vec3<float>(), float life = 1.0f)
    {
        system.m_pt_Pos[i] = pos;
        system.m_pt_Vel[i] = vel;
        system.m_pt_Life[i] = life;
        system.m_pt_Alive[i] = 1;
    }
};

void expect_vec(const Vec3<float>& actual, const Vec3<float>& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

} // namespace

TEST(ParticleRandom, TableStaysInRangeAndTheCursorWraps)
{
    cRandomTable& table = cRandomTable::get();
    for (uint32_t i = 0; i < cRandomTable::SIZE; ++i)
        ASSERT_TRUE(table.at(i) >= 0.0f && table.at(i) < 1.0f) << i;

    // The cursor moves before it reads, and wraps after the last entry.
    table.set_cursor(0);
    EXPECT_EQ(particle_random(), table.at(1));
    EXPECT_EQ(particle_random(), table.at(2));
    table.set_cursor(cRandomTable::SIZE - 1);
    EXPECT_EQ(particle_random(), table.at(0));
    EXPECT_EQ(table.cursor(), 0u);
}

TEST(ParticleSystem, InitZeroesTheSlotsAndUpdateMovesEveryLiveParticleOnce)
{
    sSystem s(4);
    EXPECT_EQ(s.system.count_alive(), 0);
    s.system.m_drag = 0.1f;
    s.place(0, {0, 0, 0}, {2, 0, 0}, 1.0f);      // lives on
    s.place(2, {1, 1, 1}, {0, 4, 0}, 0.03f);     // dies in this step, but still moves in it
    s.system.m_pt_Vel[3] = Vec3<float>(9, 9, 9); // dead: left alone
    s.clock.set(1234);
    s.system.update(0.05f);

    EXPECT_EQ(s.system.m_last_update, 1234);
    expect_vec(s.system.m_pt_Pos[0], {0.1f, 0, 0});
    expect_vec(s.system.m_pt_Vel[0], {1.8f, 0, 0}); // one drag factor per update
    EXPECT_TRUE(s.system.m_pt_Alive[0]);
    EXPECT_FALSE(s.system.m_pt_Alive[2]);
    expect_vec(s.system.m_pt_Pos[2], {1, 1.2f, 1});
    expect_vec(s.system.m_pt_Pos[3], {0, 0, 0});

    // Once dead, a particle stays put.
    s.system.update(0.05f);
    expect_vec(s.system.m_pt_Pos[2], {1, 1.2f, 1});

    // A system of capacity 0 updates and emits nothing, and nothing breaks.
    sSystem empty(0);
    tCube cube;
    cube.emit(empty.system, 0.05f);
    empty.system.update(0.05f);
    EXPECT_EQ(empty.system.count_alive(), 0);
}

TEST(ParticleEmitters, EachCallFillsCountPlusOneFreeSlotsInIndexOrder)
{
    sSystem s(250, 500);
    tCube cube(Vec3<float>(10, 20, 30), Vec3<float>(2, 4, 6));
    s.place(0, {0, 0, 0}); // a live particle is skipped, not replaced
    cube.emit(s.system, 0.05f);
    EXPECT_EQ(s.system.count_alive(), 1 + 101);
    EXPECT_FALSE(s.system.m_pt_Alive[102]);
    EXPECT_EQ(s.system.m_last_update, 500);
    expect_vec(s.system.m_pt_Pos[0], {0, 0, 0});
    for (int i = 1; i <= 101; ++i) {
        const Vec3<float>& p = s.system.m_pt_Pos[i];
        ASSERT_TRUE(p.x >= 9 && p.x < 11 && p.y >= 18 && p.y < 22 && p.z >= 27 && p.z < 33) << i;
    }

    // The next call continues after the live ones; the last one fills the rest.
    s.clock.set(550);
    cube.emit(s.system, 0.05f);
    EXPECT_EQ(s.system.count_alive(), 203);
    cube.emit(s.system, 0.05f);
    EXPECT_EQ(s.system.count_alive(), 250);

    // A full system emits nothing and keeps its time stamp.
    s.clock.set(9999);
    cube.emit(s.system, 0.05f);
    EXPECT_EQ(s.system.count_alive(), 250);
    EXPECT_EQ(s.system.m_last_update, 550);
}

TEST(ParticleEmitters, PlaneParticlesStartOnTheParallelogramAndLiveTenToThirtySeconds)
{
    sSystem s(2000);
    tPlane plane(Vec3<float>(1, 2, 3), Vec3<float>(4, 0, 0), Vec3<float>(0, 0, -2));
    plane.set_position(Vec3<float>(-1, 0, 5));
    for (int call = 0; call < 19; ++call)
        plane.emit(s.system, 0.05f);
    ASSERT_EQ(s.system.count_alive(), 1919);
    for (int i = 0; i < 1919; ++i) {
        const Vec3<float>& p = s.system.m_pt_Pos[i];
        const Vec3<float>& v = s.system.m_pt_Vel[i];
        ASSERT_TRUE(p.x >= -1 && p.x < 3 && p.y == 0 && p.z > 3 && p.z <= 5) << i;
        ASSERT_TRUE(v.x >= 0 && v.x < 1 && v.y >= 0 && v.y < 10 && v.z >= 0 && v.z < 1) << i;
        ASSERT_GE(s.system.m_pt_Life[i], 10.0f);
        ASSERT_LE(s.system.m_pt_Life[i], 30.0f);
    }

    // Over the whole table the varying life spans its range and never leaves it.
    int lo = 1000, hi = -1000;
    for (uint32_t i = 0; i < cRandomTable::SIZE; ++i) {
        const int life = ControllerVaryingLinear<20, 10>::get();
        lo = std::min(lo, life);
        hi = std::max(hi, life);
    }
    EXPECT_TRUE(lo >= 10 && lo <= 11 && hi >= 29 && hi <= 30) << lo << ".." << hi;
    // Never negative, however wide the spread.
    for (int i = 0; i < 1000; ++i)
        ASSERT_GE((ControllerVaryingLinear<2, 10>::get()), 0);
}

TEST(ParticleUpdaters, SinkPullsWithOneOverDistanceAndNeverDividesByZero)
{
    sSystem s(4, 700);
    cGravitySink sink(Vec3<float>(1, 1, 1), 2.0f);
    s.place(0, {1, 1, 1}, {3, 0, 0});            // exactly at the sink
    s.place(1, {1.25f, 1, 1});                   // closer than the 0.5 minimum
    s.place(2, {-1, 1, 1}, {0, 1, 0});           // 2 units away
    s.system.m_pt_Pos[3] = Vec3<float>(0, 0, 0); // dead
    sink.update(s.system, 50);

    expect_vec(s.system.m_pt_Vel[0], {3, 0, 0});
    expect_vec(s.system.m_pt_Vel[1], {2.0f * -0.25f / 0.25f, 0, 0}); // r taken as 0.5
    expect_vec(s.system.m_pt_Vel[2], {2.0f * 2.0f / 4.0f, 1, 0});
    expect_vec(s.system.m_pt_Vel[3], {0, 0, 0});
    EXPECT_EQ(s.system.m_last_update, 700);
}

TEST(ParticleUpdaters, SphereMovesInsidersToTheSurface)
{
    sSystem s(4);
    cSphereConstraint sphere(Vec3<float>(1, 2, 3), 2.0f);
    s.place(0, {1.5f, 2, 3});         // inside, off the centre along +x
    s.place(1, {1, 2, 3});            // exactly at the centre
    s.place(2, {1, 2, 7}, {1, 1, 1}); // outside
    s.place(3, {1, 0.5f, 3});         // inside, along -y
    sphere.update(s.system, 50);

    expect_vec(s.system.m_pt_Pos[0], {3, 2, 3});
    expect_vec(s.system.m_pt_Pos[1], {1, 2, 5}); // pushed out along +z
    expect_vec(s.system.m_pt_Pos[2], {1, 2, 7});
    expect_vec(s.system.m_pt_Vel[2], {1, 1, 1});
    expect_vec(s.system.m_pt_Pos[3], {1, 0, 3});
}

TEST(ParticleUpdaters, VortexTurnsAboutItsAxisScaledByTheAxisLength)
{
    sSystem s(2, 800);
    cVortex vortex(Vec3<float>(0, 0, 1), Vec3<float>(1, 0, 0), 2.0f);
    s.place(0, {2, 0, 5});  // one unit off the axis in +x, high up: the height does not matter
    s.place(1, {1, -3, 0}); // three units off in -y
    vortex.update(s.system, 50);
    expect_vec(s.system.m_pt_Vel[0], {0, 2, 0});
    expect_vec(s.system.m_pt_Vel[1], {6, 0, 0});

    // The axis is not normalised: one twice as long pushes twice as hard.
    sSystem t(1);
    cVortex doubled(Vec3<float>(0, 0, 2), Vec3<float>(1, 0, 0), 2.0f);
    t.place(0, {2, 0, 0});
    doubled.update(t.system, 50);
    expect_vec(t.system.m_pt_Vel[0], {0, 4, 0});
}

TEST(ParticleEffect, StepsFiftyMillisecondsPerFrameUnlessPaused)
{
    vnt_test::sTestClock clock(2000);
    sParticleEffect effect;
    effect.system.reset(new cParticleSystem());
    effect.system->init(300, 0.0f);
    effect.emitters.push_back(
        new cParticleEmitterPlane<ControllerConstant<100>, ControllerConstant<5>>());
    effect.updaters.push_back(new cGravitySink(Vec3<float>(0, 100, 0), 0.0f));

    clock.clock.paused = true;
    effect.step(clock.clock);
    EXPECT_EQ(effect.system->count_alive(), 0);

    clock.clock.paused = false;
    effect.step(clock.clock);
    ASSERT_EQ(effect.system->count_alive(), 101);
    EXPECT_EQ(effect.system->m_last_update, 2000);
    // Emitted, then moved by one 50 ms step: y speed is kept, lives are 0.05 s shorter.
    EXPECT_NEAR(effect.system->m_pt_Life[0], 4.95f, 1e-5f);
    const Vec3<float> v = effect.system->m_pt_Vel[7];
    const Vec3<float> p = effect.system->m_pt_Pos[7];
    EXPECT_GE(p.y, 0.0f);
    EXPECT_NEAR(p.y, v.y * 0.05f, 1e-5f);
}
