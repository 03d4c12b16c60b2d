// Content of the mandala cube: the cube's faces and eight layers of petals on every face, each
// layer once folded onto the face ("in") and once opened out ("out") with the same vertices
// in the same order, plus their grey textures.
#pragma once

#include <string>

namespace content {

// Writes into `data_dir`/models/mandala_cube (textures in its tex_gray folder).
bool write_cube_content(const std::string& data_dir);

} // namespace content
