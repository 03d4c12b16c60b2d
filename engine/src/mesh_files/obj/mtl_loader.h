// Reader of Wavefront material libraries (".mtl") into OpenGL materials.
#pragma once

#include <string>
#include <vector>

#include "mesh_files/material.h"

class cMtlLoader
{
public:
    // Reads the library at `path` and appends its materials to `out`; false (with a message)
    // when the file cannot be opened.
    bool load_file(const std::string& path, std::vector<cMaterial_GL>& out);
    // Parses library text; `file` names it in messages. Unusable lines are reported and
    // skipped.
    void parse(const char* text, size_t size, const std::string& file,
               std::vector<cMaterial_GL>& out);
};
