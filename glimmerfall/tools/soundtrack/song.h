// The song as note data: the tracks, notes and controller changes that both the MIDI file and
// the synthesizer read, the section plan and the marker lines, and the tempo grid they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soundtrack {

constexpr int kTicksPerBeat = 480;
constexpr int kTicksPerStep = kTicksPerBeat / 4; // a sixteenth note
constexpr int kTicksPerBar = kTicksPerBeat * 4;  // 4/4 throughout
// 120 beats per minute, whole microseconds per quarter note in the MIDI tempo: a beat lasts
// 500 ms, so the demo's picture changes on its half-second grid fall on beats.
constexpr uint32_t kMicrosPerBeat = 500000;
constexpr int kSampleRate = 44100;

// Seconds per tick exactly as a MIDI reader derives it from the tempo event.
double seconds_per_tick();
// The sample a tick falls on (nearest).
std::size_t sample_of_tick(uint32_t tick);
// The millisecond a reader gives an event at `tick` (truncated).
int32_t ms_of_tick(uint32_t tick);
inline uint32_t tick_of_bar(double bar)
{
    return uint32_t(bar * kTicksPerBar + 0.5);
}

struct sNote
{
    uint32_t tick = 0;
    uint32_t length = 0; // ticks; a note that overlaps the next one slides into it (mono parts)
    int note = 0;        // MIDI note number
    int velocity = 100;  // 1..127
};

struct sCtrl
{
    uint32_t tick = 0;
    int controller = 0;
    int value = 0; // 0..127
};

struct sTrack
{
    std::string name;
    std::vector<sNote> notes; // sorted by tick after sSong::finish
    std::vector<sCtrl> ctrls; // sorted by tick after sSong::finish

    // The value of `controller` in force at `tick`, or `fallback` before its first change.
    int ctrl_at(int controller, uint32_t tick, int fallback) const;
};

// A named stretch of the song; its start is a scene mark in the marker script.
struct sSection
{
    int first_bar = 0;
    int bars = 0;
    std::string name;
    std::string comment; // what happens, for the marker script
};

struct sMarker
{
    uint32_t tick = 0;
    std::string token;
    int ms = -1;         // when >= 0 the time in ms, else taken from `tick`
    std::string comment; // a line of explanation written above the mark, if any
};

struct sSong
{
    std::string title;
    std::vector<sTrack> tracks; // track 0 is the conductor
    std::vector<sSection> sections;
    std::vector<sMarker> markers;
    uint32_t end_tick = 0;     // end of the song in the MIDI file
    double tail_seconds = 0.0; // audio after end_tick (reverb and echo tails)

    // Sorts every track's notes and controller changes by tick (stable).
    void finish();
    std::size_t length_in_samples() const;
};

} // namespace soundtrack
