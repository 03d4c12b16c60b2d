// Standard MIDI File writer (see midi_writer.h).
#include "midi_writer.h"

#include "song.h"

#include <algorithm>
#include <cassert>
#include <string>

namespace soundtrack {

namespace {

// One channel or meta event at an absolute tick; `order` puts note-offs before controller
// changes before note-ons at the same tick, so a repeated note is closed before it restarts.
struct sTimedEvent
{
    uint32_t tick = 0;
    int order = 0;
    std::vector<uint8_t> bytes;
};

void append_u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void append_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

uint8_t data_byte(int v)
{
    return uint8_t(std::clamp(v, 0, 127));
}

std::vector<uint8_t> meta(uint8_t type, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> b = {0xFF, type};
    append_varlen(b, uint32_t(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

std::vector<uint8_t> name_meta(const std::string& name)
{
    // Readers take a one-byte length for names: keep them short.
    const std::string cut = name.substr(0, 127);
    return meta(0x03, std::vector<uint8_t>(cut.begin(), cut.end()));
}

// The chunk for a list of events: delta times, full status bytes, then the end-of-track.
std::vector<uint8_t> track_chunk(std::vector<sTimedEvent> events, uint32_t end_tick)
{
    std::stable_sort(events.begin(), events.end(), [](const sTimedEvent& a, const sTimedEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const sTimedEvent& e : events) {
        append_varlen(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    append_varlen(body, end_tick > now ? end_tick - now : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    append_u32(chunk, uint32_t(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<uint8_t> conductor_chunk(const sSong& song)
{
    std::vector<sTimedEvent> events;
    events.push_back({0, 0, name_meta(song.tracks[0].name)});
    events.push_back({0, 1,
                      meta(0x51, {uint8_t(kMicrosPerBeat >> 16), uint8_t(kMicrosPerBeat >> 8),
                                  uint8_t(kMicrosPerBeat)})});
    // 4/4, a click every quarter, eight 32nds per quarter.
    events.push_back({0, 2, meta(0x58, {4, 2, 24, 8})});
    return track_chunk(std::move(events), song.end_tick);
}

std::vector<uint8_t> instrument_chunk(const sTrack& track)
{
    std::vector<sTimedEvent> events;
    events.push_back({0, -1, name_meta(track.name)});
    uint32_t last = 0;
    for (const sNote& n : track.notes) {
        const uint8_t note = data_byte(n.note);
        // Velocity 0 would read as a note-off: the quietest note is 1.
        const uint8_t vel = uint8_t(std::clamp(n.velocity, 1, 127));
        const uint32_t off = n.tick + std::max<uint32_t>(n.length, 1);
        events.push_back({n.tick, 2, {0x90, note, vel}});
        events.push_back({off, 0, {0x80, note, 0x40}});
        last = std::max(last, off);
    }
    for (const sCtrl& c : track.ctrls) {
        events.push_back({c.tick, 1, {0xB0, data_byte(c.controller), data_byte(c.value)}});
        last = std::max(last, c.tick);
    }
    return track_chunk(std::move(events), last);
}

} // namespace

void append_varlen(std::vector<uint8_t>& out, uint32_t value)
{
    assert(value <= 0x0FFFFFFF && "a MIDI variable-length quantity holds 28 bits");
    uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0 && n < 4);
    while (n > 1)
        out.push_back(uint8_t(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

std::vector<uint8_t> write_midi(const sSong& song)
{
    assert(!song.tracks.empty() && song.tracks.size() < 0x10000 && "track count fits 16 bits");
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    append_u32(out, 6);
    append_u16(out, 1); // format 1: simultaneous tracks
    append_u16(out, uint32_t(song.tracks.size()));
    append_u16(out, kTicksPerBeat);

    const std::vector<uint8_t> conductor = conductor_chunk(song);
    out.insert(out.end(), conductor.begin(), conductor.end());
    for (std::size_t i = 1; i < song.tracks.size(); ++i) {
        const std::vector<uint8_t> chunk = instrument_chunk(song.tracks[i]);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

} // namespace soundtrack
