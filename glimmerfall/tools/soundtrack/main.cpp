// The soundtrack generator: composes the song and writes the music, its MIDI file and the
// marker script into the data folder, the same bytes on every run.
#include "arrangement.h"
#include "loudness.h"
#include "marker_writer.h"
#include "midi_writer.h"
#include "mixer.h"
#include "mp3_writer.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const kUsage = "usage: soundtrack --out DIR [--seconds N] [--solo TRACK[,TRACK...]]";

struct sArgs
{
    std::string out;
    double seconds = 0.0; // 0: the whole song
    std::string solo;     // track names, comma-separated: only those play (for measuring them)
};

bool parse_args(int argc, char** argv, sArgs& args, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--seconds" || a == "--solo") && i + 1 >= argc) {
            error = a + " needs a value";
            return false;
        }
        if (a == "--out") {
            args.out = argv[++i];
        } else if (a == "--solo") {
            args.solo = argv[++i];
        } else if (a == "--seconds") {
            const char* text = argv[++i];
            char* end = nullptr;
            errno = 0;
            const double v = std::strtod(text, &end);
            if (errno != 0 || end == text || *end != '\0' || !(v > 0.0) || v > 3600.0) {
                error = std::string("--seconds wants a number of seconds above 0, not \"") + text +
                        "\"";
                return false;
            }
            args.seconds = v;
        } else {
            error = "unknown option \"" + a + "\"";
            return false;
        }
    }
    if (args.out.empty()) {
        error = "--out is required";
        return false;
    }
    return true;
}

// Writes through a temporary file and a rename, so a reader (or a parallel build) never sees
// half a file.
bool write_file(const fs::path& path, const void* data, std::size_t size)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const fs::path tmp =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(getpid()));
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), std::streamsize(size));
        if (!out) {
            std::cerr << "## ERROR: soundtrack: cannot write \"" << tmp.string() << "\"\n";
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, path, ec);
    if (ec) {
        std::cerr << "## ERROR: soundtrack: cannot write \"" << path.string()
                  << "\": " << ec.message() << "\n";
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace soundtrack;
    sArgs args;
    std::string error;
    if (!parse_args(argc, argv, args, error)) {
        std::cerr << "## ERROR: soundtrack: " << error << "\n" << kUsage << "\n";
        return 2;
    }

    sSong song = compose_song();
    if (!args.solo.empty()) {
        const std::string list = "," + args.solo + ",";
        std::size_t found = 0;
        for (std::size_t i = 1; i < song.tracks.size(); ++i) {
            if (list.find("," + song.tracks[i].name + ",") != std::string::npos)
                ++found;
            else
                song.tracks[i].notes.clear();
        }
        if (found == 0) {
            std::cerr << "## ERROR: soundtrack: no track \"" << args.solo << "\"\n"
                      << kUsage << "\n";
            return 2;
        }
    }
    const std::vector<uint8_t> midi = write_midi(song);
    const std::string markers = write_markers(song);

    const std::size_t limit = std::size_t(args.seconds * kSampleRate);
    const sStereo mix = mix_song(song, limit);
    std::cout << "# soundtrack: " << double(mix.size()) / kSampleRate << " s, "
              << integrated_loudness(mix) << " LUFS, peak " << peak_dbfs(mix) << " dBFS\n";
    const std::vector<uint8_t> mp3 = encode_mp3(mix, song.title, error);
    if (mp3.empty()) {
        std::cerr << "## ERROR: soundtrack: " << error << "\n";
        return 1;
    }

    const fs::path out(args.out);
    const bool ok = write_file(out / "music" / "goa3_3.mid", midi.data(), midi.size()) &&
                    write_file(out / "script" / "markers.txt", markers.data(), markers.size()) &&
                    write_file(out / "music" / "goa3_4_master.mp3", mp3.data(), mp3.size());
    return ok ? 0 : 1;
}
