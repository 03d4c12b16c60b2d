// The per-frame costs of a particle effect of 20 000 particles: one simulation step (emission,
// a gravity sink, a sphere constraint and a vortex, then the integration) and one billboard
// fill (map, write every live position, unmap).
#include <benchmark/benchmark.h>

#include "clock.h"
#include "effects/particles/particle_effect.h"
#include "effects/particles/particle_emitter_plane.h"
#include "effects/particles/particle_updaters.h"
#include "gl_extensions.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

constexpr int CAPACITY = 20000;

using tPlane = cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 10>>;

// The particle field's set-up: a plane emitter and the three updaters.
void build(sParticleEffect& effect)
{
    effect.create(CAPACITY);
    effect.emitters.push_back(
        new tPlane(Vec3<float>(-20, 0, -20), Vec3<float>(40, 0, 0), Vec3<float>(0, 0, 40)));
    effect.updaters.push_back(new cGravitySink(Vec3<float>(0, 30, 0), 4.0f));
    effect.updaters.push_back(new cSphereConstraint(Vec3<float>(0, 10, 0), 6.0f));
    effect.updaters.push_back(new cVortex(Vec3<float>(0, 1, 0), Vec3<float>(), 0.2f));
    effect.system->m_drag = 0.02f;
}

// Steps until the store is full, as it is for most of the scene's life (lives of 10 to 30 s
// at 101 particles per 50 ms step outrun 20 000 slots): emission then scans every slot.
void fill_up(sParticleEffect& effect, vnt_test::sTestClock& clock, int& t)
{
    while (effect.system->count_alive() < CAPACITY) {
        clock.set(t += 16);
        effect.step(clock.clock);
    }
}

void BM_EffectStep(benchmark::State& state)
{
    vnt_test::ensure_gl();
    sParticleEffect effect;
    build(effect);
    vnt_test::sTestClock clock(0);
    int t = 0;
    fill_up(effect, clock, t);
    for (auto _ : state) {
        clock.set(t += 16);
        effect.step(clock.clock);
        benchmark::DoNotOptimize(effect.system->m_pt_Pos.data());
    }
    state.counters["alive"] = double(effect.system->count_alive());
    state.SetItemsProcessed(state.iterations() * CAPACITY);
}
BENCHMARK(BM_EffectStep)->Unit(benchmark::kMicrosecond);

void BM_BillboardFill(benchmark::State& state)
{
    vnt_test::ensure_gl();
    sParticleEffect effect;
    build(effect);
    vnt_test::sTestClock clock(0);
    int t = 0;
    fill_up(effect, clock, t);
    for (auto _ : state) {
        effect.renderer->start_fill(*effect.system);
        effect.renderer->finish_fill();
    }
    glFinish();
    state.counters["written"] = double(effect.renderer->get_draw_count());
    state.SetItemsProcessed(state.iterations() * CAPACITY);
}
BENCHMARK(BM_BillboardFill)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
