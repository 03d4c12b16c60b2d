// The 3D kaleidoscope (see scene_kaleido3d.h).
#include "scenes/scene_kaleido3d.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "postprocessing/post_comp.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "video_module.h"

namespace {

constexpr float PI = 3.14159265358979f;

float smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Ring colours from the inside out: gold, magenta, cyan; the centre acid green.
const float ring_colour[cSceneKaleido3d::RINGS][3] = {
    {1.0f, 0.7f, 0.15f}, {1.0f, 0.15f, 0.75f}, {0.1f, 0.8f, 1.0f}};
const float centre_colour[3] = {0.6f, 1.0f, 0.15f};

} // namespace

const char* const cSceneKaleido3d::mesh_files[NUM_MESHES] = {
    "../data/models/kaleido3d/logo_cubes2.bzobj",
    "../data/models/kaleido3d/torus04.bzobj",
    "../data/models/kaleido3d/worms.bzobj",
    "../data/models/kaleido3d/mt_prismSymbol.bzobj",
    "../data/models/kaleido3d/mt_ringSymbol.bzobj",
    "../data/models/kaleido3d/mig_sphereSymbol.bzobj",
    "../data/models/kaleido3d/mt_waveSymbol.bzobj"};

// Mesh numbers: 0 cubes logo, 1 torus, 2 worms, 3 prism, 4 ring, 5 sphere, 6 wave.
const cSceneKaleido3d::sConfig cSceneKaleido3d::configs[NUM_CONFIGS] = {
    {6, 4, {3, 4, 3}},
    {8, 4, {5, 6, 1}},
    {12, 5, {0, 2, 0}},
    {5, 0, {1, 2, 5}},
};

cSceneKaleido3d::cSceneKaleido3d(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat ambient[4] = {0.12f, 0.08f, 0.2f, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_lighting()
                       .with_colour_material()
                       .with_ambient(ambient);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 60.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 60.0f;
    m_rays.distance = 220.0f;
    m_rays.num_samples = 14.0f;
    m_rays.propagation = 0.25f;
    m_rays.multiplier = 4.0f;
    m_rays.size = cRenderTargetManager::RTT_QUATER;
    m_glow.size = cRenderTargetManager::RTT_EIGHTH;
    m_glow.precut = 120.0f;
    m_glow.postcut = 220.0f;
    if (cVideoModule::has_instance()) {
        m_rays.center_x = float(cVideoModule::get_instance()->get_vp_width()) / 2.0f;
        m_rays.center_y = float(cVideoModule::get_instance()->get_vp_height()) / 2.0f;
    }
    place_camera();
}

float cSceneKaleido3d::unfold(float in_cur_t)
{
    return smooth(0.0f, 0.5f, in_cur_t);
}

float cSceneKaleido3d::fly_apart(float in_cur_t)
{
    return smooth(0.5f, 1.0f, in_cur_t);
}

void cSceneKaleido3d::load()
{
    for (int i = 0; i < NUM_MESHES; ++i)
        m_meshes[i] = cMeshManager::get_instance()->get(mesh_files[i], true, true, false);
    // The glow works at an eighth of the screen: its three targets (picture, cut, blur) join
    // the pool while loading, not in the middle of the show.
    cRTProxy warm[3] = {get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size)};
}

bool cSceneKaleido3d::update()
{
    update_interpolators();
    place_camera();
    return false;
}

void cSceneKaleido3d::place_camera()
{
    // cam_t 0..1 swings the eye from straight on down to 50 degrees below the axis; beyond 1
    // it keeps going, more slowly.
    const float t = std::max(0.0f, m_cam_t);
    const float angle =
        (50.0f * std::min(t, 1.0f) + 25.0f * std::max(0.0f, t - 1.0f)) * PI / 180.0f;
    const float distance = 9.0f - 1.5f * std::min(t, 1.0f);
    m_camera.eye = Vec3<float>(0, -std::sin(angle) * distance, std::cos(angle) * distance);
    m_camera.up = Vec3<float>(0, std::cos(angle), std::sin(angle));
}

void cSceneKaleido3d::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_sliders(in_gui, sliders(m_rays));
    add_sliders(in_gui, sliders(m_glow));
}

tVarList cSceneKaleido3d::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_config", &m_cur_config, 0.0f, 3.0f);
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 3.0f);
    add_slider(vars, "cam_t", &m_cam_t, 0.0f, 3.0f);
    add_slider(vars, "rot", &m_rot, 0.0f, 720.0f);
    return vars;
}

void cSceneKaleido3d::draw_arrangement(float in_seconds)
{
    const sConfig& config = configs[std::clamp(m_cur_config, 0, NUM_CONFIGS - 1)];
    const float open = unfold(m_cur_t);
    const float apart = fly_apart(m_cur_t);
    if (open <= 0.0f)
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotatef(m_rot + 6.0f * in_seconds, 0, 0, 1);

    // The centre piece turns on two axes.
    if (iMesh* centre = m_meshes[config.centre]) {
        const float s = 1.3f * open * (1.0f - apart);
        if (s > 0.001f) {
            glColor4f(centre_colour[0], centre_colour[1], centre_colour[2], 1);
            glPushMatrix();
            glRotatef(40.0f * in_seconds, 0, 0, 1);
            glRotatef(25.0f * in_seconds, 1, 0, 0);
            glScalef(s, s, s);
            centre->draw();
            glPopMatrix();
        }
    }

    const float step = 360.0f / float(config.fold);
    for (int ring = 0; ring < RINGS; ++ring) {
        iMesh* mesh = m_meshes[config.rings[ring]];
        if (!mesh)
            continue;
        const float radius =
            (1.9f + 1.35f * float(ring)) * (0.35f + 0.65f * open) * (1.0f + 2.2f * apart);
        const float lift = 5.0f * apart * (1.0f + 0.3f * float(ring));
        const float size = (0.62f - 0.06f * float(ring)) * open;
        const float turn = (ring % 2 ? -1.0f : 1.0f) * 12.0f * in_seconds;
        glColor4f(ring_colour[ring][0], ring_colour[ring][1], ring_colour[ring][2], 1);
        for (int k = 0; k < config.fold; ++k) {
            glPushMatrix();
            glRotatef(turn + step * (float(k) + (ring % 2 ? 0.5f : 0.0f)), 0, 0, 1);
            // Every other copy is the mirror image of its neighbour, as in a kaleidoscope.
            const bool mirrored = k % 2 == 1;
            if (mirrored) {
                glScalef(1, -1, 1);
                glFrontFace(GL_CW);
            }
            glTranslatef(radius, 0, lift);
            glRotatef(70.0f * in_seconds + 30.0f * float(ring), 1, 0, 0);
            glRotatef(25.0f, 0, 0, 1);
            glScalef(size, size, size);
            mesh->draw();
            if (mirrored)
                glFrontFace(GL_CCW);
            glPopMatrix();
        }
    }
    glPopMatrix();
}

void cSceneKaleido3d::add_rays(iRenderTarget& in_picture, iRenderTarget& out)
{
    // The rays are soft: they are drawn at quarter size, centre and length scaled to it.
    cRTProxy rays = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    radialblur_params scaled = m_rays;
    const float viewport = cVideoModule::has_instance()
                               ? float(cVideoModule::get_instance()->get_vp_width())
                               : float(in_picture.m_width);
    const float ratio = float(rays->m_width) / std::max(viewport, 1.0f);
    scaled.center_x *= ratio;
    scaled.center_y *= ratio;
    scaled.distance *= ratio;
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    rays->bind_as_target(true);
    rays->unbind_as_target();
    glPopAttrib();
    cPostRadialBlur::get_instance()->process(in_picture, *rays, scaled);
    // The sharp picture over its rays. The rays' colour is boosted by the multiplier, which
    // makes up for the transparent black they were blurred with: over a bright layer below
    // they tint it instead of greying it.
    const int over = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(out, in_picture, *rays, &over, 1.0f);
}

cRTProxy cSceneKaleido3d::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    // Transparent where nothing is drawn: the layers below show through.
    cRTProxy picture = bind_full_target_cleared(0, 0, 0, 0);

    begin_drawing();
    m_camera.apply_camera();
    const GLfloat key_pos[4] = {0.3f, 0.4f, 1.0f, 0};
    const GLfloat key[4] = {0.9f, 0.9f, 0.95f, 1};
    const GLfloat left_pos[4] = {-1.0f, 0.3f, 0.4f, 0};
    const GLfloat left[4] = {0.9f, 0.1f, 0.7f, 1};
    const GLfloat right_pos[4] = {1.0f, -0.4f, 0.4f, 0};
    const GLfloat right[4] = {0.1f, 0.7f, 1.0f, 1};
    const GLfloat white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, key_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT1, GL_POSITION, left_pos);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, left);
    glLightfv(GL_LIGHT2, GL_POSITION, right_pos);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, right);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 60.0f);
    draw_arrangement(seconds);
    end_drawing();
    picture->unbind_as_target();

    // Radial blur, then glow; the passes leave their clear colour behind, so it is saved.
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    cRTProxy rayed = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    add_rays(*picture, *rayed);
    {
        // The sharp picture goes back to the pool before the glow borrows its targets.
        cRTProxy done(std::move(picture));
    }
    cRTProxy out = finish_glow(std::move(rayed), m_glow);
    glPopAttrib();
    return out;
}
