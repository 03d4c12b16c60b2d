// The space sphere and the net spheres: no timeline variables, frames that keep the state
// and show the planet and the nets moving.
#include <gtest/gtest.h>

#include "scenes/scene_net_sphere.h"
#include "scenes/scene_spacesphere.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class SpheresTest : public vnt_test::GLTest
{
protected:
    vnt_test::sTestClock clock;
};

TEST_F(SpheresTest, SpacesphereTurnsThePlanetInFrontOfTheStars)
{
    cSceneSpacesphere space(&clock.clock);
    space.load();
    std::vector<unsigned char> first;
    for (int ms : {0, 6000, 12000}) {
        std::vector<unsigned char> frame =
            checked_frame(space, clock, ms, "spacesphere_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.1) << ms;
        if (first.empty())
            first = frame;
        else
            EXPECT_GT(changed_share(first, frame), 0.02) << ms;
    }
    // Loading twice keeps one quadric and one texture.
    space.load();
    checked_frame(space, clock, 100);
}

TEST_F(SpheresTest, NetSpheresGlowAndTurn)
{
    cSceneNetSphere nets(&clock.clock);
    nets.load();
    std::vector<unsigned char> previous;
    for (int ms : {114000, 127000, 140500}) {
        std::vector<unsigned char> frame =
            checked_frame(nets, clock, ms, "netsphere_" + std::to_string(ms));
        EXPECT_GT(vnt_test::lit_share(frame), 0.1) << ms;
        if (!previous.empty()) {
            EXPECT_GT(changed_share(previous, frame), 0.02) << ms;
        }
        previous = frame;
    }
}

} // namespace
