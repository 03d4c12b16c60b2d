// Builds a triangle mesh for the compressed mesh writer: vertices with normals and texture
// coordinates, triangles, and material ranges. Every asset generator goes through it, so the
// ranges of every file follow the same rules:
//  - a material begun while the previous one holds no triangle takes that one's place;
//  - triangles added before the first material belong to the first material;
//  - the file's table holds the materials of the ranges, in range order, and nothing else;
//  - a mesh without materials has one range over all its triangles and no table.
// The lists it fills are the ones the loader reads back from the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec3.h"
#include "mesh_files/material.h"

class cMeshObj;

class cBobjBuilder
{
public:
    // Triangles added from now on use `in_material`.
    void begin_material(const cMaterial_GL& in_material);
    uint32_t vertex(const Vec3<float>& in_pos, const Vec3<float>& in_normal, float in_u,
                    float in_v);
    void triangle(uint32_t in_a, uint32_t in_b, uint32_t in_c);
    // Adds another builder's vertices, triangles and material ranges after this one's.
    void append(const cBobjBuilder& in_other);

    size_t vertex_count() const { return m_pos.size() / 3; }
    size_t triangle_count() const { return m_elem.size() / 3; }
    // The lists (x y z, x y z, u v per vertex; three indices per triangle), for shapes that move
    // or turn what they built.
    const std::vector<float>& positions() const { return m_pos; }
    const std::vector<float>& normals() const { return m_norm; }
    const std::vector<uint32_t>& elements() const { return m_elem; }
    std::vector<float>& positions() { return m_pos; }
    std::vector<float>& normals() { return m_norm; }
    std::vector<uint32_t>& elements() { return m_elem; }

    // The mesh as the loader gives it back from the written file.
    void fill(cMeshObj& out_mesh) const;
    // Writes the compressed file; false with the reason in `out_error` when it cannot.
    bool save(const std::string& in_path, std::string& out_error) const;

private:
    std::vector<float> m_pos;
    std::vector<float> m_norm;
    std::vector<float> m_tex;
    std::vector<uint32_t> m_elem;
    std::vector<uint32_t> m_range_starts;  // first index entry of each material's range
    std::vector<cMaterial_GL> m_materials; // one per range
};
