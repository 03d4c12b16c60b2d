// The composition: layers in depth order with their blend modes and fades, window edges,
// the active-set report and the render-target pool after a frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "effects/interpolator.h"
#include "effects/var.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "postprocessing/glow.h"
#include "postprocessing/post_comp.h"
#include "render_target_manager.h"
#include "scenes/scene_composition.h"
#include "shader_manager_glsl.h"
#include "shaders/rt_helpers.h"
#include "shaders/shd_comp.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"
#include "support/test_scenes.h"

using namespace vnt_test;

namespace {

class CompositionTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        blue.m_colour[0] = 0, blue.m_colour[2] = 1;
        green.m_colour[0] = 0, green.m_colour[1] = 1;
        white.m_colour[1] = white.m_colour[2] = 1;
    }
    // One frame at `t`: update, clear, draw; the centre pixel of the window.
    std::array<unsigned char, 4> frame_at(int t)
    {
        clock.set(t);
        comp.update();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        comp.draw();
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
        return read_pixel(640, 360);
    }

    sTestClock clock;
    cSceneComposition comp{&clock.clock};
    cColourScene red{&clock.clock, "red"};
    cColourScene blue{&clock.clock, "blue"};
    cColourScene green{&clock.clock, "green"};
    cColourScene white{&clock.clock, "white"};
};

// Clears the rectangle at x, y (pixels of the bound target) to a colour.
void clear_rect(int x, int y, int w, int h, float r, float g, float b, float a)
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, w, h);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// A dark picture with a white square in the middle that glows: with `m_own_pass` the scene
// adds its glow itself, else through finish_glow(), which may leave it to the compositing.
class cGlowingScene : public cColourScene
{
public:
    using cColourScene::cColourScene;
    cRTProxy render_to_texture(int) override
    {
        cRTProxy picture = bind_full_target_cleared(0.1f, 0.05f, 0.2f, 0.5f);
        clear_rect(600, 330, 80, 60, 1, 1, 1, 1);
        picture->unbind_as_target();
        glow_params glow;
        glow.precut = 200.0f;
        if (!m_own_pass)
            return finish_glow(std::move(picture), glow);
        cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        cPostGlow::get_instance()->glow(*picture, *out, glow);
        return out;
    }
    bool leaves_glow() const override { return !m_own_pass; }
    bool m_own_pass = false;
};

// A square, half of it see-through, over a trail of its own: with `m_merged` the scene lays
// the picture over the trail itself, else through finish_over(), which may leave the trail to
// the compositing.
class cTrailScene : public cColourScene
{
public:
    using cColourScene::cColourScene;
    cRTProxy render_to_texture(int) override
    {
        if (!m_trail.isValid()) {
            m_trail = get_tmp_rt(cRenderTargetManager::RTT_FULL);
            glClearColor(0.5f, 0.2f, 0.1f, 0.6f);
            m_trail->bind_as_target(true);
            m_trail->unbind_as_target();
        }
        cRTProxy picture = bind_full_target_cleared(0, 0, 0, 0);
        clear_rect(560, 300, 160, 120, 0.1f, 0.9f, 0.3f, 1.0f);
        clear_rect(640, 300, 80, 120, 0.9f, 0.9f, 0.2f, 0.4f);
        picture->unbind_as_target();
        if (!m_merged)
            return finish_over(std::move(picture), *m_trail);
        cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        const int over = cPostComp::BLEND_OVER;
        cPostComp::get_instance()->comp(*out, *picture, *m_trail, &over, 1.0f);
        return out;
    }
    bool leaves_under() const override { return !m_merged; }
    bool m_merged = false;
    cRTProxy m_trail;
};

// A scene that notes its loads and warm-ups in a shared log.
class cLoggedScene : public cColourScene
{
public:
    cLoggedScene(const cClock* in_clock, std::string in_name, std::vector<std::string>& io_log)
        : cColourScene(in_clock, std::move(in_name)), m_log(io_log)
    {
    }
    void load() override { m_log.push_back("load " + m_name); }
    void warm_up() override { m_log.push_back("warm " + m_name); }
    std::vector<std::string>& m_log;
};

void expect_rgb(const std::array<unsigned char, 4>& px, int r, int g, int b, int tolerance = 2)
{
    EXPECT_NEAR(px[0], r, tolerance);
    EXPECT_NEAR(px[1], g, tolerance);
    EXPECT_NEAR(px[2], b, tolerance);
}

} // namespace

TEST_F(CompositionTest, LayersAreDrawnInDepthOrderWithTheirBlendModes)
{
    // Added out of depth order: depth decides what lies below.
    comp.add_layer(20, sLayer(&green, cPostComp::BLEND_ADD, 1500, 2500), 0, 0);
    comp.add_layer(10, sLayer(&red, cPostComp::BLEND_OVER, 1000, 2000), 0, 0);
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 1000, 3000), 0, 0);

    expect_rgb(frame_at(1200), 255, 0, 0);   // red over blue
    expect_rgb(frame_at(1700), 255, 255, 0); // green added on top
    expect_rgb(frame_at(2000), 255, 255, 0); // the last millisecond still shows red
    expect_rgb(frame_at(2001), 0, 255, 255); // red gone: green added onto blue
    expect_rgb(frame_at(2700), 0, 0, 255);
    expect_rgb(frame_at(3500), 0, 0, 0); // nothing active: nothing drawn over the clear
    EXPECT_EQ(green.m_renders, 3);
}

TEST_F(CompositionTest, LoadingLoadsEachSceneOnceAndWarmsThemUpAfterwards)
{
    // A scene on two layers is loaded and warmed up once; the warm-ups come after every load.
    std::vector<std::string> log;
    cLoggedScene a(&clock.clock, "a", log), b(&clock.clock, "b", log), c(&clock.clock, "c", log);
    cLayerComposition layers(&clock.clock);
    layers.add_layer(30, sLayer(&a, cPostComp::BLEND_ADD, 5000, 6000), 0, 0);
    layers.add_layer(20, sLayer(&c, cPostComp::BLEND_OVER, 0, 6000), 0, 0);
    layers.add_layer(10, sLayer(&b, cPostComp::BLEND_OVER, 0, 6000), 0, 0);
    layers.add_layer(5, sLayer(&a, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    layers.load();
    const std::vector<std::string> expected = {"load a", "load b", "load c",
                                               "warm a", "warm b", "warm c"};
    EXPECT_EQ(log, expected);
}

TEST_F(CompositionTest, FadesRunOverTheLayersOpacity)
{
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 10000), 0, 0);
    comp.add_layer(30, sLayer(&white, cPostComp::BLEND_OVER, 3000, 5000), 1000, 400);

    frame_at(2900);
    expect_rgb(frame_at(3000), 0, 0, 255); // faded in from nothing
    // At opacity 0 the layer shows nothing, and is not rendered at all.
    EXPECT_EQ(white.m_renders, 0);
    expect_rgb(frame_at(3500), 128, 128, 255, 3);
    expect_rgb(frame_at(4000), 255, 255, 255, 3);
    expect_rgb(frame_at(4800), 128, 128, 255, 3); // half way out
    expect_rgb(frame_at(5000), 0, 0, 255, 3);     // faded out at its last millisecond
    EXPECT_FLOAT_EQ(comp.layer(30).m_opacity, 0.0f);
    EXPECT_EQ(white.m_renders, 3);
    expect_rgb(frame_at(5001), 0, 0, 255);
}

TEST_F(CompositionTest, LayersAllFadedOutLeaveTheWindowBlack)
{
    // Two layers meet at a cut, each at opacity 0 there; a dodge at opacity 0 changes nothing
    // either. The pass onto the window is the last layer's, so the frame must still be whole.
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 2000), 0, 500);
    comp.add_layer(10, sLayer(&red, cPostComp::BLEND_OVER, 2000, 4000), 500, 0);
    comp.add_layer(15, sLayer(&white, cPostComp::BLEND_DODGE, 2000, 4000), 1000, 0);
    expect_rgb(frame_at(2000), 0, 0, 0);
    EXPECT_EQ(blue.m_renders + red.m_renders + white.m_renders, 0);
    expect_rgb(frame_at(1000), 0, 0, 255);
    expect_rgb(frame_at(2250), 159, 0, 0, 3); // red half in, the dodge a quarter
    EXPECT_EQ(white.m_renders, 1);
}

TEST_F(CompositionTest, UpdateReportsChangesOfTheActiveSetOnce)
{
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    comp.add_layer(10, sLayer(&red, cPostComp::BLEND_OVER, 500, 1500), 0, 0);
    clock.set(100);
    EXPECT_TRUE(comp.update()); // "5"
    clock.set(200);
    EXPECT_FALSE(comp.update());
    clock.set(500);
    EXPECT_TRUE(comp.update()); // "510"
    EXPECT_EQ(red.m_updates, 1);
    EXPECT_EQ(blue.m_updates, 3);
    clock.set(1001);
    EXPECT_TRUE(comp.update()); // "10"
    EXPECT_EQ(comp.active_depths(1000), (std::vector<int>{5, 10}));
}

TEST_F(CompositionTest, EventsReachTheActiveLayersOnly)
{
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    comp.add_layer(10, sLayer(&red, cPostComp::BLEND_OVER, 500, 1500), 0, 0);
    comp.add_layer(15, sLayer(&blue, cPostComp::BLEND_ADD, 800, 900), 0, 0); // same scene again
    cEvent beat(40, 850);
    clock.set(850);
    comp.handle_event(&beat);
    EXPECT_EQ(red.m_event_ids.size(), 1u);
    EXPECT_EQ(blue.m_event_ids.size(), 1u); // once per scene, however many of its layers
    clock.set(1200);
    comp.handle_event(&beat);
    EXPECT_EQ(blue.m_event_ids.size(), 1u);
    EXPECT_EQ(red.m_event_ids.size(), 2u);
}

TEST_F(CompositionTest, FindVarBindsTimelineInterpolatorsByName)
{
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    EXPECT_EQ(comp.find_var(5, "nothing"), nullptr);
    EXPECT_EQ(comp.find_var(7, "level"), nullptr); // no such depth
    iVar* level = comp.find_var(5, "level");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->get_name(), "level");
    comp.add_interpolator(new cLerp<float>(level, 0, 1000, 0.0f, 2.0f));
    clock.set(500);
    comp.update();
    EXPECT_FLOAT_EQ(blue.m_level, 1.0f);
}

TEST_F(CompositionTest, LayerRulesAreAssertions)
{
    comp.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    EXPECT_DEATH(comp.add_layer(5, sLayer(&red, cPostComp::BLEND_OVER, 0, 1000), 0, 0),
                 "each layer-depth can only be used once!");
    EXPECT_DEATH(comp.add_layer(0, sLayer(&red, cPostComp::BLEND_OVER, 0, 1000), 0, 0),
                 "layer_depth > 0");
    EXPECT_DEATH(sLayer(&red, cPostComp::BLEND_OVER, 1000, 1000), "in_starttime < in_endtime");
    EXPECT_DEATH(sLayer(nullptr, cPostComp::BLEND_OVER, 0, 1000), "scene-ptr not valid");
}

TEST_F(CompositionTest, ASingleLayerDrawsItselfOverTheChecker)
{
    red.m_colour[3] = 0.5f;
    comp.add_layer(5, sLayer(&red, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
    frame_at(5000); // outside its window: a lone layer draws anyway
    // The checker's lighter square sits at the lower left corner.
    const auto px = read_pixel(2, 2);
    EXPECT_NEAR(px[0], 128 + 107 / 2, 6);
    EXPECT_NEAR(px[1], 107 / 2, 6);
    const auto dark = read_pixel(18, 2);
    EXPECT_NEAR(dark[1], 77 / 2, 6);
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
}

TEST_F(CompositionTest, AGlowLeftToTheCompositingLooksAsTheScenesOwnGlowPass)
{
    cGlowingScene glowing{&clock.clock, "glowing"};
    const auto halo = [](const cRTProxy& rt) { return pixel_of(*rt, 700, 360); };
    {
        // Alone, the scene hands over its picture with the glow added; under
        // render_leaving_glow() the picture comes without it and the glow beside it.
        cRTProxy whole = glowing.render(0);
        cRTProxy glow;
        cRTProxy bare = glowing.render_leaving_glow(0, glow);
        ASSERT_TRUE(glow.isValid());
        EXPECT_GT(int(halo(whole)[0]), int(halo(bare)[0]) + 10);
        EXPECT_TRUE(near(halo(bare), {26, 13, 51, 128}));
        cRTProxy none;
        red.render_leaving_glow(0, none);
        EXPECT_FALSE(none.isValid());
    }
    // Composited in each blend mode, with and without the scene's own pass: the same pixels.
    for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                     cPostComp::BLEND_DODGE}) {
        std::vector<unsigned char> shown[2];
        for (int own = 0; own < 2; ++own) {
            cSceneComposition frame(&clock.clock);
            frame.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
            frame.add_layer(10, sLayer(&glowing, mode, 0, 1000, 0.8f), 0, 0);
            glowing.m_own_pass = own == 1;
            clock.set(500);
            frame.update();
            frame.draw();
            shown[own] = read_pixels(520, 300, 240, 120);
        }
        int worst = 0;
        for (size_t i = 0; i < shown[0].size(); ++i)
            worst = std::max(worst, std::abs(int(shown[0][i]) - int(shown[1][i])));
        EXPECT_LE(worst, 1) << "mode " << mode;
    }
}

TEST_F(CompositionTest, ATrailLeftToTheCompositingLooksAsTheScenesOwnOverPass)
{
    cTrailScene trailing{&clock.clock, "trailing"};
    {
        iRenderTarget* under = nullptr;
        cRTProxy glow;
        cRTProxy bare = trailing.render_leaving(0, glow, under);
        EXPECT_EQ(under, trailing.m_trail.get_rt());
        EXPECT_TRUE(near(pixel_of(*bare, 100, 100), {0, 0, 0, 0})); // the trail left out
        cRTProxy whole = trailing.render(0);
        EXPECT_TRUE(near(pixel_of(*whole, 100, 100), {128, 51, 26, 153}));
        red.render_leaving(0, glow, under);
        EXPECT_EQ(under, nullptr);
    }
    // As the top layer, the middle one, and the bottom one (which lays its trail itself): the
    // same pixels in every blend.
    for (int mode : {cPostComp::BLEND_OVER, cPostComp::BLEND_ADD, cPostComp::BLEND_SCREEN,
                     cPostComp::BLEND_DODGE}) {
        for (int depth : {3, 7, 15}) {
            std::vector<unsigned char> shown[2];
            for (int merged = 0; merged < 2; ++merged) {
                cSceneComposition frame(&clock.clock);
                frame.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
                frame.add_layer(10, sLayer(&green, cPostComp::BLEND_ADD, 0, 1000, 0.3f), 0, 0);
                const int trail_mode = depth == 3 ? cPostComp::BLEND_OVER : mode;
                frame.add_layer(depth, sLayer(&trailing, trail_mode, 0, 1000, 0.8f), 0, 0);
                trailing.m_merged = merged == 1;
                clock.set(500);
                frame.update();
                glClearColor(0, 0, 0, 1);
                glClear(GL_COLOR_BUFFER_BIT);
                frame.draw();
                shown[merged] = read_pixels(520, 280, 240, 160);
            }
            int worst = 0;
            for (size_t i = 0; i < shown[0].size(); ++i)
                worst = std::max(worst, std::abs(int(shown[0][i]) - int(shown[1][i])));
            EXPECT_LE(worst, 1) << "mode " << mode << ", depth " << depth;
        }
    }
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 1u); // the trail, kept
}

TEST_F(CompositionTest, TheLastTwoLayersPreparedWhileLoadingGiveWhatTheirTwoPassesGive)
{
    // A trail in the middle and a glow on top, over a bottom layer and over two layers: drawn
    // before the composition is loaded, the middle layer takes a pass of its own; once loaded,
    // the last two take one pass. The same pixels either way.
    cGlowingScene glowing{&clock.clock, "glowing"};
    cTrailScene trailing{&clock.clock, "trailing"};
    for (bool two_below : {false, true}) {
        cLayerComposition frame(&clock.clock);
        frame.add_layer(5, sLayer(&blue, cPostComp::BLEND_OVER, 0, 1000), 0, 0);
        if (two_below)
            frame.add_layer(7, sLayer(&green, cPostComp::BLEND_ADD, 0, 1000, 0.3f), 0, 0);
        frame.add_layer(10, sLayer(&trailing, cPostComp::BLEND_SCREEN, 0, 1000, 0.8f), 0, 0);
        frame.add_layer(15, sLayer(&glowing, cPostComp::BLEND_ADD, 0, 1000, 0.7f), 0, 0);
        const auto shown = [&] {
            clock.set(500);
            frame.update();
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            frame.draw();
            EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 1u); // the trail
            return read_pixels(520, 280, 240, 160);
        };
        const int fused = cShdComp::middle_variant(cPostComp::BLEND_SCREEN) |
                          cShdComp::MIDDLE_UNDER | cShdComp::LAYER_GLOW |
                          (two_below ? 0 : cShdComp::BOTTOM);
        const std::string name = cShdComp::name_of(cPostComp::BLEND_ADD, fused);
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        const std::vector<unsigned char> apart = shown();
        EXPECT_FALSE(shaders->has_shader(name)) << name; // not built in the middle of a show
        frame.load();
        EXPECT_TRUE(shaders->has_shader(name)) << name;
        const std::vector<unsigned char> together = shown();
        int worst = 0;
        for (size_t i = 0; i < apart.size(); ++i)
            worst = std::max(worst, std::abs(int(apart[i]) - int(together[i])));
        EXPECT_LE(worst, 1) << "two below " << two_below;
    }
}
