// Reader of the compressed binary mesh format (".bzobj"): a zlib stream holding counts, vertex
// lists, delta-coded index planes, material change markers and the material table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class cMeshObj;

class BzObjLoader
{
public:
    // A new mesh filled from the file `name` (found through the search paths), its material
    // textures loaded; not yet uploaded. Missing or damaged files end the program.
    static cMeshObj* create(const std::string& name);
};

// Reads the file at `path` and parses it into `mesh` (no OpenGL needed). An unreadable file
// ends the program with -1, a stream zlib refuses with 1, a damaged payload with -1.
void bobj_load_compressed(cMeshObj& mesh, const std::string& path);
// The same on the file's bytes; `source` names them in messages.
void bobj_load_compressed(cMeshObj& mesh, const uint8_t* bytes, size_t size,
                          const std::string& source);
// Parses a decompressed payload into `mesh`; every read is bounded by `size`.
void bobj_parse_payload(cMeshObj& mesh, const uint8_t* payload, size_t size,
                        const std::string& source);
