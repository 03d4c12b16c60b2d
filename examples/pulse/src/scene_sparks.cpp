// The sparks (see scene_sparks.h).
#include "scene_sparks.h"

#include <algorithm>
#include <cmath>

namespace {

// New sparks appear at rest in a flat slab and live four to eight seconds.
using tSlab = cParticleEmitterCubeVolume<ControllerConstant<40>, ControllerVaryingLinear<6, 2>>;

constexpr float SINK_PULL = 1.5f; // the sink's strength at rest; a bell turns it into a push

} // namespace

cSceneSparks::cSceneSparks(const cClock* in_clock) : cScene(in_clock)
{
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 55.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 60.0f;
    // Sparks add up and hide nothing.
    m_draw_state = sDrawState().with_blending(GL_SRC_ALPHA, GL_ONE);
    m_glow.precut = 70.0f;
    m_glow.postcut = 180.0f;
}

cSceneSparks::~cSceneSparks() = default;

void cSceneSparks::load()
{
    m_effect.reset(new sParticleEffect());
    m_effect->create(CAPACITY);
    m_effect->system->m_drag = 0.04f;
    m_effect->emitters.push_back(new tSlab(Vec3<float>(0, 0, 0), Vec3<float>(12, 0.2f, 12)));
    m_sink = new cGravitySink(Vec3<float>(0, 0, 0), SINK_PULL);
    m_effect->updaters = {new cVortex(Vec3<float>(0, 0.012f, 0), Vec3<float>(0, 0, 0), 1.0f),
                          m_sink, new cSphereConstraint(Vec3<float>(0, 0, 0), 1.2f)};
    cPostKaleidoscope::get_instance();
}

void cSceneSparks::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, BELL_TRACK))
        m_last_bell = in_event->m_time;
}

float cSceneSparks::flare(int in_time_ms) const
{
    if (m_last_bell < 0 || in_time_ms < m_last_bell)
        return 0.0f;
    return std::exp(-float(in_time_ms - m_last_bell) / FLARE_MS);
}

bool cSceneSparks::update()
{
    update_interpolators();
    if (m_sink)
        m_sink->m_strength = SINK_PULL * (1.0f - 3.0f * flare(demo_time()));
    if (m_effect && m_clock)
        m_effect->step(*m_clock);
    return false;
}

tVarList cSceneSparks::get_vars()
{
    return {{new cVar<int>("mirror", &m_mirror), nullptr}};
}

cRTProxy cSceneSparks::render_sparks(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f, bell = flare(in_time_ms);
    cRTProxy sparks = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    sparks->bind_as_target(true);
    glPopAttrib();

    begin_drawing();
    const float a = 0.15f * seconds;
    m_camera.eye =
        Vec3<float>(16.0f * std::sin(a), 9.0f + std::sin(0.4f * seconds), 16.0f * std::cos(a));
    m_camera.ctr = Vec3<float>(0, -0.5f, 0);
    m_camera.apply_camera();
    glColor4f(0.25f + 0.75f * bell, 0.45f + 0.55f * bell, 1.0f, 0.7f);
    glPointSize(1.6f * (1.0f + 0.6f * bell));
    if (m_effect)
        m_effect->render();
    // A violet second pass, turned and larger, for depth.
    glRotatef(25.0f, 0, 1, 0);
    glColor4f(0.55f + 0.45f * bell, 0.2f + 0.5f * bell, 0.9f, 0.25f);
    glPointSize(2.6f);
    if (m_effect)
        m_effect->render();
    end_drawing();
    sparks->unbind_as_target();
    return sparks;
}

cRTProxy cSceneSparks::render_to_texture(int in_time_ms)
{
    cRTProxy folded = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    {
        cRTProxy sparks = render_sparks(in_time_ms);
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        cPostKaleidoscope::get_instance()->process(*sparks, *folded,
                                                   uint8_t(std::clamp(m_mirror, 0, 255)));
        glPopAttrib();
    }
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cPostGlow::get_instance()->glow(*folded, *out, m_glow);
    return out;
}
