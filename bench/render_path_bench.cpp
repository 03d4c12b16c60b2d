// The per-frame costs of the render path on the headless context: lending and returning a
// pooled target, binding a shader with its parameters, and one full-size compositing pass.
#include <benchmark/benchmark.h>

#include "effects/var.h"
#include "gl_extensions.h"
#include "postprocessing/post_comp.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "support/gl_fixture.h"

namespace {

// A warm pool hands out and takes back a target without creating anything.
void BM_PoolLendAndReturn(benchmark::State& state)
{
    vnt_test::ensure_gl();
    for (auto _ : state) {
        cRTProxy rt = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        benchmark::DoNotOptimize(rt.get_rt());
    }
    state.counters["targets"] = double(cRenderTargetManager::get_instance()->pool().size());
}
BENCHMARK(BM_PoolLendAndReturn);

// Rebinding always unbinds, binds and re-sends the stored values.
void BM_BindWithParameters(benchmark::State& state)
{
    vnt_test::ensure_gl();
    register_levels_shader();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    float levels[5] = {10, 240, 1.2f, 0, 255};
    cFloatsVar var(levels);
    for (auto _ : state) {
        shaders->push_shader();
        shaders->set_parameter("levels_shader", 1, &var);
        shaders->bind("levels_shader");
        shaders->pop_shader();
    }
    glFinish();
}
BENCHMARK(BM_BindWithParameters);

// One layer blended onto the accumulated picture at full size (1280 x 720), as the composition
// does once per active layer and frame.
void BM_CompFullSize(benchmark::State& state)
{
    vnt_test::ensure_gl();
    cRTProxy layer = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy below = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    const int mode = int(state.range(0));
    for (auto _ : state) {
        cPostComp::get_instance()->comp(*out, *layer, *below, &mode, 0.75f);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * 1280 * 720);
}
BENCHMARK(BM_CompFullSize)
    ->Arg(cPostComp::BLEND_OVER)
    ->Arg(cPostComp::BLEND_DODGE)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime(); // the work is on llvmpipe's threads

} // namespace

BENCHMARK_MAIN();
