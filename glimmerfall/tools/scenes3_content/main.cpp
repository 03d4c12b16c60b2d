// Writes the content of the mushroom cave, the Ganesh sculpture and the particle field: meshes,
// lightmaps, textures and camera paths. Usage: scenes3_content DATA_DIR
#include <cstdio>
#include <string>

#include "cave.h"
#include "ganesh.h"
#include "sprites.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: scenes3_content DATA_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    std::string error;
    if (!content::cCave().write(data, error) || !content::write_ganesh(data, error) ||
        !content::write_sprites(data, error)) {
        std::fprintf(stderr, "## ERROR: scenes3_content: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
