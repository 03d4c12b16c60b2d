// The particle field (see scene_particles.h).
#include "scenes/scene_particles.h"

#include <algorithm>
#include <cmath>

#include "clock.h"
#include "effects/particles/particle_effect.h"
#include "effects/particles/particle_emitter_plane.h"
#include "effects/particles/particle_updaters.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "postprocessing/kaleidoscope.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

// Sparks rise from a square under the field and live 10 to 30 seconds.
using tFountain = cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 10>>;

const float kPi = 3.14159265f;

// The palette the sparks' colour travels through: magenta, cyan, acid green, gold.
const float kPalette[4][3] = {
    {1.0f, 0.15f, 0.75f}, {0.1f, 0.8f, 1.0f}, {0.55f, 1.0f, 0.15f}, {1.0f, 0.7f, 0.15f}};

void palette(float in_at, float out[3])
{
    const float wrapped = in_at - 4.0f * std::floor(in_at / 4.0f);
    const int a = int(wrapped) % 4, b = (a + 1) % 4;
    const float f = wrapped - std::floor(wrapped);
    const float s = f * f * (3.0f - 2.0f * f);
    for (int c = 0; c < 3; ++c)
        out[c] = kPalette[a][c] * (1.0f - s) + kPalette[b][c] * s;
}

} // namespace

cSceneParticles::cSceneParticles(const cClock* in_clock) : cScene(in_clock)
{
    // Sparks add up and hide nothing.
    m_draw_state = sDrawState().with_blending(GL_SRC_ALPHA, GL_ONE);
    m_camera.eye = Vec3<float>(0, 4, m_orbit);
    m_camera.ctr = Vec3<float>(0, 1, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 60.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 100.0f;
    m_glow.size = cRenderTargetManager::RTT_QUATER;
    m_glow.blurs = 1;
    m_glow.precut = 90.0f;
    m_glow.postcut = 170.0f;
}

cSceneParticles::~cSceneParticles() = default;

void cSceneParticles::load()
{
    m_effect.reset(new sParticleEffect());
    m_effect->create(CAPACITY);
    m_effect->system->m_drag = 0.015f;
    m_effect->emitters.push_back(
        new tFountain(Vec3<float>(-4, -5, -4), Vec3<float>(8, 0, 0), Vec3<float>(0, 0, 8)));
    m_sinks[0] = new cGravitySink(Vec3<float>(4, 3, 0), m_sink_strength);
    m_sinks[1] = new cGravitySink(Vec3<float>(-4, 1, 0), m_sink_strength);
    m_sphere = new cSphereConstraint(Vec3<float>(0, 1, 0), 2.2f);
    m_vortex = new cVortex(Vec3<float>(0, 0.004f, 0), Vec3<float>(0, 0, 0), 1.0f);
    m_effect->updaters = {m_sinks[0], m_sinks[1], m_vortex, m_sphere};
    cPostKaleidoscope::get_instance();
}

void cSceneParticles::handle_event(cEvent* in_event)
{
    if (in_event && in_event->m_id == EV_BEAT)
        m_last_beat = in_event->m_time;
}

float cSceneParticles::flare(int in_time_ms) const
{
    if (m_last_beat < 0 || in_time_ms < m_last_beat)
        return 0.0f;
    const float k = 1.0f - float(in_time_ms - m_last_beat) / float(FLARE_MS);
    return std::max(0.0f, k) * std::max(0.0f, k);
}

void cSceneParticles::wander(float in_seconds)
{
    // The two sinks circle the sphere against each other, rising and falling.
    const float a = in_seconds * 0.45f;
    if (m_sinks[0])
        m_sinks[0]->m_position =
            Vec3<float>(5.0f * std::cos(a), 1.0f + 3.0f * std::sin(a * 0.7f), 5.0f * std::sin(a));
    if (m_sinks[1])
        m_sinks[1]->m_position =
            Vec3<float>(-5.0f * std::cos(a * 0.8f), 1.0f - 2.5f * std::sin(a * 0.9f),
                        5.0f * std::sin(a * 0.8f));
    // A beat flares the sinks' pull.
    const float kick = 1.0f + 1.5f * flare(demo_time());
    for (cGravitySink* sink : m_sinks) {
        if (sink)
            sink->m_strength = m_sink_strength * kick;
    }
}

bool cSceneParticles::update()
{
    update_interpolators();
    wander(float(demo_time()) / 1000.0f);
    if (m_effect && m_clock)
        m_effect->step(*m_clock);
    return false;
}

void cSceneParticles::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "orbit", &m_orbit, 2.0f, 40.0f);
    add_slider(in_gui, "sprite_size", &m_sprite_size, 0.5f, 20.0f);
    add_slider(in_gui, "sink_strength", &m_sink_strength, 0.0f, 3.0f);
    add_sliders(in_gui, sliders(m_glow));
    if (m_effect)
        m_effect->add_gui(in_gui);
}

tVarList cSceneParticles::get_vars()
{
    tVarList vars;
    add_slider(vars, "kaleidotype", &m_kaleidotype, 0.0f, float(cPostKaleidoscope::NUM_MIRRORS));
    return vars;
}

cRTProxy cSceneParticles::render_field(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    const float beat = flare(in_time_ms);
    cRTProxy field = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    field->bind_as_target(true);
    glPopAttrib();

    begin_drawing();
    // The camera circles the field slowly, a little above it.
    const float a = seconds * 0.12f;
    m_camera.eye =
        Vec3<float>(m_orbit * std::sin(a), 3.0f + 2.0f * std::sin(a * 1.3f), m_orbit * std::cos(a));
    m_camera.ctr = Vec3<float>(0, 1, 0);
    m_camera.apply_camera();
    float colour[3];
    palette(seconds * 0.2f, colour);
    const float glow = 0.55f + 0.45f * beat;
    glColor4f(std::min(1.0f, colour[0] * glow + beat * 0.4f),
              std::min(1.0f, colour[1] * glow + beat * 0.4f),
              std::min(1.0f, colour[2] * glow + beat * 0.4f), 0.6f);
    glPointSize(m_sprite_size * (1.0f + 0.5f * beat));
    if (m_effect)
        m_effect->render();
    end_drawing();
    field->unbind_as_target();
    return field;
}

cRTProxy cSceneParticles::render_to_texture(int in_time_ms)
{
    // Kaleidoscope and glow at half size; the glow writes the full-size output.
    cRTProxy folded = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    {
        cRTProxy field = render_field(in_time_ms);
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        cPostKaleidoscope::get_instance()->process(*field, *folded,
                                                   uint8_t(std::clamp(m_kaleidotype, 0, 255)));
        glPopAttrib();
    }
    return finish_glow(std::move(folded), m_glow);
}
