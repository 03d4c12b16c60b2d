// Finding the files an author names: as given, or by bare name in a production's data folders
// and the engine's assets, and the files a mesh refers to beside it.
#pragma once

#include <string>

namespace vantor_tool {

// Registers the data folders named by VANTOR_DATA_PATH (':' between them), then the engine's
// asset folder, each with its subfolders and the scenes' model folders under "models", with the
// engine's search paths (folders that do not exist are left out).
void init_search_paths();
// `name` when it names a readable file; else, for a bare file name, the first data folder that
// holds it; else `name` unchanged (the loader then reports it as missing).
std::string resolve_input(const std::string& name);
// The base name of `name` (after the last "/" or "\\") in the demo's data folders, where the
// demo looks for textures; "" when none holds it.
std::string find_in_data(const std::string& name);
// A file named inside `owner` (a material library, a texture), looked for beside `owner` as
// written and by its base name; "" when not there.
std::string find_beside(const std::string& name, const std::string& owner);
// Reads a whole file; false when it cannot be read.
bool read_whole_file(const std::string& path, std::string& bytes);

} // namespace vantor_tool
