// The author keys: where the mark keys and arrows go, seeks that the composition's stall guard
// keeps, and the reload key rebuilding edited shaders (keeping the running one on a failure).
#include <gtest/gtest.h>

#include <SDL2/SDL_keycode.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "author_keys.h"
#include "clock.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "load_screen.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "scene_manager.h"
#include "scenes/scene_composition.h"
#include "shader_glsl.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/test_media.h"
#include "support/test_scenes.h"

TEST(AuthorKeys, MarkKeysStepThroughThePartsAndRestartTheCurrentOne)
{
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::load_from_text(
        "s02 0:00:25,000\nbeat 0:00:01,000\ns00 0:00:00,000\ns01 0:00:13,333\n"
        "s100 0:00:36,666\nquit 0:02:00,000\nmelody 0:00:30,000\n"));
    const std::vector<int> marks = scene_mark_times(queue.get()); // scene marks only, sorted
    ASSERT_EQ(marks, (std::vector<int>{0, 13333, 25000, 36666}));
    EXPECT_EQ(mark_time(queue.get(), EV_QUIT), 120000);
    EXPECT_EQ(mark_landing(13333), 13182); // 150 ms before the target, 1 ms before the mark

    // Page Down from the start of the demo, and from each landing; a mark less than 151 ms
    // ahead comes by itself, so the key goes to the one after it.
    EXPECT_EQ(next_mark(marks, -150), 13333);
    EXPECT_EQ(next_mark(marks, mark_landing(13333)), 25000);
    EXPECT_EQ(next_mark(marks, 13333 - 100), 25000);
    EXPECT_EQ(next_mark(marks, mark_landing(36666)), -1);
    // Page Up: the start of the current part, or the one before within its first second.
    EXPECT_EQ(previous_mark(marks, 30000), 25000);
    EXPECT_EQ(previous_mark(marks, mark_landing(25000) + 999), 13333);
    EXPECT_EQ(previous_mark(marks, mark_landing(25000) + 1000), 25000);
    EXPECT_EQ(previous_mark(marks, -151), 0);
    EXPECT_EQ(previous_mark({}, 5000), -1);
    EXPECT_FALSE(handle_author_key('x'));
}

TEST(AuthorKeys, ArrowsMoveTheDemoTimeByFiveSecondsWithinTheDemo)
{
    // The target is 150 ms past the wanted time, since a seek lands that much before it.
    EXPECT_EQ(shifted_target(10000, 5000, 236000), 15150);
    EXPECT_EQ(shifted_target(10000, -5000, 236000), 5150);
    EXPECT_EQ(shifted_target(1000, -5000, 236000), 0);
    // Never onto or past the quit mark: the quit event must stay ahead, or the demo never ends.
    EXPECT_EQ(shifted_target(233000, 5000, 236000), 235999);
    EXPECT_EQ(shifted_target(233000, 5000, -1), 238150);
    EXPECT_EQ(shifted_target(INT_MAX - 100, 5000, -1), INT_MAX);
}

namespace {

// The composition without the demo's timeline: the test gives it its layers.
class cBareComposition : public cSceneComposition
{
public:
    explicit cBareComposition(const cClock* in_clock) : cSceneComposition(in_clock) {}
    void load() override {}
};

// A manager on a fixed step of 10 ms whose current scene is a composition with one layer.
class SeekKeys : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        const std::string dir = vnt_test::temp_dir("seekkeys");
        ASSERT_TRUE(vnt_test::write_silent_mp3(dir + "/song.mp3", 1000));
        vnt_test::write_text(dir + "/markers.txt", "s00 0:00:00,000\ns01 0:00:20,000\n"
                                                   "beat 0:00:20,000\ns02 0:00:40,000\n");
        cClock::set_source(&m_source);
        manager = cSceneManager::get_instance();
        manager->set_music_live(false);
        manager->init(dir + "/markers.txt", dir + "/song.mp3");
        composition = manager->add_scene<cBareComposition>();
        layer_scene = manager->add_scene<vnt_test::cColourScene>();
        composition->add_layer(10, sLayer(layer_scene, 0, 0, 59000), 0, 0);
        vnt_test::sNoLoadScreen loadscreen;
        manager->start(&loadscreen);
    }
    void TearDown() override
    {
        cSceneManager::destroy_instance();
        cClock::set_source(nullptr);
        GLTest::TearDown();
    }
    // One demo frame 10 ms after the last; true when the manager reported a change.
    bool frame()
    {
        m_source.advance();
        const bool changed = manager->update();
        manager->draw_current();
        return changed;
    }
    // The demo time after a handled key and one frame.
    int after_key(int key)
    {
        EXPECT_TRUE(handle_author_key(key)) << key;
        frame();
        return manager->get_time();
    }

    cFixedStepSource m_source{100.0, 50000};
    cSceneManager* manager = nullptr;
    cBareComposition* composition = nullptr;
    vnt_test::cColourScene* layer_scene = nullptr;
};

} // namespace

TEST_F(SeekKeys, SeeksStayAndTheEventsAtAMarkFire)
{
    manager->set_start(-1, 10150);
    frame();
    frame();
    ASSERT_EQ(manager->get_time(), 10010);

    // Right: exactly 5 s on; the composition takes the new time instead of pulling back.
    EXPECT_TRUE(handle_author_key(SDLK_RIGHT));
    EXPECT_TRUE(frame()); // reported as a change, like the first-frame jump
    EXPECT_EQ(manager->get_time(), 15010);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(frame());
    EXPECT_EQ(manager->get_time(), 15040);
    EXPECT_EQ(composition->m_curtime, 15040);

    EXPECT_EQ(after_key(SDLK_LEFT), 10040);

    // Page Down lands before s01; the beat at the mark still reaches the layer scene.
    EXPECT_EQ(after_key(SDLK_PAGEDOWN), mark_landing(20000));
    layer_scene->m_event_times.clear();
    for (int i = 0; i < 20; ++i)
        frame();
    EXPECT_EQ(layer_scene->m_event_times, (std::vector<int>{20000}));

    EXPECT_EQ(after_key(SDLK_PAGEDOWN), mark_landing(40000));
    // Less than a second into s02: back to s01.
    EXPECT_EQ(after_key(SDLK_PAGEUP), mark_landing(20000));
    EXPECT_EQ(after_key(SDLK_HOME), mark_landing(0));

    // While paused the keys move the still picture.
    manager->toggle_pause();
    after_key(SDLK_RIGHT);
    frame();
    EXPECT_EQ(manager->get_time(), mark_landing(0) + 5000);
    manager->toggle_pause();
}

namespace {

std::string g_vertex_file, g_fragment_file;

class cFileShader : public cShader_GLSL
{
public:
    cFileShader(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        load_from_files(g_vertex_file, g_fragment_file);
    }
    void init_parameters() override {}
    void update_parameters() override {}
    void disable_parameters() override {}
};

// A fragment source drawing `red`, 0..1 (or `body` as the whole of main).
void write_fragment(const char* red, const char* body = nullptr)
{
    std::ofstream(g_fragment_file, std::ios::trunc)
        << "#version 120\nvoid main() { "
        << (body ? body : "gl_FragColor = vec4(" + std::string(red) + ", 0.0, 0.0, 1.0);")
        << " }\n";
}

// Red of a quad drawn with the shader, 0..255.
int drawn_red(const std::string& in_shader)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    out->bind_as_target(true);
    shaders->push_shader();
    shaders->bind(in_shader);
    begin_fsq();
    glDisable(GL_BLEND);
    draw_quad();
    end_fsq();
    shaders->pop_shader();
    const int red = vnt_test::read_pixel(2, 2)[0];
    out->unbind_as_target();
    return red;
}

} // namespace

using ReloadKey = vnt_test::GLTest;

TEST_F(ReloadKey, RebuildsTheShadersWhoseSourcesChanged)
{
    const std::string dir = vnt_test::temp_dir("reloadkey");
    g_vertex_file = dir + "/edit_vert.glsl";
    g_fragment_file = dir + "/edit_frag.glsl";
    std::ofstream(g_vertex_file) << "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
    write_fragment("1.0");
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->add_shader<cFileShader>("edited");
    EXPECT_EQ(drawn_red("edited"), 255);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(handle_author_key('r')); // nothing changed yet
    write_fragment("0.5");
    const auto edited = shaders->reload_changed();
    const std::string out = testing::internal::GetCapturedStdout();
    cSceneManager::destroy_instance(); // made by the key handler
    EXPECT_EQ(edited.reloaded, 1);
    for (const char* line : {"# glsl: reload: 0 rebuilt, 0 failed", "# glsl: reloaded \"edited\""})
        EXPECT_NE(out.find(line), std::string::npos) << out;
    EXPECT_NEAR(drawn_red("edited"), 128, 2);

    // A broken edit: the error block, the running program stays, the program goes on; it is
    // not tried again until the file changes once more.
    write_fragment("", "not glsl at all;");
    testing::internal::CaptureStderr();
    EXPECT_EQ(shaders->reload_changed().failed, 1);
    EXPECT_EQ(shaders->reload_changed().failed, 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("GLSL compile error in " + g_fragment_file), std::string::npos) << err;
    EXPECT_NE(err.find("keeps its running program"), std::string::npos) << err;
    EXPECT_EQ(err.find("GLSL compile error"), err.rfind("GLSL compile error"));
    EXPECT_NEAR(drawn_red("edited"), 128, 2);

    write_fragment("0.0");
    testing::internal::CaptureStdout();
    EXPECT_EQ(shaders->reload_changed().reloaded, 1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(drawn_red("edited"), 0);
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0);
}
