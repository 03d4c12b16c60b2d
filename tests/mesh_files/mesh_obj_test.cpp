// Mesh objects: smooth normals against the analytic cube and against the pair search, buffer
// and material rules, and textured material ranges drawn into a render target.
#include <gtest/gtest.h>

#include <cmath>

#include "gl_extensions.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/mesh_test_util.h"
#include "mesh_files/reference_normals.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "resource_path.h"
#include "support/gl_fixture.h"

using ::testing::ExitedWithCode;

TEST(SmoothNormals, CubeCornersPointAlongTheDiagonals)
{
    cMeshObj mesh;
    mesh_test::fanned_cube(mesh);
    smooth_normals(mesh);
    const float d = 1.0f / std::sqrt(3.0f);
    for (size_t i = 0; i < mesh.m_pos.size(); ++i) {
        const float* p = &mesh.m_pos[i - i % 3];
        const bool corner = std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]) > 2.5f;
        // Corners along the diagonal; face centres keep their face's normal.
        EXPECT_NEAR(mesh.m_norm[i], corner ? std::copysign(d, mesh.m_pos[i]) : mesh.m_pos[i], 1e-6f)
            << i;
    }
}

TEST(SmoothNormals, DegenerateTrianglesAddNothing)
{
    cMeshObj clean, damaged;
    mesh_test::fanned_cube(clean);
    smooth_normals(clean);
    mesh_test::fanned_cube(damaged);
    // Repeated corners, a triangle on a line (vertex 30 on the edge 1-2), an unused vertex; and
    // a normal list that was empty (a mesh without normals gets them).
    damaged.m_pos.insert(damaged.m_pos.end(), {1, 0, -1, 50, 50, 50});
    damaged.m_elem.insert(damaged.m_elem.end(), {1, 1, 2, 3, 3, 3, 1, 2, 1, 1, 30, 2});
    damaged.m_norm.clear();
    smooth_normals(damaged);
    ASSERT_EQ(damaged.m_norm.size(), damaged.m_pos.size());
    for (size_t i = 0; i < clean.m_norm.size(); ++i)
        EXPECT_FLOAT_EQ(damaged.m_norm[i], clean.m_norm[i]) << i;
    for (size_t i = clean.m_norm.size(); i < damaged.m_norm.size(); ++i)
        EXPECT_EQ(damaged.m_norm[i], 0.0f) << "no usable triangle: zero, not NaN";
}

TEST(SmoothNormals, SpatialSearchAgreesWithThePairSearch)
{
    // Strips of a wavy grid with their own copies of the seam vertices, moved just inside or
    // just outside the coincidence distance, many of them on the borders of the search cells.
    cMeshObj_data fast;
    const int n = 24;
    const float offsets[4] = {0.99e-4f, 1.01e-4f, 0.5e-4f, 0.0f};
    for (int strip = 0; strip < n; ++strip) {
        const uint32_t base = uint32_t(fast.m_pos.size() / 3);
        for (int row = 0; row <= 1; ++row)
            for (int col = 0; col <= n; ++col) {
                const float x = float(col) * 74e-4f, y = float(strip + row) * 82e-4f;
                const float dx = (row == 0 && strip > 0) ? offsets[(col * 7 + strip) % 4] : 0;
                fast.m_pos.insert(fast.m_pos.end(), {x + dx, y, std::sin(x * 40.0f) * 0.01f});
            }
        for (uint32_t a = base; a < base + uint32_t(n); ++a)
            fast.m_elem.insert(fast.m_elem.end(), {a, a + 1, a + n + 2, a, a + n + 2, a + n + 1});
    }
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

TEST(MeshRules, MisuseStopsAndMaterialsCopy)
{
    EXPECT_DEATH(cVBO(3).unbind(), "tried to unbind vbo, but it.*s not bound");
    EXPECT_EXIT(cMeshObj().get_vbo(4), ExitedWithCode(255), ": Unknown vbo. Exiting...");

    // A material missing three of its four maps copies as such instead of stopping.
    cMaterial_GL source, copy;
    source.m_illum = 4;
    source.m_emission[2] = 0.9f;
    source.m_diffuse_map = cTexProxy(GL_TEXTURE_2D, 7, 4, 4);
    copy.assign(source);
    EXPECT_TRUE(copy.m_illum == 4 && copy.m_emission[2] == 0.9f);
    EXPECT_EQ(copy.m_diffuse_map.get_texname(), 7u);
    EXPECT_FALSE(copy.m_bump_map.isValid());

    source.m_dissolve = 0.5f;
    source.load_textures(); // no names: no textures needed
    for (const float* c :
         {source.m_emission, source.m_ambient, source.m_diffuse, source.m_specular})
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
        // 2x2 picture: red, green along the bottom; blue, white along the top. Three names,
        // so each is uploaded with the wrap mode of its own first request.
        const std::vector<unsigned char> rgba = {255, 0, 0,   255, 0,   255, 0,   255,
                                                 0,   0, 255, 255, 255, 255, 255, 255};
        for (const char* name : {"/quad_colours.png", "/diffuse_map.png", "/alpha_map.png"})
            vnt_test::write_png((s_scratch->path() + name).c_str(), 2, 2, rgba);
        cResourcePath::get_instance()->push_searchpath(s_scratch->path());
    }
    static void TearDownTestSuite() { delete s_scratch; }

    // Draws two quads side by side (x 0..0.5, 0.5..1, texture 0..1 each) over a target, one
    // range per quad; returns the colours at the centres of the 4 x 2 cells, rounded to 16.
    static std::vector<std::array<int, 3>> draw_quads(cMeshObj& mesh)
    {
        mesh.m_flags |= iMeshType::T_DTEX_BIT | iMeshType::T_NORMALS_BIT;
        for (float x0 : {0.0f, 0.5f}) {
            const uint32_t b = uint32_t(mesh.m_pos.size() / 3);
            for (auto [u, v] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                mesh.m_pos.insert(mesh.m_pos.end(), {x0 + 0.5f * float(u), float(v), 0});
                mesh.m_norm.insert(mesh.m_norm.end(), {0, 0, 1});
                mesh.m_tex0.insert(mesh.m_tex0.end(), {float(u), float(v)});
            }
            mesh.m_elem.insert(mesh.m_elem.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
        }
        mesh.m_matranges = {{0, 0}, {6, 1}, {12, -1}};
        mesh.upload(true); // a cleared mesh still knows what to draw

        cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
        const int w = int(target->m_width), h = int(target->m_height);
        glClearColor(0, 0, 0, 0);
        target->bind_as_target(true);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        mesh.draw();
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        const std::vector<unsigned char> px = vnt_test::read_pixels(0, 0, w, h);
        target->unbind_as_target();
        vnt_test::write_png("mesh_material_ranges.png", w, h, px);
        std::vector<std::array<int, 3>> cells;
        auto q = [](unsigned char c) { return std::min(255, (int(c) + 8) / 16 * 16); };
        for (int cy : {0, 1})
            for (int cx = 0; cx < 4; ++cx) {
                const size_t i =
                    (size_t((cy * 2 + 1) * h / 4) * size_t(w) + size_t((cx * 2 + 1) * w / 8)) * 4;
                cells.push_back({q(px[i]), q(px[i + 1]), q(px[i + 2])});
            }
        return cells;
    }

    static inline mesh_test::cScratchDir* s_scratch = nullptr;
};

using tRGB = std::array<int, 3>;

} // namespace

TEST_F(MeshDrawTest, MaterialRangesDrawTheirOwnMaps)
{
    cMeshObj mesh;
    mesh.m_flags = iMeshType::T_MATERIALS_BIT;
    mesh.m_materials.resize(2);
    // Model 0 makes the diffuse colour the emission: white under the map, plain blue after.
    for (int c = 0; c < 3; ++c)
        mesh.m_materials[0].m_diffuse[c] = 1.0f;
    mesh.m_materials[0].m_illum = mesh.m_materials[1].m_illum = 0;
    mesh.m_materials[0].m_tex_diffuse = "quad_colours.png";
    mesh.m_materials[1].m_diffuse[0] = mesh.m_materials[1].m_diffuse[1] = 0.0f;
    mesh.m_materials[1].m_diffuse[2] = 1.0f;
    for (cMaterial_GL& m : mesh.m_materials)
        m.load_textures();
    const std::vector<tRGB> cells = draw_quads(mesh);
    // Left quad: the four texels; right quad: blue, no map left over from the first range.
    const tRGB red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    EXPECT_EQ(cells, (std::vector<tRGB>{red, green, blue, blue, blue, white, blue, blue}));

    // Units 2, 1, 0 without 2D texture, unit 0 active, no arrays or buffers left bound.
    GLint active = 0, array = -1, element = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &array);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &element);
    EXPECT_TRUE(active == GL_TEXTURE0 && array == 0 && element == 0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY) ||
                 glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTextureARB(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << unit - GL_TEXTURE0;
    }
}

TEST_F(MeshDrawTest, WithoutTheMaterialFlagOneCallDrawsEverything)
{
    cMeshObj mesh;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor4f(1, 0.5f, 0, 1);
    const std::vector<tRGB> cells = draw_quads(mesh);
    glPopAttrib();
    EXPECT_EQ(cells, std::vector<tRGB>(8, tRGB{255, 128, 0}));
}

TEST_F(MeshDrawTest, IlluminationModelsAndMaps)
{
    auto emission = []() {
        std::array<float, 4> v{};
        glGetMaterialfv(GL_FRONT, GL_EMISSION, v.data());
        return v;
    };
    glPushAttrib(GL_LIGHTING_BIT);
    const GLfloat marker[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, marker);
    cMaterial m;
    m.m_diffuse[0] = 0.9f;
    m.m_shininess = 300.0f; // more than OpenGL takes: clamped instead of a GL error
    m.m_illum = 3;
    m.apply();
    EXPECT_EQ(emission(), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f})) << "model 3";
    m.m_illum = 0;
    m.apply();
    EXPECT_FLOAT_EQ(emission()[0], 0.9f);
    m.m_illum = 2;
    m.apply();
    glPopAttrib();

    // The diffuse map wins over the transparency map and clamps; alone, the transparency map
    // repeats.
    auto wrap_of = [](const cTexProxy& p) {
        GLint wrap = 0;
        glBindTexture(GL_TEXTURE_2D, p.get_texname());
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glBindTexture(GL_TEXTURE_2D, 0);
        return wrap;
    };
    cMaterial_GL both, alpha_only;
    both.m_tex_diffuse = "diffuse_map.png";
    both.m_tex_transparency = alpha_only.m_tex_transparency = "alpha_map.png";
    both.load_textures();
    alpha_only.load_textures();
    EXPECT_EQ(wrap_of(both.m_diffuse_map), GL_CLAMP);
    EXPECT_EQ(wrap_of(alpha_only.m_diffuse_map), GL_REPEAT);
}
