// The mesh builder every asset generator writes through: its material-range rules, and the
// lists it fills are the ones the loader reads back from the written file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "mesh_files/bzobj/bzobj_builder.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"

namespace {

cMaterial_GL named(const char* name)
{
    cMaterial_GL m;
    m.m_name = name;
    return m;
}

void add_triangles(cBobjBuilder& b, int count)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t a = b.vertex({0, 0, 0}, {0, 0, 1}, 0, 0);
        b.vertex({1, 0, 0}, {0, 0, 1}, 1, 0);
        b.vertex({0, 1, 0}, {0, 0, 1}, 0, 1);
        b.triangle(a, a + 1, a + 2);
    }
}

std::vector<std::string> names(const cMeshObj& mesh)
{
    std::vector<std::string> out;
    for (const cMaterial_GL& m : mesh.m_materials)
        out.push_back(m.m_name);
    return out;
}

// The builder's lists must equal what the loader reads back from its file.
void expect_round_trip(const cBobjBuilder& b, const cMeshObj& filled)
{
    const std::string path = "/tmp/vnt_builder_" + std::to_string(getpid()) + ".bzobj";
    std::string error;
    ASSERT_TRUE(b.save(path, error)) << error;
    cMeshObj loaded;
    bobj_load_compressed(loaded, path);
    std::remove(path.c_str());
    auto lists = [](const cMeshObj& m) {
        return std::tuple(m.m_flags, m.m_pos, m.m_elem, m.m_matranges, names(m));
    };
    EXPECT_EQ(lists(loaded), lists(filled));
}

using tRanges = std::vector<tMatRange>;

TEST(BobjBuilder, MaterialRangesFollowOneRuleAndReadBackAsWritten)
{
    // A material that gets no triangle gives way to the next; triangles before the first
    // material take it; one begun after the last triangle is not written.
    cBobjBuilder b;
    add_triangles(b, 1);
    b.begin_material(named("first"));
    add_triangles(b, 1);
    b.begin_material(named("skipped"));
    b.begin_material(named("second"));
    add_triangles(b, 2);
    b.begin_material(named("unused"));
    cMeshObj mesh;
    b.fill(mesh);
    EXPECT_EQ(mesh.m_matranges, (tRanges{{0, 0}, {6, 1}, {12, -1}}));
    EXPECT_EQ(names(mesh), (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    expect_round_trip(b, mesh);

    // Appending: the other's ranges follow on, an empty last one here gives way.
    cBobjBuilder other;
    other.begin_material(named("third"));
    add_triangles(other, 1);
    b.append(other);
    b.fill(mesh);
    EXPECT_EQ(mesh.m_matranges, (tRanges{{0, 0}, {6, 1}, {12, 2}, {15, -1}}));
    EXPECT_EQ(names(mesh), (std::vector<std::string>{"first", "second", "third"}));
    expect_round_trip(b, mesh);

    // Without materials: one range over everything and no table.
    cBobjBuilder plain;
    add_triangles(plain, 2);
    plain.fill(mesh);
    EXPECT_EQ(mesh.m_matranges, (tRanges{{0, 0}, {6, -1}}));
    EXPECT_TRUE(mesh.m_materials.empty());
    EXPECT_FALSE(mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    expect_round_trip(plain, mesh);
}

} // namespace
