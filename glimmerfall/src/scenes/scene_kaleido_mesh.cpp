// The kaleidoscope mesh (see scene_kaleido_mesh.h).
#include "scenes/scene_kaleido_mesh.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

constexpr float PI = 3.14159265358979f;
const GLfloat backdrop[4] = {0.01f, 0.0f, 0.04f, 1.0f};
const float palette[4][3] = {
    {1.0f, 0.15f, 0.8f}, {0.1f, 0.85f, 1.0f}, {0.65f, 1.0f, 0.15f}, {1.0f, 0.72f, 0.15f}};
constexpr float RING_SPACING = 3.0f; // units between rings

} // namespace

cSceneKaleidoMesh::cSceneKaleidoMesh(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_lighting()
                       .with_colour_material()
                       .with_fog(4.0f, 18.0f, backdrop);
    m_camera.eye = Vec3<float>(0, 0, 1.0f);
    m_camera.ctr = Vec3<float>(0, 0, -1.0f);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 70.0f;
    m_camera.znear = 0.2f;
    m_camera.zfar = 40.0f;
}

void cSceneKaleidoMesh::load()
{
    m_logo = cMeshManager::get_instance()->get("logo_cubes2.bzobj", true, true, false);
}

void cSceneKaleidoMesh::init()
{
    glEnable(GL_LIGHT0);
}

bool cSceneKaleidoMesh::update()
{
    update_interpolators();
    return false;
}

void cSceneKaleidoMesh::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "segwidth", &m_segwidth, 0.0f, 2.0f);
    add_slider(in_gui, "num_segments", &m_num_segments, 2.0f, 50.0f);
    add_slider(in_gui, "offset", &m_offset, 0.0f, 5.0f);
}

cRTProxy cSceneKaleidoMesh::render_to_texture(iRenderTarget&, int)
{
    assert(0 && "cScene::render-to-texture not implemented for this scene");
    return cRTProxy();
}

cRTProxy cSceneKaleidoMesh::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    begin_drawing();
    m_camera.apply_camera();
    const GLfloat eye_pos[4] = {0, 0, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, eye_pos);
    if (m_logo) {
        const int segments = std::clamp(m_num_segments, 2, 50);
        const float step = 360.0f / float(segments);
        // The logo is 2 units wide: a copy fills `segwidth` of the arc its segment spans.
        const float arc = 2.0f * PI * std::max(m_offset, 0.1f) / float(segments);
        // Close to the axis the arcs are short: the copies keep a least size there.
        const float size = std::max(0.0f, m_segwidth) * std::max(arc / 2.0f, 0.35f);
        const float travelled = seconds * 2.0f / RING_SPACING;
        const float whole = std::floor(travelled);
        for (int r = 0; r < RINGS; ++r) {
            const int id = r - int(whole);
            const float z = -RING_SPACING * (float(r) - (travelled - whole));
            const float* c = palette[((id % 4) + 4) % 4];
            glColor4f(c[0], c[1], c[2], 1);
            glPushMatrix();
            glTranslatef(0, 0, z);
            glRotatef((id % 2 ? -1.0f : 1.0f) * 20.0f * seconds + 11.0f * float(id), 0, 0, 1);
            for (int k = 0; k < segments; ++k) {
                glPushMatrix();
                glRotatef(step * float(k), 0, 0, 1);
                glTranslatef(m_offset, 0, 0);
                const bool mirrored = k % 2 == 1;
                if (mirrored) {
                    glScalef(1, -1, 1);
                    glFrontFace(GL_CW);
                }
                glRotatef(-90.0f, 0, 0, 1); // the logo stands upright on its circle
                glRotatef(25.0f * std::sin(seconds + float(k)), 0, 1, 0);
                glScalef(size, size, size);
                m_logo->draw();
                if (mirrored)
                    glFrontFace(GL_CCW);
                glPopMatrix();
            }
            glPopMatrix();
        }
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
