// Standard MIDI File reader: every read goes through a cursor bounded by the file's bytes or
// by the current track chunk.
#include "midi_loader.h"

#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "event_queue.h"
#include "fatal.h"
#include "file_read.h"
#include "midi_event.h"

namespace {

constexpr std::size_t HEADER_SIZE = 14;         // "MThd", length, format, tracks, division
constexpr std::uint32_t DEFAULT_TEMPO = 500000; // us per quarter note: 120 beats per minute
constexpr std::size_t MAX_BEAT_EVENTS = 1u << 20;
// A real song's file is well under a megabyte; anything past this is not one.
constexpr std::size_t MAX_FILE_BYTES = 64u << 20;

[[noreturn]] void midi_fatal(const std::string& message)
{
    std::cout.flush();
    std::cerr << "# mid FATAL ERROR: " << message << "\n";
    std::cerr.flush();
    vnt::fatal_exit(1);
}

template <class... Args> std::string format(const char* fmt, Args... args)
{
    char text[160];
    std::snprintf(text, sizeof(text), fmt, args...);
    return text;
}

struct sMidiRawEvent
{
    std::uint32_t m_time = 0; // absolute, in ticks
    std::uint8_t m_status = 0;
    std::uint8_t m_data[3] = {0, 0, 0};
};

struct sMidiFile;

struct sMidiTrack
{
    sMidiFile* m_file = nullptr;
    std::vector<sMidiRawEvent> m_events;
    std::string m_name;
    std::size_t m_pos = 0; // read position in the file's bytes
    std::size_t m_end = 0; // end of the chunk
    std::uint8_t m_running_status = 0;
    int m_index = 0; // from 0, in file order
};

// Ticks turn into milliseconds as tick * m_ms_num / m_ms_den, exactly, truncated.
struct sMidiFile
{
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    int m_format = 0;
    unsigned m_num_tracks = 0;
    int m_division = 0; // > 0: ticks per quarter note; < 0: SMPTE
    double m_sec_per_tick = 0;
    std::uint64_t m_ms_num = 0;
    std::uint64_t m_ms_den = 1;
    std::uint32_t m_max_tick = 0;
    std::vector<sMidiTrack> m_tracks;
    unsigned m_tempo_events = 0;
    std::uint32_t m_us_per_quarter = DEFAULT_TEMPO; // of the last tempo event read

    bool smpte() const { return m_division < 0; }
};

std::uint32_t read_be(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

// Reads of one track chunk; any read past its end is a malformed file.
class cTrackReader
{
public:
    explicit cTrackReader(sMidiTrack& track) : m_track(track), m_data(track.m_file->m_data) {}

    bool at_end() const { return m_track.m_pos >= m_track.m_end; }

    std::uint8_t peek() const
    {
        need(1);
        return m_data[m_track.m_pos];
    }
    std::uint8_t byte()
    {
        need(1);
        return m_data[m_track.m_pos++];
    }
    std::uint8_t data_byte()
    {
        const std::uint8_t b = byte();
        if (b & 0x80)
            fail("has a status byte where a data byte belongs");
        return b;
    }
    // A variable-length quantity: 7 bits per byte, most significant first, at most four bytes.
    std::uint32_t vlq()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = byte();
            value = (value << 7) | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        fail("holds a variable-length quantity longer than four bytes");
    }
    const std::uint8_t* bytes(std::uint32_t count)
    {
        need(count);
        const std::uint8_t* p = m_data + m_track.m_pos;
        m_track.m_pos += count;
        return p;
    }

    [[noreturn]] void fail(const char* what) const
    {
        midi_fatal(
            format("Track %d/%u %s!", m_track.m_index + 1, m_track.m_file->m_num_tracks, what));
    }

private:
    void need(std::size_t count) const
    {
        if (count > m_track.m_end - m_track.m_pos)
            fail("ends inside an event");
    }

    sMidiTrack& m_track;
    const std::uint8_t* m_data;
};

void set_tempo(sMidiFile& file, std::uint32_t us_per_quarter)
{
    const double bpm = 60000000.0 / us_per_quarter;
    std::cout << "# midi: bpm: " << bpm << std::endl;
    ++file.m_tempo_events;
    file.m_us_per_quarter = us_per_quarter;
    // A time-code file counts absolute time; a tempo does not change the length of its ticks.
    if (file.smpte())
        return;
    file.m_sec_per_tick = 60.0 / bpm / file.m_division;
    file.m_ms_num = us_per_quarter;
    file.m_ms_den = std::uint64_t(file.m_division) * 1000;
}

void read_meta_event(cTrackReader& in, sMidiTrack& track)
{
    const std::uint8_t type = in.byte();
    const std::uint32_t len = in.vlq();
    switch (type) {
    case 0x58: // time signature
        if (len != 4)
            in.fail("has a time signature whose length is not 4");
        in.bytes(4);
        break;
    case 0x51: { // tempo
        if (len != 3)
            in.fail("has a tempo whose length is not 3");
        const std::uint32_t uq = read_be(in.bytes(3), 3);
        if (uq == 0)
            in.fail("has a tempo of 0 microseconds per quarter note");
        set_tempo(*track.m_file, uq);
        break;
    }
    case 0x03: { // track name
        const std::uint8_t* name = in.bytes(len);
        if (len != 0)
            track.m_name.assign(reinterpret_cast<const char*>(name), len);
        break;
    }
    default:
        in.bytes(len);
        break;
    }
}

// One event with its delta time; channel messages are stored with their absolute time.
void read_event(cTrackReader& in, sMidiTrack& track, std::uint64_t& abs_time)
{
    abs_time += in.vlq();
    if (abs_time > UINT32_MAX)
        in.fail("runs past 2^32 ticks");

    std::uint8_t status = in.peek();
    if (status & 0x80) {
        in.byte();
        // Only channel messages can be continued by running status.
        if (status < 0xF0)
            track.m_running_status = status;
    } else {
        status = track.m_running_status;
        if (status == 0)
            in.fail("has a data byte without a status byte");
    }

    if (status < 0xF0) {
        sMidiRawEvent ev;
        ev.m_time = static_cast<std::uint32_t>(abs_time);
        ev.m_status = status;
        const int high = status >> 4;
        const int count = (high == 0xC || high == 0xD) ? 1 : 2;
        for (int i = 0; i < count; ++i)
            ev.m_data[i] = in.data_byte();
        track.m_events.push_back(ev);
    } else if (status == 0xFF) {
        read_meta_event(in, track);
    } else if (status == 0xF0 || status == 0xF7) {
        in.bytes(in.vlq()); // system exclusive: skipped by its length
    }
    // The other system messages are their status byte alone.
}

void read_header(sMidiFile& file)
{
    if (file.m_size < 4 || std::memcmp(file.m_data, "MThd", 4) != 0)
        midi_fatal("This is not a valid MIDI file!");
    if (file.m_size < HEADER_SIZE)
        midi_fatal("The MIDI header is truncated!");
    file.m_format = static_cast<int>(read_be(file.m_data + 8, 2));
    file.m_num_tracks = read_be(file.m_data + 10, 2);
    file.m_division = static_cast<std::int16_t>(read_be(file.m_data + 12, 2));
    std::cout << "# midi: Num tracks: " << file.m_num_tracks << std::endl;

    if (file.m_division > 0) {
        file.m_sec_per_tick = 0.5 / file.m_division;
        file.m_ms_num = DEFAULT_TEMPO;
        file.m_ms_den = std::uint64_t(file.m_division) * 1000;
    } else if (file.m_division < 0) {
        const int frame_code = -static_cast<std::int8_t>(file.m_division >> 8);
        const int ticks_per_frame = file.m_division & 0xff;
        // frames per second as fps_num / fps_den
        std::uint64_t fps_num = 0, fps_den = 1;
        switch (frame_code) {
        case 24:
        case 25:
        case 30:
            fps_num = frame_code;
            break;
        case 29:
            fps_num = 2997;
            fps_den = 100;
            break;
        default:
            midi_fatal("Illegal SMPTE frame code");
        }
        if (ticks_per_frame == 0)
            midi_fatal("SMPTE division with 0 ticks per frame");
        file.m_sec_per_tick = 1.0 / (ticks_per_frame * (double(fps_num) / fps_den));
        file.m_ms_num = 1000 * fps_den;
        file.m_ms_den = std::uint64_t(ticks_per_frame) * fps_num;
    } else {
        midi_fatal("Division of 0 ticks per quarter note");
    }
}

void locate_tracks(sMidiFile& file)
{
    std::size_t pos = HEADER_SIZE;
    file.m_tracks.resize(file.m_num_tracks);
    for (unsigned i = 0; i < file.m_num_tracks; ++i) {
        const std::string number = format("Track %u/%u", i + 1, file.m_num_tracks);
        if (pos >= file.m_size)
            midi_fatal(number + " is missing!");
        if (file.m_size - pos < 8 || std::memcmp(file.m_data + pos, "MTrk", 4) != 0)
            midi_fatal(number + " is invalid!");
        const std::uint32_t length = read_be(file.m_data + pos + 4, 4);
        if (length > file.m_size - pos - 8)
            midi_fatal(number + " runs past the end of the file!");
        sMidiTrack& track = file.m_tracks[i];
        track.m_file = &file;
        track.m_index = static_cast<int>(i);
        track.m_pos = pos + 8;
        track.m_end = track.m_pos + length;
        pos = track.m_end;
    }
}

void read_tracks(sMidiFile& file)
{
    std::cout << "# midi: Reading tracks from MIDI file...\n";
    for (sMidiTrack& track : file.m_tracks) {
        cTrackReader in(track);
        std::uint64_t abs_time = 0;
        while (!in.at_end())
            read_event(in, track, abs_time);
        if (abs_time > file.m_max_tick)
            file.m_max_tick = static_cast<std::uint32_t>(abs_time);
    }
}

// Milliseconds of an absolute tick, truncated; the file is refused when they leave the demo's
// 32-bit millisecond range.
int tick_to_ms(const sMidiFile& file, std::uint32_t tick)
{
    const std::uint64_t ms = std::uint64_t(tick) * file.m_ms_num / file.m_ms_den;
    if (ms > INT_MAX)
        midi_fatal(format("Tick %u lies beyond the 32-bit millisecond range!", tick));
    return static_cast<int>(ms);
}

int clamp_to_int(double value)
{
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

struct sNewEvents
{
    std::vector<std::unique_ptr<cEvent>> m_events;
    std::set<int> m_controllers;
};

void make_note_events(const sMidiFile& file, sNewEvents& out)
{
    for (const sMidiTrack& track : file.m_tracks) {
        for (const sMidiRawEvent& raw : track.m_events) {
            std::unique_ptr<iMidiEvent> ev;
            switch (raw.m_status) {
            case 0x90:
                if (raw.m_data[1] == 0)
                    continue; // velocity 0: no event at all
                ev =
                    std::make_unique<cMETrigger>(iMidiEvent::NOTE_ON, raw.m_data[0], raw.m_data[1]);
                break;
            case 0x80:
                ev = std::make_unique<cMETrigger>(iMidiEvent::NOTE_OFF, raw.m_data[0],
                                                  raw.m_data[1]);
                break;
            case 0xB0:
                ev = std::make_unique<cMECtrlChange>(raw.m_data[0], raw.m_data[1]);
                out.m_controllers.insert(raw.m_data[0]);
                break;
            default:
                continue; // other messages and the other fifteen channels
            }
            ev->m_track = track.m_index;
            ev->m_time = tick_to_ms(file, raw.m_time);
            out.m_events.push_back(std::move(ev));
        }
    }
}

void shift_by_beats(sNewEvents& events, float beat_offset, double ms_per_beat)
{
    if (beat_offset == 0.0f)
        return;
    if (!(ms_per_beat > 0)) {
        std::cerr << "# WARNING: midi: no beat length in a time-code file, beat offset "
                  << beat_offset << " ignored" << std::endl;
        return;
    }
    const double shift = std::trunc(beat_offset * ms_per_beat);
    for (auto& ev : events.m_events)
        ev->m_time = clamp_to_int(ev->m_time + shift);
}

// One beat event per beat, the last one at or after the end of the song.
void make_beat_events(const sMidiFile& file, sNewEvents& out)
{
    if (file.smpte())
        return; // no beat length without ticks per quarter note
    const int length = tick_to_ms(file, file.m_max_tick);
    for (std::uint64_t i = 0;; ++i) {
        if (i == MAX_BEAT_EVENTS) {
            std::cerr << "# WARNING: midi: more than " << MAX_BEAT_EVENTS
                      << " beats, the rest of the song gets no beat events" << std::endl;
            break;
        }
        // i beats of m_ms_num / 1000 ms each (the tempo in us per quarter note)
        const std::uint64_t t = i * file.m_ms_num / 1000;
        if (t > INT_MAX)
            break;
        out.m_events.push_back(std::make_unique<cEvent>(EV_MIDI_BEAT, static_cast<int>(t)));
        if (!(static_cast<int>(t) < length))
            break;
    }
}

void describe(const sMidiFile& file, double ms_per_tick, double ms_per_beat, sMidiFileInfo& info)
{
    info.m_read = true;
    info.m_format = file.m_format;
    info.m_num_tracks = file.m_num_tracks;
    info.m_division = file.m_division;
    info.m_tempo_events = file.m_tempo_events;
    info.m_us_per_quarter = file.m_us_per_quarter;
    info.m_ms_per_tick = ms_per_tick;
    info.m_ms_per_beat = ms_per_beat;
    info.m_max_tick = file.m_max_tick;
    info.m_length_ms =
        static_cast<std::int64_t>(std::uint64_t(file.m_max_tick) * file.m_ms_num / file.m_ms_den);
    info.m_other_channel_notes.assign(file.m_tracks.size(), 0);
    for (std::size_t i = 0; i < file.m_tracks.size(); ++i) {
        for (const sMidiRawEvent& raw : file.m_tracks[i].m_events) {
            if ((raw.m_status & 0xF0) == 0x90 && raw.m_status != 0x90 && raw.m_data[1] != 0)
                ++info.m_other_channel_notes[i];
        }
    }
}

} // namespace

void cMidiLoader::load_from_memory(const unsigned char* data, std::size_t size, cEventQueue& queue,
                                   float beat_offset, sMidiFileInfo* info)
{
    sMidiFile file;
    file.m_data = data;
    file.m_size = data ? size : 0;
    read_header(file);
    locate_tracks(file);
    read_tracks(file);

    // Everything that can refuse the file runs before the queue is touched.
    sNewEvents made;
    make_note_events(file, made);

    const double ms_per_tick = file.m_sec_per_tick * 1000;
    const double ms_per_beat = 1 / (60 / (file.m_division * file.m_sec_per_tick)) * 60000;
    std::cout << "# midi: manual beat-offset correction: " << beat_offset << " ticks at "
              << ms_per_beat << "ms per beat"
              << " / " << ms_per_tick << std::endl;
    shift_by_beats(made, beat_offset, ms_per_beat);
    make_beat_events(file, made);
    if (info)
        describe(file, ms_per_tick, ms_per_beat, *info);

    for (auto& ev : made.m_events)
        queue.add_event(ev.release());
    for (const sMidiTrack& track : file.m_tracks)
        queue.m_track_names.push_back(track.m_name);
    queue.m_controllers.insert(queue.m_controllers.end(), made.m_controllers.begin(),
                               made.m_controllers.end());
    queue.sort();
}

void cMidiLoader::load(const std::string& file, cEventQueue& queue, float beat_offset,
                       sMidiFileInfo* info)
{
    std::string bytes;
    if (const char* refused = vnt::read_regular_file(file, MAX_FILE_BYTES, bytes)) {
        std::cerr << "# midi: Unable to open file '" << file << "'!\n";
        if (std::string(refused) == "not a regular file" || std::string(refused) == "too large")
            std::cerr << "# midi: refused: " << refused << " (at most " << MAX_FILE_BYTES
                      << " bytes)\n";
        std::cerr.flush();
        return;
    }
    load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), queue,
                     beat_offset, info);
}

void cMidiLoader::load(const std::string& file, cEventQueue* queue, float beat_offset)
{
    if (!queue) {
        std::cerr << "# midi: no event queue to add the events of '" << file << "' to!\n";
        return;
    }
    load(file, *queue, beat_offset);
}
