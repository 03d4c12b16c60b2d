// The plain coincidence search the smooth normals were first written with: every pair of
// index-list entries is compared, so the cost grows with the square of the index count. Kept
// as the reference the fast search must agree with, and for the benchmark.
#pragma once

#include <algorithm>

#include "mesh_files/mesh_obj.h"

namespace mesh_test {

inline sCoincidence quadratic_coincident_vertices(const cMeshObj_data& mesh)
{
    uint32_t largest = 0;
    for (uint32_t i : mesh.m_elem)
        largest = std::max(largest, i);
    const size_t n = mesh.m_elem.empty() ? 0 : size_t(largest) + 1;
    std::vector<std::vector<uint32_t>> lists(n);
    const size_t m = mesh.m_elem.size();
    for (size_t a = 0; a < m; ++a) {
        const uint32_t va = mesh.m_elem[a];
        for (size_t b = a; b < m; ++b) {
            const uint32_t vb = mesh.m_elem[b];
            if (positions_coincide(&mesh.m_pos[size_t(va) * 3], &mesh.m_pos[size_t(vb) * 3])) {
                lists[va].push_back(vb);
                lists[vb].push_back(va);
            }
        }
    }
    sCoincidence out;
    out.offset.assign(n + 1, 0);
    for (size_t v = 0; v < n; ++v) {
        std::sort(lists[v].begin(), lists[v].end());
        lists[v].erase(std::unique(lists[v].begin(), lists[v].end()), lists[v].end());
        out.offset[v] = uint32_t(out.index.size());
        out.index.insert(out.index.end(), lists[v].begin(), lists[v].end());
    }
    out.offset[n] = uint32_t(out.index.size());
    return out;
}

inline void quadratic_smooth_normals(cMeshObj_data& mesh)
{
    accumulate_smooth_normals(mesh, quadratic_coincident_vertices(mesh));
}

} // namespace mesh_test
