// Smooth normals on a seamed mesh: the plain pair search against the spatial search, at 5 000
// and 50 000 triangles.
#include <benchmark/benchmark.h>

#include <cmath>

#include "mesh_files/mesh_obj.h"
#include "mesh_files/reference_normals.h"

namespace {

// A wavy sheet of about `triangles` triangles cut into strips of 10 rows, each strip with its
// own copies of its border vertices, as exporters leave texture seams.
void seamed_sheet(cMeshObj_data& mesh, int triangles)
{
    const int columns = 100;
    const int rows = triangles / (2 * columns);
    mesh.m_pos.clear();
    mesh.m_elem.clear();
    for (int strip = 0; strip * 10 < rows; ++strip) {
        const int first = strip * 10, last = std::min(rows, first + 10);
        const uint32_t base = uint32_t(mesh.m_pos.size() / 3);
        for (int r = first; r <= last; ++r) {
            for (int c = 0; c <= columns; ++c) {
                const float x = float(c) * 0.01f, y = float(r) * 0.01f;
                mesh.m_pos.insert(mesh.m_pos.end(), {x, y, 0.1f * std::sin(x * 7.0f + y * 3.0f)});
            }
        }
        for (int r = 0; r < last - first; ++r) {
            for (int c = 0; c < columns; ++c) {
                const uint32_t a = base + uint32_t(r * (columns + 1) + c);
                const uint32_t b = a + 1, d = a + uint32_t(columns) + 1, e = d + 1;
                mesh.m_elem.insert(mesh.m_elem.end(), {a, b, e, a, e, d});
            }
        }
    }
    mesh.m_norm.assign(mesh.m_pos.size(), 0.0f);
}

void BM_SmoothNormalsPairSearch(benchmark::State& state)
{
    cMeshObj_data mesh;
    seamed_sheet(mesh, int(state.range(0)));
    for (auto _ : state) {
        mesh_test::quadratic_smooth_normals(mesh);
        benchmark::DoNotOptimize(mesh.m_norm.data());
    }
    state.counters["triangles"] = double(mesh.m_elem.size() / 3);
}

void BM_SmoothNormalsSpatialSearch(benchmark::State& state)
{
    cMeshObj_data mesh;
    seamed_sheet(mesh, int(state.range(0)));
    for (auto _ : state) {
        smooth_normals(mesh);
        benchmark::DoNotOptimize(mesh.m_norm.data());
    }
    state.counters["triangles"] = double(mesh.m_elem.size() / 3);
}

} // namespace

BENCHMARK(BM_SmoothNormalsPairSearch)
    ->Arg(5000)
    ->Arg(50000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothNormalsSpatialSearch)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
