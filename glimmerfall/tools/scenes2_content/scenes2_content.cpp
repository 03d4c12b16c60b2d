// Writes the content of the mandala, mandala cube, flower field, title and greetings scenes:
// meshes into <data>/models (the cube's into models/mandala_cube), pictures into
// <data>/textures. Usage: scenes2_content <data folder>
#include <iostream>
#include <string>

#include "cube_content.h"
#include "flower_content.h"
#include "mandala_content.h"
#include "text_content.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: scenes2_content <data folder>" << std::endl;
        return 2;
    }
    const std::string data = argv[1];
    if (!content::write_mandala_content(data) || !content::write_cube_content(data) ||
        !content::write_flower_content(data) || !content::write_text_content(data)) {
        std::cerr << "## ERROR: scenes2_content could not write its content into \"" << data << "\""
                  << std::endl;
        return 1;
    }
    return 0;
}
