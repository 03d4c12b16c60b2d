// Shared checks of the scene tests: the state a frame must give back, a frame rendered inside a
// disturbed state and written as a picture for looking at, the variables a scene offers, note
// events as the MIDI reader makes them, and a picture difference.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "effects/var.h"
#include "gl_extensions.h"
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
    EXPECT_TRUE(write_png(png.c_str(), view[2], view[3], shown))
        << png << ": the picture is not the viewport's size";
}

// One frame of `scene` at `ms` (update, then render) in a disturbed state, which it must give
// back unchanged, with every render target back in the pool but the `kept` ones a scene holds
// from frame to frame; written as a picture when a name is given.
inline std::vector<unsigned char> checked_frame(cScene& scene, sTestClock& clock, int ms,
                                                const std::string& name = "", uint32_t kept = 0)
{
    disturb_state();
    const std::string before = vnt_test::frame_state();
    std::vector<unsigned char> pixels = render_scene(scene, clock, ms);
    if (!name.empty())
        write_look(name, pixels);
    EXPECT_EQ(before, vnt_test::frame_state());
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), kept);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    restore_defaults();
    return pixels;
}

// Warms the scene up (cScene::warm_up()) in a disturbed state, which it must give back
// unchanged, with every render target back in the pool.
inline void checked_warm_up(cScene& scene)
{
    disturb_state();
    const std::string before = vnt_test::frame_state();
    scene.warm_up();
    EXPECT_EQ(before, vnt_test::frame_state());
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    restore_defaults();
}

// The same, and the scene's frame at `ms` is the same before and after it (for a scene whose
// frames do not step it).
inline void expect_warm_up_changes_nothing(cScene& scene, sTestClock& clock, int ms)
{
    const std::vector<unsigned char> cold = checked_frame(scene, clock, ms);
    checked_warm_up(scene);
    EXPECT_EQ(cold, checked_frame(scene, clock, ms));
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

// Two frames to compare: a missing frame or two of different sizes is a failure.
inline bool comparable(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() == b.size() && !a.empty())
        return true;
    ADD_FAILURE() << "frames of " << a.size() << " and " << b.size() << " bytes compared";
    return false;
}

// Share of pixels differing by more than `threshold` in any colour channel between two frames;
// NaN, which passes no comparison either way, for frames that cannot be compared.
inline double changed_share(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b, int threshold = 16)
{
    if (!comparable(a, b))
        return std::nan("");
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
// 0..255; NaN for frames that cannot be compared.
inline double mean_colour_difference(const std::vector<unsigned char>& a,
                                     const std::vector<unsigned char>& b)
{
    if (!comparable(a, b))
        return std::nan("");
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += i % 4 == 3 ? 0 : std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size() / 4 * 3);
}

} // namespace vnt_test::scene_checks
