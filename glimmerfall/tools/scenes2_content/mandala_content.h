// Content of the mandala scene: four textured ring planes, the wide bead circle, the slice
// and string pictures and the three colour-correction lookups.
#pragma once

#include <string>

namespace content {

// Writes into `data_dir`/models and `data_dir`/textures; false on the first failure.
bool write_mandala_content(const std::string& data_dir);

} // namespace content
