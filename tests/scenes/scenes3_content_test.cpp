// The generated content of the mushroom cave and the Ganesh sculpture: every mesh reads back
// with normals and texture coordinates, its triangles wound as its normals face, its texture
// coordinates on the atlas; the pictures the scenes bind are there at their sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "scenes/scene_ganesh.h"
#include "support/gl_fixture.h"
#include "texture_manager.h"

namespace {

const char* const kMushroomMeshes[] = {
    "cave",       "mush01",     "mush01_vol",  "mush02",
    "mush02_vol", "mush_low01", "scatter_obj", "minimush_scattered"};

Vec3<double> at(const std::vector<float>& list, uint32_t i)
{
    return {list[i * 3], list[i * 3 + 1], list[i * 3 + 2]};
}

void check_mesh(const std::string& path)
{
    SCOPED_TRACE(path);
    std::unique_ptr<cMeshObj> mesh(BzObjLoader::create(path));
    ASSERT_TRUE(mesh->checktypebit(iMeshType::T_NORMALS_BIT));
    ASSERT_TRUE(mesh->checktypebit(iMeshType::T_DTEX_BIT));
    ASSERT_FALSE(mesh->m_elem.empty());
    const size_t vertices = mesh->m_pos.size() / 3;
    ASSERT_EQ(mesh->m_norm.size(), vertices * 3);
    ASSERT_EQ(mesh->m_tex0.size(), vertices * 2);

    size_t bad_normals = 0, off_atlas = 0;
    for (size_t i = 0; i < vertices; ++i) {
        bad_normals += std::fabs(at(mesh->m_norm, uint32_t(i)).length() - 1.0) > 1e-3;
        for (int k = 0; k < 2; ++k) {
            const float t = mesh->m_tex0[i * 2 + size_t(k)];
            off_atlas += !(t >= 0.0f && t <= 1.0f);
        }
    }
    EXPECT_EQ(bad_normals, 0u);
    EXPECT_EQ(off_atlas, 0u);

    // The winding of a triangle agrees with the normals of its corners (ignoring slivers).
    size_t against = 0, counted = 0;
    for (size_t k = 0; k + 2 < mesh->m_elem.size(); k += 3) {
        const uint32_t a = mesh->m_elem[k], b = mesh->m_elem[k + 1], c = mesh->m_elem[k + 2];
        const Vec3<double> wound = (at(mesh->m_pos, b) - at(mesh->m_pos, a))
                                       .cross(at(mesh->m_pos, c) - at(mesh->m_pos, a));
        if (wound.length() < 1e-9)
            continue;
        ++counted;
        const Vec3<double> normal = at(mesh->m_norm, a) + at(mesh->m_norm, b) + at(mesh->m_norm, c);
        against += wound.dot(normal) < 0;
    }
    EXPECT_GT(counted, 0u);
    EXPECT_LT(double(against), 0.002 * double(counted)) << against << " of " << counted;
}

} // namespace

TEST(Scenes3Content, MeshesReadBackWoundAsTheyFaceWithTexturesOnTheAtlas)
{
    vnt_test::ensure_gl();
    for (const char* name : kMushroomMeshes)
        check_mesh(std::string("../data/models/mushroom/") + name + ".bzobj");
    for (const char* name : cSceneGanesh::mesh_files)
        check_mesh(std::string("../data/models/ganesh/") + name);
}

TEST(Scenes3Content, PicturesAreThereAtTheirSizes)
{
    vnt_test::ensure_gl();
    struct sPicture
    {
        const char* name;
        unsigned width, height;
    };
    const sPicture pictures[] = {{"mushroom_cave_lightmap_neutral.png", 1024, 256},
                                 {"mushroom_cave_lightmap_mushrooma.png", 1024, 256},
                                 {"mushroom_cave_lightmap_mushroomb.png", 1024, 256},
                                 {"mushroom_skin.png", 256, 256},
                                 {"particle_sprite_03.jpg", 128, 128},
                                 {"ganesh_gold.png", 256, 256},
                                 {"ganesh_ornament.png", 256, 256},
                                 {"ganesh_plate.png", 512, 512},
                                 {"ganesh_glow.png", 128, 128}};
    for (const sPicture& p : pictures) {
        SCOPED_TRACE(p.name);
        cTexProxy tex = cTextureManager::get_instance()->get_texture(p.name, true, GL_CLAMP, 0);
        ASSERT_TRUE(tex.isValid());
        EXPECT_EQ(tex.get_target(), GLenum(GL_TEXTURE_2D)); // mipmapped, sampled 0..1
        EXPECT_EQ(tex.get_width(), p.width);
        EXPECT_EQ(tex.get_height(), p.height);
    }
}
