// The debug overlay as the main loop uses it: rows from the shown scene, the composition's
// "curtime" and layer sliders, the printed variables, mouse events through the demo, and a
// picture of the overlay over a scene.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "clock.h"
#include "demo.h"
#include "effects/var.h"
#include "gui/debug_overlay.h"
#include "gui/gui_slider.h"
#include "gui/slider_entries.h"
#include "gui_test_helpers.h"
#include "input.h"
#include "scene_manager.h"
#include "scenes/scene_composition.h"
#include "scenes/scene_midi_test.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_particle.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"
#include "support/test_media.h"
#include "support/test_scenes.h"

namespace {

// A scene with a variable of every kind the overlay edits, over a dark picture.
class cTunableScene : public vnt_test::cColourScene
{
public:
    explicit cTunableScene(const cClock* in_clock) : cColourScene(in_clock, "tunable")
    {
        m_colour[0] = 0.05f, m_colour[1] = 0.02f, m_colour[2] = 0.12f;
    }
    tVarList get_vars() override
    {
        tVarList vars;
        add_slider(vars, "glow", &m_glow, 0.0f, 2.0f);
        add_slider(vars, "kaleidotype", &m_type, 0.0f, 6.0f);
        add_vec3_slider(vars, "objpos", &m_pos, -10.0f, 10.0f);
        add_label(vars, "caption", &m_caption);
        vars.emplace_back(new cVar<float>("a_name_longer_than_twenty", &m_glow), nullptr);
        return vars;
    }
    void add_gui(iGuiNode* in_gui) override { m_camera.add_camera_gui(in_gui, -5000, 5000); }

    float m_glow = 1.25f;
    int m_type = 3;
    Vec3<float> m_pos{1.5f, -2.0f, 0.25f};
    std::string m_caption = "Hello, World (1:2)";
};

class cTestDemo : public cDemo
{
public:
    void setup() override {}
};

class DebugOverlayTest : public vnt_test::GLTest
{
protected:
    void TearDown() override
    {
        g_mouse = sMouse();
        cSceneManager::destroy_instance();
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0);
        GLTest::TearDown();
    }
    vnt_test::sTestClock m_clock{0};
};

std::vector<std::string> row_names(cGuiVarList& list)
{
    std::vector<std::string> names;
    for (const auto& row : list.rows())
        names.push_back(row.first->get_name());
    return names;
}

} // namespace

TEST_F(DebugOverlayTest, SetSceneTakesTheScenesVariablesAndControlsAndPrintsThem)
{
    cDebugOverlay overlay;
    overlay.layout();
    cTunableScene scene(&m_clock.clock);
    overlay.set_scene(&scene);
    EXPECT_EQ(overlay.scene_label().get_text(), "tunable");
    EXPECT_EQ(row_names(overlay.var_list()),
              (std::vector<std::string>{"glow", "kaleidotype", "objpos", "caption",
                                        "a_name_longer_than_twenty", "set_eye", "set_ctr",
                                        "set_fov", "set_roll"}));

    std::ostringstream printed;
    overlay.print_vars(printed);
    EXPECT_EQ(printed.str(), "glow 1.25\nkaleidotype 3\nobjpos (1.50,-2,0.25)\n"
                             "caption Hello, World (1:2)\na_name_longer_than_twenty 1.25\n"
                             "set_eye (1,1,1)\nset_ctr (0,0,0)\nset_fov 65\nset_roll 0\n");

    // The next scene replaces the rows; no scene leaves none.
    overlay.set_scene(nullptr);
    EXPECT_TRUE(row_names(overlay.var_list()).empty());
    EXPECT_EQ(overlay.scene_label().get_text(), "");
}

TEST_F(DebugOverlayTest, CompositionOffersCurtimeToTheQuitMarkAndItsLayersSliders)
{
    const std::string dir = vnt_test::temp_dir("overlay_composition");
    ASSERT_TRUE(vnt_test::write_silent_mp3(dir + "/song.mp3", 500));
    vnt_test::write_text(dir + "/markers.txt", "s00 0:00:01,000\nquit 0:03:20,000\n");
    cSceneManager* manager = cSceneManager::get_instance();
    manager->set_music_live(false);
    manager->init(dir + "/markers.txt", dir + "/song.mp3");

    cTunableScene first(&m_clock.clock), second(&m_clock.clock);
    cSceneComposition comp(&m_clock.clock);
    comp.add_layer(1, sLayer(&first, 0, 0, 10000), 0, 0);
    comp.add_layer(2, sLayer(&second, 1, 5000, 20000), 0, 0);
    comp.add_layer(3, sLayer(&first, 1, 8000, 9000), 0, 0); // the same scene once more
    m_clock.set(8500);

    cGuiVarList list;
    comp.add_gui(&list);
    // Only the plain sliders of the layers shown now, each scene once.
    EXPECT_EQ(row_names(list),
              (std::vector<std::string>{"curtime", "glow", "kaleidotype", "glow", "kaleidotype"}));
    auto* curtime = dynamic_cast<cGuiSlider*>(list.rows()[0].second);
    ASSERT_NE(curtime, nullptr);
    EXPECT_EQ(std::pair(curtime->get_min(), curtime->get_max()), std::pair(0.0f, 200000.0f));

    // Dragging "curtime" moves the composition's time, which its update then seeks to.
    list.set_pos(0.05f, 0.05f);
    list.set_size(0.9f, 0.65f);
    list.lay_out();
    const float y = 0.67f + 0.01f;
    list.on_mouse(7, 0.26f, y);
    g_mouse.button[1] = 1;
    list.on_mouse(7, 0.25f + 0.4f * 0.25f, y);
    g_mouse.button[1] = 0;
    EXPECT_EQ(comp.m_curtime, 50000);

    // No layer shown: "curtime" alone.
    m_clock.set(30000);
    cGuiVarList alone;
    comp.add_gui(&alone);
    EXPECT_EQ(row_names(alone), std::vector<std::string>{"curtime"});
}

TEST_F(DebugOverlayTest, AHiddenOverlayArmsButDoesNotDrag)
{
    cTestDemo demo;
    demo.overlay().layout();
    cTunableScene scene(&m_clock.clock);
    demo.overlay().set_scene(&scene);
    g_keys.clear();
    g_mouse = sMouse();

    // The glow slider: row 0, from x = 0.25, 0.4 wide, over [0, 2].
    auto pointer = [](float x) {
        g_mouse.x = x;
        g_mouse.y = 0.67f + 0.01f;
    };
    pointer(0.35f);
    demo.handle_mouse(); // hovering arms it, shown or not
    EXPECT_TRUE(demo.overlay().var_list().rows()[0].second->is_active());
    g_mouse.button[1] = 1;
    pointer(0.55f);
    demo.handle_mouse();
    EXPECT_EQ(scene.m_glow, 1.25f); // hidden: the drag edits nothing
    g_mouse.button[1] = 0;
    demo.handle_mouse();

    g_keys.press('\t');
    demo.handle_keys();
    ASSERT_TRUE(demo.overlay_shown());
    g_mouse.button[1] = 1;
    pointer(0.35f);
    demo.handle_mouse();
    EXPECT_FLOAT_EQ(scene.m_glow, 0.5f); // shown: it follows
    g_mouse.button[1] = 0;
    demo.handle_mouse();
    g_keys.clear();
}

TEST_F(DebugOverlayTest, DrawsOverASceneAndRestoresTheState)
{
    cDebugOverlay overlay;
    overlay.layout();
    cTunableScene scene(&m_clock.clock);
    overlay.set_scene(&scene);
    uint32_t t = 1000;
    for (int i = 0; i < 250; ++i)
        overlay.graph().record_time(t += 16 + uint32_t((i * 7919) % 23 == 0 ? 20 : i % 3));
    overlay.on_mouse_unit(7, 0.30f, 0.67f + 0.01f); // hovering the first slider highlights it

    register_pexpshader();
    cShaderManager_GLSL::get_instance()->bind("pexpshader");
    cRTProxy picture = scene.render_to_texture(0);
    picture->bind_as_target(false);
    const std::string state = vnt_test::frame_state();
    overlay.draw();
    EXPECT_EQ(vnt_test::frame_state(), state);
    picture->unbind_as_target();
    cShaderManager_GLSL::get_instance()->disable();
    std::vector<unsigned char> rgba = vnt_test::read_target(*picture);
    const int w = int(picture->m_width), h = int(picture->m_height);
    if (getenv("VNT_KEEP_PNG"))
        vnt_test::write_png("overlay.png", w, h, gui_test::opaque(rgba));

    // Text shows where the labels are: the scene's name (white on the dark background).
    auto bright = [&](float x0, float x1, float y0, float y1) {
        return gui_test::count_in(rgba, w, h, x0, x1, y0, y1, [](const unsigned char* p) {
            return p[0] > 200 && p[1] > 200 && p[2] > 200;
        });
    };
    EXPECT_GT(bright(0.05f, 0.12f, 0.70f, 0.72f), 20); // "tunable"
    EXPECT_EQ(bright(0.13f, 0.20f, 0.70f, 0.72f), 0);  // nothing after it
    EXPECT_GT(bright(0.83f, 0.95f, 0.70f, 0.72f), 20); // the time
}

TEST_F(DebugOverlayTest, MidiViewNamesItsLanesAndOffersItsSpan)
{
    cSceneMidiTest view(&m_clock.clock);
    view.load();
    cRTProxy picture = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    glClearColor(0, 0, 0, 1);
    picture->bind_as_target(true);
    view.draw();
    picture->unbind_as_target();
    std::vector<unsigned char> rgba = vnt_test::read_target(*picture);
    const int w = int(picture->m_width), h = int(picture->m_height);
    if (getenv("VNT_KEEP_PNG"))
        vnt_test::write_png("miditest.png", w, h, gui_test::opaque(rgba));

    // Every lane's label column carries text ("track 0" ... without names from a MIDI file);
    // the lanes themselves stay dark with no notes.
    auto lit = [&](float x0, float x1, int lane) {
        const float lane_h = 1.0f / 24.0f;
        return gui_test::count_in(rgba, w, h, x0, x1, 1.0f - lane_h * float(lane + 1),
                                  1.0f - lane_h * float(lane),
                                  [](const unsigned char* p) { return p[0] > 160; });
    };
    for (int lane : {0, 11, 23}) {
        EXPECT_GT(lit(0.0f, 0.12f, lane), 20) << lane;
        EXPECT_EQ(lit(0.2f, 0.9f, lane), 0) << lane;
    }

    cGuiVarList list;
    view.add_gui(&list);
    EXPECT_EQ(row_names(list), std::vector<std::string>{"ctrl"});
}
