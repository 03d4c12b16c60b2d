// Whole-file reads (see file_read.h).
#include "file_read.h"

#include <filesystem>
#include <fstream>

namespace vnt {

const char* read_regular_file(const std::string& path, std::size_t max_bytes, std::string& bytes)
{
    bytes.clear();
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return "missing";
    if (!std::filesystem::is_regular_file(status))
        return "not a regular file";
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return "unreadable";
    if (size > max_bytes)
        return "too large";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "unreadable";
    // Read in pieces up to one byte past the cap, so a file that grew since its size was
    // taken is still refused.
    char piece[65536];
    while (in && bytes.size() <= max_bytes) {
        in.read(piece, std::streamsize(sizeof(piece)));
        bytes.append(piece, std::size_t(in.gcount()));
    }
    if (in.bad())
        return "unreadable";
    if (bytes.size() > max_bytes) {
        bytes.clear();
        return "too large";
    }
    return nullptr;
}

} // namespace vnt
