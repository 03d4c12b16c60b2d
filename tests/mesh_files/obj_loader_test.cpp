// Wavefront OBJ and MTL text: corner forms, triangulation, one vertex per distinct corner,
// materials, and the messages for lines the reader cannot use.
#include <gtest/gtest.h>

#include <map>

#include "mesh_files/obj/mtl_loader.h"
#include "mesh_files/obj/obj_loader.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// Parses, fills missing texture indices, triangulates and converts, as the mesh loader does;
// "mtllib" names are answered from `libraries`.
struct sLoaded
{
    cObjLoader loader;
    cMeshObj mesh;
    std::string err;

    explicit sLoaded(const std::string& text, std::map<std::string, std::string> libraries = {})
    {
        loader.m_read_library = [libraries](const std::string& name, std::string& lib) {
            const auto it = libraries.find(name);
            return it != libraries.end() && (lib = it->second, true);
        };
        CaptureStderr();
        loader.parse(text.data(), text.size(), "test.obj");
        loader.fix_texcoords();
        loader.triangulate();
        loader.convert(mesh);
        err = GetCapturedStderr();
    }
    bool said(const std::string& text) const { return err.find(text) != std::string::npos; }
    // x of the positions of triangle t's corners.
    std::vector<float> corners(size_t t) const
    {
        std::vector<float> xs;
        for (size_t c = 0; c < 3; ++c)
            xs.push_back(mesh.m_pos[size_t(mesh.m_elem[t * 3 + c]) * 3]);
        return xs;
    }
};

const std::string five = "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 3 0 0\nv 4 0 0\n";

} // namespace

TEST(ObjFaces, CornerFormsAndSharedCorners)
{
    // Positions only: normals are generated.
    sLoaded bare(five + "f 1 2 3\n");
    EXPECT_EQ(bare.mesh.m_flags & 3, iMeshType::T_NORMALS_BIT);
    EXPECT_EQ(bare.mesh.m_norm.size(), bare.mesh.m_pos.size());

    // position//normal; the same (position, normal) pair is one vertex.
    sLoaded pn(five + "vn 0 0 1\nvn 0 1 0\nf 1//2 2//1 3//2\nf 1//2 3//2 4//2\n");
    EXPECT_EQ(pn.err, "");
    EXPECT_EQ(pn.mesh.m_pos.size() / 3, 4u);
    EXPECT_EQ(pn.mesh.m_elem[3], pn.mesh.m_elem[0]);
    EXPECT_FLOAT_EQ(pn.mesh.m_norm[1], 1.0f); // corner 0 has normal 2 = (0 1 0)

    // position/texture/normal; a third vt value is dropped.
    sLoaded ptn(five + "vt 0.25 0.75 0.5\nvt 1 0\nvn 0 0 1\nf 1/2/1 2/1/1 3/2/1\n");
    EXPECT_EQ(ptn.mesh.m_tex0, (std::vector<float>{1, 0, 0.25f, 0.75f, 1, 0}));

    // Negative indices count back from the last element defined so far.
    sLoaded back(five + "f -1 -2 -3\n");
    EXPECT_EQ(back.corners(0), (std::vector<float>{4, 3, 2}));
}

TEST(ObjFaces, PolygonsBecomeFansInPlace)
{
    sLoaded l(five + "v 5 0 0\nf 1 2 3 4\nf 2 3 4\nf 1 2 3 4 5 6\n");
    ASSERT_EQ(l.mesh.m_elem.size(), (2 + 1 + 4) * 3u);
    EXPECT_EQ(l.corners(0), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(l.corners(1), (std::vector<float>{0, 2, 3}));
    EXPECT_EQ(l.corners(2), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(l.corners(6), (std::vector<float>{0, 4, 5}));
    EXPECT_FALSE(l.loader.checktypebit(iMeshLoader_data::T_NOTTRIS_BIT_));
}

TEST(ObjFaces, UnusableFacesAreReportedAndSkipped)
{
    sLoaded l(five + "vt 0 0\nvn 0 0 1\n"
                     "f 1/1/1 2/1/1 3/1\n"   // line 8: varying element counts
                     "f 1/1/1 2//1 3/1/1\n"  // line 9: same count, one corner lacks texture
                     "f 1 2 3\n"             // line 10: slashes missing
                     "f 1/1/1 2/1/1\n"       // line 11: two corners
                     "f 1/1/1 2/1/1 9/1/1\n" // line 12: index past the positions
                     "f 0/1/1 2/1/1 3/1/1\n" // line 13: there is no index 0
                     "f 1/1/1 2/1/1 3/1/1\n");
    EXPECT_TRUE(l.said("## Error in line:8 - varying number of elements in face-declaration. "
                       "Skipping face..."))
        << l.err;
    EXPECT_TRUE(l.said("## Error in line:9 - varying number"));
    EXPECT_TRUE(l.said("\"1\", missing / in line:10"));
    EXPECT_TRUE(l.said("Malformed face.2 vertices in face. Aborting triangulation"));
    EXPECT_TRUE(l.said("## Error in line:12 - index out of range"));
    EXPECT_TRUE(l.said("## Error in line:13 - invalid index"));
    EXPECT_TRUE(l.said("# warning: missing texcoords in face0. Using first texcoord."));
    EXPECT_EQ(l.mesh.m_elem.size(), 6u); // lines 10 and 14 remain
}

TEST(ObjLines, MessagesAndNumbering)
{
    sLoaded l("# comment\n\nvp 1 2\ng group\ns 1\ncurv 0 1\no object\np 1\nl 1 2\n"
              "v 1 2\nv 1 2 3 4 5\nv 7 8 9\nvn 1 0\nvn 0 0 1\nf 3//2 1//2 2//1\n");
    EXPECT_TRUE(l.said("# warning, \"vp\" in line3 not supported... skipped!")) << l.err;
    EXPECT_TRUE(l.said("# warning: \"g\" in line4 not supported... skipped!"));
    EXPECT_TRUE(l.said("# warning: \"s\" in line5 not supported... skipped!"));
    EXPECT_TRUE(l.said("# warning: \"curv\" in line6 not supported... skipped!"));
    EXPECT_TRUE(l.said("# warning, unknown token: \"o\" in line7... skipped!"));
    EXPECT_TRUE(l.said("TOK_P\nTOK_L\n"));
    EXPECT_TRUE(l.said("## error, 2 position-coordinates in line:10"));
    EXPECT_TRUE(l.said("## error, 5 position-coordinates in line:11"));
    EXPECT_TRUE(l.said("## error, 2 normal-coordinates in line:13"));
    // Bad lines still count: position 3 is the third "v" line, normal 2 the second "vn".
    EXPECT_EQ(l.corners(0), (std::vector<float>{7, 1, 1}));
    EXPECT_FLOAT_EQ(l.mesh.m_norm[size_t(l.mesh.m_elem[0]) * 3 + 2], 1.0f);
}

TEST(ObjMaterials, UsemtlSwitchesBecomeRanges)
{
    sLoaded l(five + "mtllib colours.mtl\nf 1 2 3\nusemtl blue\nf 1 2 3 4\nusemtl nothing\n"
                     "f 2 3 4\nusemtl red\nf 1 3 4\n",
              {{"colours.mtl", "newmtl red\nKd 1 0 0\nnewmtl blue\nmap_Kd -s 2 2 1 b.png\n"}});
    EXPECT_TRUE(l.said("# WARNING: unknown material \"nothing\" in line10")) << l.err;
    EXPECT_TRUE(l.mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    // Faces before the first usemtl get a default material after the library's.
    ASSERT_EQ(l.mesh.m_materials.size(), 3u);
    EXPECT_EQ(l.mesh.m_materials[2].m_name, "default");
    EXPECT_EQ(l.mesh.m_materials[1].m_tex_diffuse, "b.png");
    // 1 default triangle, 2 + 1 blue (the unknown switch changes nothing), 1 red.
    EXPECT_EQ(l.mesh.m_matranges, (std::vector<tMatRange>{{0, 2}, {3, 1}, {12, 0}, {15, -1}}));

    sLoaded none(five + "usemtl red\nf 1 2 3\n");
    EXPECT_TRUE(none.said("# warning: No materials defined! \"usemtl red\" illegal in line6"));
    EXPECT_FALSE(none.mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    EXPECT_EQ(none.mesh.m_matranges, (std::vector<tMatRange>{{0, 0}, {3, -1}}));
}

TEST(MtlLibrary, KeywordsAndMessages)
{
    std::vector<cMaterial_GL> out;
    const std::string text = "Kd 1 1 1\r\n"
                             "newmtl glass\r\n"
                             "Ka 0.1 0.2 0.3\n Kd 0.4\tKs 0.7 0.8 0.9\nNs 96\nillum 4\n"
                             "Tf 0.3 0.6 0.9\nTr 0.2\nNi 1.45\nmap_Ka a.png\nmap_Kd d.png\n"
                             "map_Ks s.png\nbump b.png\nmap_d t.png\nKe 1 1 1\n"
                             "newmtl thin\nd 0.25\n";
    CaptureStderr();
    cMtlLoader().parse(text.data(), text.size(), "glass.mtl", out);
    EXPECT_FALSE(cMtlLoader().load_file("/nonexistent/lib.mtl", out));
    const std::string err = GetCapturedStderr();
    ASSERT_EQ(out.size(), 2u);
    const cMaterial_GL& m = out[0];
    EXPECT_EQ(m.m_name, "glass");
    EXPECT_FLOAT_EQ(m.m_ambient[2], 0.3f);
    EXPECT_FLOAT_EQ(m.m_diffuse[1], 0.4f); // one value is a grey
    EXPECT_FLOAT_EQ(m.m_shininess, 96.0f);
    EXPECT_EQ(m.m_illum, 4);
    EXPECT_FLOAT_EQ(m.m_dissolve, 0.6f);
    EXPECT_FLOAT_EQ(m.m_optical_density, 1.45f);
    EXPECT_EQ(m.m_tex_ambient + m.m_tex_diffuse + m.m_tex_specular + m.m_tex_bump +
                  m.m_tex_transparency,
              "a.pngd.pngs.pngb.pngt.png");
    EXPECT_FLOAT_EQ(out[1].m_dissolve, 0.25f);
    EXPECT_NE(err.find(": no 'newmtl' entry was found previous to line1"), std::string::npos);
    EXPECT_NE(err.find("# warning: unknown token \"Ke\"\n# warning: unknown token encountered "
                       "in \"glass.mtl\" line 15. Skipping..."),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("## ERROR: Couldn't open /nonexistent/lib.mtl"), std::string::npos);
}

TEST(ObjText, OddInputStaysInBounds)
{
    for (const char* text : {"f", "f /", "f //", "f 1/", "v 1e40 -1e40 nan\nf 1 1 1",
                             "vt\nvn\nf 1/1/1", "f -99999999999999999999 1 2", "usemtl", "mtllib",
                             "v 1 2 3\nv 1 2 3\nv 1 2 3\nf 1 2 3 -1 -2 -3 -4"}) {
        sLoaded l(text);
        for (uint32_t i : l.mesh.m_elem)
            EXPECT_LT(i, l.mesh.m_pos.size() / 3) << text;
    }
}
