// One frame of the mushroom cave, the Ganesh sculpture and the particle field at 1280x720 on
// the headless context: update and render_to_texture, the GPU waited for, across each scene's
// timeline window at 60 frames per second, with the variables and events the timeline gives.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <memory>

#include "gl_extensions.h"
#include "midi_event.h"
#include "render_target_manager.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_particles.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

constexpr int kBeatMs = 500; // one beat at 120 beats per minute

// Processor time of the whole process (the renderer's threads included), in ms: unlike the wall
// time it does not grow when other work shares the machine.
double process_cpu_ms()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1000.0 +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1000.0;
}

// Frames from `start` on, 16.67 ms apart, wrapping after `length` ms; `each` runs before every
// frame with the scene and the frame's time.
template <class T, class tEach>
void run_scene(benchmark::State& state, int start, int length, tEach each)
{
    vnt_test::ensure_gl();
    vnt_test::sTestClock clock(start);
    auto scene = std::make_unique<T>(&clock.clock);
    scene->load();
    long frame = 0;
    auto one_frame = [&] {
        const int t = start + int(double(frame++ % (length * 60 / 1000)) * 1000.0 / 60.0);
        clock.set(t);
        each(*scene, t);
        scene->update();
        cRTProxy out = scene->render_to_texture(clock.clock.demo_time());
        glFinish();
        benchmark::DoNotOptimize(out.get_rt());
    };
    // The driver compiles its shader variants on first use: not part of a frame's cost.
    for (int i = 0; i < 30; ++i)
        one_frame();
    frame = 0;
    const double cpu_start = process_cpu_ms();
    for (auto _ : state)
        one_frame();
    state.counters["cpu_ms_per_frame"] =
        (process_cpu_ms() - cpu_start) / double(std::max<long>(1, frame));
    state.counters["lent_out"] = double(cRenderTargetManager::get_instance()->lent_out());
}

// A clap on every beat, as track 4 gives it.
bool on_beat(int t)
{
    return t % kBeatMs < 17;
}

void BM_ParticleField(benchmark::State& s)
{
    run_scene<cSceneParticles>(s, 45500, 37500,
                               [](cSceneParticles& p, int) { p.m_kaleidotype = 7; });
}
BENCHMARK(BM_ParticleField)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_MushroomCave(benchmark::State& s)
{
    run_scene<cSceneMushroomsJ>(s, 80000, 26000, [](cSceneMushroomsJ& cave, int t) {
        cave.m_rotation = float(t - 80000) * 720.0f / 60000.0f;
        if (on_beat(t)) {
            cMETrigger clap(iMidiEvent::NOTE_ON, 39, 100);
            clap.m_track = 4;
            clap.m_time = t;
            cave.handle_event(&clap);
        }
    });
}
BENCHMARK(BM_MushroomCave)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_GaneshSculpture(benchmark::State& s)
{
    run_scene<cSceneGanesh>(s, 113000, 28000, [](cSceneGanesh& g, int t) {
        // The timeline's flights: path, start, end and the progress reached at the end.
        const int flights[5][3] = {{4, 113000, 119100},
                                   {1, 119100, 125500},
                                   {5, 125500, 130000},
                                   {3, 130000, 134500},
                                   {6, 134500, 141300}};
        const float reach[5] = {0.65f, 0.92f, 0.92f, 0.95f, 0.95f};
        for (int i = 0; i < 5; ++i) {
            if (t >= flights[i][1] && t <= flights[i][2]) {
                g.m_campath = flights[i][0];
                g.m_campath_t =
                    reach[i] * float(t - flights[i][1]) / float(flights[i][2] - flights[i][1]);
            }
        }
        g.m_scene_t = t < 135000 ? 0.0f : float(t - 135000) / 6300.0f;
        g.m_write_diff = 0;
    });
}
BENCHMARK(BM_GaneshSculpture)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
