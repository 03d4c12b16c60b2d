// The engine's own folders (see engine_paths.h).
#include "engine_paths.h"

#include <cstdlib>

#ifndef VANTOR_ASSET_DIR
#error "VANTOR_ASSET_DIR names the folder of the engine's generated assets"
#endif
#ifndef VANTOR_SHADER_DIR
#error "VANTOR_SHADER_DIR names the folder of the engine's shaders"
#endif

namespace {

std::string from_environment(const char* in_name, const char* in_built)
{
    const char* value = std::getenv(in_name);
    return value && *value ? value : in_built;
}

} // namespace

namespace vnt {

std::string engine_asset_dir()
{
    return from_environment("VANTOR_ASSET_DIR", VANTOR_ASSET_DIR);
}

std::string engine_shader_dir()
{
    return from_environment("VANTOR_SHADER_DIR", VANTOR_SHADER_DIR);
}

} // namespace vnt
