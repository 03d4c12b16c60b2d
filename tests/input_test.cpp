// The event pump and the input state it fills: keys, mouse, the ten-events-per-frame rule.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

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
    static void push_motion(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
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

TEST_F(InputTest, KeysAreLowerCasedAndReleased)
{
    push_key(SDL_KEYDOWN, 'P');
    pump_events();
    EXPECT_TRUE(g_keys.held('p'));
    push_key(SDL_KEYUP, 'P');
    pump_events();
    EXPECT_FALSE(g_keys.held('p'));
}

TEST_F(InputTest, ATapBetweenTwoPassesCountsOnce)
{
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
    EXPECT_EQ(keys.size(), 1);
    EXPECT_TRUE(keys.held('m'));
    keys.consume(); // nothing returned since the end: removes nothing
    EXPECT_EQ(keys.size(), 1);
}

TEST_F(InputTest, MousePositionsAreWindowUnitsFromTheLowerLeft)
{
    push_motion(0, 0); // top left pixel
    pump_events();
    EXPECT_FLOAT_EQ(g_mouse.x, 0.0f);
    EXPECT_FLOAT_EQ(g_mouse.y, 1.0f);

    push_motion(640, 1024);
    pump_events();
    EXPECT_FLOAT_EQ(g_mouse.x, 0.5f);
    EXPECT_FLOAT_EQ(g_mouse.y, 0.0f);

    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = 3;
    press.button.x = 320;
    press.button.y = 256;
    SDL_PushEvent(&press);
    pump_events();
    EXPECT_EQ(g_mouse.button[3], 1);
    EXPECT_FLOAT_EQ(g_mouse.last_press.x, 0.25f);
    EXPECT_FLOAT_EQ(g_mouse.last_press.y, 0.75f);

    SDL_Event release = press;
    release.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&release);
    pump_events();
    EXPECT_EQ(g_mouse.button[3], 0);

    // Extra buttons above 5 have no entry and are ignored.
    SDL_Event extra = press;
    extra.button.button = 7;
    SDL_PushEvent(&extra);
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
