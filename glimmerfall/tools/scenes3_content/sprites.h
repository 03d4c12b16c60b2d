// The soft light sprite of the cave's glows and spores.
#pragma once

#include <string>

namespace content {

bool write_sprites(const std::string& data_dir, std::string& error);

} // namespace content
