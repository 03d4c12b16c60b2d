// Capture outputs: PNG folder and WAV writer (see frame_sink.h).
#include "frame_sink.h"

#include <IL/il.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

void put_u16(std::ofstream& out, uint32_t value)
{
    const char bytes[2] = {char(value & 0xff), char((value >> 8) & 0xff)};
    out.write(bytes, 2);
}

void put_u32(std::ofstream& out, uint32_t value)
{
    put_u16(out, value & 0xffff);
    put_u16(out, value >> 16);
}

// Removes what an earlier capture left in the folder; returns how many files went.
int remove_earlier_capture(const fs::path& in_folder)
{
    int removed = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(in_folder, ec)) {
        if (entry.is_regular_file(ec) &&
            cPngFolderSink::is_capture_file(entry.path().filename().string()) &&
            fs::remove(entry.path(), ec))
            ++removed;
    }
    return removed;
}

} // namespace

bool write_wav(const std::string& in_path, const std::vector<int16_t>& in_pcm, int in_rate,
               int in_channels, std::string& out_error)
{
    const uint64_t data_bytes = uint64_t(in_pcm.size()) * 2u;
    if (in_rate <= 0 || in_channels <= 0 || data_bytes > 0xffffffffull - 36u) {
        out_error = "cannot write " + in_path + ": no valid sound to write";
        return false;
    }
    std::ofstream out(in_path, std::ios::binary | std::ios::trunc);
    if (!out) {
        out_error = "cannot write " + in_path;
        return false;
    }
    out.write("RIFF", 4);
    put_u32(out, uint32_t(36u + data_bytes));
    out.write("WAVEfmt ", 8);
    put_u32(out, 16);
    put_u16(out, 1); // PCM
    put_u16(out, uint32_t(in_channels));
    put_u32(out, uint32_t(in_rate));
    put_u32(out, uint32_t(in_rate * in_channels * 2));
    put_u16(out, uint32_t(in_channels * 2));
    put_u16(out, 16);
    out.write("data", 4);
    put_u32(out, uint32_t(data_bytes));
    std::vector<char> bytes(in_pcm.size() * 2u);
    for (size_t i = 0; i < in_pcm.size(); ++i) {
        const uint16_t u = uint16_t(in_pcm[i]);
        bytes[2 * i] = char(u & 0xff);
        bytes[2 * i + 1] = char(u >> 8);
    }
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.flush();
    if (!out) {
        out_error = "cannot write " + in_path;
        return false;
    }
    return true;
}

cPngFolderSink::~cPngFolderSink()
{
    if (m_image)
        ilDeleteImages(1, &m_image);
}

std::string cPngFolderSink::frame_name(long in_index)
{
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%06ld.png", in_index);
    return name;
}

bool cPngFolderSink::is_capture_file(const std::string& in_name)
{
    if (in_name == "audio.wav")
        return true;
    if (in_name.size() < 16 || in_name.compare(0, 6, "frame_") != 0 ||
        in_name.compare(in_name.size() - 4, 4, ".png") != 0)
        return false;
    const std::string digits = in_name.substr(6, in_name.size() - 10);
    return digits.size() >= 6 && digits.find_first_not_of("0123456789") == std::string::npos;
}

bool cPngFolderSink::open(int in_width, int in_height, int, std::string& out_error)
{
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    if (!fs::is_directory(m_folder, ec)) {
        out_error = "cannot make the folder " + m_folder;
        return false;
    }
    if (const int removed = remove_earlier_capture(m_folder))
        std::cout << "# capture: removed " << removed << " files of an earlier capture from "
                  << m_folder << std::endl;
    m_width = in_width;
    m_height = in_height;
    m_index = 0;
    ilGenImages(1, &m_image);
    return true;
}

void cPngFolderSink::set_audio(std::vector<int16_t> in_pcm, int in_rate)
{
    m_pcm = std::move(in_pcm);
    m_rate = in_rate;
}

bool cPngFolderSink::write(const unsigned char* in_rgb, std::string& out_error)
{
    const std::string path = (fs::path(m_folder) / frame_name(m_index)).string();
    ilBindImage(m_image);
    // The rows come bottom first, which is the lower-left origin the image library is set to;
    // it turns them upright in the file.
    ilTexImage(ILuint(m_width), ILuint(m_height), 1, 3, IL_RGB, IL_UNSIGNED_BYTE,
               const_cast<unsigned char*>(in_rgb));
    ilEnable(IL_FILE_OVERWRITE);
    if (ilSave(IL_PNG, path.c_str()) != IL_TRUE) {
        while (ilGetError() != IL_NO_ERROR) {
        }
        out_error = "cannot write " + path;
        return false;
    }
    ++m_index;
    return true;
}

bool cPngFolderSink::close(std::string& out_error)
{
    if (m_image) {
        ilDeleteImages(1, &m_image);
        m_image = 0;
    }
    if (m_pcm.empty())
        return true;
    return write_wav((fs::path(m_folder) / "audio.wav").string(), m_pcm, m_rate, 2, out_error);
}

std::string cPngFolderSink::describe() const
{
    return "PNG files in " + m_folder;
}
