// Wavefront OBJ and MTL text: faces and their corner forms, triangulation, conversion into one
// vertex per distinct corner, materials, and the messages for lines the reader cannot use.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "mesh_files/obj/mtl_loader.h"
#include "mesh_files/obj/obj_loader.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// Parses, fills missing texture indices, triangulates and converts, as the mesh loader does.
// `libraries` answers "mtllib" by name.
struct sLoaded
{
    cObjLoader loader;
    cMeshObj mesh;
    std::string err;
};

void load(sLoaded& out, const std::string& text,
          const std::map<std::string, std::string>& libraries = {})
{
    out.loader.m_read_library = [libraries](const std::string& name, std::string& lib) {
        const auto it = libraries.find(name);
        if (it == libraries.end())
            return false;
        lib = it->second;
        return true;
    };
    CaptureStderr();
    out.loader.parse(text.data(), text.size(), "test.obj");
    out.loader.fix_texcoords();
    out.loader.triangulate();
    out.loader.convert(out.mesh);
    out.err = GetCapturedStderr();
}

// The corners of triangle t as positions (x of each corner's position).
std::vector<float> corner_x(const cMeshObj& mesh, size_t t)
{
    std::vector<float> xs;
    for (int c = 0; c < 3; ++c)
        xs.push_back(mesh.m_pos[size_t(mesh.m_elem[t * 3 + size_t(c)]) * 3]);
    return xs;
}

const char* square_positions = "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 3 0 0\nv 4 0 0\n";

} // namespace

TEST(ObjFaces, CornerFormsFollowWhatTheFileDeclared)
{
    // Positions only: normals are generated, and the file says so.
    {
        sLoaded l;
        load(l, std::string(square_positions) + "f 1 2 3\n");
        EXPECT_EQ(l.mesh.m_elem.size(), 3u);
        EXPECT_EQ(l.mesh.m_flags & (iMeshType::T_DTEX_BIT | iMeshType::T_NORMALS_BIT),
                  iMeshType::T_NORMALS_BIT);
        EXPECT_EQ(l.mesh.m_norm.size(), l.mesh.m_pos.size());
    }
    // position//normal without texture coordinates, and full position/texture/normal.
    {
        sLoaded l;
        load(l, std::string(square_positions) + "vn 0 0 1\nvn 0 1 0\nf 1//2 2//1 3//2\n");
        EXPECT_EQ(l.err, "");
        ASSERT_EQ(l.mesh.m_norm.size(), 9u);
        EXPECT_FLOAT_EQ(l.mesh.m_norm[1], 1.0f); // corner 0 uses normal 2 = (0 1 0)
        EXPECT_FLOAT_EQ(l.mesh.m_norm[5], 1.0f); // corner 1 uses normal 1 = (0 0 1)
    }
    {
        sLoaded l;
        load(l, std::string(square_positions) +
                    "vt 0.25 0.75 0.5\nvt 1 0\nvn 0 0 1\nf 1/2/1 2/1/1 3/2/1\n");
        EXPECT_TRUE(l.mesh.checktypebit(iMeshType::T_DTEX_BIT));
        ASSERT_EQ(l.mesh.m_tex0.size(), 6u);
        EXPECT_FLOAT_EQ(l.mesh.m_tex0[0], 1.0f);
        EXPECT_FLOAT_EQ(l.mesh.m_tex0[2], 0.25f);
        EXPECT_FLOAT_EQ(l.mesh.m_tex0[3], 0.75f); // the third vt value is dropped
    }
    // Negative indices count back from the last element defined so far.
    {
        sLoaded l;
        load(l, std::string(square_positions) + "f -1 -2 -3\n");
        EXPECT_EQ(corner_x(l.mesh, 0), (std::vector<float>{4, 3, 2}));
    }
}

TEST(ObjFaces, SharedCornersBecomeOneVertex)
{
    sLoaded l;
    load(l, std::string(square_positions) +
                "vn 0 0 1\nvn 0 0 -1\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\nf 1//2 3//2 4//2\n");
    // Six corner triples are distinct: (1,1) (2,1) (3,1) (4,1) (1,2) (3,2) (4,2).
    EXPECT_EQ(l.mesh.m_pos.size() / 3, 7u);
    EXPECT_EQ(l.mesh.m_elem[3], l.mesh.m_elem[0]);
    EXPECT_EQ(l.mesh.m_elem[4], l.mesh.m_elem[2]);
    EXPECT_NE(l.mesh.m_elem[6], l.mesh.m_elem[0]);
}

TEST(ObjFaces, PolygonsBecomeFansInPlace)
{
    sLoaded l;
    load(l, std::string(square_positions) + "v 5 0 0\nf 1 2 3 4\nf 2 3 4\nf 1 2 3 4 5 6\n");
    ASSERT_EQ(l.mesh.m_elem.size(), (2 + 1 + 4) * 3u);
    // The quad (0 1 2 3) becomes (0 1 2) and (0 2 3); the triangle stays; the hexagon fans.
    EXPECT_EQ(corner_x(l.mesh, 0), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(corner_x(l.mesh, 1), (std::vector<float>{0, 2, 3}));
    EXPECT_EQ(corner_x(l.mesh, 2), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(corner_x(l.mesh, 3), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(corner_x(l.mesh, 6), (std::vector<float>{0, 4, 5}));
    EXPECT_FALSE(l.loader.checktypebit(iMeshLoader_data::T_NOTTRIS_BIT_));
}

TEST(ObjFaces, UnusableFacesAreReportedAndSkipped)
{
    sLoaded l;
    load(l, std::string(square_positions) +
                "vt 0 0\nvn 0 0 1\n"
                "f 1/1/1 2/1/1 3/1\n"   // line 8: varying element counts
                "f 1/1/1 2//1 3/1/1\n"  // line 9: same count, one corner lacks its texture
                "f 1 2 3\n"             // line 10: slashes missing
                "f 1/1/1 2/1/1\n"       // line 11: two corners
                "f 1/1/1 2/1/1 9/1/1\n" // line 12: index past the positions
                "f 0/1/1 2/1/1 3/1/1\n" // line 13: index 0 does not exist
                "f 1/1/1 2/1/1 3/1/1\n");
    EXPECT_NE(l.err.find("## Error in line:8 - varying number of elements in face-declaration. "
                         "Skipping face..."),
              std::string::npos)
        << l.err;
    EXPECT_NE(l.err.find("## Error in line:9 - varying number"), std::string::npos) << l.err;
    EXPECT_NE(l.err.find("\"1\", missing / in line:10"), std::string::npos) << l.err;
    EXPECT_NE(l.err.find("Malformed face.2 vertices in face. Aborting triangulation"),
              std::string::npos)
        << l.err;
    EXPECT_NE(l.err.find("## Error in line:12 - index out of range"), std::string::npos) << l.err;
    EXPECT_NE(l.err.find("## Error in line:13 - invalid index"), std::string::npos) << l.err;
    // Line 10 reads as positions only: its texture index is filled in, its normals generated.
    EXPECT_NE(l.err.find("# warning: missing texcoords in face0. Using first texcoord."),
              std::string::npos)
        << l.err;
    // Kept: line 10 and line 14.
    EXPECT_EQ(l.mesh.m_elem.size(), 6u);
    for (uint32_t i : l.mesh.m_elem)
        EXPECT_LT(i, l.mesh.m_pos.size() / 3);
}

TEST(ObjLines, BadCoordinateLinesKeepTheNumbering)
{
    sLoaded l;
    load(l, "v 1 2\nv 1 2 3 4 5\nv 7 8 9\nvn 1 0\nvn 0 0 1\nf 3//2 1//2 2//1\n");
    EXPECT_NE(l.err.find("## error, 2 position-coordinates in line:1"), std::string::npos) << l.err;
    EXPECT_NE(l.err.find("## error, 5 position-coordinates in line:2"), std::string::npos);
    EXPECT_NE(l.err.find("## error, 2 normal-coordinates in line:4"), std::string::npos);
    // Position 3 is still the third "v" line, normal 2 the second "vn" line.
    ASSERT_EQ(l.mesh.m_elem.size(), 3u);
    EXPECT_FLOAT_EQ(l.mesh.m_pos[size_t(l.mesh.m_elem[0]) * 3 + 2], 9.0f);
    EXPECT_FLOAT_EQ(l.mesh.m_norm[size_t(l.mesh.m_elem[0]) * 3 + 2], 1.0f);
    EXPECT_FLOAT_EQ(l.mesh.m_pos[size_t(l.mesh.m_elem[1]) * 3 + 2], 0.0f); // padded
}

TEST(ObjLines, UnsupportedAndUnknownTokensAreNamed)
{
    sLoaded l;
    load(l, "# comment\n\nvp 1 2\ng group\ns 1\ncurv 0 1\no object\np 1\nl 1 2\n"
            "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_NE(l.err.find("# warning, \"vp\" in line3 not supported... skipped!"), std::string::npos)
        << l.err;
    EXPECT_NE(l.err.find("# warning: \"g\" in line4 not supported... skipped!"), std::string::npos);
    EXPECT_NE(l.err.find("# warning: \"s\" in line5 not supported... skipped!"), std::string::npos);
    EXPECT_NE(l.err.find("# warning: \"curv\" in line6 not supported... skipped!"),
              std::string::npos);
    EXPECT_NE(l.err.find("# warning, unknown token: \"o\" in line7... skipped!"),
              std::string::npos);
    EXPECT_NE(l.err.find("TOK_P\nTOK_L\n"), std::string::npos);
    EXPECT_EQ(l.mesh.m_elem.size(), 3u);
}

TEST(ObjMaterials, UsemtlSwitchesBecomeRanges)
{
    const std::string lib = "newmtl red\nKd 1 0 0\nillum 1\n"
                            "newmtl blue\nKd 0 0 1\nmap_Kd -s 2 2 1 blue.png\n";
    sLoaded l;
    load(l,
         std::string(square_positions) +
             "mtllib colours.mtl\nf 1 2 3\nusemtl blue\nf 1 2 3 4\nusemtl nothing\nf 2 3 4\n"
             "usemtl red\nf 1 3 4\n",
         {{"colours.mtl", lib}});
    EXPECT_NE(l.err.find("# WARNING: unknown material \"nothing\" in line10"), std::string::npos)
        << l.err;
    EXPECT_TRUE(l.mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    // Faces before the first usemtl get a default material after the library's.
    ASSERT_EQ(l.mesh.m_materials.size(), 3u);
    EXPECT_EQ(l.mesh.m_materials[2].m_name, "default");
    EXPECT_EQ(l.mesh.m_materials[1].m_tex_diffuse, "blue.png");
    // Triangles: 1 default, 2 blue (quad), 1 blue (unknown switch ignored), 1 red.
    const std::vector<tMatRange> expected = {{0, 2}, {3, 1}, {12, 0}, {15, -1}};
    EXPECT_EQ(l.mesh.m_matranges, expected);
}

TEST(ObjMaterials, UsemtlWithoutLibraryIsIgnored)
{
    sLoaded l;
    load(l, std::string(square_positions) + "usemtl red\nf 1 2 3\nmtllib missing.mtl\n");
    EXPECT_NE(l.err.find("# warning: No materials defined! \"usemtl red\" illegal in line6"),
              std::string::npos)
        << l.err;
    EXPECT_FALSE(l.mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    const std::vector<tMatRange> expected = {{0, 0}, {3, -1}};
    EXPECT_EQ(l.mesh.m_matranges, expected);
}

TEST(MtlLibrary, KeywordsSetTheirFields)
{
    std::vector<cMaterial_GL> out;
    CaptureStderr();
    const std::string text = "# a library\r\n"
                             "newmtl glass\r\n"
                             "Ka 0.1 0.2 0.3\n Kd 0.4\tKs 0.7 0.8 0.9\n"
                             "Ks 0.7 0.8 0.9\nNs 96\nillum 4\nTf 0.3 0.6 0.9\nTr 0.2\nNi 1.45\n"
                             "map_Ka amb.png\nmap_Kd diff.png\nmap_Ks spec.png\nbump bump.png\n"
                             "map_d alpha.png\nKe 1 1 1\n"
                             "newmtl thin\nd 0.25\n";
    cMtlLoader().parse(text.data(), text.size(), "glass.mtl", out);
    const std::string err = GetCapturedStderr();
    ASSERT_EQ(out.size(), 2u);
    const cMaterial_GL& m = out[0];
    EXPECT_EQ(m.m_name, "glass");
    EXPECT_FLOAT_EQ(m.m_ambient[2], 0.3f);
    // "Kd 0.4" with one value is grey; the rest of that line is not read as more values.
    EXPECT_FLOAT_EQ(m.m_diffuse[1], 0.4f);
    EXPECT_FLOAT_EQ(m.m_specular[1], 0.8f);
    EXPECT_FLOAT_EQ(m.m_shininess, 96.0f);
    EXPECT_EQ(m.m_illum, 4);
    EXPECT_FLOAT_EQ(m.m_dissolve, 0.6f);
    EXPECT_FLOAT_EQ(m.m_optical_density, 1.45f);
    EXPECT_EQ(m.m_tex_ambient, "amb.png");
    EXPECT_EQ(m.m_tex_diffuse, "diff.png");
    EXPECT_EQ(m.m_tex_specular, "spec.png");
    EXPECT_EQ(m.m_tex_bump, "bump.png");
    EXPECT_EQ(m.m_tex_transparency, "alpha.png");
    EXPECT_FLOAT_EQ(out[1].m_dissolve, 0.25f);
    EXPECT_NE(err.find("# warning: unknown token \"Ke\"\n# warning: unknown token encountered "
                       "in \"glass.mtl\" line 16. Skipping..."),
              std::string::npos)
        << err;
}

TEST(MtlLibrary, StatementsBeforeNewmtlAreErrors)
{
    std::vector<cMaterial_GL> out;
    CaptureStderr();
    const std::string text = "Kd 1 1 1\n\nnewmtl a\nKd 0 1 0\n";
    cMtlLoader().parse(text.data(), text.size(), "x.mtl", out);
    const std::string err = GetCapturedStderr();
    EXPECT_NE(err.find(": no 'newmtl' entry was found previous to line1"), std::string::npos)
        << err;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FLOAT_EQ(out[0].m_diffuse[0], 0.0f);

    CaptureStderr();
    EXPECT_FALSE(cMtlLoader().load_file("/nonexistent/lib.mtl", out));
    EXPECT_NE(GetCapturedStderr().find("## ERROR: Couldn't open /nonexistent/lib.mtl"),
              std::string::npos);
}

TEST(ObjText, ArbitraryBytesNeverReadOutside)
{
    // Lines that end without a line feed, stray slashes, huge and odd numbers.
    const char* texts[] = {"f",
                           "f /",
                           "f //",
                           "f 1/",
                           "v 1e40 -1e40 nan\nf 1 1 1",
                           "vt\nvn\nf 1/1/1",
                           "f -99999999999999999999 1 2",
                           "usemtl",
                           "mtllib",
                           "v 1 2 3\nv 1 2 3\nv 1 2 3\nf 1 2 3 -1 -2 -3 -4"};
    for (const char* text : texts) {
        sLoaded l;
        load(l, text);
        for (uint32_t i : l.mesh.m_elem)
            EXPECT_LT(i, l.mesh.m_pos.size() / 3) << text;
    }
}
