// The mandala cube: the in/out pairs it morphs between, the waves of its
// configurations, frames across them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "scene_test.h"
#include "scenes/scene_mandala_cube.h"
#include "shaders/shd_mesh.h"

using namespace scene_test;

namespace {

std::string layer_path(int layer, const char* state)
{
    char name[96];
    std::snprintf(name, sizeof(name), "../data/models/mandala_cube/layer%02d_%s.bzobj", layer + 2,
                  state);
    return name;
}

class MandalaCubeTest : public SceneTest<cSceneMandalaCube>
{
protected:
    // One ring drawn into a cleared target under a fixed camera and light: through the
    // scene's morph at `weight`, or (weight < 0) the mesh `plain` with the plain lit shader.
    std::vector<unsigned char> draw_ring(int layer, float weight, iMesh* plain = nullptr)
    {
        cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        glClearColor(0, 0, 0, 0);
        target->bind_as_target(true);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        sCamera camera;
        camera.eye = Vec3<float>(0.8f, 2.2f, 3.2f);
        camera.ctr = Vec3<float>(0, 0, 0);
        camera.up = Vec3<float>(0, 1, 0);
        camera.fov = 40.0f;
        camera.apply_camera();
        const GLfloat light[4] = {1, 3, 4, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        shaders->push_shader();
        if (plain) {
            shaders->bind("dtex_shader");
            plain->draw();
        } else {
            scene.draw_layer(layer, weight);
        }
        shaders->pop_shader();
        glPopAttrib();
        std::vector<unsigned char> pixels = vnt_test::read_pixels(0, 0, 1280, 720);
        target->unbind_as_target();
        return pixels;
    }
};

TEST_F(MandalaCubeTest, EveryRingComesAsAnInOutPairOfEqualVertices)
{
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int layer = 0; layer < cSceneMandalaCube::NUM_LAYERS; ++layer) {
        SCOPED_TRACE(layer);
        auto* in =
            dynamic_cast<cMeshObj*>(meshes->get(layer_path(layer, "in"), true, false, false));
        auto* out =
            dynamic_cast<cMeshObj*>(meshes->get(layer_path(layer, "out"), true, false, false));
        ASSERT_TRUE(in && out);
        EXPECT_GT(in->get_vertex_count(), 0u);
        EXPECT_EQ(in->get_vertex_count(), out->get_vertex_count());
        EXPECT_EQ(in->get_element_count(), out->get_element_count());
        EXPECT_TRUE(out->checktypebit(iMeshType::T_NORMALS_BIT));
    }
}

TEST_F(MandalaCubeTest, TheMorphDrawsBetweenItsInAndOutMeshes)
{
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int layer : {0, cSceneMandalaCube::NUM_LAYERS - 1}) {
        SCOPED_TRACE(layer);
        iMesh* in = meshes->get(layer_path(layer, "in"), true, false, false);
        iMesh* out = meshes->get(layer_path(layer, "out"), true, false, false);
        const std::vector<unsigned char> plain_in = draw_ring(layer, -1, in);
        const std::vector<unsigned char> plain_out = draw_ring(layer, -1, out);
        const std::vector<unsigned char> folded = draw_ring(layer, 0.0f);
        const std::vector<unsigned char> opened = draw_ring(layer, 1.0f);
        const std::vector<unsigned char> half = draw_ring(layer, 0.5f);
        // The pair itself differs, so the comparisons below mean something.
        ASSERT_GT(changed_share(plain_in, plain_out, 8), 0.005);
        EXPECT_LT(changed_share(folded, plain_in, 8), 0.001);
        EXPECT_LT(changed_share(opened, plain_out, 8), 0.001);
        EXPECT_GT(changed_share(half, plain_in, 8), 0.002);
        EXPECT_GT(changed_share(half, plain_out, 8), 0.002);
        // Weights outside 0..1 hold at the ends.
        EXPECT_LT(changed_share(draw_ring(layer, 1.7f), plain_out, 8), 0.001);
        EXPECT_LT(changed_share(draw_ring(layer, -0.4f), plain_in, 8), 0.001);
    }
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
}

TEST_F(MandalaCubeTest, ConfigurationsChooseTheWaves)
{
    for (int layer = 0; layer < cSceneMandalaCube::NUM_LAYERS; ++layer) {
        for (float t : {0.0f, 0.7f, 3.1f, 12.25f}) {
            for (int config : {-1, 0, 4}) // closed, also for configurations that do not exist
                EXPECT_FLOAT_EQ(cSceneMandalaCube::layer_weight(config, layer, t), 0.0f);
            for (int config = 1; config <= 3; ++config) {
                const float w = cSceneMandalaCube::layer_weight(config, layer, t);
                EXPECT_TRUE(w >= 0.0f && w <= 1.0f) << config << " " << layer << " " << t;
            }
            EXPECT_GT(cSceneMandalaCube::layer_weight(3, layer, t), 0.6f);
        }
    }
    // The outward wave reaches the inner ring first; neighbours alternate in configuration 2.
    EXPECT_GT(std::fabs(cSceneMandalaCube::layer_weight(1, 0, 1.0f) -
                        cSceneMandalaCube::layer_weight(1, 4, 1.0f)),
              0.1f);
    EXPECT_NEAR(cSceneMandalaCube::layer_weight(2, 0, 0.4f) +
                    cSceneMandalaCube::layer_weight(2, 1, 0.4f),
                1.0f, 1e-4f);
}

TEST_F(MandalaCubeTest, FramesAcrossItsConfigurationsKeepStateAndShowTheCube)
{
    std::vector<unsigned char> closed;
    for (auto [ms, config] : {std::pair{3000, 0}, {5200, 1}, {8800, 2}, {12400, 3}}) {
        scene.m_cur_config = config;
        const std::vector<unsigned char> frame =
            checked_frame(scene, clock, ms, "mandalacube_config" + std::to_string(config));
        EXPECT_GT(vnt_test::lit_share(frame), 0.08) << config;
        if (config == 0)
            closed = frame;
        else
            EXPECT_GT(changed_share(frame, closed), 0.05) << config;
    }
    const std::vector<unsigned char> a = checked_frame(scene, clock, 20000);
    const std::vector<unsigned char> b = checked_frame(scene, clock, 20100);
    EXPECT_GT(changed_share(a, b), 0.01);
}

} // namespace
