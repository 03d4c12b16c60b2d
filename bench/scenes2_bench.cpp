// One frame of the mandala, mandala cube, flower field, title and greetings scenes at 1280x720
// on the headless context: update and render_to_texture, the GPU waited for, with the variables
// the timeline gives them along their windows (the cube across its configurations).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "gl_extensions.h"
#include "render_target_manager.h"
#include "scenes/scene_flower_field.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_mandala_cube.h"
#include "scenes/scene_title.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

// Frames 16.67 ms apart over [start, start + length), wrapping; `pose` sets the variables for
// the frame's share of the window (0..1).
template <class T>
void run_scene(benchmark::State& state, int start, int length, void (*pose)(T&, float))
{
    vnt_test::ensure_gl();
    vnt_test::sTestClock clock(start);
    auto scene = std::make_unique<T>(&clock.clock);
    scene->load();
    const long frames = long(length) * 60 / 1000;
    long frame = 0;
    for (auto _ : state) {
        const long k = frame++ % frames;
        clock.set(start + int(double(k) * 1000.0 / 60.0));
        pose(*scene, float(k) / float(frames));
        scene->update();
        cRTProxy out = scene->render_to_texture(clock.clock.demo_time());
        glFinish();
        benchmark::DoNotOptimize(out.get_rt());
    }
}

void BM_Title(benchmark::State& s)
{
    run_scene<cSceneTitle>(s, 13313, 12687, [](cSceneTitle& t, float u) { t.m_cur_t = u; });
}
void BM_FlowerFieldDescent(benchmark::State& s)
{
    run_scene<cSceneFlowerField>(s, 25000, 15000, [](cSceneFlowerField& f, float u) {
        f.m_cur_config = 1;
        f.m_cur_t = std::max(0.0f, 1.0f - u * 15.0f / 12.0f);
    });
}
void BM_FlowerFieldRise(benchmark::State& s)
{
    run_scene<cSceneFlowerField>(s, 168000, 28000, [](cSceneFlowerField& f, float u) {
        f.m_cur_config = 3;
        const float t = 168000.0f + u * 28000.0f;
        f.m_cur_t = std::clamp((t - 178000.0f) / 7000.0f, 0.0f, 1.0f);
        f.m_outtro_t = std::clamp((t - 194000.0f) / 2000.0f, 0.0f, 1.0f);
    });
}
void BM_Mandala(benchmark::State& s)
{
    run_scene<cSceneMandala>(s, 37000, 16000, [](cSceneMandala& m, float u) {
        m.m_cur_config = 2;
        m.m_cur_t = 0.33f + 0.67f * u;
    });
}
void BM_Greets(benchmark::State& s)
{
    run_scene<cSceneGreets>(s, 182000, 14000, [](cSceneGreets& g, float u) { g.m_cur_t = u; });
}
void BM_MandalaCube(benchmark::State& s)
{
    run_scene<cSceneMandalaCube>(
        s, 0, 20000, [](cSceneMandalaCube& c, float u) { c.m_cur_config = int(u * 3.999f); });
}

} // namespace

BENCHMARK(BM_Title)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlowerFieldDescent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlowerFieldRise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mandala)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Greets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MandalaCube)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
