// Generates the engine's own pictures: the checker tiled behind a scene drawn on its own.
// Usage: base_textures ASSET_DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "image_writer.h"

namespace {

// 32x32 texels of 16-texel squares in two greys, tiled one texel per pixel.
assets::sImage checker()
{
    assets::sImage image(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool light = ((x / 16) + (y / 16)) % 2 == 0;
            const float v = light ? 0.42f : 0.30f;
            image.set(x, y, v, v, v, 1.0f);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: base_textures ASSET_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(data + "/textures", ec);
    if (!assets::write_image(data + "/textures/checker.jpg", checker())) {
        std::fprintf(stderr, "## ERROR: cannot write %s/textures/checker.jpg\n", data.c_str());
        return 1;
    }
    return 0;
}
