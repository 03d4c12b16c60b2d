// The demo base class: one demo per process, the debug keys, the mouse latch, time texts.
#include <gtest/gtest.h>

#include <sstream>

#include "demo.h"
#include "input.h"
#include "video_module.h"

namespace {

class cTestDemo : public cDemo
{
public:
    void setup() override {}
};

} // namespace

TEST(Demo, TimeTextsAndOneDemoAtATime)
{
    EXPECT_EQ(format_time(3723004), "01:02:03,004");
    EXPECT_EQ(format_time(36000000 * 3), "30:00:00,000");
    EXPECT_EQ(format_time(-150), "-00:00:00,150"); // the demo time before the first jump
    std::ostringstream os;
    print_time_report(os, 62345, "scenecomp");
    EXPECT_EQ(os.str(), "-\n00:01:02,345 - scenecomp\n");

    cTestDemo first;
    EXPECT_THROW(cTestDemo second, std::exception);
}

TEST(Demo, HandledKeysFireOncePerPressUnhandledKeysStayHeld)
{
    cTestDemo demo;
    g_keys.clear();
    g_keys.press('\t');
    g_keys.press('z');
    demo.handle_keys();
    EXPECT_TRUE(demo.overlay_shown());
    // Still held: Tab was consumed, so it does not flip again.
    demo.handle_keys();
    EXPECT_TRUE(demo.overlay_shown() && !g_keys.held('\t') && g_keys.held('z'));
    // Releasing and pressing again flips back.
    g_keys.press('\t');
    demo.handle_keys();
    EXPECT_FALSE(demo.overlay_shown());
    g_keys.release('z');
    EXPECT_EQ(g_keys.size(), 0);
}

TEST(Demo, SpacePrintsTheTimeReportOnce)
{
    cTestDemo demo;
    g_keys.clear();
    g_keys.press(' ');
    testing::internal::CaptureStderr();
    demo.handle_keys();
    demo.handle_keys();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // not before the frame's time is set
    testing::internal::CaptureStderr();
    demo.report_if_asked();
    demo.report_if_asked();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("-\n"), 0u);
    EXPECT_EQ(err.find("-\n", 1), std::string::npos) << err;
}

TEST(Demo, QuitKeysEndTheProgramWithZero)
{
    EXPECT_EXIT(
        {
            cTestDemo demo;
            g_keys.press('q');
            demo.handle_keys();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Demo, MouseLatchAndWheelButtons)
{
    cTestDemo demo;
    cVideoModule::get_instance()->set_size(1280, 720);
    g_mouse = sMouse();
    g_mouse.button[1] = g_mouse.button[4] = 1;
    g_mouse.x = 0.5f;
    demo.handle_mouse();
    EXPECT_EQ(g_mouse.latch & 9, 9);
    EXPECT_EQ(g_mouse.button[4], 0); // the wheel is cleared here
    EXPECT_FLOAT_EQ(g_mouse.ring[g_mouse.ring_index].x, 0.5f);

    // Releasing the button with the overlay hidden leaves the latch set: only the overlay
    // clears it when it gets the release.
    g_mouse.button[1] = 0;
    demo.handle_mouse();
    EXPECT_EQ(g_mouse.latch & 1, 1);
    g_keys.clear();
    g_keys.press('\t');
    demo.handle_keys();
    demo.handle_mouse();
    EXPECT_EQ(g_mouse.latch & 1, 0);
}
