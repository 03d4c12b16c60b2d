// The timeline rows of the particle field, the mushroom cave and the Ganesh sculpture, run
// through the demo's own composition frame by frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "midi_event.h"
#include "scene_manager.h"
#include "scenes/scene_composition.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_particles.h"
#include "support/demo_timeline.h"

namespace {

class TimelineScenes3Test : public vnt_test::DemoTimelineTest
{
protected:
    void SetUp() override
    {
        DemoTimelineTest::SetUp();
        field = manager->get_scene<cSceneParticles>();
        cave = manager->get_scene<cSceneMushroomsJ>();
        ganesh = manager->get_scene<cSceneGanesh>();
        ASSERT_TRUE(field && cave && ganesh);
    }

    cSceneParticles* field = nullptr;
    cSceneMushroomsJ* cave = nullptr;
    cSceneGanesh* ganesh = nullptr;
};

} // namespace

TEST_F(TimelineScenes3Test, TheCaveComesInOverTheFadingField)
{
    // The cave comes in over the field while the field fades out.
    const std::vector<int> at_81000 = comp->active_depths(81000);
    EXPECT_NE(std::find(at_81000.begin(), at_81000.end(), 25), at_81000.end());
    EXPECT_NE(std::find(at_81000.begin(), at_81000.end(), 45), at_81000.end());
}

TEST_F(TimelineScenes3Test, TheFieldIsFoldedByTheMandalaMirror)
{
    field->m_kaleidotype = 0;
    play(45000, 46000);
    EXPECT_EQ(field->m_kaleidotype, 7);
    EXPECT_NEAR(comp->layer(25).m_opacity, 0.5f, 0.05f);
}

TEST_F(TimelineScenes3Test, TheCavesRotationRunsOnPastItsWindow)
{
    play(79000, 80000);
    EXPECT_FLOAT_EQ(cave->m_rotation, 0.0f);
    play(80200, 95000, 200);
    EXPECT_NEAR(cave->m_rotation, 720.0f * 15000.0f / 60000.0f, 1.0f);
    play(95200, 106000, 200);
    // The lerp runs to 140000; the layer leaves at 106000 with the rotation part way.
    EXPECT_NEAR(cave->m_rotation, 720.0f * 26000.0f / 60000.0f, 1.0f);
}

TEST_F(TimelineScenes3Test, GaneshFliesItsFivePathsThenOpensOut)
{
    play(112000, 116050, 50);
    EXPECT_EQ(ganesh->m_campath, 4);
    EXPECT_NEAR(ganesh->m_campath_t, 0.65f * 3050.0f / 6100.0f, 0.01f);
    play(116100, 119100, 50);
    EXPECT_EQ(ganesh->m_campath, 1); // at the seam the later pair wins
    EXPECT_NEAR(ganesh->m_campath_t, 0.0f, 0.01f);
    play(119150, 127750, 50);
    EXPECT_EQ(ganesh->m_campath, 5);
    EXPECT_NEAR(ganesh->m_campath_t, 0.92f * 0.5f, 0.01f);
    play(127800, 132250, 50);
    EXPECT_EQ(ganesh->m_campath, 3);
    EXPECT_FLOAT_EQ(ganesh->m_scene_t, 0.0f);
    play(132300, 138150, 50);
    EXPECT_EQ(ganesh->m_campath, 6);
    EXPECT_NEAR(ganesh->m_scene_t, 3150.0f / 6300.0f, 0.01f);
    play(138200, 141300, 50);
    EXPECT_FLOAT_EQ(ganesh->m_scene_t, 1.0f);
    EXPECT_NEAR(ganesh->m_campath_t, 0.95f, 0.001f);
}

TEST_F(TimelineScenes3Test, EventsReachOnlyTheShownScenes)
{
    play(89000, 90000);
    const size_t cave_before = cave->interpolators().size();
    const size_t ganesh_before = ganesh->interpolators().size();
    cMETrigger clap(iMidiEvent::NOTE_ON, 39, 100);
    clap.m_track = 4;
    clap.m_time = 90000;
    comp->handle_event(&clap);
    EXPECT_EQ(cave->interpolators().size(), cave_before + 1);
    EXPECT_EQ(ganesh->interpolators().size(), ganesh_before);
}
