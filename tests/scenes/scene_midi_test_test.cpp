// The MIDI test view draws the song's events as a piano roll per track.
#include <gtest/gtest.h>

#include "event_queue.h"
#include "gl_extensions.h"
#include "midi_event.h"
#include "midi_loader.h"
#include "scenes/scene_midi_test.h"
#include "shader.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

using vnt_test::GLTest;
using vnt_test::sTestClock;

TEST_F(GLTest, MidiTestViewShowsTheSongsNotesAndBeats)
{
    cEventQueue queue;
    cMidiLoader::load("../data/music/goa3_3.mid", queue, 0.0f);
    ASSERT_GT(queue.size(), 1000u);

    sTestClock clock(0);
    cSceneMidiTest view(&clock.clock);
    view.load();
    // Feed four seconds of the main groove, as the scene manager would.
    queue.seek(60000);
    while (cEvent* ev = queue.pop_due(64000))
        view.handle_event(ev);
    clock.set(64000);
    view.update();
    EXPECT_FALSE(view.notes().empty());
    EXPECT_FALSE(view.beats().empty());
    // Every note-on got its note-off within the window, except those still sounding.
    int open = 0;
    for (const auto& n : view.notes())
        open += n.end < 0;
    EXPECT_LT(open, 24);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    view.draw();
    const auto pixels = vnt_test::read_pixels(0, 0, 1280, 720);
    vnt_test::write_png("miditest_view.png", 1280, 720, pixels);
    EXPECT_GT(vnt_test::lit_share(pixels, 40), 0.01);
    EXPECT_EQ(cShaderManager_GLSL::get_instance()->get_current_shader(), "null_shader");

    EXPECT_DEATH(view.render_to_texture(0), "not implemented for midi-scene");
}
