// The compressed binary mesh format: decoding of every block, the writer/reader round trip,
// and damaged files (truncated, lying counts, bad indices and markers) rejected without
// reading outside the data.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/mesh_test_util.h"

using mesh_test::sBytes;
using ::testing::ExitedWithCode;

namespace {

// Header, positions of `verts` vertices (x = vertex number) and nothing else.
sBytes header(uint8_t flags, int32_t verts, int32_t faces, int32_t materials)
{
    sBytes p;
    p.u8(flags).s32(verts).s32(faces).s32(materials);
    return p;
}

void positions(sBytes& p, int32_t verts)
{
    for (int32_t v = 0; v < verts; ++v)
        p.f32(float(v)).f32(0.5f).f32(-float(v));
}

// Three faces over 8 vertices: corner planes given, markers given.
std::vector<uint8_t> three_faces(uint8_t flags, const int32_t (&planes)[3][3],
                                 const int32_t (&markers)[3], int materials)
{
    sBytes p = header(flags, 8, 3, materials);
    positions(p, 8);
    if (flags & iMeshType::T_NORMALS_BIT)
        for (int i = 0; i < 8 * 3; ++i)
            p.f32(0.25f * float(i));
    if (flags & iMeshType::T_DTEX_BIT)
        for (int i = 0; i < 8 * 2; ++i)
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

void parse(cMeshObj& mesh, const std::vector<uint8_t>& payload)
{
    bobj_parse_payload(mesh, payload.data(), payload.size(), "test payload");
}

void load(cMeshObj& mesh, const std::vector<uint8_t>& file)
{
    bobj_load_compressed(mesh, file.data(), file.size(), "test file");
}

const int32_t plain_planes[3][3] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 1}};

} // namespace

TEST(BzObjFormat, FlagsSelectTheVertexBlocks)
{
    const int32_t markers[3] = {0, 0, 0};
    cMeshObj plain;
    load(plain, mesh_test::container(three_faces(0, plain_planes, markers, 0)));
    EXPECT_EQ(plain.m_flags, 0);
    ASSERT_EQ(plain.m_pos.size(), 24u);
    EXPECT_FLOAT_EQ(plain.m_pos[3 * 5], 5.0f);
    EXPECT_FLOAT_EQ(plain.m_pos[3 * 5 + 2], -5.0f);
    EXPECT_TRUE(plain.m_norm.empty());
    EXPECT_TRUE(plain.m_tex0.empty());

    // Normals come before texture coordinates; a swapped order shows in the first values.
    cMeshObj full;
    load(full, mesh_test::container(three_faces(1 | 2 | 16, plain_planes, markers, 1)));
    EXPECT_EQ(full.m_flags, 1 | 2 | 16);
    ASSERT_EQ(full.m_norm.size(), 24u);
    ASSERT_EQ(full.m_tex0.size(), 16u);
    EXPECT_FLOAT_EQ(full.m_norm[1], 0.25f);
    EXPECT_FLOAT_EQ(full.m_tex0[15], 0.125f * 15);
}

TEST(BzObjFormat, IndexPlanesAreDeltaCodedPerCorner)
{
    const int32_t planes[3][3] = {{5, 1, -2}, {0, 7, -7}, {3, 0, 1}};
    const int32_t markers[3] = {0, 0, 0};
    cMeshObj mesh;
    parse(mesh, three_faces(0, planes, markers, 0));
    const std::vector<uint32_t> expected = {5, 0, 3, 6, 7, 3, 4, 0, 4};
    EXPECT_EQ(mesh.m_elem, expected);
}

TEST(BzObjFormat, MaterialMarkersBecomeRanges)
{
    // All zero (the first face's value is ignored): one range for everything.
    {
        const int32_t markers[3] = {9, 0, 0};
        cMeshObj mesh;
        parse(mesh, three_faces(0, plain_planes, markers, 0));
        const std::vector<tMatRange> expected = {{0, 0}, {9, -1}};
        EXPECT_EQ(mesh.m_matranges, expected);
        EXPECT_TRUE(mesh.m_materials.empty());
    }
    // 7 and 1 both switch to the next material of the table.
    {
        const int32_t markers[3] = {0, 7, 1};
        cMeshObj mesh;
        parse(mesh, three_faces(16, plain_planes, markers, 3));
        const std::vector<tMatRange> expected = {{0, 0}, {3, 1}, {6, 2}, {9, -1}};
        EXPECT_EQ(mesh.m_matranges, expected);
        ASSERT_EQ(mesh.m_materials.size(), 3u);
        EXPECT_EQ(mesh.m_materials[2].m_name, "mat2");
    }
}

TEST(BzObjFormat, MaterialRecordFields)
{
    sBytes p = header(16, 3, 1, 2);
    positions(p, 3);
    p.s32(0).s32(1).s32(2).s32(0);
    // Sizes 4, 1, 2, 3, 4, 5; a zero byte inside a name ends it.
    p.u8(4).u8(1).u8(2).u8(3).u8(4).u8(5);
    p.text("gold").text("a").text("dd").text(std::string("s\0s", 3)).text("bump").text("trans");
    for (float f : {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f, 1.1f, 1.2f})
        p.f32(f);
    p.f32(40.0f).s32(4).f32(0.5f).f32(1.33f);
    mesh_test::material_record(p, "", "", 0);
    cMeshObj mesh;
    parse(mesh, p.b);
    ASSERT_EQ(mesh.m_materials.size(), 2u);
    const cMaterial_GL& m = mesh.m_materials[0];
    EXPECT_EQ(m.m_name, "gold");
    EXPECT_EQ(m.m_tex_ambient, "a");
    EXPECT_EQ(m.m_tex_diffuse, "dd");
    EXPECT_EQ(m.m_tex_specular, "s");
    EXPECT_EQ(m.m_tex_bump, "bump");
    EXPECT_EQ(m.m_tex_transparency, "trans");
    EXPECT_FLOAT_EQ(m.m_ambient[3], 0.4f);
    EXPECT_FLOAT_EQ(m.m_diffuse[0], 0.5f);
    EXPECT_FLOAT_EQ(m.m_specular[3], 1.2f);
    EXPECT_FLOAT_EQ(m.m_shininess, 40.0f);
    EXPECT_EQ(m.m_illum, 4);
    EXPECT_FLOAT_EQ(m.m_dissolve, 0.5f);
    EXPECT_FLOAT_EQ(m.m_optical_density, 1.33f);
    for (float e : m.m_emission)
        EXPECT_EQ(e, 0.0f);
    EXPECT_EQ(mesh.m_materials[1].m_name, "");
}

TEST(BzObjFormat, LoadingReplacesEverythingInTheMesh)
{
    const int32_t markers[3] = {0, 1, 0};
    cMeshObj mesh;
    parse(mesh, three_faces(1 | 2 | 16, plain_planes, markers, 2));
    parse(mesh, three_faces(0, plain_planes, markers, 0));
    EXPECT_TRUE(mesh.m_norm.empty());
    EXPECT_TRUE(mesh.m_materials.empty());
    EXPECT_EQ(mesh.m_elem.size(), 9u);
    EXPECT_EQ(mesh.m_matranges.size(), 3u);
}

TEST(BzObjWriter, RoundTripKeepsEveryList)
{
    cMeshObj mesh;
    mesh.m_flags = 1 | 2 | 16;
    for (int v = 0; v < 40; ++v) {
        mesh.m_pos.insert(mesh.m_pos.end(), {float(v), float(v * v) * 0.01f, -1.5f});
        mesh.m_norm.insert(mesh.m_norm.end(), {0.0f, float(v) / 40.0f, 1.0f});
        mesh.m_tex0.insert(mesh.m_tex0.end(), {float(v) / 39.0f, 1.0f - float(v) / 39.0f});
    }
    // Indices jump both ways so the deltas are negative as well as positive.
    for (uint32_t f = 0; f < 30; ++f)
        mesh.m_elem.insert(mesh.m_elem.end(), {(f * 7) % 40, (f * 13 + 5) % 40, 39 - f});
    mesh.m_matranges = {{0, 0}, {30, 1}, {60, 2}, {90, -1}};
    for (const char* name : {"red", "green", "blue"}) {
        cMaterial_GL m;
        m.m_name = name;
        m.m_tex_diffuse = std::string(name) + ".png";
        m.m_illum = 1;
        m.m_diffuse[1] = 0.3f;
        mesh.m_materials.push_back(m);
    }
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(bobj_write_compressed(mesh, file, error)) << error;

    cMeshObj back;
    load(back, file);
    EXPECT_EQ(back.m_flags, mesh.m_flags);
    EXPECT_EQ(back.m_pos, mesh.m_pos);
    EXPECT_EQ(back.m_norm, mesh.m_norm);
    EXPECT_EQ(back.m_tex0, mesh.m_tex0);
    EXPECT_EQ(back.m_elem, mesh.m_elem);
    EXPECT_EQ(back.m_matranges, mesh.m_matranges);
    ASSERT_EQ(back.m_materials.size(), 3u);
    EXPECT_EQ(back.m_materials[1].m_name, "green");
    EXPECT_EQ(back.m_materials[2].m_tex_diffuse, "blue.png");
    EXPECT_FLOAT_EQ(back.m_materials[0].m_diffuse[1], 0.3f);

    // The same mesh gives the same bytes (generated content is byte-identical per build).
    std::vector<uint8_t> again;
    ASSERT_TRUE(bobj_write_compressed(back, again, error));
    EXPECT_EQ(again, file);
}

TEST(BzObjWriter, RangesOutOfTableOrderAreWrittenAsTheyDraw)
{
    cMeshObj mesh;
    mesh.m_flags = 16;
    for (int v = 0; v < 4; ++v)
        mesh.m_pos.insert(mesh.m_pos.end(), {float(v), 0, 0});
    mesh.m_elem = {0, 1, 2, 1, 2, 3, 0, 2, 3};
    // Material 1 first, then material 0, then 1 again.
    mesh.m_matranges = {{0, 1}, {3, 0}, {6, 1}, {9, -1}};
    mesh.m_materials.resize(2);
    mesh.m_materials[0].m_name = "a";
    mesh.m_materials[1].m_name = "b";
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(bobj_write_compressed(mesh, file, error)) << error;
    cMeshObj back;
    load(back, file);
    ASSERT_EQ(back.m_matranges.size(), 4u);
    std::vector<std::string> drawn;
    for (size_t i = 0; i + 1 < back.m_matranges.size(); ++i)
        drawn.push_back(back.m_materials[size_t(back.m_matranges[i].second)].m_name);
    EXPECT_EQ(drawn, (std::vector<std::string>{"b", "a", "b"}));
}

TEST(BzObjWriter, RefusesWhatTheFormatCannotHold)
{
    std::vector<uint8_t> out;
    std::string error;
    cMeshObj empty;
    EXPECT_FALSE(bobj_write_payload(empty, out, error));

    cMeshObj mesh;
    mesh.m_pos = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    mesh.m_elem = {0, 1, 3};
    EXPECT_FALSE(bobj_write_payload(mesh, out, error)) << "index outside the vertices";
    mesh.m_elem = {0, 1, 2};
    mesh.m_flags = 2;
    EXPECT_FALSE(bobj_write_payload(mesh, out, error)) << "normals flagged, none given";
    mesh.m_flags = 0;
    mesh.m_materials.resize(1);
    mesh.m_materials[0].m_tex_bump = std::string(128, 'x');
    EXPECT_FALSE(bobj_write_payload(mesh, out, error)) << "name too long";
    mesh.m_materials[0].m_tex_bump = std::string(127, 'x');
    EXPECT_TRUE(bobj_write_payload(mesh, out, error)) << error;
}

// --- damaged files --------------------------------------------------------------------------

TEST(BzObjDamage, EveryTruncationOfThePayloadIsRejected)
{
    const int32_t markers[3] = {0, 1, 0};
    const std::vector<uint8_t> payload = three_faces(1 | 2 | 16, plain_planes, markers, 2);
    for (size_t size = 0; size < payload.size(); ++size) {
        // A copy of exactly `size` bytes, so AddressSanitizer sees any read past it.
        const std::vector<uint8_t> cut(payload.begin(), payload.begin() + long(size));
        EXPECT_EXIT(
            {
                cMeshObj mesh;
                bobj_parse_payload(mesh, cut.data(), cut.size(), "cut");
            },
            ExitedWithCode(255), "## ERROR")
            << "payload cut to " << size << " bytes";
    }
}

TEST(BzObjDamage, TruncatedContainersAreRejected)
{
    const int32_t markers[3] = {0, 0, 0};
    const std::vector<uint8_t> file =
        mesh_test::container(three_faces(0, plain_planes, markers, 0));
    for (size_t size : {size_t(0), size_t(3), size_t(7), size_t(8), file.size() - 1}) {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + long(size));
        EXPECT_EXIT(
            {
                cMeshObj mesh;
                bobj_load_compressed(mesh, cut.data(), cut.size(), "cut");
            },
            ExitedWithCode(255), "## ERROR in bobj_load_compressed")
            << size;
    }
}

TEST(BzObjDamage, LyingCountsAreRejectedBeforeAllocation)
{
    struct sCase
    {
        int32_t verts, faces, materials;
        const char* message;
    };
    const sCase cases[] = {
        {0, 1, 0, "no_verts > 0"},           {-3, 1, 0, "no_verts > 0"},
        {3, 0, 0, "no_faces > 0"},           {3, 1, -1, "no_materials >= 0"},
        {0x7FFFFFFF, 1, 0, "need at least"}, {3, 0x7FFFFFFF, 0, "need at least"},
        {3, 1, 0x7FFFFFFF, "need at least"},
    };
    for (const sCase& c : cases) {
        sBytes p = header(3, c.verts, c.faces, c.materials);
        positions(p, 3);
        p.s32(0).s32(1).s32(2).s32(0);
        EXPECT_EXIT(
            {
                cMeshObj mesh;
                parse(mesh, p.b);
            },
            ExitedWithCode(255), c.message)
            << c.verts << " " << c.faces << " " << c.materials;
    }
}

TEST(BzObjDamage, IndicesMarkersAndNamesAreChecked)
{
    const int32_t markers[3] = {0, 0, 0};
    // Decoded indices: 8 is past the last vertex, and a wrapping sum that goes negative.
    const int32_t too_far[3][3] = {{5, 3, 0}, {0, 0, 0}, {0, 0, 0}};
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            parse(mesh, three_faces(0, too_far, markers, 0));
        },
        ExitedWithCode(255), "uses vertex 8 of 8");
    const int32_t wrapped[3][3] = {{0, 0, 0}, {2, 0x7FFFFFFF, 0}, {0, 0, 0}};
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            parse(mesh, three_faces(0, wrapped, markers, 0));
        },
        ExitedWithCode(255), "face 1 corner 1 uses vertex -2147483647");

    const int32_t negative[3] = {0, -1, 0};
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            parse(mesh, three_faces(0, plain_planes, negative, 2));
        },
        ExitedWithCode(255), "input_d_matID\\[i\\] >= 0");

    // Two changes need three materials when the mesh draws per material.
    const int32_t two_changes[3] = {0, 1, 1};
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            parse(mesh, three_faces(16, plain_planes, two_changes, 2));
        },
        ExitedWithCode(255), "the table holds 2");

    // Name sizes below zero, and a name running past the end of the payload.
    for (int field = 0; field < 6; ++field) {
        sBytes p = header(0, 3, 1, 1);
        positions(p, 3);
        p.s32(0).s32(1).s32(2).s32(0);
        for (int i = 0; i < 6; ++i)
            p.u8(i == field ? 0x80 : 0);
        p.b.resize(p.b.size() + 64, 0);
        EXPECT_EXIT(
            {
                cMeshObj mesh;
                parse(mesh, p.b);
            },
            ExitedWithCode(255), "NameSize >= 0")
            << field;
    }
    sBytes p = header(0, 3, 1, 1);
    positions(p, 3);
    p.s32(0).s32(1).s32(2).s32(0);
    p.u8(100).u8(0).u8(0).u8(0).u8(0).u8(0);
    p.b.resize(p.b.size() + 70, 'n');
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            parse(mesh, p.b);
        },
        ExitedWithCode(255), "payload ends inside a material name");
}

TEST(BzObjDamage, ZlibFailuresEndWithStatusOne)
{
    const int32_t markers[3] = {0, 0, 0};
    const std::vector<uint8_t> payload = three_faces(0, plain_planes, markers, 0);
    // A stream that inflates to more than the declared payload size.
    const std::vector<uint8_t> larger = mesh_test::container(payload, int64_t(payload.size()) - 1);
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            load(mesh, larger);
        },
        ExitedWithCode(1), "# warning: zlib caused an error: -5");
    std::vector<uint8_t> garbage = mesh_test::container(payload);
    for (size_t i = 8; i < garbage.size(); ++i)
        garbage[i] ^= 0x5A;
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            load(mesh, garbage);
        },
        ExitedWithCode(1), "zlib caused an error");
}

TEST(BzObjDamage, AHugeDeclaredPayloadIsNotAllocated)
{
    // 4 GiB declared for a stream of a few dozen bytes: only what the stream can hold is
    // allocated, and the real payload parses.
    const int32_t markers[3] = {0, 0, 0};
    const std::vector<uint8_t> file =
        mesh_test::container(three_faces(0, plain_planes, markers, 0), 0xFFFFFFFFll);
    cMeshObj mesh;
    load(mesh, file);
    EXPECT_EQ(mesh.m_elem.size(), 9u);
}

TEST(BzObjDamage, MissingFileEndsWithTheOpeningError)
{
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            bobj_load_compressed(mesh, std::string("/nonexistent/none.bzobj"));
        },
        ExitedWithCode(255),
        "# ERROR opening file /nonexistent/none.bzobj in bobj_load_compressed");
}
