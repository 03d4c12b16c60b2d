// The load screen: eased ramps, the picture it draws, the state it leaves behind.
#include <gtest/gtest.h>

#include <array>

#include "clock.h"
#include "gl_extensions.h"
#include "load_screen.h"
#include "resource_path.h"
#include "support/gl_fixture.h"

using vnt_test::GLTest;

TEST(LoadScreen, RampIsEasedAtBothEnds)
{
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(0, 0.5f, 0, 200), 0.0f);
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(0, 0.5f, 100, 200), 0.25f);
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(0, 0.5f, 50, 200), 0.078125f); // slow start
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(0, 0.5f, 250, 200), 0.5f);
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(1, 0, 100, 200), 0.5f);
    EXPECT_FLOAT_EQ(cLoadScreen_MM::ramp(0.2f, 0.7f, 0, 0), 0.7f);
}

TEST_F(GLTest, LoadScreenDrawsTheLevelAndRestoresViewportAndClearColour)
{
    glViewport(10, 20, 300, 200);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    {
        cLoadScreen_MM screen("../data/models/loader");
        GLint vp[4];
        glGetIntegerv(GL_VIEWPORT, vp);
        EXPECT_EQ(vp[2], 1280); // the demo area while loading

        // Without swapping, one picture at the previous level (black) and the level moves on.
        screen.show_progress(0.5f, false);
        EXPECT_FLOAT_EQ(screen.level(), 0.5f);
        EXPECT_EQ(vnt_test::read_pixel(640, 360)[0], 0);
        screen.show_progress(1.0f, false);
        EXPECT_NEAR(vnt_test::read_pixel(640, 360)[0], 128, 2);

        // With swapping it ramps up for about 200 ms and ends at the new level.
        screen.show_progress(1.0f, true);
        EXPECT_FLOAT_EQ(screen.level(), 1.0f);
    }
    std::array<GLint, 4> vp;
    glGetIntegerv(GL_VIEWPORT, vp.data());
    EXPECT_EQ(vp, (std::array<GLint, 4>{10, 20, 300, 200}));
    std::array<GLfloat, 4> clear;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(cResourcePath::get_instance()->searchpaths().back(), "../data/models/loader/");
}

namespace {

uint64_t g_ticks = 0;
uint64_t ticks_stepping_5ms()
{
    const uint64_t now = g_ticks;
    g_ticks += 5000000;
    return now;
}

} // namespace

TEST_F(GLTest, LoadScreenRampEndsWhereverTheCounterStands)
{
    // 2^31 ms after boot (25 days up), and the counter's sign bit: the ramp still ends.
    for (uint64_t start :
         {(uint64_t(1) << 31) * 1000000 - 100000000ull, (uint64_t(1) << 63) - 100000000ull}) {
        g_ticks = start;
        vnt::set_counter(&ticks_stepping_5ms, 1000000000);
        {
            cLoadScreen_MM screen;
            screen.show_progress(1.0f, true);
            EXPECT_FLOAT_EQ(screen.level(), 1.0f);
        }
        vnt::set_counter(nullptr, 0);
        EXPECT_GT(g_ticks - start, 200000000u); // it waited its 200 ms on the counter
    }
}
