// The generated content of the scenes, read back with the engine's reader: every mesh carries
// normals and texture coordinates, its triangles are wound as its normals face, solids face
// outwards and tunnel walls inwards, the cave's and the sculpture's texture coordinates lie on
// their atlas, and the pictures load at the sizes the scenes expect.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gl_extensions.h"
#include "math/vec3.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "scenes/scene_ganesh.h"
#include "support/gl_fixture.h"
#include "texture_manager.h"

namespace {

// Below data/, by the way the faces turn: away from the origin, towards the z axis (the
// tunnels), either way.
const std::pair<int, std::vector<const char*>> models[] = {
    {1,
     {"models/hex_tunnel.bzobj", "models/octahedra.bzobj", "models/spikeball2.bzobj",
      "models/netsphere.bzobj", "models/helix.bzobj", "models/logo_cubes.bzobj",
      "models/logo_cubes2.bzobj", "models/kaleido3d/logo_cubes2.bzobj",
      "models/kaleido3d/torus04.bzobj", "models/kaleido3d/worms.bzobj",
      "models/kaleido3d/mt_prismSymbol.bzobj", "models/kaleido3d/mt_ringSymbol.bzobj",
      "models/kaleido3d/mig_sphereSymbol.bzobj", "models/kaleido3d/mt_waveSymbol.bzobj",
      "models/kaleido3d/glimspike01.bzobj", "models/kaleido3d/glimspike02.bzobj",
      "models/kaleido3d/glimspike03.bzobj"}},
    {-1, {"models/mandala_tunnel_bg.bzobj", "models/mandala_tunnel_streak.bzobj"}},
    {0, {"models/blacknwhite_star.bzobj"}}};

std::string data_path(const char* in_relative)
{
    return std::string(VANTOR_SOURCE_DIR) + "/data/" + in_relative;
}

const char* const kMushroomMeshes[] = {
    "cave",       "mush01",     "mush01_vol",  "mush02",
    "mush02_vol", "mush_low01", "scatter_obj", "minimush_scattered"};

Vec3<double> at3(const std::vector<float>& list, uint32_t i)
{
    return {list[i * 3], list[i * 3 + 1], list[i * 3 + 2]};
}

// What every generated mesh promises: normals and texture coordinates for every vertex, unit
// normals, indices in range and (`atlas`) texture coordinates in 0..1. Counts the degenerate
// triangles, the corners and the triangles whose normals disagree with the winding, and sums
// how far the faces turn away from the centre (the z axis when `around_z`, else the origin).
struct sTally
{
    size_t triangles = 0, degenerate = 0, corners_against = 0, triangles_against = 0;
    double outward = 0;
};
sTally tally(const cMeshObj& mesh, bool atlas, bool around_z = false)
{
    sTally out;
    EXPECT_TRUE(mesh.checktypebit(iMeshType::T_NORMALS_BIT));
    EXPECT_TRUE(mesh.checktypebit(iMeshType::T_DTEX_BIT));
    const size_t vertices = mesh.m_pos.size() / 3;
    EXPECT_GT(vertices, 0u);
    if (mesh.m_norm.size() != vertices * 3 || mesh.m_tex0.size() != vertices * 2 ||
        mesh.m_elem.size() % 3 != 0) {
        ADD_FAILURE() << "list sizes";
        return out;
    }
    size_t bad_normals = 0, off_atlas = 0;
    for (size_t i = 0; i < vertices; ++i) {
        bad_normals += std::fabs(at3(mesh.m_norm, uint32_t(i)).length() - 1.0) > 1e-3;
        for (int k = 0; atlas && k < 2; ++k)
            off_atlas +=
                !(mesh.m_tex0[i * 2 + size_t(k)] >= 0.0f && mesh.m_tex0[i * 2 + size_t(k)] <= 1.0f);
    }
    EXPECT_EQ(bad_normals, 0u);
    EXPECT_EQ(off_atlas, 0u);
    for (size_t t = 0; t + 2 < mesh.m_elem.size(); t += 3) {
        const uint32_t* e = &mesh.m_elem[t];
        if (e[0] >= vertices || e[1] >= vertices || e[2] >= vertices) {
            ADD_FAILURE() << "index out of range in triangle " << t / 3;
            return out;
        }
        const Vec3<double> a = at3(mesh.m_pos, e[0]), b = at3(mesh.m_pos, e[1]),
                           c = at3(mesh.m_pos, e[2]), face = (b - a).cross(c - a);
        if (face.length() < 1e-9) {
            ++out.degenerate;
            continue;
        }
        ++out.triangles;
        for (int k = 0; k < 3; ++k)
            out.corners_against += at3(mesh.m_norm, e[k]).dot(face) <= 0.0;
        out.triangles_against +=
            face.dot(at3(mesh.m_norm, e[0]) + at3(mesh.m_norm, e[1]) + at3(mesh.m_norm, e[2])) < 0;
        const Vec3<double> centre = (a + b + c) / 3.0;
        out.outward += face.dot(around_z ? Vec3<double>(centre.x, centre.y, 0) : centre);
    }
    return out;
}

// A mesh of many small pieces: textures on the atlas, the winding agreeing with the normals
// but for slivers.
void check_mesh(const std::string& path)
{
    SCOPED_TRACE(path);
    std::unique_ptr<cMeshObj> mesh(BzObjLoader::create(path));
    const sTally t = tally(*mesh, true);
    EXPECT_GT(t.triangles, 0u);
    EXPECT_LT(double(t.triangles_against), 0.002 * double(t.triangles))
        << t.triangles_against << " of " << t.triangles;
}

} // namespace

TEST(ScenesContent, SolidsAndTunnelsFaceTheirWayWithNormalsThatAgreeWithTheirWinding)
{
    for (const auto& [facing, paths] : models) {
        for (const char* path : paths) {
            SCOPED_TRACE(path);
            cMeshObj mesh;
            bobj_load_compressed(mesh, data_path(path));
            // Modest sizes: a frame draws dozens of copies of them.
            EXPECT_LT(mesh.m_pos.size() / 3, 20000u);
            const sTally t = tally(mesh, false, facing < 0);
            EXPECT_EQ(t.corners_against, 0u);
            EXPECT_EQ(t.degenerate, 0u);
            if (facing != 0) {
                EXPECT_GT(t.outward * facing, 0.0);
            }
        }
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
        const Vec3<double> p = at3(spikes.m_pos, uint32_t(i));
        if (p.length() > 0.99) {
            EXPECT_FLOAT_EQ(spikes.m_tex0[i * 2 + 1], 1.0f);
        }
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
    const std::tuple<const char*, unsigned, unsigned> pictures[] = {
        {"sphere_horizon.jpg", 1024, 512},
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
    for (auto [name, width, height] : pictures) {
        SCOPED_TRACE(name);
        cTexProxy tex = cTextureManager::get_instance()->get_texture(name, true, GL_REPEAT, 0);
        ASSERT_TRUE(tex.isValid());
        EXPECT_EQ(tex.get_target(), GLenum(GL_TEXTURE_2D)); // mipmapped, sampled 0..1
        EXPECT_EQ(std::pair(tex.get_width(), tex.get_height()), std::pair(width, height));
    }
}
