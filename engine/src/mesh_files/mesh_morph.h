// A mesh that blends two meshes of equal vertex order on the GPU: the source draws as usual
// while the target's positions and normals reach "morph_shader" as texture-coordinate sets 3
// and 4; the shader's interpolation parameter is the weight.
#pragma once

#include <string>

#include "mesh_files/mesh_obj.h"

class cMeshMorph : public iMesh
{
public:
    // Fetches both meshes from the mesh manager (no smooth normals). Meshes whose vertex
    // counts differ, or a target without normals, cannot be blended: the error is reported
    // and the source is drawn unchanged.
    void load(const std::string& source, const std::string& target, bool clear,
              bool drop_materials);
    void draw() override;
    // Not supported: the two meshes are uploaded by the mesh manager.
    void upload(bool clear) override;

    iMesh* m_source = nullptr;    // drawn, owned by the mesh manager
    cMeshObj* m_target = nullptr; // feeds the shader, owned by the mesh manager
    bool shader_inited = false;   // set by the owner once "morph_shader" is registered
};
