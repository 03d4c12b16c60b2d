// The pictures of the sphere, spike and logo scenes.
#pragma once

#include <vector>

#include "image_writer.h"

namespace content {

struct sTexture
{
    const char* path; // below the data folder
    assets::sImage (*build)();
};

// Every picture this generator writes, in a fixed order.
const std::vector<sTexture>& textures();

} // namespace content
