// MIDI test view (see scene_midi_test.h).
#include "scenes/scene_midi_test.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "clock.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/gui_txt_label.h"
#include "gui/slider_entries.h"
#include "midi_event.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"

namespace {

constexpr int MAX_NOTES = 4096;
constexpr float NAME_COLUMN = 0.12f; // share of the width left for the track names

// A distinct saturated colour per track.
void track_colour(int track, float alpha)
{
    const float hue = std::fmod(float(track) * 0.137f, 1.0f) * 6.0f;
    const float x = 1.0f - std::fabs(std::fmod(hue, 2.0f) - 1.0f);
    float r = 0, g = 0, b = 0;
    switch (int(hue)) {
    case 0: r = 1, g = x; break;
    case 1: r = x, g = 1; break;
    case 2: g = 1, b = x; break;
    case 3: g = x, b = 1; break;
    case 4: r = x, b = 1; break;
    default: r = 1, b = x; break;
    }
    glColor4f(0.25f + 0.75f * r, 0.25f + 0.75f * g, 0.25f + 0.75f * b, alpha);
}

void rect(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

} // namespace

cSceneMidiTest::cSceneMidiTest(const cClock* in_clock) : cScene(in_clock) {}

void cSceneMidiTest::load()
{
    if (cSceneManager::has_instance()) {
        if (const cEventQueue* queue = cSceneManager::get_instance()->event_queue())
            m_track_names = queue->m_track_names;
    }
}

void cSceneMidiTest::handle_event(cEvent* in_event)
{
    if (in_event->m_id == EV_MIDI_BEAT || in_event->m_id == EV_BEAT) {
        m_beats.push_back(in_event->m_time);
        return;
    }
    if (const cMETrigger* trigger = dynamic_cast<const cMETrigger*>(in_event)) {
        m_lanes = std::max(m_lanes, trigger->m_track + 1);
        if (trigger->m_kind == 1) {
            m_notes.push_back(
                {trigger->m_track, trigger->m_note, trigger->m_velocity, trigger->m_time, -1});
        } else {
            // The latest sounding note of that pitch on that track ends here.
            for (auto it = m_notes.rbegin(); it != m_notes.rend(); ++it) {
                if (it->track == trigger->m_track && it->note == trigger->m_note && it->end < 0) {
                    it->end = trigger->m_time;
                    break;
                }
            }
        }
        while (m_notes.size() > MAX_NOTES)
            m_notes.pop_front();
    } else if (const cMECtrlChange* change = dynamic_cast<const cMECtrlChange*>(in_event)) {
        m_controls.emplace_back(change->m_track, change->m_time);
    }
}

void cSceneMidiTest::forget_before(int in_time)
{
    while (!m_notes.empty() && m_notes.front().end >= 0 && m_notes.front().end < in_time)
        m_notes.pop_front();
    while (!m_beats.empty() && m_beats.front() < in_time)
        m_beats.pop_front();
    while (!m_controls.empty() && m_controls.front().second < in_time)
        m_controls.pop_front();
}

bool cSceneMidiTest::update()
{
    update_interpolators();
    forget_before(demo_time() - int(std::max(m_ctrl, 0.5f) * 1000.0f));
    return false;
}

void cSceneMidiTest::add_gui(iGuiNode* in_gui)
{
    add_slider(in_gui, "ctrl", &m_ctrl, 0.5f, 16.0f);
}

cRTProxy cSceneMidiTest::render_to_texture(int)
{
    assert(0 && "cScene::render-to-texture not implemented for midi-scene");
    return cRTProxy();
}

void cSceneMidiTest::draw_lanes(int in_now, int in_lanes) const
{
    const float span = std::max(m_ctrl, 0.5f) * 1000.0f;
    const float lane_h = 1.0f / float(in_lanes);
    auto x_of = [&](int t) {
        return NAME_COLUMN + (1.0f - NAME_COLUMN) * (1.0f - float(in_now - t) / span);
    };

    // Alternating lane backgrounds.
    for (int lane = 0; lane < in_lanes; ++lane) {
        const float y0 = 1.0f - float(lane + 1) * lane_h;
        glColor4f(1, 1, 1, lane % 2 ? 0.04f : 0.08f);
        rect(0, y0, 1, y0 + lane_h);
    }
    // Beat lines.
    glBegin(GL_LINES);
    for (int beat : m_beats) {
        const float x = x_of(beat);
        glColor4f(1, 1, 1, 0.25f);
        glVertex2f(x, 0);
        glVertex2f(x, 1);
    }
    glEnd();
    // Notes: the pitch places the bar inside its lane, the velocity sets its brightness.
    for (const sNote& n : m_notes) {
        const int end = n.end < 0 ? in_now : n.end;
        if (end < in_now - int(span) || n.track >= in_lanes)
            continue;
        const float y0 = 1.0f - float(n.track + 1) * lane_h;
        const float pitch = std::clamp(float(n.note - 24) / 84.0f, 0.0f, 1.0f);
        const float bar_y = y0 + lane_h * (0.1f + 0.7f * pitch);
        track_colour(n.track, 0.35f + 0.65f * float(n.velocity) / 127.0f);
        rect(std::max(x_of(n.start), NAME_COLUMN), bar_y, std::max(x_of(end), x_of(n.start) + 0.002f),
             bar_y + lane_h * 0.2f);
        // A fresh note-on flashes its lane's label area.
        const int age = in_now - n.start;
        if (age >= 0 && age < 150) {
            track_colour(n.track, 0.6f * (1.0f - float(age) / 150.0f));
            rect(0, y0, NAME_COLUMN, y0 + lane_h);
        }
    }
    // Controller changes as small ticks at the top of their lane.
    for (const auto& control : m_controls) {
        if (control.first >= in_lanes)
            continue;
        const float y1 = 1.0f - float(control.first) * lane_h;
        const float x = x_of(control.second);
        glColor4f(1, 1, 0.3f, 0.8f);
        rect(x, y1 - lane_h * 0.15f, x + 0.002f, y1);
    }
    // The present, at the right edge.
    glColor4f(1, 0.2f, 0.2f, 0.8f);
    rect(0.998f, 0, 1, 1);
}

void cSceneMidiTest::draw_names(int in_lanes) const
{
    const float lane_h = 1.0f / float(in_lanes);
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float glyph_h = cGuiTxtLabel::glyph_height(viewport[2], viewport[3]);
    // As many characters as the name column holds, less a small margin.
    const size_t fits = size_t((NAME_COLUMN - 0.01f) / cGuiTxtLabel::GLYPH_WIDTH);

    cGuiTxtLabel label;
    glColor4f(1, 1, 1, 0.9f);
    for (int lane = 0; lane < in_lanes; ++lane) {
        std::string name = size_t(lane) < m_track_names.size() ? m_track_names[lane] : "";
        if (name.empty())
            name = "track " + std::to_string(lane);
        label.set_text(name.substr(0, fits));
        const float y0 = 1.0f - float(lane + 1) * lane_h;
        label.set_pos(0.005f, y0 + std::max(0.0f, lane_h - glyph_h) * 0.5f);
        label.draw();
    }
}

void cSceneMidiTest::draw()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const int lanes = std::max<int>(m_lanes, int(m_track_names.size()));
    draw_lanes(demo_time(), lanes);
    draw_names(lanes);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    shaders->pop_shader();
}
