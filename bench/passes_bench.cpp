// Cost of each post-processing pass on the headless context, at full size (1280 x 720) and at
// quarter size (320 x 180): milliseconds per pass, the GPU work finished inside the timing.
#include <benchmark/benchmark.h>

#include <functional>

#include "gl_extensions.h"
#include "postprocessing/blur.h"
#include "postprocessing/feedback.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/levels.h"
#include "postprocessing/radial_blur.h"
#include "postprocessing/spill.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "support/gl_fixture.h"

namespace {

using RTM = cRenderTargetManager;
using tPass = std::function<void(iRenderTarget& src, iRenderTarget& out, int size)>;

void run(benchmark::State& state, const tPass& pass)
{
    vnt_test::ensure_gl();
    const int size = int(state.range(0));
    cRTProxy src = get_tmp_rt(size);
    cRTProxy out = get_tmp_rt(size);
    glClearColor(0.4f, 0.3f, 0.8f, 1.0f);
    src->bind_as_target(true);
    src->unbind_as_target();
    glClearColor(0, 0, 0, 0);
    pass(*src, *out, size); // warm: shaders compiled, pool entries made
    glFinish();
    for (auto _ : state) {
        pass(*src, *out, size);
        glFinish();
    }
    state.counters["pixels"] = double(out->m_width) * double(out->m_height);
}

void BM_Blur(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        cPostBlur::get_instance()->blur(s, o, true);
    });
}

void BM_RadialBlur(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int size) {
        radialblur_params params; // 24 samples over at most 100 pixels
        params.size = size;
        cPostRadialBlur::get_instance()->process(s, o, params);
    });
}

void BM_Levels(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        cPostLevels::get_instance()->process(s, o, {20, 230, 1.2f, 0, 255});
    });
}

void BM_HSB(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        cPostHSB::get_instance()->process(s, o, {40, 10, 5});
    });
}

void BM_HueShift(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        cPostHueShift::get_instance()->process(s, o, {90, 10, 0, 2});
    });
}

void BM_Spill(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int size) {
        cRTProxy b = get_tmp_rt(size);
        cPostSpill::get_instance()->combine_into(s, *b, o, cPostSpill::SPILL_ADD);
    });
}

// The glow at the size class of the benchmark: the whole chain of levels, three blurs,
// levels and spill.
void BM_Glow(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int size) {
        glow_params params;
        params.size = size;
        cPostGlow::get_instance()->glow(s, o, params);
    });
}

void BM_Feedback(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        feedback_params params;
        params.transform[0] = params.transform[5] = 0.98f;
        cPostFeedback::get_instance()->apply(s, o, params);
    });
    cPostFeedback::destroy_instance();
}

void BM_FeedbackBlurred(benchmark::State& state)
{
    run(state, [](iRenderTarget& s, iRenderTarget& o, int) {
        feedback_params params;
        params.blur = true;
        cPostFeedback::get_instance()->apply(s, o, params);
    });
    cPostFeedback::destroy_instance();
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(RTM::RTT_FULL)->Arg(RTM::RTT_QUATER)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Blur)->Apply(sizes);
BENCHMARK(BM_RadialBlur)->Apply(sizes);
BENCHMARK(BM_Levels)->Apply(sizes);
BENCHMARK(BM_HSB)->Apply(sizes);
BENCHMARK(BM_HueShift)->Apply(sizes);
BENCHMARK(BM_Spill)->Apply(sizes);
BENCHMARK(BM_Glow)->Apply(sizes);
BENCHMARK(BM_Feedback)->Apply(sizes);
BENCHMARK(BM_FeedbackBlurred)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
