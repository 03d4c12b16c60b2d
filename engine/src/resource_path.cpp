// Resource search paths (see resource_path.h).
#include "resource_path.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool ends_in_separator(const std::string& s)
{
    return !s.empty() && (s.back() == '/' || s.back() == '\\');
}

// The part after the last "/" or "\".
std::string base_name(const std::string& file)
{
    const std::string::size_type cut = file.find_last_of("/\\");
    return cut == std::string::npos ? file : file.substr(cut + 1);
}

bool opens_for_reading(const std::string& file)
{
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(fs::path(file), ec))
        return false;
    std::ifstream probe(file, std::ios::binary);
    return probe.good();
}

void report(const char* where, const char* what, const std::string& name, const std::error_code& ec)
{
    std::cerr << "fatal - oops in " << where << " on " << what << " \"" << name
              << "\": " << ec.message() << std::endl;
}

} // namespace

void cResourcePath::push_searchpath(const std::string& path)
{
    std::string normal = path;
    std::error_code ec;
    try {
        normal = fs::path(path).lexically_normal().generic_string();
    } catch (const std::exception&) {
        ec = std::make_error_code(std::errc::invalid_argument);
    }
    if (!ec && !fs::exists(fs::path(normal), ec) && !ec)
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    if (ec)
        report("cResourcePath::push_searchpath", "path", path, ec);
    // lexically_normal keeps a trailing "/" as "dir/" but turns "." into "."; either way the
    // stored entry ends in exactly one separator.
    if (normal.empty())
        normal = ".";
    if (!ends_in_separator(normal))
        normal += "/";
    m_searchpaths.push_back(normal);
}

std::string cResourcePath::get_fullpath(const std::string& file) const
{
    if (opens_for_reading(file)) {
        std::error_code ec;
        fs::path full = fs::absolute(fs::path(file), ec);
        if (ec) {
            report("cResourcePath::get_fullpath", "file", file, ec);
            return file;
        }
        return full.lexically_normal().generic_string();
    }
    const std::string base = base_name(file);
    if (base.empty())
        return std::string();
    for (const std::string& dir : m_searchpaths) {
        const std::string candidate = dir + base;
        std::error_code ec;
        if (fs::exists(fs::path(candidate), ec))
            return candidate;
    }
    return std::string();
}
