// Mesh cache: the key is the file part of the name, the loader follows the exact extension,
// and the first request's preparation (materials dropped, smooth normals) is the one kept.
#include <gtest/gtest.h>

#include <fstream>

#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/mesh_test_util.h"
#include "mesh_manager.h"
#include "resource_path.h"
#include "support/gl_fixture.h"

TEST(MeshManagerNames, KeyAndExtensionRules)
{
    for (const char* name : {"a/b/model.bzobj", "a\\b\\model.bzobj", "x/y\\model.bzobj"})
        EXPECT_EQ(cMeshManager::file_part(name), "model.bzobj") << name;
    EXPECT_EQ(cMeshManager::file_part("dir/"), "");
    EXPECT_EQ(cMeshManager::format_of("../data/models/hex.tunnel.bzobj"), cMeshManager::MF_BZOBJ);
    EXPECT_EQ(cMeshManager::format_of("cave.obj"), cMeshManager::MF_OBJ);
    // Exact and case-sensitive, taken after the last dot of the file part.
    for (const char* name : {"cave.OBJ", "cave.Bzobj", "cave.obj.bak", "models.obj/cave", "obj"})
        EXPECT_EQ(cMeshManager::format_of(name), cMeshManager::MF_UNKNOWN) << name;
}

namespace {

class MeshManagerTest : public vnt_test::GLTest
{
protected:
    static void SetUpTestSuite()
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        vnt_test::ensure_gl();
        s_scratch = new mesh_test::cScratchDir("mesh_manager_test");
        const std::string dir = s_scratch->path();
        if (s_scratch->owner()) {
            // A cube with normals and two materials, under several names.
            cMeshObj cube;
            mesh_test::fanned_cube(cube);
            cube.m_flags = iMeshType::T_NORMALS_BIT | iMeshType::T_MATERIALS_BIT;
            cube.m_norm.assign(cube.m_pos.size(), 0.0f);
            cube.m_matranges = {{0, 0}, {36, 1}, {72, -1}};
            cube.m_materials.resize(2);
            std::string error;
            for (const char* name : {"cube.bzobj", "plain_cube.bzobj", "smooth_cube.bzobj"})
                ASSERT_TRUE(bobj_save(cube, dir + "/" + name, error)) << error;
            std::ofstream(dir + "/tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
            std::ofstream(dir + "/tri.OBJ") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
        }
        cResourcePath::get_instance()->push_searchpath(dir);
    }
    static void TearDownTestSuite() { delete s_scratch; }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
};

} // namespace

TEST_F(MeshManagerTest, OneMeshPerFilePart)
{
    cMeshManager* mm = cMeshManager::get_instance();
    iMesh* first = mm->get("a/b/cube.bzobj", false, false, false);
    ASSERT_NE(first, nullptr);
    const size_t cached = mm->size();
    EXPECT_EQ(mm->get("cube.bzobj", true, true, true), first);
    EXPECT_EQ(mm->get("c:\\models\\cube.bzobj", false, false, false), first);
    EXPECT_EQ(mm->size(), cached);
    // The later request's flags changed nothing: materials and per-range drawing remain.
    cMeshObj* cube = dynamic_cast<cMeshObj*>(first);
    ASSERT_NE(cube, nullptr);
    EXPECT_TRUE(cube->checktypebit(iMeshType::T_MATERIALS_BIT));
    EXPECT_EQ(cube->m_materials.size(), 2u);
    EXPECT_FALSE(cube->m_pos.empty()) << "the first request did not clear";
    EXPECT_EQ(cube->get_element_count(), 72u);
}

TEST_F(MeshManagerTest, PreparationFlags)
{
    cMeshManager* mm = cMeshManager::get_instance();
    cMeshObj* plain = dynamic_cast<cMeshObj*>(mm->get("plain_cube.bzobj", true, true, false));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->checktypebit(iMeshType::T_MATERIALS_BIT));
    EXPECT_TRUE(plain->m_materials.empty());
    EXPECT_TRUE(plain->m_pos.empty()) << "cleared after upload";
    EXPECT_EQ(plain->get_vertex_count(), 30u);

    // Smooth normals are computed before the upload: read them back from the buffer.
    cMeshObj* smooth = dynamic_cast<cMeshObj*>(mm->get("smooth_cube.bzobj", true, false, true));
    ASSERT_NE(smooth, nullptr);
    EXPECT_TRUE(smooth->checktypebit(iMeshType::T_NORMALS_BIT));
    cVBO* normals = smooth->get_vbo(cMeshObj::VBO_NORM);
    ASSERT_EQ(normals->get_bytes(), 30u * 3 * sizeof(float));
    const float* n = static_cast<const float*>(normals->map(GL_READ_ONLY_ARB));
    ASSERT_NE(n, nullptr);
    const float first[3] = {n[0], n[1], n[2]};  // face centre of +x
    const float corner[3] = {n[3], n[4], n[5]}; // corner (1, -1, -1)
    normals->unmap();
    EXPECT_FLOAT_EQ(first[0], 1.0f);
    EXPECT_NEAR(corner[0], 0.57735f, 1e-5f);
    EXPECT_NEAR(corner[1], -0.57735f, 1e-5f);
}

TEST_F(MeshManagerTest, WavefrontFilesLoadByTheirExtension)
{
    cMeshObj* tri =
        dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get("tri.obj", false, false, false));
    ASSERT_NE(tri, nullptr);
    EXPECT_EQ(tri->get_element_count(), 3u);
    EXPECT_DEATH(cMeshManager::get_instance()->get("tri.OBJ", false, false, false), "newmesh");
}
