// Reading a 1 MB MIDI file into the event queue, from disk and from memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "event_queue.h"
#include "events/midi_file_builder.h"
#include "midi_loader.h"

namespace {

using midi_test::Bytes;

// Eight tracks of notes and controller changes, about 1 MB in all.
const Bytes& big_song()
{
    static const Bytes song = [] {
        std::vector<midi_test::cTrack> tracks(8);
        tracks[0].name("conductor").tempo(0, 461538);
        for (std::size_t t = 1; t < tracks.size(); ++t) {
            tracks[t].name("track " + std::to_string(t));
            for (int i = 0; i < 17850; ++i) {
                tracks[t].note_on(60, 36 + (i % 48), 100);
                tracks[t].msg(60, -1, 36 + (i % 48), 0);
                if (i % 4 == 0)
                    tracks[t].msg(0, 0xB0, 74, i % 128);
            }
        }
        for (auto& track : tracks)
            track.end();
        return midi_test::build_file(480, tracks);
    }();
    return song;
}

// The reader reports on the standard output; keep the benchmark's table readable.
struct sQuietStdout
{
    std::streambuf* old = std::cout.rdbuf(nullptr);
    ~sQuietStdout() { std::cout.rdbuf(old); }
};

void BM_MidiFromMemory(benchmark::State& state)
{
    const Bytes& song = big_song();
    sQuietStdout quiet;
    for (auto _ : state) {
        cEventQueue q;
        cMidiLoader::load_from_memory(song.data(), song.size(), q, 0.0f);
        benchmark::DoNotOptimize(q.size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(song.size()));
}
BENCHMARK(BM_MidiFromMemory)->Unit(benchmark::kMillisecond);

void BM_MidiFromFile(benchmark::State& state)
{
    const Bytes& song = big_song();
    const std::string path = "midi_loader_bench.mid";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()), std::streamsize(song.size()));
    sQuietStdout quiet;
    std::size_t events = 0;
    for (auto _ : state) {
        cEventQueue q;
        cMidiLoader::load(path, q, 0.0f);
        events = q.size();
        benchmark::DoNotOptimize(events);
    }
    std::remove(path.c_str());
    state.counters["file_bytes"] = double(song.size());
    state.counters["events"] = double(events);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(song.size()));
}
BENCHMARK(BM_MidiFromFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
