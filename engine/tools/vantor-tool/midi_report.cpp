// The "midi" verb: the header, the tempo the reader took and one row per track of what the
// demo makes of a Standard MIDI File, read by the engine's own MIDI reader.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "arguments.h"
#include "event_queue.h"
#include "format.h"
#include "input_files.h"
#include "midi_event.h"
#include "midi_loader.h"
#include "verbs.h"

namespace vantor_tool {

const char* const MIDI_USAGE =
    "usage: vantor-tool midi FILE [--offset BEATS]\n"
    "  The MIDI file as the demo reads it: header, the tempo the reader uses, then per track\n"
    "  its index (the number the scenes react to), name, note-ons on MIDI channel 1 (the only\n"
    "  channel the demo reads), lowest and highest note, first and last note-on in ms and the\n"
    "  controllers used; then the beat events and the song length.\n"
    "  --offset BEATS  shift notes and controllers as the demo's beat offset does (default 0)\n";

namespace {

struct sTrackSummary
{
    std::string name;
    int notes = 0; // note-ons the demo gets
    int low = -1;
    int high = -1;
    int first_ms = 0;
    int last_ms = 0;
    std::set<int> controllers;
    unsigned other_channels = 0; // note-ons on channels 2 to 16, which make no events
};

std::vector<sTrackSummary> summarise_tracks(const cEventQueue& queue, const sMidiFileInfo& info)
{
    std::vector<sTrackSummary> tracks(queue.m_track_names.size());
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        tracks[i].name = queue.m_track_names[i];
        if (i < info.m_other_channel_notes.size())
            tracks[i].other_channels = info.m_other_channel_notes[i];
    }
    for (const cEvent* ev : queue.events()) {
        const auto* midi = dynamic_cast<const iMidiEvent*>(ev);
        if (!midi || midi->m_track < 0 || std::size_t(midi->m_track) >= tracks.size())
            continue;
        sTrackSummary& t = tracks[std::size_t(midi->m_track)];
        if (const auto* ctrl = dynamic_cast<const cMECtrlChange*>(ev)) {
            t.controllers.insert(ctrl->m_controller);
            continue;
        }
        const auto* note = dynamic_cast<const cMETrigger*>(ev);
        if (!note || note->m_kind != iMidiEvent::NOTE_ON)
            continue;
        if (t.notes == 0) {
            t.low = t.high = note->m_note;
            t.first_ms = t.last_ms = note->m_time;
        }
        ++t.notes;
        t.low = std::min(t.low, note->m_note);
        t.high = std::max(t.high, note->m_note);
        t.first_ms = std::min(t.first_ms, note->m_time);
        t.last_ms = std::max(t.last_ms, note->m_time);
    }
    return tracks;
}

template <class... Args> void print_row(const char* fmt, Args... args)
{
    char row[512];
    std::snprintf(row, sizeof(row), fmt, args...);
    std::cout << row;
}

std::string short_number(double value)
{
    std::ostringstream os;
    os << value;
    return os.str();
}

std::string list_of(const std::set<int>& values)
{
    std::string out;
    for (int v : values)
        out += (out.empty() ? "" : ",") + std::to_string(v);
    return out.empty() ? "-" : out;
}

void print_header(const std::string& path, const sMidiFileInfo& info, float offset)
{
    std::cout << "file: " << path << "\n";
    std::cout << "header: format " << info.m_format << ", " << info.m_num_tracks << " tracks, ";
    if (info.m_division > 0) {
        std::cout << "division " << info.m_division << " ticks per quarter note\n";
    } else {
        const int frames = -static_cast<signed char>(info.m_division >> 8);
        std::cout << "division " << info.m_division << " (time code: " << frames
                  << " frames per second, " << (info.m_division & 0xff) << " ticks per frame)\n";
    }
    const double bpm = 60000000.0 / info.m_us_per_quarter;
    if (info.m_tempo_events == 0)
        std::cout << "tempo: none in the file, the reader's default ";
    else
        std::cout << "tempo: ";
    std::cout << info.m_us_per_quarter << " us per quarter note (" << short_number(bpm) << " bpm)";
    if (info.m_tempo_events > 0)
        std::cout << ", from " << info.m_tempo_events << " tempo event"
                  << (info.m_tempo_events == 1 ? "" : "s");
    std::cout << "\n";
    if (info.m_division > 0) {
        std::cout << "ms per beat: " << short_number(info.m_ms_per_beat) << "\n";
        std::cout << "ms per tick: " << short_number(info.m_ms_per_tick) << "\n";
        std::cout << "beat offset: " << short_number(offset) << " beats ("
                  << short_number(std::trunc(offset * info.m_ms_per_beat)) << " ms)\n";
    } else {
        std::cout << "ms per beat: none (time-code files have no beat grid)\n";
        std::cout << "ms per tick: " << short_number(info.m_ms_per_tick) << "\n";
    }
}

void print_tracks(const std::vector<sTrackSummary>& tracks)
{
    std::size_t name_width = 4;
    for (const sTrackSummary& t : tracks)
        name_width = std::max(name_width, std::min<std::size_t>(printable(t.name).size(), 40));
    print_row("\n%5s  %-*s  %8s  %4s  %4s  %9s  %9s  %s\n", "track", int(name_width), "name",
              "note-ons", "low", "high", "first ms", "last ms", "controllers");
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const sTrackSummary& t = tracks[i];
        std::string name = printable(t.name);
        if (name.size() > name_width)
            name = name.substr(0, name_width - 3) + "...";
        if (name.empty())
            name = "-";
        if (t.notes > 0) {
            print_row("%5zu  %-*s  %8d  %4d  %4d  %9d  %9d  %s\n", i, int(name_width), name.c_str(),
                      t.notes, t.low, t.high, t.first_ms, t.last_ms,
                      list_of(t.controllers).c_str());
        } else {
            print_row("%5zu  %-*s  %8d  %4s  %4s  %9s  %9s  %s\n", i, int(name_width), name.c_str(),
                      0, "-", "-", "-", "-", list_of(t.controllers).c_str());
        }
    }
}

void print_remarks(const std::vector<sTrackSummary>& tracks, const sMidiFileInfo& info)
{
    if (info.m_tempo_events > 1)
        std::cout << "# warning: " << info.m_tempo_events
                  << " tempo events; the demo times the whole song by the last one read\n";
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].other_channels > 0)
            std::cout << "# warning: track " << i << " has " << tracks[i].other_channels
                      << " note-ons on MIDI channels 2 to 16; the demo reads channel 1 only\n";
    }
}

bool parse_offset(const std::string& text, float& offset)
{
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(v) ||
        std::fabs(v) > 1e6f)
        return false;
    offset = v;
    return true;
}

} // namespace

int run_midi(const tArgs& args)
{
    const cArguments a(args, {}, {"--offset"});
    if (a.help()) {
        std::cout << MIDI_USAGE;
        return STATUS_OK;
    }
    if (!a.ok())
        return usage_error("midi", a.error(), MIDI_USAGE);
    if (a.files().size() != 1)
        return usage_error("midi", "one MIDI file expected", MIDI_USAGE);
    float offset = 0.0f;
    if (!parse_offset(a.value("--offset", "0"), offset))
        return usage_error("midi", "--offset wants a number of beats", MIDI_USAGE);

    const std::string path = resolve_input(a.files()[0]);
    cEventQueue queue;
    sMidiFileInfo info;
    cMidiLoader::load(path, queue, offset, &info);
    if (!info.m_read)
        return STATUS_FAILED; // the reader has said why
    std::cout << "\n";
    print_header(path, info, offset);
    const std::vector<sTrackSummary> tracks = summarise_tracks(queue, info);
    print_tracks(tracks);

    std::size_t beats = 0;
    for (const cEvent* ev : queue.events())
        beats += ev->m_id == EV_MIDI_BEAT;
    std::cout << "\nbeat events: " << beats << "\n";
    std::cout << "song length: " << info.m_length_ms << " ms (" << format_time(info.m_length_ms)
              << ")\n";
    print_remarks(tracks, info);
    return STATUS_OK;
}

} // namespace vantor_tool
