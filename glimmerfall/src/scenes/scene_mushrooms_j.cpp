// The mushroom cave (see scene_mushrooms_j.h).
#include "scenes/scene_mushrooms_j.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "clock.h"
#include "effects/interpolator.h"
#include "effects/particles/particle_effect.h"
#include "effects/particles/particle_emitter_cube_volume.h"
#include "effects/particles/particle_updaters.h"
#include "effects/var.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "resource_path.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "shaders/shd_particle.h"
#include "texture_manager.h"

namespace {

const char* const kFolder = "../data/models/mushroom/";
const GLfloat kHaze[4] = {0.01f, 0.0f, 0.03f, 1.0f}; // the dark the cave fades into

const float kPi = 3.14159265f;

// Spores: a box of resting spores around the viewer, five seconds each.
using tSporeEmitter = cParticleEmitterCubeVolume<ControllerConstant<100>, ControllerConstant<5>>;

iMesh* fetch(const char* in_name)
{
    return cMeshManager::get_instance()->get(std::string(kFolder) + in_name, true, true, false);
}

void set_diffuse(float r, float g, float b, float a = 1.0f)
{
    const GLfloat c[4] = {r, g, b, a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
}

// A three-float shader parameter.
void set_vec3(const char* in_shader, int in_id, const float (&in_value)[3])
{
    cFloatsVar var(in_value);
    cShaderManager_GLSL::get_instance()->set_parameter(in_shader, in_id, &var);
}

void set_float(const char* in_shader, int in_id, float in_value)
{
    cVar<float> var(&in_value);
    cShaderManager_GLSL::get_instance()->set_parameter(in_shader, in_id, &var);
}

} // namespace

const char* const cSceneMushroomsJ::path_files[NUM_PATHS] = {
    "cam08_01_100.txt", "cam02_169.txt",    "cam04_100.txt", "cam08_02_100.txt",
    "cam06_100.txt",    "cam08_03_100.txt", "cam07_60.txt"};

cSceneMushroomsJ::cSceneMushroomsJ(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_depth_test().with_depth_writes();
    m_camera.eye = Vec3<float>(0, 0, 0);
    m_camera.ctr = Vec3<float>(1, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 70.0f;
    m_camera.znear = 0.05f;
    m_camera.zfar = 80.0f;
}

cSceneMushroomsJ::~cSceneMushroomsJ() = default;

void cSceneMushroomsJ::load()
{
    m_cave = fetch("cave.bzobj");
    m_mush01 = fetch("mush01.bzobj");
    m_mush02 = fetch("mush02.bzobj");
    assert(m_cave && m_mush01 && m_mush02 && "the cave and both mushroom meshes must exist");
    m_mush01_vol = fetch("mush01_vol.bzobj");
    m_mush02_vol = fetch("mush02_vol.bzobj");
    m_mush_low = fetch("mush_low01.bzobj");
    m_scatter = fetch("scatter_obj.bzobj");
    m_minimush = fetch("minimush_scattered.bzobj");

    cTextureManager* textures = cTextureManager::get_instance();
    const char* lightmaps[3] = {"mushroom_cave_lightmap_neutral.png",
                                "mushroom_cave_lightmap_mushrooma.png",
                                "mushroom_cave_lightmap_mushroomb.png"};
    for (int i = 0; i < 3; ++i)
        m_lightmaps[i] = textures->get_texture(lightmaps[i], true, GL_REPEAT, 0);
    m_skin = textures->get_texture("mushroom_skin.png", true, GL_CLAMP, 0);
    m_sprite = textures->get_texture("particle_sprite_03.jpg", true, GL_CLAMP, 0);

    // Shaders other scenes may have registered already are left as they are.
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const std::pair<const char*, void (*)()> needed[] = {
        {"particle_light_shader", register_particle_light_shader},
        {"self_illum_shader", register_self_illum_shader},
        {"lmt_shader", register_lmt_shader},
        {"xraytex_shader", register_xraytex_shader}};
    for (const auto& [name, add] : needed) {
        if (!shaders->get_shader(name))
            add();
    }

    m_pod_anchors.clear();
    for (int i = 0; i < NUM_PATHS; ++i) {
        const std::string file =
            cResourcePath::get_instance()->get_fullpath(std::string(kFolder) + path_files[i]);
        if (file.empty() || !m_paths[i].load(file))
            continue;
        // Spore pods float along every flight, a little above it, so each flight passes some
        // close by.
        const auto& keys = m_paths[i].keys();
        for (size_t k = 6; k < keys.size(); k += 12)
            m_pod_anchors.push_back(keys[k].eye + Vec3<float>(0, 1.0f, 0));
    }

    m_spores.reset(new sParticleEffect());
    m_spores->create(SPORES);
    m_spores->system->m_drag = 0.03f;
    m_spores->emitters.push_back(new tSporeEmitter(Vec3<float>(), Vec3<float>(10, 5, 10)));
    m_spores->updaters.push_back(new cVortex(Vec3<float>(0, 1, 0), Vec3<float>(), 0.006f));
    m_spores->updaters.push_back(new cGravitySink(Vec3<float>(), 0.004f));
}

void cSceneMushroomsJ::handle_event(cEvent* in_event)
{
    const int t = demo_time();
    if (is_note_on(in_event, 4))
        add_interpolator(new cLerp<float>(&m_flash_a_var, t, t + 500, 0.0f, 1.0f));
    if (is_note_on(in_event, 21))
        add_interpolator(new cLerp<float>(&m_flash_b_var, t, t + 200, 0.0f, 1.0f));
    if (is_note_on(in_event, 1, 48)) {
        m_cur_path = (m_cur_path + 1) % NUM_PATHS;
        m_path_start = t;
    }
}

float cSceneMushroomsJ::path_progress(int in_time_ms) const
{
    if (m_path_start < 0)
        return 0.0f;
    return std::clamp(float(in_time_ms - m_path_start) / float(PATH_MS), 0.0f, 1.0f);
}

float cSceneMushroomsJ::flash_brightness(float in_flash)
{
    const float left = 1.0f - std::clamp(in_flash, 0.0f, 1.0f);
    return left * left;
}

void cSceneMushroomsJ::drop_finished_flashes(int in_time_ms)
{
    auto finished = [&](cInterpolator* in_ip) {
        const bool flash = in_ip->m_var == &m_flash_a_var || in_ip->m_var == &m_flash_b_var;
        if (!flash || in_time_ms <= in_ip->m_endtime)
            return false;
        delete in_ip;
        return true;
    };
    m_interpolators.erase(std::remove_if(m_interpolators.begin(), m_interpolators.end(), finished),
                          m_interpolators.end());
}

bool cSceneMushroomsJ::update()
{
    const int t = demo_time();
    if (m_clock && !m_clock->paused) {
        update_interpolators();
        drop_finished_flashes(t);
    }
    // A flight starts with the scene's first frame, and again when the time moved back.
    if (m_path_start < 0 || t < m_path_start)
        m_path_start = t;
    place_camera(t);
    if (m_spores && m_clock) {
        for (iParticleEmitter* emitter : m_spores->emitters)
            emitter->set_position(m_camera.eye);
        for (iParticleSystemUpdater* updater : m_spores->updaters) {
            if (auto* vortex = dynamic_cast<cVortex*>(updater))
                vortex->m_point = m_camera.eye;
            if (auto* sink = dynamic_cast<cGravitySink*>(updater))
                sink->m_position = m_camera.eye + Vec3<float>(0, 6, 0);
        }
        m_spores->step(*m_clock);
    }
    return false;
}

void cSceneMushroomsJ::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "campath", &m_cur_path, 0.0f, float(NUM_PATHS - 1));
    add_slider(in_gui, "flash_a", &m_flash_a, 0.0f, 1.0f);
    add_slider(in_gui, "flash_b", &m_flash_b, 0.0f, 1.0f);
    add_slider(in_gui, "cave_light", &m_cave_light, 0.0f, 2.0f);
    add_slider(in_gui, "glow_a", &m_glow_a, 0.0f, 2.0f);
    add_slider(in_gui, "glow_b", &m_glow_b, 0.0f, 2.0f);
    add_slider(in_gui, "spore_size", &m_spore_size, 0.0f, 0.3f);
    if (m_spores)
        m_spores->add_gui(in_gui);
}

tVarList cSceneMushroomsJ::get_vars()
{
    tVarList vars;
    add_slider(vars, "rotation", &m_rotation, 0.0f, 720.0f);
    return vars;
}

void cSceneMushroomsJ::place_camera(int in_time_ms)
{
    m_cur_path = std::clamp(m_cur_path, 0, NUM_PATHS - 1);
    const CCamPath& path = m_paths[m_cur_path];
    if (path.empty())
        return;
    const float p = path_progress(in_time_ms);
    m_camera.eye = path.eye(p);
    m_camera.ctr = path.centre(p);
    m_camera.up = path.up(p);
    // A slow sway about the line of sight.
    m_camera.roll = 4.0 * std::sin(double(m_rotation) * 2.0 * kPi / 180.0);
}

void cSceneMushroomsJ::draw_cave()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const float a = flash_brightness(m_flash_a), b = flash_brightness(m_flash_b);
    const float intensities[3] = {m_cave_light, m_glow_a + 0.9f * a, m_glow_b + 0.9f * b};
    // The mushroom light runs hot towards white at the height of a flash.
    const float hot = 0.15f * std::max(a, b);
    const float tint[3] = {1.0f + hot, 1.0f + hot, 1.0f + hot};
    set_vec3("lmt_shader", 1, intensities);
    set_vec3("lmt_shader", 2, tint);
    shaders->bind("lmt_shader");
    for (int i = 0; i < 3; ++i)
        m_lightmaps[i].bind(GL_TEXTURE0 + i);
    set_diffuse(0.9f, 0.85f, 1.0f);
    m_cave->draw();
    for (int i = 2; i >= 0; --i)
        m_lightmaps[i].unbind();
}

void cSceneMushroomsJ::draw_mushrooms()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const float a = flash_brightness(m_flash_a), b = flash_brightness(m_flash_b);
    shaders->bind("self_illum_shader");
    m_skin.bind(GL_TEXTURE0);
    const float ka = 0.85f + 0.45f * a, kb = 0.85f + 0.45f * b;
    set_diffuse(1.0f * ka, 0.8f * ka, 1.0f * ka);
    m_mush01->draw();
    set_diffuse(0.8f * kb, 1.0f * kb, 1.0f * kb);
    m_mush02->draw();
    const float rest = 0.55f + 0.25f * (a + b);
    if (m_mush_low) {
        set_diffuse(0.75f * rest, 0.6f * rest, 1.0f * rest);
        m_mush_low->draw();
    }
    if (m_minimush) {
        set_diffuse(0.9f * rest, 0.8f * rest, 1.0f * rest);
        m_minimush->draw();
    }
    m_skin.unbind();
}

void cSceneMushroomsJ::draw_pods(float in_seconds)
{
    if (!m_scatter || m_pod_anchors.empty())
        return;
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const float turn = m_rotation * kPi / 180.0f;
    auto pod_position = [&](size_t i) {
        const float phase = float(i) * 2.39996f; // golden angle: no two pods alike
        const float a = turn * (i % 2 ? 1.0f : -1.0f) + phase;
        return m_pod_anchors[i] + Vec3<float>(0.8f * std::cos(a),
                                              0.15f * std::sin(in_seconds * 0.9f + phase),
                                              0.8f * std::sin(a));
    };

    shaders->bind("self_illum_shader");
    m_skin.bind(GL_TEXTURE0);
    for (size_t i = 0; i < m_pod_anchors.size(); ++i) {
        const Vec3<float> p = pod_position(i);
        const bool magenta = i % 2 == 0;
        const float k = 0.75f + 0.45f * flash_brightness(magenta ? m_flash_a : m_flash_b);
        if (magenta)
            set_diffuse(1.0f * k, 0.45f * k, 0.9f * k);
        else
            set_diffuse(0.45f * k, 1.0f * k, 0.8f * k);
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        glRotatef(m_rotation * 3.0f + float(i) * 37.0f, 0.3f, 1.0f, 0.2f);
        const float s = 0.6f + 0.3f * float(i % 3) / 2.0f;
        glScalef(s, s, s);
        m_scatter->draw();
        glPopMatrix();
    }
    m_skin.unbind();

    // A soft halo round every pod, facing the viewer, added onto the picture.
    if (!m_sprite.isValid())
        return;
    shaders->disable();
    GLfloat mv[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    const Vec3<float> right(mv[0], mv[4], mv[8]), up(mv[1], mv[5], mv[9]);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    m_sprite.bind(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBegin(GL_QUADS);
    for (size_t i = 0; i < m_pod_anchors.size(); ++i) {
        const Vec3<float> p = pod_position(i);
        const bool magenta = i % 2 == 0;
        const float k = 0.35f + 0.65f * flash_brightness(magenta ? m_flash_a : m_flash_b);
        if (magenta)
            glColor4f(0.9f * k, 0.3f * k, 0.8f * k, 1.0f);
        else
            glColor4f(0.3f * k, 0.9f * k, 0.8f * k, 1.0f);
        const float r = 0.55f;
        const Vec3<float> c[4] = {p - right * r - up * r, p + right * r - up * r,
                                  p + right * r + up * r, p - right * r + up * r};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k2 = 0; k2 < 4; ++k2) {
            glTexCoord2f(uv[k2][0], uv[k2][1]);
            glVertex3f(c[k2].x, c[k2].y, c[k2].z);
        }
    }
    glEnd();
    m_sprite.unbind();
    glPopAttrib();
}

void cSceneMushroomsJ::draw_volumes()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const float a = flash_brightness(m_flash_a), b = flash_brightness(m_flash_b);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    m_skin.bind(GL_TEXTURE0);
    if (m_mush01_vol) {
        set_float("xraytex_shader", cShdXrayTex::SP_IN_EMIT, 1.2f + 3.0f * a);
        shaders->bind("xraytex_shader");
        set_diffuse(1.0f, 0.35f, 0.85f);
        m_mush01_vol->draw();
    }
    if (m_mush02_vol) {
        set_float("xraytex_shader", cShdXrayTex::SP_IN_EMIT, 1.2f + 3.0f * b);
        shaders->bind("xraytex_shader");
        set_diffuse(0.3f, 1.0f, 0.9f);
        m_mush02_vol->draw();
    }
    m_skin.unbind();
    glPopAttrib();
}

void cSceneMushroomsJ::draw_spores(float in_seconds)
{
    if (!m_spores)
        return;
    const float a = flash_brightness(m_flash_a), b = flash_brightness(m_flash_b);
    const Vec3<float> ahead = (m_camera.ctr - m_camera.eye).normalized();
    const Vec3<float> lantern = m_camera.eye + ahead * 3.0f;
    const float min_colour[3] = {0.22f, 0.08f, 0.4f};
    const float max_colour[3] = {0.8f + 0.2f * a, 0.55f + 0.45f * b, 1.0f};
    const char* shader = "particle_light_shader";
    set_float(shader, 1, in_seconds);
    const float lantern_position[3] = {lantern.x, lantern.y, lantern.z};
    set_vec3(shader, 2, lantern_position);
    set_float(shader, 3, 6.0f);
    set_vec3(shader, 4, min_colour);
    set_vec3(shader, 5, max_colour);
    set_float(shader, 6, 0.6f);
    set_float(shader, 7, m_spore_size);

    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    m_spores->render(shader);
    glPopAttrib();
    // Mesa may write the sprites' colour back over the restored one at its next flush after an
    // array draw; setting the colour again pins it.
    glColor4fv(colour);
}

cRTProxy cSceneMushroomsJ::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(kHaze[0], kHaze[1], kHaze[2], kHaze[3]);

    begin_drawing();
    place_camera(in_time_ms);
    m_camera.apply_camera();
    if (m_cave) {
        // The mushrooms before the rock they hide.
        draw_mushrooms();
        draw_cave();
        draw_pods(seconds);
        draw_volumes();
        draw_spores(seconds);
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
