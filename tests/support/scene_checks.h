// Shared checks of the scene tests: the state a frame must give back, a frame rendered inside a
// disturbed state and written as a picture for looking at, the variables a scene offers, note
// events as the MIDI reader makes them, and a picture difference.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "effects/var.h"
#include "gl_extensions.h"
#include "gl_state.h"
#include "gui/gui_slider.h"
#include "gui/gui_vec3_slider.h"
#include "midi_event.h"
#include "postprocessing/post_comp.h"
#include "render_target_manager.h"
#include "scene.h"
#include "scenes/scene_composition.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

namespace vnt_test::scene_checks {

// Everything a frame of a scene must give back: the fixed-function state, the matrix stacks'
// tops and depths, point and line sizes, buffer, texture-unit and client-array bindings, the
// separate blend factors, the bound shader and its stack.
struct sFrameState
{
    std::string gl_text;
    std::array<GLfloat, 16> projection{}, modelview{}, texture{};
    std::array<GLint, 4> depths{}; // projection, modelview, texture and attribute stacks
    GLfloat point_size = 0, line_width = 0;
    GLint framebuffer = 0, active_texture = 0, client_texture = 0, array_buffer = 0;
    GLint element_buffer = 0, scissor_test = 0, front_face = 0;
    std::array<GLint, 4> blend_separate{};
    std::array<GLboolean, 4> client_arrays{}; // vertex, normal, texcoord (set 0), colour
    std::string shader;
    size_t shader_stack = 0;

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
        glGetFloatv(GL_POINT_SIZE, &s.point_size);
        glGetFloatv(GL_LINE_WIDTH, &s.line_width);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &s.framebuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &s.active_texture);
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &s.client_texture);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &s.array_buffer);
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &s.element_buffer);
        s.scissor_test = glIsEnabled(GL_SCISSOR_TEST);
        glGetIntegerv(GL_FRONT_FACE, &s.front_face);
        glGetIntegerv(GL_BLEND_SRC_RGB, &s.blend_separate[0]);
        glGetIntegerv(GL_BLEND_DST_RGB, &s.blend_separate[1]);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &s.blend_separate[2]);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &s.blend_separate[3]);
        s.client_arrays = {glIsEnabled(GL_VERTEX_ARRAY), glIsEnabled(GL_NORMAL_ARRAY),
                           glIsEnabled(GL_TEXTURE_COORD_ARRAY), glIsEnabled(GL_COLOR_ARRAY)};
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        s.shader = shaders->get_current_shader();
        s.shader_stack = shaders->stack_depth();
        return s;
    }
};

inline void expect_same_state(const sFrameState& before, const sFrameState& after)
{
    EXPECT_EQ(before.gl_text, after.gl_text);
    EXPECT_EQ(before.projection, after.projection);
    EXPECT_EQ(before.modelview, after.modelview);
    EXPECT_EQ(before.texture, after.texture);
    EXPECT_EQ(before.depths, after.depths);
    EXPECT_EQ(before.point_size, after.point_size);
    EXPECT_EQ(before.line_width, after.line_width);
    EXPECT_EQ(before.framebuffer, after.framebuffer);
    EXPECT_EQ(before.active_texture, after.active_texture);
    EXPECT_EQ(before.client_texture, after.client_texture);
    EXPECT_EQ(before.array_buffer, after.array_buffer);
    EXPECT_EQ(before.element_buffer, after.element_buffer);
    EXPECT_EQ(before.scissor_test, after.scissor_test);
    EXPECT_EQ(before.front_face, after.front_face);
    EXPECT_EQ(before.blend_separate, after.blend_separate);
    EXPECT_EQ(before.client_arrays, after.client_arrays);
    EXPECT_EQ(before.shader, after.shader);
    EXPECT_EQ(before.shader_stack, after.shader_stack);
}

// A state unlike the defaults, the way a careless scene would hide its leaks: a bound shader,
// additive blending, a clear colour, a moved modelview, a point size, a current colour.
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

// Writes a frame to looks/<name>.png in the build folder as the composition shows it over
// black (colour times alpha, opaque).
inline void write_look(const std::string& name, const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> shown(rgba.size());
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c)
            shown[i + c] = (unsigned char)((rgba[i + c] * rgba[i + 3] + 127) / 255);
        shown[i + 3] = 255;
    }
    GLint view[4];
    glGetIntegerv(GL_VIEWPORT, view);
    std::filesystem::create_directories("looks");
    const std::string png = "looks/" + name + ".png";
    write_png(png.c_str(), view[2], view[3], shown);
}

// One frame of `scene` at `ms` (update, then render) in a disturbed state, which it must give
// back unchanged, with every render target back in the pool but the `kept` ones a scene holds
// from frame to frame; written as a picture when a name is given.
inline std::vector<unsigned char> checked_frame(cScene& scene, sTestClock& clock, int ms,
                                                const std::string& name = "", uint32_t kept = 0)
{
    disturb_state();
    const sFrameState before = sFrameState::take();
    std::vector<unsigned char> pixels = render_scene(scene, clock, ms);
    if (!name.empty())
        write_look(name, pixels);
    expect_same_state(before, sFrameState::take());
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), kept);
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

// A MIDI note event of a track at a time, as the MIDI reader makes it.
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
inline cMETrigger note_off(int track, int pitch, int time)
{
    return note(iMidiEvent::NOTE_OFF, track, pitch, time);
}

// Share of pixels differing by more than `threshold` in any colour channel between two frames.
// A missing frame or two of different sizes is a failure, and the share is NaN, which passes
// no comparison either way.
inline double changed_share(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b, int threshold = 16)
{
    if (a.size() != b.size() || a.empty()) {
        ADD_FAILURE() << "frames of " << a.size() << " and " << b.size() << " bytes compared";
        return std::nan("");
    }
    size_t changed = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > threshold) {
                ++changed;
                break;
            }
        }
    }
    return double(changed) / double(a.size() / 4);
}

// Mean absolute difference of the colour channels (alpha left out) between two RGBA frames,
// 0..255; NaN with a failure for a missing frame or frames of different sizes.
inline double mean_colour_difference(const std::vector<unsigned char>& a,
                                     const std::vector<unsigned char>& b)
{
    if (a.size() != b.size() || a.empty()) {
        ADD_FAILURE() << "frames of " << a.size() << " and " << b.size() << " bytes compared";
        return std::nan("");
    }
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += i % 4 == 3 ? 0 : std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size() / 4 * 3);
}

} // namespace vnt_test::scene_checks
