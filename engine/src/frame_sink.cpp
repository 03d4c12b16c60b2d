// Capture outputs: PNG folder and WAV writer (see frame_sink.h).
#include "frame_sink.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
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

void put_u32_be(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((unsigned char)(value >> shift));
}

void put_chunk(std::vector<unsigned char>& out, const char* in_type, const unsigned char* in_data,
               size_t in_size)
{
    put_u32_be(out, uint32_t(in_size));
    const size_t type_at = out.size();
    out.insert(out.end(), in_type, in_type + 4);
    out.insert(out.end(), in_data, in_data + in_size);
    const uLong crc = crc32(0L, out.data() + type_at, uInt(4 + in_size));
    put_u32_be(out, uint32_t(crc));
}

// The rows top first, each behind its filter byte: the difference to the row above ("up"),
// which costs one subtraction a byte and suits rendered pictures' smooth areas.
void filter_rows(const unsigned char* in_rgb, int in_width, int in_height,
                 std::vector<unsigned char>& out_rows)
{
    const size_t stride = size_t(in_width) * 3u;
    out_rows.resize((stride + 1u) * size_t(in_height));
    unsigned char* out = out_rows.data();
    for (int y = 0; y < in_height; ++y) {
        const unsigned char* row = in_rgb + stride * size_t(in_height - 1 - y);
        *out++ = y == 0 ? 0 : 2;
        if (y == 0) {
            std::memcpy(out, row, stride);
        } else {
            const unsigned char* above = row + stride; // bottom row first in memory
            for (size_t i = 0; i < stride; ++i)
                out[i] = (unsigned char)(row[i] - above[i]);
        }
        out += stride;
    }
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

bool encode_png(const unsigned char* in_rgb, int in_width, int in_height,
                std::vector<unsigned char>& out_png)
{
    if (in_width <= 0 || in_height <= 0)
        return false;
    std::vector<unsigned char> rows;
    filter_rows(in_rgb, in_width, in_height, rows);

    z_stream stream = {};
    // The fastest level: a capture of several thousand frames is bound by this, and the files
    // are about a quarter larger than the image library's (measured on a textured 3D scene).
    if (deflateInit(&stream, Z_BEST_SPEED) != Z_OK)
        return false;
    std::vector<unsigned char> packed(deflateBound(&stream, uLong(rows.size())));
    stream.next_in = rows.data();
    stream.avail_in = uInt(rows.size());
    stream.next_out = packed.data();
    stream.avail_out = uInt(packed.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (!done)
        return false;

    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    out_png.assign(signature, signature + 8);
    std::vector<unsigned char> header;
    put_u32_be(header, uint32_t(in_width));
    put_u32_be(header, uint32_t(in_height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filters, no interlace
    put_chunk(out_png, "IHDR", header.data(), header.size());
    put_chunk(out_png, "IDAT", packed.data(), packed.size());
    put_chunk(out_png, "IEND", nullptr, 0);
    return true;
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
    if (!encode_png(in_rgb, m_width, m_height, m_png)) {
        out_error = "cannot compress frame " + std::to_string(m_index);
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(m_png.data(), 1, m_png.size(), file) == m_png.size();
    if (file && std::fclose(file) != 0)
        written = false; // a full disk may only show here
    if (!written) {
        out_error = "cannot write " + path;
        return false;
    }
    ++m_index;
    return true;
}

bool cPngFolderSink::close(std::string& out_error)
{
    if (m_pcm.empty())
        return true;
    return write_wav((fs::path(m_folder) / "audio.wav").string(), m_pcm, m_rate, 2, out_error);
}

std::string cPngFolderSink::describe() const
{
    return "PNG files in " + m_folder;
}
