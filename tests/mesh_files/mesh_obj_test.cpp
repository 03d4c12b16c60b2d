// Mesh objects: smooth normals against analytic results and against the plain search, the
// buffer and material rules, and drawing textured material ranges into a render target.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "gl_extensions.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/mesh_test_util.h"
#include "mesh_files/reference_normals.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "resource_path.h"
#include "support/gl_fixture.h"

using ::testing::ExitedWithCode;

namespace {

void expect_normal(const cMeshObj_data& mesh, size_t v, float x, float y, float z)
{
    EXPECT_NEAR(mesh.m_norm[v * 3 + 0], x, 1e-6f) << "vertex " << v;
    EXPECT_NEAR(mesh.m_norm[v * 3 + 1], y, 1e-6f) << "vertex " << v;
    EXPECT_NEAR(mesh.m_norm[v * 3 + 2], z, 1e-6f) << "vertex " << v;
}

// A wavy grid whose rows are cut into strips with their own copies of the seam vertices;
// some copies are moved just inside, some just outside the coincidence distance, and some
// sit on the edges of the search cells.
void seamed_grid(cMeshObj_data& mesh, int n)
{
    mesh.m_pos.clear();
    mesh.m_elem.clear();
    uint32_t seed = 12345;
    auto jitter = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        switch ((seed >> 24) % 5) {
        case 0:
            return 0.99e-4f;
        case 1:
            return 1.01e-4f;
        case 2:
            return 0.5e-4f;
        default:
            return 0.0f;
        }
    };
    for (int strip = 0; strip < n; ++strip) {
        const uint32_t base = uint32_t(mesh.m_pos.size() / 3);
        for (int row = 0; row <= 1; ++row) {
            for (int col = 0; col <= n; ++col) {
                const float x = float(col) * 2e-4f * 37.0f;
                const float y = float(strip + row) * 2e-4f * 41.0f;
                const float dx = (row == 0 && strip > 0) ? jitter() : 0.0f;
                mesh.m_pos.insert(mesh.m_pos.end(), {x + dx, y, std::sin(x * 40.0f) * 0.01f});
            }
        }
        for (int col = 0; col < n; ++col) {
            const uint32_t a = base + uint32_t(col), b = a + 1;
            const uint32_t c = a + uint32_t(n) + 1, d = c + 1;
            mesh.m_elem.insert(mesh.m_elem.end(), {a, b, d, a, d, c});
        }
    }
    mesh.m_norm.assign(mesh.m_pos.size(), 0.0f);
}

} // namespace

TEST(SmoothNormals, CubeCornersPointAlongTheDiagonals)
{
    cMeshObj mesh;
    mesh_test::fanned_cube(mesh);
    smooth_normals(mesh);
    const float d = 1.0f / std::sqrt(3.0f);
    for (size_t v = 0; v < mesh.m_pos.size() / 3; ++v) {
        const float* p = &mesh.m_pos[v * 3];
        const int extent = int(std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]));
        if (extent == 3)
            expect_normal(mesh, v, std::copysign(d, p[0]), std::copysign(d, p[1]),
                          std::copysign(d, p[2]));
        else // a face centre keeps its face's normal
            expect_normal(mesh, v, p[0], p[1], p[2]);
    }
}

TEST(SmoothNormals, DegenerateTrianglesAddNothing)
{
    cMeshObj clean;
    mesh_test::fanned_cube(clean);
    smooth_normals(clean);

    cMeshObj damaged;
    mesh_test::fanned_cube(damaged);
    // Repeated corners, a triangle on a line, and an unused vertex far away.
    damaged.m_elem.insert(damaged.m_elem.end(), {1, 1, 2, 3, 3, 3, 1, 2, 1});
    const uint32_t mid = uint32_t(damaged.m_pos.size() / 3);
    damaged.m_pos.insert(damaged.m_pos.end(), {1.0f, 0.0f, -1.0f}); // on the edge 1-2 of face 0
    damaged.m_elem.insert(damaged.m_elem.end(), {1, mid, 2});
    damaged.m_pos.insert(damaged.m_pos.end(), {50.0f, 50.0f, 50.0f});
    damaged.m_norm.clear(); // a mesh that had no normals gets them
    smooth_normals(damaged);

    ASSERT_EQ(damaged.m_norm.size(), damaged.m_pos.size());
    for (size_t i = 0; i < clean.m_norm.size(); ++i)
        EXPECT_FLOAT_EQ(damaged.m_norm[i], clean.m_norm[i]) << i;
    for (size_t i = clean.m_norm.size(); i < damaged.m_norm.size(); ++i)
        EXPECT_EQ(damaged.m_norm[i], 0.0f) << "no usable triangle: zero, not NaN";
}

TEST(SmoothNormals, SpatialSearchAgreesWithThePairSearch)
{
    cMeshObj_data fast;
    seamed_grid(fast, 24);
    cMeshObj_data slow = fast;
    const sCoincidence lists = find_coincident_vertices(fast);
    const sCoincidence reference = mesh_test::quadratic_coincident_vertices(slow);
    EXPECT_EQ(lists.offset, reference.offset);
    EXPECT_EQ(lists.index, reference.index);
    // Some seams joined, some not: the case is not trivial.
    EXPECT_GT(lists.index.size(), fast.m_pos.size() / 3);
    EXPECT_LT(lists.index.size(), fast.m_pos.size() / 3 * 2);

    smooth_normals(fast);
    mesh_test::quadratic_smooth_normals(slow);
    EXPECT_EQ(fast.m_norm, slow.m_norm); // bit for bit: same lists, same order of sums
}

TEST(SmoothNormals, ListsAreNotTransitive)
{
    // a-b and b-c are closer than 0.0001, a-c is not: b joins both, a and c stay apart.
    cMeshObj mesh;
    mesh.m_pos = {0, 0, 0, 0.00006f, 0, 0, 0.00012f, 0, 0, 1, 0, 0, 0, 1, 0};
    mesh.m_elem = {0, 3, 4, 1, 3, 4, 2, 3, 4};
    const sCoincidence lists = find_coincident_vertices(mesh);
    auto list_of = [&](uint32_t v) {
        return std::vector<uint32_t>(lists.index.begin() + lists.offset[v],
                                     lists.index.begin() + lists.offset[v + 1]);
    };
    EXPECT_EQ(list_of(0), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(list_of(1), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(list_of(2), (std::vector<uint32_t>{1, 2}));
}

TEST(VertexBuffers, MisuseStops)
{
    EXPECT_DEATH(
        {
            cVBO vbo(3);
            vbo.unbind();
        },
        "tried to unbind vbo, but it.*s not bound");
    EXPECT_EXIT(
        {
            cMeshObj mesh;
            mesh.get_vbo(4);
        },
        ExitedWithCode(255), ": Unknown vbo. Exiting...");
}

TEST(Materials, CopyAndDissolve)
{
    cMaterial_GL source;
    source.m_name = "source";
    source.m_tex_diffuse = "d.png";
    source.m_diffuse[0] = 0.3f;
    source.m_illum = 4;
    source.m_dissolve = 0.5f;
    source.m_emission[2] = 0.9f;
    source.m_diffuse_map = cTexProxy(GL_TEXTURE_2D, 7, 4, 4);

    // A material missing three of its four maps copies as such instead of stopping.
    cMaterial_GL copy;
    copy.m_name = "copy";
    copy.assign(source);
    EXPECT_EQ(copy.m_name, "copy");
    EXPECT_EQ(copy.m_tex_diffuse, "d.png");
    EXPECT_EQ(copy.m_illum, 4);
    EXPECT_FLOAT_EQ(copy.m_emission[2], 0.9f);
    EXPECT_EQ(copy.m_diffuse_map.get_texname(), 7u);
    EXPECT_FALSE(copy.m_bump_map.isValid());

    cMaterial_GL plain;
    plain.m_dissolve = 0.5f;
    plain.load_textures(); // no names: no textures needed
    for (const float* c : {plain.m_emission, plain.m_ambient, plain.m_diffuse, plain.m_specular})
        EXPECT_FLOAT_EQ(c[3], 0.5f);
}

// --- drawing ----------------------------------------------------------------------------------

namespace {

class MeshDrawTest : public vnt_test::GLTest
{
protected:
    static void SetUpTestSuite()
    {
        vnt_test::ensure_gl();
        s_scratch = new mesh_test::cScratchDir("mesh_draw_test");
        s_dir = s_scratch->path();
        // 2x2 picture: red, green along the bottom; blue, white along the top.
        const std::vector<unsigned char> rgba = {255, 0, 0,   255, 0,   255, 0,   255,
                                                 0,   0, 255, 255, 255, 255, 255, 255};
        vnt_test::write_png((s_dir + "/quad_colours.png").c_str(), 2, 2, rgba);
        cResourcePath::get_instance()->push_searchpath(s_dir);
    }
    static void TearDownTestSuite() { delete s_scratch; }

    // Two unit-square quads side by side (x 0..0.5 and 0.5..1), texture 0..1 on each.
    static void two_quads(cMeshObj& mesh)
    {
        mesh.m_flags = iMeshType::T_DTEX_BIT | iMeshType::T_NORMALS_BIT;
        for (float x0 : {0.0f, 0.5f}) {
            const uint32_t base = uint32_t(mesh.m_pos.size() / 3);
            const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& c : corners) {
                mesh.m_pos.insert(mesh.m_pos.end(), {x0 + c[0] * 0.5f, c[1], 0.0f});
                mesh.m_norm.insert(mesh.m_norm.end(), {0, 0, 1});
                mesh.m_tex0.insert(mesh.m_tex0.end(), {c[0], c[1]});
            }
            mesh.m_elem.insert(mesh.m_elem.end(),
                               {base, base + 1, base + 2, base, base + 2, base + 3});
        }
    }

    // Draws `mesh` over the whole target with the unit square mapped onto it; returns pixels.
    static std::vector<unsigned char> render(cMeshObj& mesh, int& w, int& h)
    {
        cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
        w = int(target->m_width);
        h = int(target->m_height);
        glClearColor(0, 0, 0, 0);
        target->bind_as_target(true);
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        mesh.draw();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopAttrib();
        std::vector<unsigned char> px = vnt_test::read_pixels(0, 0, w, h);
        target->unbind_as_target();
        return px;
    }

    // The colour at (x, y) of the target, each channel rounded to steps of 16 (bilinear
    // filtering a pixel off a texel centre moves a channel by a few steps of 1).
    static std::array<int, 3> at(const std::vector<unsigned char>& px, int w, int h, float x,
                                 float y)
    {
        const size_t i = (size_t(y * float(h)) * size_t(w) + size_t(x * float(w))) * 4;
        auto q = [](unsigned char c) { return std::min(255, (int(c) + 8) / 16 * 16); };
        return {q(px[i]), q(px[i + 1]), q(px[i + 2])};
    }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
    static inline std::string s_dir;
};

} // namespace

TEST_F(MeshDrawTest, MaterialRangesDrawTheirOwnMaps)
{
    cMeshObj mesh;
    two_quads(mesh);
    mesh.m_flags |= iMeshType::T_MATERIALS_BIT;
    mesh.m_matranges = {{0, 0}, {6, 1}, {12, -1}};
    mesh.m_materials.resize(2);
    // Unlit look: emission carries the colour (model 0), the map modulates it.
    mesh.m_materials[0].m_illum = 0;
    mesh.m_materials[0].m_diffuse[0] = mesh.m_materials[0].m_diffuse[1] = 1.0f;
    mesh.m_materials[0].m_diffuse[2] = 1.0f;
    mesh.m_materials[0].m_tex_diffuse = "quad_colours.png";
    mesh.m_materials[1].m_illum = 0;
    mesh.m_materials[1].m_diffuse[0] = mesh.m_materials[1].m_diffuse[1] = 0.0f;
    mesh.m_materials[1].m_diffuse[2] = 1.0f;
    for (cMaterial_GL& m : mesh.m_materials)
        m.load_textures();
    mesh.upload(true); // the cleared mesh still knows what to draw
    EXPECT_TRUE(mesh.m_pos.empty());
    EXPECT_TRUE(mesh.m_elem.empty());

    int w = 0, h = 0;
    const std::vector<unsigned char> px = render(mesh, w, h);
    vnt_test::write_png("mesh_material_ranges.png", w, h, px);
    // Left quad: the four texels at their centres.
    EXPECT_EQ(at(px, w, h, 0.125f, 0.25f), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(at(px, w, h, 0.375f, 0.25f), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(at(px, w, h, 0.125f, 0.75f), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(at(px, w, h, 0.375f, 0.75f), (std::array<int, 3>{255, 255, 255}));
    // Right quad: plain blue, no leftover map from the first range.
    EXPECT_EQ(at(px, w, h, 0.625f, 0.25f), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(at(px, w, h, 0.875f, 0.75f), (std::array<int, 3>{0, 0, 255}));

    // Drawing leaves units 2, 1, 0 without 2D texture, unit 0 active, no arrays or buffers.
    GLint active = 0, array = -1, element = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &array);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &element);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(array, 0);
    EXPECT_EQ(element, 0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1, GL_TEXTURE2}) {
        glActiveTextureARB(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << unit - GL_TEXTURE0;
    }
    glActiveTextureARB(GL_TEXTURE0);
}

TEST_F(MeshDrawTest, WithoutTheMaterialFlagOneCallDrawsEverything)
{
    cMeshObj mesh;
    two_quads(mesh);
    mesh.m_flags &= uint8_t(~iMeshType::T_NORMALS_BIT);
    mesh.m_matranges = {{0, 0}, {12, -1}};
    mesh.upload(false);
    EXPECT_EQ(mesh.get_element_count(), 12u);
    EXPECT_FALSE(mesh.m_pos.empty());
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor4f(1, 0.5f, 0, 1);
    int w = 0, h = 0;
    const std::vector<unsigned char> px = render(mesh, w, h);
    glPopAttrib();
    EXPECT_EQ(at(px, w, h, 0.1f, 0.5f), (std::array<int, 3>{255, 128, 0}));
    EXPECT_EQ(at(px, w, h, 0.9f, 0.5f), (std::array<int, 3>{255, 128, 0}));
}

TEST_F(MeshDrawTest, IlluminationModels)
{
    auto material = [](GLenum what) {
        std::array<float, 4> v{};
        glGetMaterialfv(GL_FRONT, what, v.data());
        return v;
    };
    const GLfloat marker[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    cMaterial m;
    m.m_diffuse[0] = 0.9f;
    m.m_specular[1] = 0.6f;
    m.m_ambient[2] = 0.4f;
    m.m_shininess = 300.0f; // beyond what OpenGL accepts: clamped, no GL error

    glPushAttrib(GL_LIGHTING_BIT);
    for (GLenum what : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION})
        glMaterialfv(GL_FRONT_AND_BACK, what, marker);
    m.m_illum = 3;
    m.apply();
    for (GLenum what : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION})
        EXPECT_EQ(material(what), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));

    m.m_illum = 0;
    m.apply();
    EXPECT_FLOAT_EQ(material(GL_EMISSION)[0], 0.9f);
    EXPECT_EQ(material(GL_DIFFUSE), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_EQ(material(GL_SPECULAR), (std::array<float, 4>{0, 0, 0, 1}));

    m.m_illum = 1;
    m.apply();
    EXPECT_FLOAT_EQ(material(GL_AMBIENT)[2], 0.4f);
    EXPECT_EQ(material(GL_SPECULAR), (std::array<float, 4>{0, 0, 0, 1}));

    m.m_illum = 2;
    m.apply();
    EXPECT_FLOAT_EQ(material(GL_SPECULAR)[1], 0.6f);
    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 128.0f);
    glPopAttrib();
}

TEST_F(MeshDrawTest, DiffuseMapWinsOverTheTransparencyMap)
{
    auto wrap_of = [](const cTexProxy& p) {
        GLint wrap = 0;
        glBindTexture(GL_TEXTURE_2D, p.get_texname());
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glBindTexture(GL_TEXTURE_2D, 0);
        return wrap;
    };
    // Copies of the picture under other names, so each is uploaded with its own wrap mode.
    std::filesystem::copy_file(s_dir + "/quad_colours.png", s_dir + "/diffuse_map.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(s_dir + "/quad_colours.png", s_dir + "/alpha_map.png",
                               std::filesystem::copy_options::overwrite_existing);
    cMaterial_GL both;
    both.m_tex_diffuse = "diffuse_map.png";
    both.m_tex_transparency = "alpha_map.png";
    both.load_textures();
    ASSERT_TRUE(both.m_diffuse_map.isValid());
    EXPECT_EQ(wrap_of(both.m_diffuse_map), GL_CLAMP);

    cMaterial_GL alpha_only;
    alpha_only.m_tex_transparency = "alpha_map.png";
    alpha_only.load_textures();
    EXPECT_EQ(wrap_of(alpha_only.m_diffuse_map), GL_REPEAT);
}
