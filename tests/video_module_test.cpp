// The video module's attribute report, viewport placement and pixel-to-unit mapping.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <utility>

#include "video_module.h"

TEST(VideoModule, AttributeReportNamesTheFirstMismatch)
{
    const int requested[9] = {8, 8, 8, 8, 24, 1, 0, 0, 0};
    EXPECT_EQ(cVideoModule::attribute_report(requested, requested), "");

    int depth16[9] = {8, 8, 8, 8, 16, 1, 0, 0, 0};
    EXPECT_EQ(cVideoModule::attribute_report(requested, depth16),
              "# warning: init_sdl: SDL display attribute 4 failed\n"
              "requested: 8x8x8x8x24  doublebuffered  0\n"
              "recieved: 8x8x8x8x16 doublebuffered  0\n"
              "---------------------\n");

    // Stereo is not printed: the two lines look alike.
    int stereo[9] = {8, 8, 8, 8, 24, 1, 0, 0, 1};
    const std::string report = cVideoModule::attribute_report(requested, stereo);
    EXPECT_NE(report.find("attribute 8 failed"), std::string::npos);

    // A single-buffered, multisampled grant.
    const int fsaa[9] = {8, 8, 8, 8, 24, 1, 1, 4, 0};
    int single[9] = {8, 8, 8, 8, 24, 0, 1, 4, 0};
    EXPECT_EQ(cVideoModule::attribute_report(fsaa, single),
              "# warning: init_sdl: SDL display attribute 5 failed\n"
              "requested: 8x8x8x8x24  doublebuffered multisample 4\n"
              "recieved: 8x8x8x8x24 singlebuffered multisample 4\n"
              "---------------------\n");
}

TEST(VideoModule, LetterboxedViewportAndUnitMapping)
{
    cVideoModule* video = cVideoModule::get_instance();
    video->set_size(1280, 720);
    video->m_height = 1024; // a 1280x1024 window around a 1280x720 demo area
    EXPECT_EQ(std::pair(video->get_vp_offset(), video->get_vp_height()), std::pair(152u, 720u));

    float x = -1, y = -1;
    video->to_unit(0, 152, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(0.0f, 0.0f));
    video->to_unit(640, 152 + 360, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(0.5f, 0.5f));
    video->to_unit(10, 20, x, y); // lower band
    EXPECT_FLOAT_EQ(y, 0);
    video->to_unit(10, 1000, x, y); // upper band
    EXPECT_FLOAT_EQ(y, 1);

    video->m_widescreen = true;
    EXPECT_EQ(std::pair(video->get_vp_offset(), video->get_vp_height()), std::pair(0u, 1024u));
    video->to_unit(0, 512, x, y);
    EXPECT_FLOAT_EQ(y, 0.5f);
    video->m_widescreen = false;
    video->set_size(1280, 720);
}

TEST(VideoModule, WindowingLibraryThatCannotStartEndsWithAFailureStatus)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
            cVideoModule::get_instance()->init_sdl();
        },
        testing::ExitedWithCode(1), "## ERROR: whoops, SDL failed to init: .* exiting!");
}

TEST(VideoModule, DesktopFullscreenFitsThePictureCentredInMultiplesOfFour)
{
    struct sCase
    {
        uint32_t screen_w, screen_h, x, y, w, h;
    } cases[] = {
        {1280, 1024, 0, 152, 1280, 720}, // 5:4: bands above and below
        {1920, 800, 250, 0, 1420, 800},  // wider than 16:9: bands left and right
        {1366, 768, 1, 0, 1364, 768},    // 16:9 in odd pixels: rounded down, still centred
        {3840, 2160, 0, 0, 3840, 2160},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.screen_w);
        const cVideoModule::sFit fit = cVideoModule::fit_picture(c.screen_w, c.screen_h, 1280, 720);
        EXPECT_EQ(std::tuple(fit.x, fit.y, fit.w, fit.h), std::tuple(c.x, c.y, c.w, c.h));
    }
}
