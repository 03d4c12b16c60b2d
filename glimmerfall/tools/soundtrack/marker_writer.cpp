// Marker script writer (see marker_writer.h).
#include "marker_writer.h"

#include "song.h"

#include <cstdio>
#include <sstream>

namespace soundtrack {

namespace {

int marker_ms(const sMarker& m)
{
    return m.ms >= 0 ? m.ms : ms_of_tick(m.tick);
}

} // namespace

std::string format_marker_time(int ms)
{
    if (ms < 0)
        ms = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

std::string write_markers(const sSong& song)
{
    std::ostringstream out;
    out << "# " << song.title << ": marks of the soundtrack, one \"<token> <h>:<mm>:<ss>,<ms>\" "
        << "per line.\n";
    const double bar_ms = seconds_per_tick() * kTicksPerBar * 1000.0;
    char tempo[128];
    std::snprintf(tempo, sizeof tempo,
                  "# %.6g beats per minute in 4/4: a bar lasts %.6g ms, eight bars %.6g s.\n",
                  4.0 * 60000.0 / bar_ms, bar_ms, 8.0 * bar_ms / 1000.0);
    out << tempo;
    out << "# Made by the soundtrack generator together with the music and its MIDI file.\n";

    std::size_t next_section = 0;
    for (const sMarker& m : song.markers) {
        const int ms = marker_ms(m);
        while (next_section < song.sections.size() &&
               tick_of_bar(song.sections[next_section].first_bar) <= m.tick) {
            const sSection& s = song.sections[next_section];
            out << "#\n# bar " << s.first_bar << ", " << s.bars << " bars: " << s.name;
            if (!s.comment.empty())
                out << ": " << s.comment;
            out << "\n";
            ++next_section;
        }
        if (!m.comment.empty())
            out << "# " << m.comment << "\n";
        out << m.token << " " << format_marker_time(ms) << "\n";
    }
    return out.str();
}

} // namespace soundtrack
