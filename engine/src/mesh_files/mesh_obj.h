// Static indexed triangle meshes: the CPU-side lists a loader fills, and the mesh object that
// uploads them into vertex buffers and draws them, per material range or in one call.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "mesh_files/material.h"
#include "mesh_files/vbo.h"

class iMeshType
{
public:
    static constexpr uint8_t T_DTEX_BIT = 1;       // texture coordinates present
    static constexpr uint8_t T_NORMALS_BIT = 2;    // normals present
    static constexpr uint8_t T_MATERIALS_BIT = 16; // draw per material range

    virtual ~iMeshType() = default;
    bool checktypebit(uint8_t bit) const { return (m_flags & bit) != 0; }

    uint8_t m_flags = 0;
};

class iMesh : public iMeshType
{
public:
    ~iMesh() override = default;
    virtual void draw() = 0;
    virtual void upload(bool clear) = 0;
};

// One material range: the first entry of m_elem it covers and the material number; the list
// ends with (size of m_elem, -1).
using tMatRange = std::pair<uint32_t, int32_t>;

class cMeshObj_data
{
public:
    virtual ~cMeshObj_data() = default;

    std::vector<float> m_pos;     // x y z per vertex
    std::vector<float> m_norm;    // x y z per vertex, empty without normals
    std::vector<float> m_tex0;    // u v per vertex, empty without texture coordinates
    std::vector<uint32_t> m_elem; // three vertex indices per triangle
    std::vector<tMatRange> m_matranges;
    std::vector<cMaterial_GL> m_materials; // addressed by material number
};

// Smooth vertex normals for `mesh` (run on request by the mesh manager). Vertices closer than
// 0.0001 count as one point, so seams share their normal; every triangle contributes its unit
// face normal once to each corner's coincident vertices; degenerate triangles contribute
// nothing, and vertices without a usable triangle keep a zero normal.
void smooth_normals(cMeshObj_data& mesh);

// The coincident vertices of every vertex index used by m_elem (sorted, itself included), in
// compressed rows: the list of vertex v is index[offset[v]] .. index[offset[v + 1]].
struct sCoincidence
{
    std::vector<uint32_t> offset;
    std::vector<uint32_t> index;
};
sCoincidence find_coincident_vertices(const cMeshObj_data& mesh);
// True when two positions (x y z) lie closer than 0.0001.
bool positions_coincide(const float* a, const float* b);
// Adds the face normals through `lists` and normalises; shared by both searches.
void accumulate_smooth_normals(cMeshObj_data& mesh, const sCoincidence& lists);

class cMeshObj : public iMesh, public cMeshObj_data
{
public:
    enum eVboKind
    {
        VBO_POS = 0,
        VBO_NORM = 1,
        VBO_TEX0 = 2,
        VBO_ELEM = 3
    };

    cMeshObj() = default;
    ~cMeshObj() override = default;

    // Uploads positions, normals, texture coordinates and elements, in that order; with `clear`
    // the CPU lists are emptied afterwards (the mesh still draws from its buffers).
    void upload(bool clear) override;
    void draw() override;
    // kind 0 positions, 1 normals, 2 texture coordinates, 3 elements; others end the program.
    cVBO* get_vbo(int kind);

    // Debug view: every vertex normal as a line of length `scale` (red where it is not of unit
    // length, faint white otherwise) with a black point at its tip.
    void draw_normals(float scale);

    // Number of indices the buffers hold.
    size_t get_element_count() const { return m_element_count; }
    size_t get_vertex_count() const { return m_vertex_count; }

private:
    void draw_ranges();

    cVBO m_vbo_pos{3};
    cVBO m_vbo_norm{3};
    cVBO m_vbo_tex0{2};
    cVBO m_vbo_elem{1};
    size_t m_element_count = 0; // kept at upload: a cleared mesh still knows what to draw
    size_t m_vertex_count = 0;
};
