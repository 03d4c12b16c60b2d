// Shared checks of the tunnel, kaleidoscope, spike, sphere, op-art and gate scene tests: the
// state a frame must leave behind, the variables a scene offers, the interpolators its events
// append, and frames written as pictures for looking at.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "effects/interpolator.h"
#include "effects/var.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gl_state.h"
#include "gui/gui_slider.h"
#include "gui/gui_var_list.h"
#include "gui/gui_vec3_slider.h"
#include "midi_event.h"
#include "postprocessing/post_comp.h"
#include "render_target_manager.h"
#include "scene.h"
#include "scenes/scene_composition.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace scenes1_test {

// Everything a frame of a scene must give back: the fixed-function state, the three matrix
// stacks' tops and depths, point and line sizes, the bound shader and framebuffer, the pool.
struct sFrameState
{
    std::string gl_text;
    std::array<GLfloat, 16> projection{}, modelview{}, texture{};
    std::array<GLint, 3> stack_depth{};
    GLint attrib_depth = 0;
    GLfloat point_size = 0, line_width = 0;
    GLint framebuffer = 0, array_buffer = 0, active_texture = 0;
    GLboolean vertex_array = GL_FALSE;
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
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.stack_depth[0]);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.stack_depth[1]);
        glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &s.stack_depth[2]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attrib_depth);
        glGetFloatv(GL_POINT_SIZE, &s.point_size);
        glGetFloatv(GL_LINE_WIDTH, &s.line_width);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &s.framebuffer);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &s.array_buffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &s.active_texture);
        s.vertex_array = glIsEnabled(GL_VERTEX_ARRAY);
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        s.shader = shaders->get_current_shader();
        s.shader_stack = shaders->stack_depth();
        s.lent_out = cRenderTargetManager::get_instance()->lent_out();
        return s;
    }
};

inline void expect_same_state(const sFrameState& before, const sFrameState& after)
{
    EXPECT_EQ(before.gl_text, after.gl_text);
    EXPECT_EQ(before.projection, after.projection);
    EXPECT_EQ(before.modelview, after.modelview);
    EXPECT_EQ(before.texture, after.texture);
    EXPECT_EQ(before.stack_depth, after.stack_depth);
    EXPECT_EQ(before.attrib_depth, after.attrib_depth);
    EXPECT_EQ(before.point_size, after.point_size);
    EXPECT_EQ(before.line_width, after.line_width);
    EXPECT_EQ(before.framebuffer, after.framebuffer);
    EXPECT_EQ(before.array_buffer, after.array_buffer);
    EXPECT_EQ(before.active_texture, after.active_texture);
    EXPECT_EQ(before.vertex_array, after.vertex_array);
    EXPECT_EQ(before.shader, after.shader);
    EXPECT_EQ(before.shader_stack, after.shader_stack);
    EXPECT_EQ(before.lent_out, after.lent_out);
}

// A state that differs from the defaults in the ways a careless scene would hide: a bound
// shader, blending, a clear colour, a non-identity modelview, a point size.
inline void disturb_state()
{
    cPostComp::get_instance(); // registers "blend_comp"
    cShaderManager_GLSL::get_instance()->bind("blend_comp");
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.5f, 0, 0);
    glPointSize(2.0f);
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
}

inline void restore_defaults()
{
    cShaderManager_GLSL::get_instance()->disable();
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPointSize(1.0f);
    glColor4f(1, 1, 1, 1);
}

// One frame of `scene` at `ms` (update, then render); the state around it must not change.
// The picture goes to looks/<name>.png in the build folder when a name is given.
inline std::vector<unsigned char> checked_frame(cScene& scene, vnt_test::sTestClock& clock, int ms,
                                                const std::string& name = "")
{
    disturb_state();
    const sFrameState before = sFrameState::take();
    std::vector<unsigned char> pixels = vnt_test::render_scene(scene, clock, ms);
    const sFrameState after = sFrameState::take();
    if (!name.empty()) {
        // As the composition shows a layer over black.
        std::vector<unsigned char> shown = pixels;
        for (size_t i = 0; i + 3 < shown.size(); i += 4) {
            for (int c = 0; c < 3; ++c)
                shown[i + size_t(c)] = (unsigned char)(shown[i + size_t(c)] * shown[i + 3] / 255);
            shown[i + 3] = 255;
        }
        std::filesystem::create_directories("looks");
        const std::string png = "looks/" + name + ".png";
        vnt_test::write_png(png.c_str(), 1280, 720, shown);
    }
    expect_same_state(before, after);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    restore_defaults();
    return pixels;
}

// A variable the scene must offer, with its slider range.
struct sVarRange
{
    const char* name;
    float min;
    float max;
};

// The scene's list holds exactly these names, in this order, each with a slider (or vector
// slider) of that range; the composition finds every one of them on a layer of the scene.
inline void expect_vars(cScene& scene, const std::vector<sVarRange>& expected)
{
    tVarList vars = scene.get_vars();
    ASSERT_EQ(vars.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        ASSERT_NE(vars[i].first, nullptr);
        EXPECT_EQ(vars[i].first->get_name(), expected[i].name);
        float lo = 0, hi = 0;
        if (auto* slider = dynamic_cast<cGuiSlider*>(vars[i].second)) {
            lo = slider->get_min(), hi = slider->get_max();
        } else if (auto* vec = dynamic_cast<cGuiVec3Slider*>(vars[i].second)) {
            lo = vec->component(0).get_min(), hi = vec->component(0).get_max();
        } else {
            ADD_FAILURE() << "no slider";
        }
        EXPECT_FLOAT_EQ(lo, expected[i].min);
        EXPECT_FLOAT_EQ(hi, expected[i].max);
    }
    delete_var_list(vars);

    cSceneComposition comp(scene.clock());
    comp.add_layer(1, sLayer(&scene, 0, 0, 1000), 0, 0);
    for (const sVarRange& v : expected)
        EXPECT_NE(comp.find_var(1, v.name), nullptr) << v.name;
    EXPECT_EQ(comp.find_var(1, "no_such_var"), nullptr);
}

// The scene's overlay controls hold these names (after the camera's four).
inline void expect_gui(cScene& scene, const std::vector<std::string>& names)
{
    cGuiVarList gui;
    scene.add_gui(&gui);
    std::vector<std::string> shown;
    for (const auto& row : gui.rows())
        shown.push_back(row.first ? row.first->get_name() : "");
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[0], "set_eye");
    for (const std::string& name : names)
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end()) << name;
}

// A note-on of a MIDI track at a time, as the MIDI reader makes it.
inline cMETrigger note_on(int track, int note, int time)
{
    cMETrigger ev(iMidiEvent::NOTE_ON, note, 100);
    ev.m_track = track;
    ev.m_time = time;
    return ev;
}

inline cMETrigger note_off(int track, int note, int time)
{
    cMETrigger ev(iMidiEvent::NOTE_OFF, note, 0);
    ev.m_track = track;
    ev.m_time = time;
    return ev;
}

// Share of pixels differing by more than `threshold` in any colour channel between two frames.
inline double changed_share(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b, int threshold = 16)
{
    if (a.size() != b.size() || a.empty())
        return 1.0;
    size_t changed = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(a[i + size_t(c)]) - int(b[i + size_t(c)])) > threshold) {
                ++changed;
                break;
            }
        }
    }
    return double(changed) / double(a.size() / 4);
}

} // namespace scenes1_test
