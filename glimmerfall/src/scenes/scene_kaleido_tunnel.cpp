// The kaleidoscope tunnel (see scene_kaleido_tunnel.h).
#include "scenes/scene_kaleido_tunnel.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "clock.h"
#include "effects/interpolator.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

// The scene's constants: light 0 and the haze the tunnel comes out of.
const GLfloat light_ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
const GLfloat light_diffuse[4] = {1.25f, 1.25f, 1.25f, 1.0f};
const GLfloat light_specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat light_position[4] = {0.0f, 0.0f, 1.0f, 0.0f}; // from behind the viewer
const GLfloat haze[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat fog_colour[4] = {1.0f, 0.96f, 0.98f, 1.0f};

// Segment colours: magenta, cyan, acid green, gold.
const float palette[4][3] = {
    {0.95f, 0.05f, 0.7f}, {0.0f, 0.7f, 0.95f}, {0.45f, 0.9f, 0.0f}, {1.0f, 0.62f, 0.0f}};

// Where the travel has put the slots: the number of whole slots passed and how far into the next
// one, in units. Whatever sits in slot i has the number i + passed.
struct sSlots
{
    int passed;
    float shift;
};

sSlots slots_at(float in_position, float in_width)
{
    const float travelled = in_position / in_width;
    const float step = std::floor(travelled);
    return {int(step), (travelled - step) * in_width};
}

} // namespace

const char* const cSceneKaleidoTunnel::mesh_files[NUM_MESHES] = {
    "../data/models/kaleido3d/logo_cubes2.bzobj",
    "../data/models/kaleido3d/torus04.bzobj",
    "../data/models/kaleido3d/worms.bzobj",
    "../data/models/kaleido3d/mt_prismSymbol.bzobj",
    "../data/models/kaleido3d/mt_ringSymbol.bzobj",
    "../data/models/kaleido3d/mig_sphereSymbol.bzobj",
    "../data/models/kaleido3d/mt_waveSymbol.bzobj",
    "../data/models/kaleido3d/glimspike01.bzobj",
    "../data/models/kaleido3d/glimspike02.bzobj",
    "../data/models/kaleido3d/glimspike03.bzobj"};

cSceneKaleidoTunnel::cSceneKaleidoTunnel(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat no_ambient[4] = {0, 0, 0, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_lighting()
                       .with_colour_material()
                       .with_ambient(no_ambient);
    m_camera.eye = Vec3<float>(0, 0, 0);
    m_camera.ctr = Vec3<float>(0, 0, -1);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 75.0f;
    m_camera.znear = 0.05f;
    m_camera.zfar = 100.0f;
}

void cSceneKaleidoTunnel::load()
{
    for (int i = 0; i < NUM_MESHES; ++i)
        m_meshes[i] = cMeshManager::get_instance()->get(mesh_files[i], true, true, false);
}

void cSceneKaleidoTunnel::handle_event(cEvent* in_event)
{
    const int t = demo_time();
    if (is_note_on(in_event, 4))
        add_interpolator(new cEaseOut<float>(&m_fogend, t, t + 250, 5.0f, 8.0f));
    if (is_note_on(in_event, 1, 48))
        add_interpolator(new cEaseOut<float>(&m_speedboost, t, t + 1000, 6.0f, 0.0f));
}

bool cSceneKaleidoTunnel::update()
{
    update_interpolators();
    const int dt = m_clock ? m_clock->delta() : 0;
    m_position += float(dt) / 1000.0f * (m_speedboost + 1.0f);
    return false;
}

void cSceneKaleidoTunnel::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "curmesh", &m_curmesh, 0.0f, float(NUM_MESHES - 1));
    add_slider(in_gui, "kaleidomode", &m_kaleidomode, 0.0f, 1.0f);
    add_slider(in_gui, "segwidth", &m_segwidth, 0.0f, 5.0f);
    add_slider(in_gui, "num_segments", &m_num_segments, 2.0f, 50.0f);
    add_vec3_slider(in_gui, "offset", &m_offset, -3.0f, 3.0f);
    add_slider(in_gui, "meshscale", &m_meshscale, 0.0f, 1.0f);
}

tVarList cSceneKaleidoTunnel::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    return vars;
}

cRTProxy cSceneKaleidoTunnel::render_to_texture(iRenderTarget&, int)
{
    assert(0 && "cScene::render-to-texture not implemented for this scene");
    return cRTProxy();
}

void cSceneKaleidoTunnel::draw_segments(float in_seconds)
{
    iMesh* mesh = m_meshes[std::clamp(m_curmesh, 0, NUM_MESHES - 1)];
    if (!mesh)
        return;
    const int count = std::clamp(m_num_segments, 2, 50);
    // A zero width would stack every segment in one place: keep a sliver.
    const float width = std::max(m_segwidth, 0.05f);
    const sSlots slots = slots_at(m_position, width);
    const float wind = 40.0f * m_cur_t; // degrees between neighbouring segments
    for (int i = 0; i < count; ++i) {
        // A segment keeps its number (colour, mirror, turn) while it travels.
        const int id = i + slots.passed;
        const float z = 0.6f - float(i) * width + slots.shift;
        const float* c = palette[((id % 4) + 4) % 4];
        glColor4f(c[0], c[1], c[2], 1.0f);
        glPushMatrix();
        glTranslatef(0, 0, z);
        // Rotations from the time: 30 degrees a second about the axis, a slow wobble across.
        glRotatef(30.0f * in_seconds + wind * float(id), 0, 0, 1);
        glRotatef(15.0f * std::sin(in_seconds * 0.8f + float(id) * 0.5f), 1, 0, 0);
        glRotatef(15.0f * std::cos(in_seconds * 0.6f + float(id) * 0.3f), 0, 1, 0);
        const bool mirrored = m_kaleidomode != 0 && (id % 2 != 0);
        if (mirrored) {
            glScalef(1, -1, 1);
            glFrontFace(GL_CW);
        }
        for (int k = 0; k < COPIES; ++k) {
            glPushMatrix();
            glRotatef(360.0f / COPIES * float(k), 0, 0, 1);
            glTranslatef(m_offset.x, m_offset.y, m_offset.z);
            glRotatef(90.0f * in_seconds + 60.0f * float(id), 1, 0, 0);
            glScalef(m_meshscale, m_meshscale, m_meshscale);
            mesh->draw();
            glPopMatrix();
        }
        if (mirrored)
            glFrontFace(GL_CCW);
        glPopMatrix();
    }
}

void cSceneKaleidoTunnel::draw_walls(float in_seconds)
{
    // The op-art lining: a chequer of ink on the white ground round the segments, two bands to a
    // segment, every ring turned and mirrored with its segment, so that the checks wind into a
    // zigzag spiral that travels with the symbols and dissolves into the haze.
    const int count = std::clamp(m_num_segments, 2, 50);
    const float width = std::max(m_segwidth, 0.05f);
    const sSlots slots = slots_at(m_position, width);
    const float wind = 40.0f * m_cur_t;
    constexpr int SECTORS = 2 * COPIES, PIECES = 4; // checks round the wall, facets per check
    constexpr float RADIUS = 2.6f, TO_RAD = 3.14159265f / 180.0f;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        const int id = i + slots.passed;
        const float z0 = 0.6f - float(i) * width + slots.shift;
        const float mirror = m_kaleidomode != 0 && (id % 2 != 0) ? -1.0f : 1.0f;
        const float turn = mirror * (30.0f * in_seconds + wind * float(id)) * TO_RAD;
        // The ink takes a trace of the segment's colour.
        const float* c = palette[((id % 4) + 4) % 4];
        glColor4f(0.1f * c[0], 0.1f * c[1], 0.1f * c[2], 1.0f);
        for (int band = 0; band < 2; ++band) {
            const float za = z0 - 0.5f * width * float(band), zb = za - 0.5f * width;
            for (int k = ((id + band) % 2 + 2) % 2; k < SECTORS; k += 2) {
                for (int p = 0; p < PIECES; ++p) {
                    const float a0 =
                        turn + 2.0f * 3.14159265f * (float(k) + float(p) / PIECES) / SECTORS;
                    const float a1 = a0 + 2.0f * 3.14159265f / (SECTORS * PIECES);
                    glVertex3f(RADIUS * std::cos(a0), RADIUS * std::sin(a0), za);
                    glVertex3f(RADIUS * std::cos(a1), RADIUS * std::sin(a1), za);
                    glVertex3f(RADIUS * std::cos(a1), RADIUS * std::sin(a1), zb);
                    glVertex3f(RADIUS * std::cos(a0), RADIUS * std::sin(a0), zb);
                }
            }
        }
    }
    glEnd();
    glPopAttrib();
}

cRTProxy cSceneKaleidoTunnel::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(haze[0], haze[1], haze[2], haze[3]);

    begin_drawing();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(m_camera.fov, m_camera.aspect, m_camera.znear, m_camera.zfar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light_specular);
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHT0);
    // A second light from the upper left in a colour running round the palette: the shards
    // turn two-toned instead of flat.
    const float hue = seconds * 0.4f;
    const int from = int(std::floor(hue)) % 4, to = (from + 1) % 4;
    const float f = hue - std::floor(hue);
    GLfloat tint[4] = {0, 0, 0, 1};
    for (int c = 0; c < 3; ++c)
        tint[c] = 0.8f * (palette[from][c] * (1.0f - f) + palette[to][c] * f);
    const GLfloat side[4] = {-0.7f, 0.6f, 0.4f, 0.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, tint);
    glLightfv(GL_LIGHT1, GL_SPECULAR, tint);
    glLightfv(GL_LIGHT1, GL_POSITION, side);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    const GLfloat shine[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, shine);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 50.0f);

    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 1.0f);
    glFogf(GL_FOG_END, std::max(m_fogend, 1.01f));
    glFogfv(GL_FOG_COLOR, fog_colour);
    glEnable(GL_FOG);

    m_roll = 20.0f * std::sin(seconds * 0.35f);
    glRotatef(m_roll, 0, 0, -1);
    gluLookAt(m_camera.eye.x, m_camera.eye.y, m_camera.eye.z, m_camera.ctr.x, m_camera.ctr.y,
              m_camera.ctr.z, m_camera.up.x, m_camera.up.y, m_camera.up.z);
    draw_walls(seconds);
    draw_segments(seconds);

    end_drawing();
    out->unbind_as_target();
    return out;
}
