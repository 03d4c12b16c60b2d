// Reads a Standard MIDI File into the event queue: channel-1 notes and controller changes
// per track, one beat event per beat of the song's tempo, the track names.
#pragma once

#include <cstddef>
#include <string>

class cEventQueue;

class cMidiLoader
{
public:
    // Reads `file` and appends its events to `queue`, shifting notes and controller changes
    // by `beat_offset` beats; then sorts the queue (the caller rewinds it). An unreadable file
    // is reported and leaves the queue as it was; a malformed one ends the program (status 1).
    static void load(const std::string& file, cEventQueue& queue, float beat_offset);
    static void load(const std::string& file, cEventQueue* queue, float beat_offset);

    // The same from the bytes of a MIDI file in memory.
    static void load_from_memory(const unsigned char* data, std::size_t size, cEventQueue& queue,
                                 float beat_offset);
};
