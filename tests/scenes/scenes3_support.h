// Shared checks of the mushroom-cave, Ganesh and particle-field tests: the GL state, matrices,
// shader and pool a frame must give back, the variables a scene offers, note events as the
// MIDI reader makes them, and frames written as pictures for looking at.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "effects/var.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "gl_extensions.h"
#include "gl_state.h"
#include "gui/gui_slider.h"
#include "midi_event.h"
#include "midi_loader.h"
#include "render_target_manager.h"
#include "scene.h"
#include "scenes/scene_composition.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace scenes3_test {

// What a frame must leave as it found it.
struct sFrameState
{
    std::string gl_text;
    std::array<GLfloat, 16> projection{}, modelview{}, texture{};
    std::array<GLint, 4> depths{}; // projection, modelview, texture and attribute stacks
    GLint framebuffer = 0, active_texture = 0, array_buffer = 0;
    GLfloat point_size = 0;
    std::string shader;
    size_t shader_stack = 0;
    uint32_t lent_out = 0;

    static sFrameState take()
    {
        sFrameState s;
        sGLstate gl;
        gl.capture();
        s.gl_text = gl.as_text();
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection.data());
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview.data());
        glGetFloatv(GL_TEXTURE_MATRIX, s.texture.data());
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.depths[0]);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.depths[1]);
        glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &s.depths[2]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.depths[3]);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &s.framebuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &s.active_texture);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &s.array_buffer);
        glGetFloatv(GL_POINT_SIZE, &s.point_size);
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        s.shader = shaders->get_current_shader();
        s.shader_stack = shaders->stack_depth();
        s.lent_out = cRenderTargetManager::get_instance()->lent_out();
        return s;
    }
};

inline void expect_same_state(const sFrameState& a, const sFrameState& b)
{
    EXPECT_EQ(a.gl_text, b.gl_text);
    EXPECT_EQ(a.projection, b.projection);
    EXPECT_EQ(a.modelview, b.modelview);
    EXPECT_EQ(a.texture, b.texture);
    EXPECT_EQ(a.depths, b.depths);
    EXPECT_EQ(a.framebuffer, b.framebuffer);
    EXPECT_EQ(a.active_texture, b.active_texture);
    EXPECT_EQ(a.array_buffer, b.array_buffer);
    EXPECT_EQ(a.point_size, b.point_size);
    EXPECT_EQ(a.shader, b.shader);
    EXPECT_EQ(a.shader_stack, b.shader_stack);
}

// One frame of `scene` at `ms` with a state around it that a careless scene would disturb
// (blending on, a clear colour, a moved modelview, a colour); the state must come back and only
// the `kept` targets a scene holds from frame to frame may stay lent out. Written to
// looks/<name>.png in the build folder when named.
inline std::vector<unsigned char> checked_frame(cScene& scene, vnt_test::sTestClock& clock, int ms,
                                                const std::string& name = "", uint32_t kept = 0)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.5f, 0, 0);
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    const sFrameState before = sFrameState::take();
    std::vector<unsigned char> pixels = vnt_test::render_scene(scene, clock, ms);
    if (!name.empty()) {
        // As the composition would show it over black.
        std::vector<unsigned char> flat(pixels);
        for (size_t i = 0; i < flat.size(); i += 4) {
            for (size_t c = 0; c < 3; ++c)
                flat[i + c] = (unsigned char)(flat[i + c] * flat[i + 3] / 255);
            flat[i + 3] = 255;
        }
        std::filesystem::create_directories("looks");
        const std::string png = "looks/" + name + ".png";
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        vnt_test::write_png(png.c_str(), viewport[2], viewport[3], flat);
    }
    expect_same_state(before, sFrameState::take());
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), kept);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glClearColor(0, 0, 0, 0);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    return pixels;
}

struct sVarRange
{
    const char* name;
    float min;
    float max;
};

// The list holds exactly these names in this order, each with a slider of that range, and a
// composition layer of the scene finds each by name.
inline void expect_vars(cScene& scene, const std::vector<sVarRange>& expected)
{
    tVarList vars = scene.get_vars();
    ASSERT_EQ(vars.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        ASSERT_NE(vars[i].first, nullptr);
        EXPECT_EQ(vars[i].first->get_name(), expected[i].name);
        auto* slider = dynamic_cast<cGuiSlider*>(vars[i].second);
        ASSERT_NE(slider, nullptr);
        EXPECT_FLOAT_EQ(slider->get_min(), expected[i].min);
        EXPECT_FLOAT_EQ(slider->get_max(), expected[i].max);
    }
    delete_var_list(vars);

    cSceneComposition comp(scene.clock());
    comp.add_layer(1, sLayer(&scene, 0, 0, 1000), 0, 0);
    for (const sVarRange& v : expected)
        EXPECT_NE(comp.find_var(1, v.name), nullptr) << v.name;
    EXPECT_EQ(comp.find_var(1, "no_such_var"), nullptr);
}

// A MIDI note event of a track, as the MIDI reader makes it.
inline cMETrigger note(int kind, int track, int pitch, int time)
{
    cMETrigger ev(kind, pitch, kind == iMidiEvent::NOTE_ON ? 100 : 0);
    ev.m_track = track;
    ev.m_time = time;
    return ev;
}
inline cMETrigger note_on(int track, int pitch, int time)
{
    return note(iMidiEvent::NOTE_ON, track, pitch, time);
}

// The song's events (marker script and MIDI file) played into one scene as the scene manager
// would while its layer is shown: every MIDI event, MIDI beat and "beat" mark, in time order,
// with the scene updated every frame of 20 ms.
struct sSong
{
    std::unique_ptr<cEventQueue> queue;

    sSong()
    {
        queue.reset(cEventQueue_factory::loadFile("../data/script/markers.txt"));
        if (!queue)
            queue.reset(new cEventQueue());
        cMidiLoader::load("../data/music/goa3_3.mid", *queue, 0.0f);
        queue->rewind();
    }

    // Frames from `from` up to (not including) `to`.
    void play(cScene& scene, vnt_test::sTestClock& clock, int from, int to)
    {
        queue->seek(from - 1);
        for (int t = from; t < to; t += 20) {
            clock.set(t);
            while (cEvent* ev = queue->pop_due(t)) {
                if (ev->m_id == EV_MIDI || ev->m_id == EV_MIDI_BEAT || ev->m_id == EV_BEAT)
                    scene.handle_event(ev);
            }
            scene.update();
        }
        clock.set(to);
        while (cEvent* ev = queue->pop_due(to)) {
            if (ev->m_id == EV_MIDI || ev->m_id == EV_MIDI_BEAT || ev->m_id == EV_BEAT)
                scene.handle_event(ev);
        }
    }
};

// Mean brightness (0..255, average of r, g, b) of a picture.
inline double brightness(const std::vector<unsigned char>& rgba)
{
    const auto m = vnt_test::mean_rgba(rgba);
    return (m[0] + m[1] + m[2]) / 3.0;
}

} // namespace scenes3_test
