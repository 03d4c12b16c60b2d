// The compressed binary mesh format: decoding of every block, the writer/reader round trip,
// and damaged files (truncated, lying counts, bad indices, markers and names) rejected without
// reading outside the data.
#include <gtest/gtest.h>

#include <tuple>

#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/mesh_test_util.h"

using mesh_test::sBytes;
using ::testing::ExitedWithCode;

namespace {

using tPlanes = std::vector<std::vector<int32_t>>;

// A payload of 8 vertices (position x = vertex number, normal and texture values counting in
// steps of 0.25 and 0.125), the given index planes and markers, and `materials` records.
std::vector<uint8_t> payload(uint8_t flags, const tPlanes& planes,
                             const std::vector<int32_t>& markers, int materials, int32_t verts = 8)
{
    sBytes p;
    p.u8(flags).s32(verts).s32(int32_t(markers.size())).s32(materials);
    for (int v = 0; v < 8; ++v)
        p.f32(float(v)).f32(0.5f).f32(-float(v));
    for (int i = 0; (flags & 2) && i < 24; ++i)
        p.f32(0.25f * float(i));
    for (int i = 0; (flags & 1) && i < 16; ++i)
        p.f32(0.125f * float(i));
    for (const auto& plane : planes)
        for (int32_t v : plane)
            p.s32(v);
    for (int32_t m : markers)
        p.s32(m);
    for (int i = 0; i < materials; ++i)
        mesh_test::material_record(p, "mat" + std::to_string(i), "", 2);
    return p.b;
}

const tPlanes planes3 = {{0, 1, 1}, {1, 1, 1}, {2, 1, 1}};

void parse(cMeshObj& mesh, const std::vector<uint8_t>& bytes)
{
    bobj_parse_payload(mesh, bytes.data(), bytes.size(), "payload");
}

void load(cMeshObj& mesh, const std::vector<uint8_t>& file)
{
    bobj_load_compressed(mesh, file.data(), file.size(), "file");
}

// For the death tests: a payload or a file read into a mesh of its own.
void parse_new(const std::vector<uint8_t>& bytes)
{
    cMeshObj mesh;
    parse(mesh, bytes);
}
void load_new(const std::vector<uint8_t>& file)
{
    cMeshObj mesh;
    load(mesh, file);
}

} // namespace

TEST(BzObjFormat, BlocksFlagsPlanesAndMarkers)
{
    cMeshObj plain;
    load(plain, mesh_test::container(payload(0, planes3, {0, 0, 0}, 0)));
    EXPECT_EQ(plain.m_pos.size(), 24u);
    EXPECT_FLOAT_EQ(plain.m_pos[3 * 5 + 2], -5.0f);
    EXPECT_TRUE(plain.m_norm.empty());
    EXPECT_TRUE(plain.m_tex0.empty());
    // All markers zero: one range for everything, material 0 even with an empty table.
    EXPECT_EQ(plain.m_matranges, (std::vector<tMatRange>{{0, 0}, {9, -1}}));

    // Normals come before texture coordinates; a swapped order shows in the values.
    cMeshObj full;
    parse(full, payload(1 | 2 | 16, planes3, {0, 7, 1}, 3));
    EXPECT_EQ(full.m_flags, 1 | 2 | 16);
    EXPECT_FLOAT_EQ(full.m_norm[1], 0.25f);
    EXPECT_FLOAT_EQ(full.m_tex0[15], 0.125f * 15);
    // Markers 7 and 1 both switch to the next material of the table.
    EXPECT_EQ(full.m_matranges, (std::vector<tMatRange>{{0, 0}, {3, 1}, {6, 2}, {9, -1}}));
    EXPECT_EQ(full.m_materials[2].m_name, "mat2");

    // Delta-coded planes: (5, 1, -2) decodes to 5, 6, 4; corners interleave per face.
    cMeshObj deltas;
    parse(deltas, payload(0, {{5, 1, -2}, {0, 7, -7}, {3, 0, 1}}, {0, 0, 0}, 0));
    EXPECT_EQ(deltas.m_elem, (std::vector<uint32_t>{5, 0, 3, 6, 7, 3, 4, 0, 4}));
}

TEST(BzObjFormat, MaterialRecordFields)
{
    sBytes p;
    p.u8(16).s32(3).s32(1).s32(1);
    for (int i = 0; i < 9; ++i)
        p.f32(0);
    p.s32(0).s32(1).s32(2).s32(0);
    // Sizes 4, 1, 0, 3, 4, 5; a zero byte inside a name ends it.
    p.u8(4).u8(1).u8(0).u8(3).u8(4).u8(5);
    p.text("gold").text("a").text(std::string("s\0s", 3)).text("bump").text("trans");
    for (int i = 0; i < 12; ++i)
        p.f32(0.1f * float(i + 1));
    p.f32(40.0f).s32(4).f32(0.5f).f32(1.33f);
    cMeshObj mesh;
    parse(mesh, p.b);
    const cMaterial_GL& m = mesh.m_materials.at(0);
    EXPECT_EQ(m.m_name + "|" + m.m_tex_ambient + "|" + m.m_tex_diffuse + "|" + m.m_tex_specular +
                  "|" + m.m_tex_bump + "|" + m.m_tex_transparency,
              "gold|a||s|bump|trans");
    EXPECT_EQ(
        (std::vector<float>{m.m_ambient[3], m.m_diffuse[0], m.m_specular[3], m.m_shininess,
                            float(m.m_illum), m.m_dissolve, m.m_optical_density, m.m_emission[3]}),
        (std::vector<float>{0.4f, 0.5f, 1.2f, 40.0f, 4.0f, 0.5f, 1.33f, 0.0f}));
}

TEST(BzObjWriter, RoundTrip)
{
    cMeshObj mesh;
    mesh.m_flags = 1 | 2 | 16;
    for (int v = 0; v < 40; ++v) {
        mesh.m_pos.insert(mesh.m_pos.end(), {float(v), float(v * v) * 0.01f, -1.5f});
        mesh.m_norm.insert(mesh.m_norm.end(), {0.0f, float(v) / 40.0f, 1.0f});
        mesh.m_tex0.insert(mesh.m_tex0.end(), {float(v) / 39.0f, 1.0f - float(v) / 39.0f});
    }
    // Indices jump both ways, so the deltas are negative as well as positive.
    for (uint32_t f = 0; f < 30; ++f)
        mesh.m_elem.insert(mesh.m_elem.end(), {(f * 7) % 40, (f * 13 + 5) % 40, 39 - f});
    mesh.m_matranges = {{0, 0}, {30, 1}, {60, 2}, {90, -1}};
    mesh.m_materials.resize(3);
    for (int i = 0; i < 3; ++i)
        mesh.m_materials[size_t(i)].m_tex_diffuse = "map" + std::to_string(i) + ".png";
    std::vector<uint8_t> file, again;
    std::string error;
    ASSERT_TRUE(bobj_write_compressed(mesh, file, error)) << error;
    cMeshObj back;
    load(back, file);
    auto lists = [](const cMeshObj& m) {
        return std::tuple(m.m_flags, m.m_pos, m.m_norm, m.m_tex0, m.m_elem, m.m_matranges);
    };
    EXPECT_EQ(lists(back), lists(mesh));
    EXPECT_EQ(back.m_materials.at(2).m_tex_diffuse, "map2.png");
    // The same mesh gives the same bytes (generated content is byte-identical per build).
    ASSERT_TRUE(bobj_write_compressed(back, again, error));
    EXPECT_EQ(again, file);

    // Ranges out of table order are written so they draw the same materials.
    mesh.m_matranges = {{0, 1}, {30, 0}, {60, 1}, {90, -1}};
    ASSERT_TRUE(bobj_write_compressed(mesh, file, error)) << error;
    load(back, file);
    std::string drawn;
    for (size_t i = 0; i + 1 < back.m_matranges.size(); ++i)
        drawn += back.m_materials[size_t(back.m_matranges[i].second)].m_tex_diffuse + " ";
    EXPECT_EQ(drawn, "map1.png map0.png map1.png ");
}

// --- damaged files --------------------------------------------------------------------------

TEST(BzObjDamage, EveryTruncationIsRejected)
{
    const std::vector<uint8_t> full = payload(1 | 2 | 16, planes3, {0, 1, 0}, 2);
    for (size_t size = 0; size < full.size(); ++size) {
        // A copy of exactly `size` bytes, so AddressSanitizer sees any read past it.
        const std::vector<uint8_t> cut(full.begin(), full.begin() + long(size));
        EXPECT_EXIT(parse_new(cut), ExitedWithCode(255), "## ERROR in bobj_load_compressed")
            << size;
    }
    const std::vector<uint8_t> file = mesh_test::container(full);
    for (size_t size : {size_t(0), size_t(7), size_t(8), file.size() - 1}) {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + long(size));
        EXPECT_EXIT(load_new(cut), ExitedWithCode(255), "## ERROR in bobj_load_compressed") << size;
    }
}

TEST(BzObjDamage, LyingCountsIndicesMarkersAndNames)
{
    struct sCase
    {
        std::vector<uint8_t> bytes;
        const char* message;
    };
    std::vector<sCase> cases = {
        {payload(0, planes3, {0, 0, 0}, 0, 0), "no_verts > 0"},
        {payload(0, planes3, {0, 0, 0}, 0, -3), "no_verts > 0"},
        {payload(0, {{}, {}, {}}, {}, 0), "no_faces > 0"},
        {payload(0, planes3, {0, 0, 0}, -1), "no_materials >= 0"},
        {payload(0, planes3, {0, 0, 0}, 0, 0x7FFFFFFF), "need at least"},
        {payload(0, {{5, 3, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, 0), "uses vertex 8 of 8"},
        // The running sum wraps below zero.
        {payload(0, {{0, 0, 0}, {2, 0x7FFFFFFF, 0}, {0, 0, 0}}, {0, 0, 0}, 0),
         "face 1 corner 1 uses vertex -2147483647"},
        {payload(0, planes3, {0, -1, 0}, 2), "input_d_matID\\[i\\] >= 0"},
        // Two changes need three materials when the mesh draws per material.
        {payload(16, planes3, {0, 1, 1}, 2), "the table holds 2"},
    };
    sCase many{payload(0, planes3, {0, 0, 0}, 0), "need at least"};
    for (size_t i = 9; i < 13; ++i)
        many.bytes[i] = i == 12 ? 0x7F : 0xFF; // no_materials 2^31 - 1, no records
    cases.push_back(many);
    for (int field = 0; field < 6; ++field) {
        sCase c{payload(0, planes3, {0, 0, 0}, 1), "NameSize >= 0"};
        c.bytes[c.bytes.size() - 74 + size_t(field)] = 0x80; // a size below zero
        cases.push_back(c);
    }
    sCase past_end{payload(0, planes3, {0, 0, 0}, 1), "payload ends inside a material name"};
    past_end.bytes[past_end.bytes.size() - 74] = 100; // "mat0" is 4 bytes
    cases.push_back(past_end);
    for (const sCase& c : cases)
        EXPECT_EXIT(parse_new(c.bytes), ExitedWithCode(255), c.message) << c.message;
}

TEST(BzObjDamage, StreamsAndFiles)
{
    const std::vector<uint8_t> bytes = payload(0, planes3, {0, 0, 0}, 0);
    // A stream that inflates to more than the declared size is a zlib error.
    EXPECT_EXIT(load_new(mesh_test::container(bytes, int64_t(bytes.size()) - 1)), ExitedWithCode(1),
                "# warning: zlib caused an error: -5");
    std::vector<uint8_t> garbage = mesh_test::container(bytes);
    for (size_t i = 8; i < garbage.size(); ++i)
        garbage[i] ^= 0x5A;
    EXPECT_EXIT(load_new(garbage), ExitedWithCode(1), "zlib caused an error");
    cMeshObj none;
    EXPECT_EXIT(bobj_load_compressed(none, std::string("/nonexistent/none.bzobj")),
                ExitedWithCode(255),
                "# ERROR opening file /nonexistent/none.bzobj in bobj_load_compressed");

    // 4 GiB declared for a few dozen bytes of stream: only what the stream can hold is
    // allocated, and the real payload parses.
    cMeshObj mesh;
    load(mesh, mesh_test::container(bytes, 0xFFFFFFFFll));
    EXPECT_EQ(mesh.m_elem.size(), 9u);
}
