// Writes the meshes and pictures of the tunnel, kaleidoscope, spike, sphere, op-art and gate
// scenes into the data folder. Usage: scenes1_content DATA_DIR
#include <filesystem>
#include <iostream>
#include <string>

#include "image_writer.h"
#include "models.h"
#include "textures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: scenes1_content DATA_DIR" << std::endl;
        return 2;
    }
    const std::string data = argv[1];
    bool ok = true;
    for (const content::sModel& model : content::models()) {
        const std::string path = data + "/" + model.path;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        ok = model.build().save(path) && ok;
    }
    for (const content::sTexture& texture : content::textures()) {
        const std::string path = data + "/" + texture.path;
        if (!assets::write_image(path, texture.build())) {
            std::cerr << "## ERROR: cannot write " << path << std::endl;
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
