// Finding the files an author names (see input_files.h).
#include "input_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine_paths.h"
#include "resource_path.h"

namespace fs = std::filesystem;

namespace vantor_tool {

namespace {

bool readable_file(const fs::path& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    std::ifstream probe(path, std::ios::binary);
    return probe.good();
}

bool is_bare_name(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

// The part after the last "/" or "\\" (exporters on Windows write backslashes).
std::string base_name(const std::string& name)
{
    const std::string::size_type cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

} // namespace

void init_search_paths()
{
    // A production's data folders first (VANTOR_DATA_PATH, separated by ':'), then the engine's
    // own assets.
    std::vector<fs::path> roots;
    if (const char* listed = std::getenv("VANTOR_DATA_PATH")) {
        std::string rest = listed;
        while (!rest.empty()) {
            const std::string::size_type colon = rest.find(':');
            if (colon != 0)
                roots.emplace_back(rest.substr(0, colon));
            rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
        }
    }
    roots.emplace_back(vnt::engine_asset_dir());
    std::error_code ec;
    cResourcePath* paths = cResourcePath::get_instance();
    std::vector<fs::path> dirs;
    for (const fs::path& data : roots) {
        for (const char* sub : {"", "models", "music", "textures", "script"})
            dirs.push_back((data / sub).lexically_normal());
        // The scenes add their own model folders ("models/<scene>"); they come last, by name.
        std::vector<fs::path> model_folders;
        for (const auto& entry : fs::directory_iterator(data / "models", ec)) {
            if (entry.is_directory(ec))
                model_folders.push_back(entry.path().lexically_normal());
        }
        std::sort(model_folders.begin(), model_folders.end());
        dirs.insert(dirs.end(), model_folders.begin(), model_folders.end());
    }
    for (const fs::path& dir : dirs) {
        if (fs::is_directory(dir, ec))
            paths->push_searchpath(dir.generic_string());
    }
}

std::string resolve_input(const std::string& name)
{
    if (readable_file(name) || !is_bare_name(name))
        return name;
    const std::string found = cResourcePath::get_instance()->get_fullpath(name);
    return found.empty() ? name : found;
}

std::string find_in_data(const std::string& name)
{
    const std::string base = base_name(name);
    if (base.empty())
        return std::string();
    for (const std::string& dir : cResourcePath::get_instance()->searchpaths()) {
        if (readable_file(dir + base))
            return dir + base;
    }
    return std::string();
}

std::string find_beside(const std::string& name, const std::string& owner)
{
    const fs::path folder = fs::path(owner).parent_path();
    const std::string base = base_name(name);
    if (base.empty())
        return std::string();
    // Exporters often write a folder part of their own machine: the base name counts too.
    for (const fs::path& candidate : {folder / name, folder / base}) {
        if (readable_file(candidate))
            return candidate.generic_string();
    }
    return std::string();
}

bool read_whole_file(const std::string& path, std::string& bytes)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace vantor_tool
