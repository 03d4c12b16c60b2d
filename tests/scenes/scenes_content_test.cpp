// The generated content of the scenes, read back with the engine's reader: every mesh carries
// normals and texture coordinates, its triangles are wound as its normals face, solids face
// outwards and tunnel walls inwards, the cave's and the sculpture's texture coordinates lie on
// their atlas, and the pictures load at the sizes the scenes expect.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "gl_extensions.h"
#include "math/vec3.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "scenes/scene_ganesh.h"
#include "support/gl_fixture.h"
#include "texture_manager.h"

namespace {

using V = Vec3<float>;

struct sModel
{
    const char* path; // below data/
    int facing;       // +1 faces away from the centre line, -1 towards it, 0 either
};

const sModel models[] = {
    {"models/hex_tunnel.bzobj", 1},
    {"models/octahedra.bzobj", 1},
    {"models/spikeball2.bzobj", 1},
    {"models/netsphere.bzobj", 1},
    {"models/blacknwhite_star.bzobj", 0},
    {"models/mandala_tunnel_bg.bzobj", -1},
    {"models/mandala_tunnel_streak.bzobj", -1},
    {"models/helix.bzobj", 1},
    {"models/logo_cubes.bzobj", 1},
    {"models/logo_cubes2.bzobj", 1},
    {"models/kaleido3d/logo_cubes2.bzobj", 1},
    {"models/kaleido3d/torus04.bzobj", 1},
    {"models/kaleido3d/worms.bzobj", 1},
    {"models/kaleido3d/mt_prismSymbol.bzobj", 1},
    {"models/kaleido3d/mt_ringSymbol.bzobj", 1},
    {"models/kaleido3d/mig_sphereSymbol.bzobj", 1},
    {"models/kaleido3d/mt_waveSymbol.bzobj", 1},
    {"models/kaleido3d/glimspike01.bzobj", 1},
    {"models/kaleido3d/glimspike02.bzobj", 1},
    {"models/kaleido3d/glimspike03.bzobj", 1},
};

std::string data_path(const char* in_relative)
{
    return std::string(VANTOR_SOURCE_DIR) + "/data/" + in_relative;
}

V vertex(const cMeshObj& mesh, const std::vector<float>& list, uint32_t i)
{
    return V(list[size_t(i) * 3], list[size_t(i) * 3 + 1], list[size_t(i) * 3 + 2]);
}

const char* const kMushroomMeshes[] = {
    "cave",       "mush01",     "mush01_vol",  "mush02",
    "mush02_vol", "mush_low01", "scatter_obj", "minimush_scattered"};

Vec3<double> at3(const std::vector<float>& list, uint32_t i)
{
    return {list[i * 3], list[i * 3 + 1], list[i * 3 + 2]};
}

// A mesh of many small pieces: unit normals, texture coordinates on the atlas, and the winding
// of a triangle agreeing with the normals of its corners (ignoring slivers).
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
        bad_normals += std::fabs(at3(mesh->m_norm, uint32_t(i)).length() - 1.0) > 1e-3;
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
        const Vec3<double> wound = (at3(mesh->m_pos, b) - at3(mesh->m_pos, a))
                                       .cross(at3(mesh->m_pos, c) - at3(mesh->m_pos, a));
        if (wound.length() < 1e-9)
            continue;
        ++counted;
        const Vec3<double> normal =
            at3(mesh->m_norm, a) + at3(mesh->m_norm, b) + at3(mesh->m_norm, c);
        against += wound.dot(normal) < 0;
    }
    EXPECT_GT(counted, 0u);
    EXPECT_LT(double(against), 0.002 * double(counted)) << against << " of " << counted;
}

} // namespace

TEST(ScenesContent, SolidsAndTunnelsFaceTheirWayWithNormalsThatAgreeWithTheirWinding)
{
    for (const sModel& model : models) {
        SCOPED_TRACE(model.path);
        cMeshObj mesh;
        bobj_load_compressed(mesh, data_path(model.path));
        ASSERT_TRUE(mesh.checktypebit(iMeshType::T_NORMALS_BIT));
        ASSERT_TRUE(mesh.checktypebit(iMeshType::T_DTEX_BIT));
        const size_t vertices = mesh.m_pos.size() / 3;
        ASSERT_GT(vertices, 0u);
        ASSERT_EQ(mesh.m_norm.size(), vertices * 3);
        ASSERT_EQ(mesh.m_tex0.size(), vertices * 2);
        ASSERT_EQ(mesh.m_elem.size() % 3, 0u);
        // Modest sizes: a frame draws dozens of copies of them.
        EXPECT_LT(vertices, 20000u);

        size_t disagreeing = 0, degenerate = 0;
        double outward = 0.0;
        for (size_t t = 0; t + 2 < mesh.m_elem.size(); t += 3) {
            const uint32_t* e = &mesh.m_elem[t];
            ASSERT_LT(e[0], vertices);
            ASSERT_LT(e[1], vertices);
            ASSERT_LT(e[2], vertices);
            const V a = vertex(mesh, mesh.m_pos, e[0]), b = vertex(mesh, mesh.m_pos, e[1]),
                    c = vertex(mesh, mesh.m_pos, e[2]);
            const V face = (b - a).cross(c - a);
            if (face.length() < 1e-9f) {
                ++degenerate;
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const V n = vertex(mesh, mesh.m_norm, e[k]);
                EXPECT_NEAR(n.length(), 1.0f, 1e-3f);
                disagreeing += n.dot(face) <= 0.0f;
            }
            // Away from the z axis for the tunnels, from the origin for the rest.
            const V centre = (a + b + c) / 3.0f;
            const V away = model.path == std::string("models/mandala_tunnel_bg.bzobj") ||
                                   model.path == std::string("models/mandala_tunnel_streak.bzobj")
                               ? V(centre.x, centre.y, 0)
                               : centre;
            outward += double(face.dot(away));
        }
        EXPECT_EQ(disagreeing, 0u);
        EXPECT_EQ(degenerate, 0u);
        if (model.facing > 0)
            EXPECT_GT(outward, 0.0);
        if (model.facing < 0)
            EXPECT_LT(outward, 0.0);
    }
}

TEST(ScenesContent, MaterialsAndTheTunnelWallsRepeat)
{
    cMeshObj star;
    bobj_load_compressed(star, data_path("models/blacknwhite_star.bzobj"));
    ASSERT_EQ(star.m_materials.size(), 2u);
    // The star lies in the z = 0 plane and faces the viewer on +z.
    for (size_t i = 0; i < star.m_pos.size(); i += 3)
        EXPECT_EQ(star.m_pos[i + 2], 0.0f);
    for (size_t i = 0; i < star.m_norm.size(); i += 3)
        EXPECT_NEAR(star.m_norm[i + 2], 1.0f, 1e-5f);

    cMeshObj wall;
    bobj_load_compressed(wall, data_path("models/mandala_tunnel_bg.bzobj"));
    // The wall repeats every 12 units down -z from the mouth at 0; the last petals reach a
    // little into the next repeat, where the pattern goes on.
    float lo = 0, hi = -100;
    for (size_t i = 0; i < wall.m_pos.size(); i += 3) {
        lo = std::min(lo, wall.m_pos[i + 2]);
        hi = std::max(hi, wall.m_pos[i + 2]);
    }
    EXPECT_NEAR(hi, 0.0f, 1e-5f);
    EXPECT_LT(lo, -12.0f);
    EXPECT_GT(lo, -12.5f);

    cMeshObj spikes;
    bobj_load_compressed(spikes, data_path("models/spikeball2.bzobj"));
    ASSERT_EQ(spikes.m_materials.size(), 1u);
    EXPECT_EQ(spikes.m_materials[0].m_tex_diffuse, "spike_glow.png");
    // Texture v runs up the spikes: the tips (far from the centre) have v = 1.
    for (size_t i = 0; i < spikes.m_pos.size() / 3; ++i) {
        const V p = vertex(spikes, spikes.m_pos, uint32_t(i));
        if (p.length() > 0.99f)
            EXPECT_FLOAT_EQ(spikes.m_tex0[i * 2 + 1], 1.0f);
    }
}

TEST(ScenesContent, CaveAndSculptureAreWoundAsTheyFaceWithTexturesOnTheAtlas)
{
    vnt_test::ensure_gl();
    for (const char* name : kMushroomMeshes)
        check_mesh(std::string("../data/models/mushroom/") + name + ".bzobj");
    for (const char* name : cSceneGanesh::mesh_files)
        check_mesh(std::string("../data/models/ganesh/") + name);
}

TEST(ScenesContent, PicturesLoadAsTwoDimensionalTexturesAtTheirSizes)
{
    vnt_test::ensure_gl();
    const struct
    {
        const char* name;
        unsigned width, height;
    } pictures[] = {{"sphere_horizon.jpg", 1024, 512},
                    {"sphere_soapbubble01.png", 256, 256},
                    {"spike_glow.png", 64, 256},
                    {"mushroom_cave_lightmap_neutral.png", 1024, 256},
                    {"mushroom_cave_lightmap_mushrooma.png", 1024, 256},
                    {"mushroom_cave_lightmap_mushroomb.png", 1024, 256},
                    {"mushroom_skin.png", 256, 256},
                    {"particle_sprite_03.jpg", 128, 128},
                    {"ganesh_gold.png", 256, 256},
                    {"ganesh_ornament.png", 256, 256},
                    {"ganesh_plate.png", 512, 512},
                    {"ganesh_glow.png", 128, 128}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        cTexProxy tex = cTextureManager::get_instance()->get_texture(p.name, true, GL_REPEAT, 0);
        ASSERT_TRUE(tex.isValid());
        EXPECT_EQ(tex.get_target(), GLenum(GL_TEXTURE_2D)); // mipmapped, sampled 0..1
        EXPECT_EQ(tex.get_width(), p.width);
        EXPECT_EQ(tex.get_height(), p.height);
    }
}
