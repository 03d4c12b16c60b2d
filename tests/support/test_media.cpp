// Test media (see test_media.h).
#include "support/test_media.h"

#include <lame/lame.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace vnt_test {

bool write_mp3(const std::string& path, const std::vector<short>& pcm, int rate)
{
    const int frames = int(pcm.size() / 2);
    std::vector<unsigned char> mp3(pcm.size() * 2 + 8192);
    lame_global_flags* gf = lame_init();
    lame_set_in_samplerate(gf, rate);
    lame_set_out_samplerate(gf, rate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, STEREO);
    lame_set_brate(gf, 256);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) != 0) {
        lame_close(gf);
        return false;
    }
    int len = lame_encode_buffer_interleaved(gf, const_cast<short*>(pcm.data()), frames, mp3.data(),
                                             int(mp3.size()));
    len += lame_encode_flush(gf, mp3.data() + len, int(mp3.size()) - len);
    // The tag takes the place of the first frame, which the encoder kept free for it.
    unsigned char tag[4096];
    std::copy_n(tag, lame_get_lametag_frame(gf, tag, sizeof(tag)), mp3.begin());
    lame_close(gf);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), len);
    return bool(out);
}

bool write_silent_mp3(const std::string& path, int ms)
{
    return write_mp3(path, std::vector<short>(size_t(44100 * ms / 1000) * 2, 0), 44100);
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
