// The event pump and the input state it fills: keys, mouse, the ten-events-per-frame rule.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <utility>

#include "input.h"
#include "video_module.h"

namespace {

class InputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        g_keys.clear();
        g_mouse = sMouse();
        cVideoModule::get_instance()->set_size(1280, 1024);
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    static void push_key(Uint32 type, SDL_Keycode sym)
    {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
    }
    // A motion, or a press or release of `button`, at (x, y).
    static void push_mouse(Uint32 type, int x, int y, Uint8 button = 0)
    {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION)
            e.motion.x = x, e.motion.y = y;
        else
            e.button.x = x, e.button.y = y, e.button.button = button;
        SDL_PushEvent(&e);
    }
};

} // namespace

TEST_F(InputTest, FifteenQueuedEventsAreHandledAsTenThenFive)
{
    for (int i = 0; i < 15; ++i)
        push_key(SDL_KEYDOWN, SDLK_a + i);
    EXPECT_EQ(pump_events(), 10);
    EXPECT_EQ(g_keys.size(), 10);
    EXPECT_EQ(pump_events(), 5);
    EXPECT_EQ(g_keys.size(), 15); // none lost
    EXPECT_EQ(pump_events(), 0);
}

TEST_F(InputTest, KeysAreLowerCasedAndATapBetweenTwoPassesCountsOnce)
{
    push_key(SDL_KEYDOWN, 'P');
    pump_events();
    EXPECT_TRUE(g_keys.held('p'));
    push_key(SDL_KEYUP, 'P');
    pump_events();
    EXPECT_FALSE(g_keys.held('p'));
    g_keys.clear();

    // Pressed and released within one frame (a 20 ms tap at 15 frames a second).
    push_key(SDL_KEYDOWN, 'p');
    push_key(SDL_KEYUP, 'p');
    pump_events();
    EXPECT_FALSE(g_keys.held('p'));
    ASSERT_TRUE(g_keys.begin());
    EXPECT_EQ(g_keys.next(), 'p');
    EXPECT_EQ(g_keys.next(), -1);
    EXPECT_FALSE(g_keys.begin()); // once only, consumed or not
    // A held key that is not consumed stays in every pass until released.
    g_keys.press('x');
    ASSERT_TRUE(g_keys.begin());
    EXPECT_EQ(g_keys.next(), 'x');
    ASSERT_TRUE(g_keys.begin());
    EXPECT_EQ(g_keys.next(), 'x');
    g_keys.release('x');
    EXPECT_FALSE(g_keys.begin());
}

TEST_F(InputTest, KeySetCursorAndConsume)
{
    cKeySet keys;
    EXPECT_FALSE(keys.begin());
    keys.press('x');
    keys.press('a');
    keys.press('m');
    ASSERT_TRUE(keys.begin());
    EXPECT_EQ(keys.next(), 'a');
    keys.consume();
    EXPECT_EQ(keys.next(), 'm');
    EXPECT_EQ(keys.next(), 'x');
    keys.consume();
    EXPECT_EQ(keys.next(), -1);
    EXPECT_TRUE(keys.size() == 1 && keys.held('m'));
    keys.consume(); // nothing returned since the end: removes nothing
    EXPECT_EQ(keys.size(), 1);
}

TEST_F(InputTest, MousePositionsAreWindowUnitsFromTheLowerLeft)
{
    push_mouse(SDL_MOUSEMOTION, 0, 0); // top left pixel
    pump_events();
    EXPECT_EQ(std::pair(g_mouse.x, g_mouse.y), std::pair(0.0f, 1.0f));
    push_mouse(SDL_MOUSEMOTION, 640, 1024);
    pump_events();
    EXPECT_EQ(std::pair(g_mouse.x, g_mouse.y), std::pair(0.5f, 0.0f));

    push_mouse(SDL_MOUSEBUTTONDOWN, 320, 256, 3);
    pump_events();
    EXPECT_EQ(g_mouse.button[3], 1);
    EXPECT_EQ(std::pair(g_mouse.last_press.x, g_mouse.last_press.y), std::pair(0.25f, 0.75f));
    push_mouse(SDL_MOUSEBUTTONUP, 320, 256, 3);
    pump_events();
    EXPECT_EQ(g_mouse.button[3], 0);
    // Extra buttons above 5 have no entry and are ignored.
    push_mouse(SDL_MOUSEBUTTONDOWN, 320, 256, 7);
    pump_events();
    for (int b = 0; b < 6; ++b)
        EXPECT_EQ(g_mouse.button[b], 0) << b;
}

TEST_F(InputTest, EscapeAndClosingTheWindowEndTheProgramWithZero)
{
    EXPECT_EXIT(
        {
            push_key(SDL_KEYDOWN, SDLK_ESCAPE);
            pump_events();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            pump_events();
        },
        ::testing::ExitedWithCode(0), "");
}
