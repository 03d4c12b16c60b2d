// The Ganesh sculpture: its variables, the clap, the camera flights framing the figure, the
// trail's image given back with the scene, the state diff file, and frames along its window.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "effects/interpolator.h"
#include "postprocessing/feedback.h"
#include "scene_test.h"
#include "scenes/scene_ganesh.h"

using namespace scene_test;

namespace {

// The trail's image stays lent out from one frame to the next.
constexpr uint32_t kTrail = 1;

class GaneshTest : public SceneTest<cSceneGanesh>
{
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        scene.m_write_diff = 0;
    }
    void TearDown() override
    {
        // As the scene's own destructor does.
        cPostFeedback::destroy_instance();
        SceneTest::TearDown();
    }
};

} // namespace

TEST_F(GaneshTest, ClapKicksAndNothingElseDoes)
{
    cMETrigger hat = note_on(10, 42, 120000), off = note(iMidiEvent::NOTE_OFF, 4, 39, 120000),
               clap = note_on(4, 39, 120000);
    expect_kick(scene, clock, 120000, scene.m_kick, {&hat, &off}, &clap);
}

TEST_F(GaneshTest, ShippedFlightsLoadAndFrameTheFigure)
{
    const Vec3<float> figure(0.0f, 1.4f, 0.0f); // the middle of the sculpture
    const float half_fov = 30.0f;               // of the scene's 60 degrees
    for (int i = 0; i < cSceneGanesh::NUM_PATHS; ++i) {
        SCOPED_TRACE(cSceneGanesh::path_files[i]);
        const CCamPath& path = scene.m_paths[i];
        for (float t = 0.0f; t <= 1.0f; t += 0.05f) {
            const Vec3<float> eye = path.eye(t), look = (path.centre(t) - eye).normalized();
            const Vec3<float> to_figure = figure - eye;
            // In front of the mandala, clear of the figure, and the figure in the picture.
            EXPECT_GT(eye.z, 1.5f) << t;
            EXPECT_GT(to_figure.length(), 2.0f) << t;
            const float angle =
                std::acos(std::clamp(look.dot(to_figure.normalized()), -1.0f, 1.0f)) * 57.2958f;
            EXPECT_LT(angle, half_fov) << t;
        }
    }
}

TEST_F(GaneshTest, CameraFollowsThePathOrTurnsToThePortrait)
{
    scene.m_campath = 12; // beyond the seven paths: held to the last one
    scene.m_campath_t = 0.5f;
    checked_frame(scene, clock, 125000, "", kTrail);
    EXPECT_EQ(scene.m_camera.eye, scene.m_paths[6].eye(0.5f));
    EXPECT_EQ(scene.m_camera.ctr, scene.m_paths[6].centre(0.5f));
    scene.m_cam_t = 1.0f;
    checked_frame(scene, clock, 125020, "", kTrail);
    const Vec3<float> portrait = scene.m_camera.eye;
    EXPECT_NE(portrait, scene.m_paths[6].eye(0.5f));
    scene.m_campath = 2; // the path no longer matters
    checked_frame(scene, clock, 125040, "", kTrail);
    EXPECT_EQ(scene.m_camera.eye, portrait);
}

TEST_F(GaneshTest, TrailImageGoesBackToThePoolWithTheScene)
{
    cPostFeedback::destroy_instance();
    cRenderTargetManager* pool = cRenderTargetManager::get_instance();
    {
        cSceneGanesh other(&clock.clock);
        other.load();
        other.m_write_diff = 0;
        for (int t = 130000; t < 130100; t += 20)
            checked_frame(other, clock, t, "", kTrail);
        EXPECT_EQ(pool->lent_out(), kTrail);
        EXPECT_TRUE(cPostFeedback::get_instance()->feedback().isValid());
    }
    EXPECT_EQ(pool->lent_out(), 0u);
    EXPECT_FALSE(cPostFeedback::has_instance());
}

TEST_F(GaneshTest, StateDiffIsWrittenOnlyWhenAskedAndShowsNoLeak)
{
#if defined(__OPTIMIZE__)
    // The shipped demo writes no file every frame.
    EXPECT_EQ(cSceneGanesh(&clock.clock).m_write_diff, 0);
#endif
    std::filesystem::remove(cSceneGanesh::diff_file);
    checked_frame(scene, clock, 118000, "", kTrail);
    EXPECT_FALSE(std::filesystem::exists(cSceneGanesh::diff_file));

    scene.m_write_diff = 1;
    checked_frame(scene, clock, 118020, "", kTrail);
    ASSERT_TRUE(std::filesystem::exists(cSceneGanesh::diff_file));
    // A frame that gives back every state it changes leaves no differing line.
    std::ifstream in(cSceneGanesh::diff_file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "\n");
    std::filesystem::remove(cSceneGanesh::diff_file);
}

TEST_F(GaneshTest, FinaleOpensTheMandalaOut)
{
    scene.m_campath = 6;
    scene.m_campath_t = 0.3f;
    scene.m_trail.fade = 0.5f;
    auto still = checked_frame(scene, clock, 136000, "", kTrail);
    scene.m_scene_t = 1.0f;
    auto open = checked_frame(scene, clock, 136000, "", kTrail);
    // The pieces move: a good part of the picture changes.
    size_t changed = 0;
    for (size_t i = 0; i < still.size(); i += 4)
        changed += std::abs(still[i] - open[i]) + std::abs(still[i + 1] - open[i + 1]) > 48;
    EXPECT_GT(double(changed) / double(still.size() / 4), 0.2);
}

TEST_F(GaneshTest, FramesAlongTheWindowKeepStateAndShowTheFigure)
{
    // The timeline's camera moves, as its interpolators set them.
    const std::tuple<int, int, float, float> shots[] = {{116000, 4, 0.3f, 0},
                                                        {122000, 1, 0.45f, 0},
                                                        {128000, 5, 0.55f, 0},
                                                        {132000, 3, 0.45f, 0},
                                                        {139000, 6, 0.6f, 0.6f}};
    int i = 0;
    for (auto [t, path, progress, scene_t] : shots) {
        scene.m_campath = path;
        scene.m_scene_t = scene_t;
        // A few frames before, so the trail has something to show.
        const float step = 0.02f / 6.0f;
        for (int k = 4; k > 0; --k) {
            scene.m_campath_t = progress - step * float(k);
            checked_frame(scene, clock, t - 20 * k, "", kTrail);
        }
        scene.m_campath_t = progress;
        const auto pixels = checked_frame(scene, clock, t, "ganesh_" + std::to_string(i++), kTrail);
        EXPECT_GT(vnt_test::lit_share(pixels), 0.3) << t;
    }
}
