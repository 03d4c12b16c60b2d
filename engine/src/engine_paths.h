// Where the engine finds its own files: the assets its build generates (the overlay font, the
// checker texture, the mirror sheets) and its shaders. Both folders are fixed when the engine is
// built; VANTOR_ASSET_DIR and VANTOR_SHADER_DIR in the environment point elsewhere (an engine
// moved or installed after its build).
#pragma once

#include <string>

namespace vnt {

std::string engine_asset_dir();
std::string engine_shader_dir();

} // namespace vnt
