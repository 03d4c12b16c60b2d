// Small media files the tests make for themselves: a silent MP3, a marker script.
#pragma once

#include <string>
#include <vector>

namespace vnt_test {

// Interleaved stereo samples at `rate` as an MP3 with a LAME tag, so that a gapless decoder gives
// back exactly as many samples; a silent one of `ms` milliseconds at 44100 Hz.
bool write_mp3(const std::string& path, const std::vector<short>& pcm, int rate);
bool write_silent_mp3(const std::string& path, int ms);
// Writes `text` to `path`.
bool write_text(const std::string& path, const std::string& text);
// The whole of a file, or "" when it cannot be read.
std::string read_file(const std::string& path);
// A fresh, empty temporary folder for this test process.
std::string temp_dir(const std::string& name);

} // namespace vnt_test
