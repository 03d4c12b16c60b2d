// Material library reader (see mtl_loader.h).
#include "mesh_files/obj/mtl_loader.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>

#include "mesh_files/obj/text_cursor.h"

namespace {

using tTokens = std::vector<std::string_view>;

// "K? r g b" sets the first three components; a single value stands for all three.
void read_colour(const tTokens& tokens, float* colour)
{
    float values[3];
    int count = 0;
    for (size_t i = 1; i < tokens.size() && count < 3; ++i) {
        if (!vnt::parse_number(tokens[i], values[count]))
            break;
        ++count;
    }
    if (count == 0)
        return;
    for (int c = 0; c < 3; ++c)
        colour[c] = values[count == 3 ? c : 0];
}

void read_float(const tTokens& tokens, float& value)
{
    float v;
    if (tokens.size() > 1 && vnt::parse_number(tokens[1], v))
        value = v;
}

// Map statements may carry options before the file name ("map_Kd -s 2 2 1 leaf.png"): the
// name is the last token.
std::string map_name(const tTokens& tokens)
{
    return tokens.size() > 1 ? std::string(tokens.back()) : std::string();
}

} // namespace

bool cMtlLoader::load_file(const std::string& path, std::vector<cMaterial_GL>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "## ERROR: Couldn't open " << path << std::endl;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    parse(text.data(), text.size(), path, out);
    return true;
}

void cMtlLoader::parse(const char* text, size_t size, const std::string& file,
                       std::vector<cMaterial_GL>& out)
{
    vnt::cTextCursor cursor(text, size);
    cMaterial_GL* current = nullptr;
    std::string_view line;
    while (cursor.next_line(line)) {
        const tTokens tokens = vnt::split_tokens(line);
        if (tokens.empty() || tokens[0].front() == '#')
            continue;
        const std::string_view key = tokens[0];
        if (key == "newmtl") {
            out.emplace_back();
            current = &out.back();
            current->m_name = tokens.size() > 1 ? std::string(tokens[1]) : std::string();
            continue;
        }
        if (!current) {
            std::cerr << "## ERROR in " << __FILE__ << " line " << __LINE__
                      << ": no 'newmtl' entry was found previous to line" << cursor.line_number()
                      << std::endl;
            continue;
        }
        if (key == "Ka") {
            read_colour(tokens, current->m_ambient);
        } else if (key == "Kd") {
            read_colour(tokens, current->m_diffuse);
        } else if (key == "Ks") {
            read_colour(tokens, current->m_specular);
        } else if (key == "Ns") {
            read_float(tokens, current->m_shininess);
        } else if (key == "illum") {
            long model;
            if (tokens.size() > 1 && vnt::parse_number(tokens[1], model) && model >= INT32_MIN &&
                model <= INT32_MAX)
                current->m_illum = int(model);
        } else if (key == "d") {
            read_float(tokens, current->m_dissolve);
        } else if (key == "Tf") {
            float tf[3] = {current->m_dissolve, current->m_dissolve, current->m_dissolve};
            read_colour(tokens, tf);
            current->m_dissolve = (tf[0] + tf[1] + tf[2]) / 3.0f;
        } else if (key == "Tr") {
            // transparency is taken from "d" and "Tf" only
        } else if (key == "Ni") {
            read_float(tokens, current->m_optical_density);
        } else if (key == "map_Ka") {
            current->m_tex_ambient = map_name(tokens);
        } else if (key == "map_Kd") {
            current->m_tex_diffuse = map_name(tokens);
        } else if (key == "map_Ks") {
            current->m_tex_specular = map_name(tokens);
        } else if (key == "bump" || key == "map_bump" || key == "map_Bump") {
            current->m_tex_bump = map_name(tokens);
        } else if (key == "map_d") {
            current->m_tex_transparency = map_name(tokens);
        } else {
            std::cerr << "# warning: unknown token \"" << key << "\"" << std::endl;
            std::cerr << "# warning: unknown token encountered in \"" << file << "\" line "
                      << cursor.line_number() << ". Skipping..." << std::endl;
        }
    }
}
