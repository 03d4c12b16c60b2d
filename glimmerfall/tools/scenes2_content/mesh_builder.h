// Accumulates triangles with normals and texture coordinates, grouped into material ranges,
// and hands them to a cMeshObj for the compressed mesh writer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class cMeshObj;

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

class cMeshBuilder
{
public:
    // Starts a new material range; triangles added from now on use `material`.
    void begin_material(const sMaterialSpec& material);
    uint32_t vertex(const tVec3& pos, const tVec3& normal, double u, double v);
    void triangle(uint32_t a, uint32_t b, uint32_t c);
    // A flat quad a-b-c-d (counter-clockwise seen from its front) with its own four vertices.
    void quad(const tVec3& a, const tVec3& b, const tVec3& c, const tVec3& d,
              const std::array<double, 8>& uv);

    size_t vertex_count() const { return m_pos.size() / 3; }
    size_t triangle_count() const { return m_elem.size() / 3; }
    // Copies everything into `mesh`: positions, normals, texture coordinates, indices and,
    // when materials were begun, the ranges and the material table.
    void fill(cMeshObj& mesh) const;
    // Writes the mesh; prints the reason and returns false on failure.
    bool save(const std::string& path) const;

private:
    std::vector<float> m_pos;
    std::vector<float> m_norm;
    std::vector<float> m_tex;
    std::vector<uint32_t> m_elem;
    std::vector<uint32_t> m_range_starts; // first index entry of every material range
    std::vector<sMaterialSpec> m_materials;
};

} // namespace content
