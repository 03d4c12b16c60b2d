// How long the soundtrack generator takes: composing and writing the MIDI file, mixing and
// encoding a stretch of the song (the build runs the whole song on one core).
#include <benchmark/benchmark.h>

#include <string>

#include "arrangement.h"
#include "midi_writer.h"
#include "mixer.h"
#include "mp3_writer.h"

namespace {

using namespace soundtrack;

void BM_ComposeAndWriteMidi(benchmark::State& state)
{
    for (auto _ : state) {
        const sSong song = compose_song();
        benchmark::DoNotOptimize(write_midi(song));
    }
}
BENCHMARK(BM_ComposeAndWriteMidi)->Unit(benchmark::kMillisecond);

// Seconds of the main groove's start, the densest stretch: the mix renders from the top.
void BM_MixSong(benchmark::State& state)
{
    const sSong song = compose_song();
    const std::size_t samples = std::size_t(state.range(0)) * kSampleRate;
    for (auto _ : state)
        benchmark::DoNotOptimize(mix_song(song, samples));
    state.counters["x realtime"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixSong)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_EncodeMp3(benchmark::State& state)
{
    const sSong song = compose_song();
    const sStereo mix = mix_song(song, std::size_t(state.range(0)) * kSampleRate);
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(encode_mp3(mix, song.title, error));
    state.counters["x realtime"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EncodeMp3)->Arg(60)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
