// One frame of each tunnel, kaleidoscope, spike, sphere, op-art and gate scene at 1280x720 on
// the headless context: update and render_to_texture, the GPU waited for, in its timeline
// window (or across its variables' range) at 60 frames per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "gl_extensions.h"
#include "render_target_manager.h"
#include "scenes/scene_blackn_white.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_mandala_gate.h"
#include "scenes/scene_net_sphere.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spacesphere.h"
#include "scenes/scene_spike.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

// Frames from `start` on, 16.67 ms apart, wrapping after `length` ms.
template <class T>
void run_scene(benchmark::State& state, int start, int length, void (*setup)(T&) = nullptr)
{
    vnt_test::ensure_gl();
    vnt_test::sTestClock clock(start);
    auto scene = std::make_unique<T>(&clock.clock);
    scene->load();
    if (setup)
        setup(*scene);
    long frame = 0;
    for (auto _ : state) {
        clock.set(start + int(double(frame++ % (length / 16)) * 1000.0 / 60.0));
        scene->update();
        cRTProxy out = scene->render_to_texture(clock.clock.demo_time());
        glFinish();
        benchmark::DoNotOptimize(out.get_rt());
    }
}

void BM_CubeTunnel(benchmark::State& s)
{
    run_scene<cSceneCubeTunnel>(s, 52000, 28000);
}
void BM_NetSphere(benchmark::State& s)
{
    run_scene<cSceneNetSphere>(s, 113000, 28300);
}
void BM_KaleidoTunnel(benchmark::State& s)
{
    run_scene<cSceneKaleidoTunnel>(s, 140000, 15000);
}
void BM_Rose(benchmark::State& s)
{
    run_scene<cSceneRose>(s, 151000, 17500);
}
void BM_Kaleido3d(benchmark::State& s)
{
    run_scene<cSceneKaleido3d>(s, 156000, 10000, [](cSceneKaleido3d& k) { k.m_cam_t = 0.5f; });
}
void BM_Spike(benchmark::State& s)
{
    run_scene<cSceneSpike>(s, 195000, 29000);
}
void BM_Spacesphere(benchmark::State& s)
{
    run_scene<cSceneSpacesphere>(s, 0, 20000);
}
void BM_BlacknWhite(benchmark::State& s)
{
    run_scene<cSceneBlacknWhite>(s, 0, 20000, [](cSceneBlacknWhite& b) { b.m_cur_t = 1.0f; });
}
void BM_MandalaGate(benchmark::State& s)
{
    run_scene<cSceneMandalaGate>(s, 0, 20000, [](cSceneMandalaGate& g) { g.m_cur_t = 0.5f; });
}

BENCHMARK(BM_CubeTunnel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NetSphere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KaleidoTunnel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rose)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kaleido3d)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Spike)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Spacesphere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlacknWhite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MandalaGate)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
