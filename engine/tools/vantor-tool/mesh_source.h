// Loading a mesh file for the author tools with the engine's own loaders, without OpenGL: the
// lists are filled, nothing is uploaded and texture files are looked up, not loaded.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class cMeshObj;

namespace vantor_tool {

// What an OBJ file held before triangulation and conversion.
struct sObjSource
{
    std::size_t positions = 0;
    std::size_t texcoords = 0;
    std::size_t normals = 0;
    std::size_t faces = 0;    // faces kept by the parser
    std::size_t polygons = 0; // of those, faces of more than three corners
    // Material libraries named by "mtllib" and where they were found ("" when not).
    std::vector<std::pair<std::string, std::string>> libraries;
};

struct sMeshSource
{
    std::string path;
    bool obj = false; // else the compressed format
    std::size_t bytes = 0;
    sObjSource obj_source;
};

// Where the demo would find a texture a material names.
enum eTextureStatus
{
    TEX_IN_DATA,     // in the demo's data folders
    TEX_BESIDE_ONLY, // beside the mesh file, where the demo does not look
    TEX_MISSING,
};
eTextureStatus texture_status(const std::string& name, const std::string& mesh_path,
                              std::string& found);
const char* texture_status_text(eTextureStatus status);

// Loads `path` with the loader of its extension (".bzobj" or ".obj", as the mesh manager picks
// them). False, with a message, for any other extension; files the loaders refuse end the
// program with the loader's message and status.
bool load_mesh_file(const std::string& path, cMeshObj& mesh, sMeshSource& source);

// Number of material ranges that hold at least one triangle.
std::size_t count_ranges(const cMeshObj& mesh);

} // namespace vantor_tool
