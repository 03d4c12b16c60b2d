// Reads a Standard MIDI File into the event queue: channel-1 notes and controller changes
// per track, one beat event per beat of the song's tempo, the track names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class cEventQueue;

// What the reader made of a file's header and timing, for the author tools.
struct sMidiFileInfo
{
    bool m_read = false; // false: the file could not be opened (nothing else is set)
    int m_format = 0;
    unsigned m_num_tracks = 0;          // as declared in the header
    int m_division = 0;                 // > 0: ticks per quarter note; < 0: SMPTE
    unsigned m_tempo_events = 0;        // tempo meta events read; the last one sets the timing
    std::uint32_t m_us_per_quarter = 0; // tempo of the last tempo event; 500000 when none
    double m_ms_per_tick = 0;           // as the reader uses it
    double m_ms_per_beat = 0;           // as the reader prints it; meaningless for SMPTE
    std::uint32_t m_max_tick = 0;       // the highest absolute tick of any track
    std::int64_t m_length_ms = 0;       // m_max_tick in milliseconds, truncated
    std::vector<unsigned> m_other_channel_notes; // per track: note-ons on channels 2 to 16
};

class cMidiLoader
{
public:
    // Reads `file` and appends its events to `queue`, shifting notes and controller changes
    // by `beat_offset` beats; then sorts the queue (the caller rewinds it). An unreadable file
    // is reported and leaves the queue as it was; a malformed one ends the program (status 1).
    // With `info`, also reports the header fields and the timing the reader took.
    static void load(const std::string& file, cEventQueue& queue, float beat_offset,
                     sMidiFileInfo* info = nullptr);
    static void load(const std::string& file, cEventQueue* queue, float beat_offset);

    // The same from the bytes of a MIDI file in memory.
    static void load_from_memory(const unsigned char* data, std::size_t size, cEventQueue& queue,
                                 float beat_offset, sMidiFileInfo* info = nullptr);
};
