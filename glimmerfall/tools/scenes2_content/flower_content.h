// Content of the flower field: three light-flower meshes (stem, two leaves, a cup of petals and
// a glowing heart, standing on y = 0 and growing up +y) and the leaf picture they all use.
#pragma once

#include <string>

namespace content {

bool write_flower_content(const std::string& data_dir);

} // namespace content
