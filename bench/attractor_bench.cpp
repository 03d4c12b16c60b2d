// Costs of the attractor scene: one frame's step of 20000 points on the table sine and cosine
// and on the library's, and whole frames of both views at 1280 x 720 on the headless context.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "gl_extensions.h"
#include "render_target.h"
#include "scenes/attractor_calculator.h"
#include "scenes/scene_attractor.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace {

const float PARAMS[4] = {-1.25962f, 0.519231f, 0.735577f, 1.55289f};

void BM_ComputeStepTable(benchmark::State& state)
{
    auto calc = std::make_unique<cAttractorCalculator_pickover>();
    std::vector<float> out(3 * cSceneAttractor::POINTS_PER_FRAME);
    for (auto _ : state) {
        calc->compute(out.data(), cSceneAttractor::POINTS_PER_FRAME, PARAMS);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * cSceneAttractor::POINTS_PER_FRAME);
}
BENCHMARK(BM_ComputeStepTable)->Unit(benchmark::kMicrosecond);

void BM_ComputeStepLibrary(benchmark::State& state)
{
    auto calc = std::make_unique<cAttractorCalculator_pickover>();
    std::vector<float> out(3 * cSceneAttractor::POINTS_PER_FRAME);
    for (auto _ : state) {
        calc->compute_reference(out.data(), cSceneAttractor::POINTS_PER_FRAME, PARAMS);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * cSceneAttractor::POINTS_PER_FRAME);
}
BENCHMARK(BM_ComputeStepLibrary)->Unit(benchmark::kMicrosecond);

// One frame as the composition asks for it: update, render into a pooled target with the
// view's grading chain, finished (glFinish) before the clock stops. Argument: the view (0 single,
// 1 six-fold as one copy turned on screen, 2 six-fold with all six copies drawn as points).
void BM_SceneFrame(benchmark::State& state)
{
    vnt_test::ensure_gl();
    vnt_test::sTestClock clock(10000);
    cSceneAttractor scene(&clock.clock);
    scene.load();
    scene.cur_config = state.range(0) == 0 ? 0 : 1;
    scene.m_exact_sixfold = state.range(0) == 2;
    int t = 10000;
    for (auto _ : state) {
        t += 16;
        clock.set(t);
        scene.update();
        cRTProxy frame = scene.render_to_texture(t);
        glFinish();
    }
}
BENCHMARK(BM_SceneFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
