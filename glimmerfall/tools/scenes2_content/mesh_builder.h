// Vector helpers and the quads of the mandala, flower, cube and text content, built through
// the engine's mesh builder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh_files/bzobj/bzobj_builder.h"

namespace content {

using tVec3 = std::array<double, 3>;

tVec3 add(const tVec3& a, const tVec3& b);
tVec3 sub(const tVec3& a, const tVec3& b);
tVec3 scale(const tVec3& a, double s);
tVec3 cross(const tVec3& a, const tVec3& b);
double dot(const tVec3& a, const tVec3& b);
tVec3 normalized(const tVec3& a);

// A material of the written mesh: colours and the diffuse map's file name ("" for none).
struct sMaterialSpec
{
    std::string name;
    std::string diffuse_map;
    std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    float dissolve = 1.0f;
};

// The material as the mesh file stores it.
cMaterial_GL material_of(const sMaterialSpec& material);

// The engine's mesh builder taking double-precision points, normals made unit length.
class cQuadBuilder : public cBobjBuilder
{
public:
    using cBobjBuilder::begin_material;
    void begin_material(const sMaterialSpec& material) { begin_material(material_of(material)); }
    uint32_t vertex(const tVec3& pos, const tVec3& normal, double u, double v);
    // A flat quad a-b-c-d (counter-clockwise seen from its front) with its own four vertices.
    void quad(const tVec3& a, const tVec3& b, const tVec3& c, const tVec3& d,
              const std::array<double, 8>& uv);

    // Writes the mesh; prints the reason and returns false on failure.
    bool save(const std::string& path) const;
};

} // namespace content
