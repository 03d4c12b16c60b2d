// Tempo grid and note data of the song (see song.h).
#include "song.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

double seconds_per_tick()
{
    // The same arithmetic as the demo's MIDI reader: beats per minute from the tempo, then
    // seconds per tick from the beats per minute.
    const double bpm = 60000000.0 / double(kMicrosPerBeat);
    return 60.0 / bpm / double(kTicksPerBeat);
}

std::size_t sample_of_tick(uint32_t tick)
{
    return std::size_t(std::llround(double(tick) * seconds_per_tick() * kSampleRate));
}

int32_t ms_of_tick(uint32_t tick)
{
    return int32_t(double(tick) * seconds_per_tick() * 1000.0);
}

int sTrack::ctrl_at(int controller, uint32_t tick, int fallback) const
{
    int value = fallback;
    for (const sCtrl& c : ctrls) {
        if (c.tick > tick)
            break;
        if (c.controller == controller)
            value = c.value;
    }
    return value;
}

void sSong::finish()
{
    for (sTrack& t : tracks) {
        std::stable_sort(t.notes.begin(), t.notes.end(),
                         [](const sNote& a, const sNote& b) { return a.tick < b.tick; });
        // A note still sounding when the same pitch starts again ends there (and one that
        // starts with it is dropped): a MIDI reader could not tell the two apart.
        for (std::size_t i = 0; i < t.notes.size(); ++i)
            for (std::size_t j = i + 1; j < t.notes.size(); ++j) {
                sNote& a = t.notes[i];
                const sNote& b = t.notes[j];
                if (b.tick >= a.tick + a.length)
                    break;
                if (b.note == a.note)
                    a.length = b.tick - a.tick;
            }
        t.notes.erase(std::remove_if(t.notes.begin(), t.notes.end(),
                                     [](const sNote& n) { return n.length == 0; }),
                      t.notes.end());
        std::stable_sort(t.ctrls.begin(), t.ctrls.end(),
                         [](const sCtrl& a, const sCtrl& b) { return a.tick < b.tick; });
    }
    std::stable_sort(markers.begin(), markers.end(),
                     [](const sMarker& a, const sMarker& b) { return a.tick < b.tick; });
}

std::size_t sSong::length_in_samples() const
{
    return sample_of_tick(end_tick) + std::size_t(tail_seconds * kSampleRate);
}

} // namespace soundtrack
