// Test media (see test_media.h).
#include "support/test_media.h"

#include <lame/lame.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace vnt_test {

bool write_silent_mp3(const std::string& path, int ms)
{
    const int rate = 44100;
    const int frames = rate * ms / 1000;
    std::vector<short> pcm(size_t(frames) * 2, 0);
    std::vector<unsigned char> mp3(size_t(frames) * 2 + 8192);
    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, rate);
    lame_set_num_channels(gf, 2);
    lame_set_brate(gf, 128);
    lame_set_bWriteVbrTag(gf, 0);
    if (lame_init_params(gf) != 0) {
        lame_close(gf);
        return false;
    }
    int len = lame_encode_buffer_interleaved(gf, pcm.data(), frames, mp3.data(), int(mp3.size()));
    len += lame_encode_flush(gf, mp3.data() + len, int(mp3.size()) - len);
    lame_close(gf);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), len);
    return bool(out);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_text(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

std::string temp_dir(const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("vnt_" + name + "_" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    return dir.string();
}

} // namespace vnt_test
