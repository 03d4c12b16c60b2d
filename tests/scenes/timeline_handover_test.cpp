// The hand-overs of the demo's timeline where layers meet: the title cut against the attractor's
// fade at 26000, the cube tunnel, the particle field and the cave together at 80000, and the
// order the composition draws overlapping layers in.
#include <gtest/gtest.h>

#include <vector>

#include "render_target.h"
#include "render_target_manager.h"
#include "scene_manager.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_composition.h"
#include "scenes/scene_cube_tunnel.h"
#include "scenes/scene_mushrooms_j.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_title.h"
#include "support/demo_timeline.h"

namespace {

// Stands in for a layer's scene and notes when the composition asks it for its picture.
class cRecordingScene : public cScene
{
public:
    cRecordingScene(const cClock* in_clock, int in_depth, std::vector<int>& out_order)
        : cScene(in_clock), m_depth(in_depth), m_order(out_order)
    {
    }
    std::string get_name() const override { return "recording"; }
    void load() override {}
    void init() override {}
    void deinit() override {}
    void handle_event(cEvent*) override {}
    bool update() override { return true; }
    cRTProxy render_to_texture(int) override
    {
        m_order.push_back(m_depth);
        cRTProxy picture = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        picture->bind_as_target(true);
        picture->unbind_as_target();
        return picture;
    }

private:
    int m_depth;
    std::vector<int>& m_order;
};

using TimelineHandoverTest = vnt_test::DemoTimelineTest;

TEST_F(TimelineHandoverTest, TheTitleCutsAt26000WhileTheAttractorFadesOutUntil27000)
{
    ASSERT_EQ(comp->layer(10).m_scene, manager->get_scene<cSceneTitle>());
    ASSERT_EQ(comp->layer(5).m_scene, manager->get_scene<cSceneAttractor>());
    play(12000, 26000, 20);
    EXPECT_EQ(comp->active_depths(26000), (std::vector<int>{5, 10, 12}));
    EXPECT_FLOAT_EQ(comp->layer(10).m_opacity, 1.0f); // opaque on its last millisecond
    const float attractor_at_cut = comp->layer(5).m_opacity;
    EXPECT_NEAR(attractor_at_cut, 1.0f / 3.0f, 0.01f); // two thirds into its 3 s fade

    at(26001);
    EXPECT_EQ(comp->active_depths(26001), (std::vector<int>{5, 12})); // the title is gone
    float previous = comp->layer(5).m_opacity;
    EXPECT_LE(previous, attractor_at_cut);
    EXPECT_GT(previous, 0.0f);
    for (int t = 26020; t <= 27000; t += 20) {
        at(t);
        EXPECT_LE(comp->layer(5).m_opacity, previous) << t;
        previous = comp->layer(5).m_opacity;
    }
    EXPECT_NEAR(previous, 0.0f, 0.01f);
    EXPECT_EQ(comp->active_depths(27001), (std::vector<int>{12}));
}

TEST_F(TimelineHandoverTest, TheTunnelTheFieldAndTheCaveMeetAt80000)
{
    ASSERT_EQ(comp->layer(20).m_scene, manager->get_scene<cSceneCubeTunnel>());
    ASSERT_EQ(comp->layer(25).m_scene, manager->get_scene<cSceneParticles>());
    ASSERT_EQ(comp->layer(45).m_scene, manager->get_scene<cSceneMushroomsJ>());
    EXPECT_EQ(comp->active_depths(79999), (std::vector<int>{20, 25}));
    EXPECT_EQ(comp->active_depths(80000), (std::vector<int>{20, 25, 45}));
    for (int t : {80001, 81500, 83000})
        EXPECT_EQ(comp->active_depths(t), (std::vector<int>{25, 45})) << t;
    EXPECT_EQ(comp->active_depths(83001), (std::vector<int>{45}));

    // The tunnel has faded out as the cave begins to fade in; the field is blended additively.
    play(78000, 80000, 20);
    EXPECT_NEAR(comp->layer(20).m_opacity, 0.0f, 0.01f);
    EXPECT_NEAR(comp->layer(45).m_opacity, 0.0f, 0.01f);
    EXPECT_EQ(comp->layer(25).m_blendmode, 1);
    play(80020, 80500, 20);
    EXPECT_NEAR(comp->layer(45).m_opacity, 1.0f, 0.01f);
    play(80520, 83000, 20);
    EXPECT_NEAR(comp->layer(25).m_opacity, 0.0f, 0.01f);
}

// Overlapping layers are drawn bottom to top, each scene asked once per frame, and every target
// is back in the pool after the frame.
TEST_F(TimelineHandoverTest, OverlappingLayersAreDrawnInDepthOrder)
{
    std::vector<int> order;
    const int depths[] = {20, 25, 45};
    std::vector<std::unique_ptr<cRecordingScene>> stand_ins;
    std::vector<cScene*> real;
    for (int depth : depths) {
        stand_ins.push_back(std::make_unique<cRecordingScene>(&manager->clock(), depth, order));
        real.push_back(comp->layer(depth).m_scene);
        comp->layer(depth).m_scene = stand_ins.back().get();
    }
    at(80000);
    comp->draw();
    EXPECT_EQ(order, (std::vector<int>{20, 25, 45}));
    order.clear();
    at(81000);
    comp->draw();
    EXPECT_EQ(order, (std::vector<int>{25, 45}));
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
    for (size_t i = 0; i < real.size(); ++i)
        comp->layer(depths[i]).m_scene = real[i];
}

} // namespace
