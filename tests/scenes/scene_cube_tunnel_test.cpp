// The cube tunnel: its variables, the clap flash, frames along its timeline window, rings that
// keep their look while they travel.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/scene_cube_tunnel.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class CubeTunnelTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        tunnel.load();
    }
    vnt_test::sTestClock clock;
    cSceneCubeTunnel tunnel{&clock.clock};
};

TEST_F(CubeTunnelTest, OffersFovAndPresence)
{
    EXPECT_EQ(tunnel.get_name(), "cubetunnel");
    expect_vars(tunnel, {{"fov", 10, 160}, {"cur_t", 0, 1}});
    // "fov" is the camera's own field of view.
    tVarList vars = tunnel.get_vars();
    static_cast<cVar<float>*>(vars[0].first)->set(70.0f);
    EXPECT_FLOAT_EQ(tunnel.m_camera.fov, 70.0f);
    delete_var_list(vars);
}

TEST_F(CubeTunnelTest, ClapFlashesTheRingsAndNothingElseDoes)
{
    clock.set(60000);
    cMETrigger hat = note_on(10, 42, 60000), off = note_off(4, 39, 60000);
    tunnel.handle_event(&hat);
    tunnel.handle_event(&off);
    EXPECT_TRUE(tunnel.interpolators().empty());

    cMETrigger clap = note_on(4, 39, 60000);
    tunnel.handle_event(&clap);
    ASSERT_EQ(tunnel.interpolators().size(), 1u);
    auto* flash = dynamic_cast<cEaseOut<float>*>(tunnel.interpolators()[0]);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->m_starttime, 60000);
    EXPECT_EQ(flash->m_endtime, 60300);
    EXPECT_FLOAT_EQ(flash->m_from, 1.0f);
    EXPECT_FLOAT_EQ(flash->m_to, 0.0f);

    tunnel.update();
    EXPECT_FLOAT_EQ(tunnel.m_flash, 1.0f);
    clock.set(60400);
    tunnel.update();
    EXPECT_FLOAT_EQ(tunnel.m_flash, 0.0f);
}

TEST_F(CubeTunnelTest, FramesAlongTheWindowKeepStateAndShowTheTunnel)
{
    // Moments of the timeline: the entry (fov 90), the middle, the closing (cur_t falling).
    struct
    {
        int ms;
        float fov, cur_t;
        const char* name;
    } moments[] = {{52500, 88.1f, 1.0f, "cubetunnel_52500"},
                   {66000, 60.0f, 1.0f, "cubetunnel_66000"},
                   {79200, 60.0f, 0.35f, "cubetunnel_79200"}};
    std::vector<unsigned char> open;
    for (const auto& m : moments) {
        tunnel.m_camera.fov = m.fov;
        tunnel.m_cur_t = m.cur_t;
        std::vector<unsigned char> frame = checked_frame(tunnel, clock, m.ms, m.name);
        EXPECT_GT(vnt_test::lit_share(frame), 0.08) << m.name;
        open = frame;
    }
    // The tunnel moves: a frame 100 ms later differs.
    tunnel.m_cur_t = 1.0f;
    std::vector<unsigned char> a = checked_frame(tunnel, clock, 70000);
    std::vector<unsigned char> b = checked_frame(tunnel, clock, 70100);
    EXPECT_GT(changed_share(a, b), 0.05);
    // Gone: at cur_t 0 the picture is darker than with the tunnel closed.
    tunnel.m_cur_t = 0.0f;
    std::vector<unsigned char> gone = checked_frame(tunnel, clock, 70100);
    EXPECT_LT(vnt_test::mean_rgba(gone)[0] + vnt_test::mean_rgba(gone)[2],
              vnt_test::mean_rgba(b)[0] + vnt_test::mean_rgba(b)[2]);
}

TEST_F(CubeTunnelTest, RingsMovingUpASlotChangeThePictureNoMoreThanOrdinaryMotion)
{
    // Two frames 1/60 s apart, the travel placed by hand: once across the moment every ring
    // moves up one slot, once in the middle of a slot.
    auto difference = [&](float position, float travel) {
        std::vector<unsigned char> frames[2];
        for (int k = 0; k < 2; ++k) {
            clock.set(66000 + 17 * k); // the frame's update() then travels nothing
            tunnel.m_position = position + float(k) * travel;
            frames[k] = checked_frame(tunnel, clock, 66000 + 17 * k);
        }
        return mean_colour_difference(frames[0], frames[1]);
    };
    const float step = tunnel.m_speed / 60.0f;
    const float slot = 40.0f * cSceneCubeTunnel::RING_SPACING;
    const double across = difference(slot - 0.5f * step, step);
    const double ordinary = difference(slot + 0.3f, step);
    EXPECT_GT(ordinary, 0.5);
    EXPECT_LT(across, 1.5 * ordinary);
}

} // namespace
