// The knot (see scene_knot.h).
#include "scene_knot.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265f;
constexpr int RINGS = 240; // along the curve
constexpr int SIDES = 20;  // round the tube
constexpr float TUBE_RADIUS = 0.42f;

// The lit tube: two GLSL files of this production, no parameters.
class cShdKnot : public cShdPlain
{
public:
    cShdKnot(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShdPlain(in_context, in_vprof, in_fprof, "knot_vert.glsl", "knot_frag.glsl", {})
    {
    }
};

Vec3<float> trefoil(float u)
{
    return Vec3<float>(std::sin(u) + 2.0f * std::sin(2.0f * u),
                       std::cos(u) - 2.0f * std::cos(2.0f * u), -std::sin(3.0f * u));
}

Vec3<float> unit(const Vec3<float>& v)
{
    return v * (1.0f / std::sqrt(v.dot(v)));
}

} // namespace

cSceneKnot::cSceneKnot(const cClock* in_clock) : cScene(in_clock)
{
    m_camera.eye = Vec3<float>(0, 0, 9.5f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 50.0f;
    m_camera.znear = 1.0f;
    m_camera.zfar = 30.0f;
    // The tube is closed but drawn without culling: its winding is not kept consistent.
    m_draw_state = sDrawState().with_depth_test().with_depth_writes();
    m_glow.size = cRenderTargetManager::RTT_QUATER;
    m_glow.precut = 150.0f;
    m_glow.postcut = 230.0f;
}

void cSceneKnot::load()
{
    // Rings of the tube on the curve's own frame: the tangent, the bend and their normal.
    const float step = 2.0f * PI / RINGS;
    for (int r = 0; r < RINGS; ++r) {
        const float u = float(r) * step;
        const Vec3<float> at = trefoil(u), ahead = trefoil(u + step), behind = trefoil(u - step);
        const Vec3<float> tangent = unit(ahead - behind);
        Vec3<float> bend = ahead + behind - at * 2.0f;
        bend = unit(bend - tangent * bend.dot(tangent));
        const Vec3<float> side = tangent.cross(bend);
        for (int s = 0; s < SIDES; ++s) {
            const float v = 2.0f * PI * float(s) / SIDES;
            const Vec3<float> normal = bend * std::cos(v) + side * std::sin(v);
            const Vec3<float> position = at + normal * TUBE_RADIUS;
            m_vertices.insert(m_vertices.end(),
                              {position.x, position.y, position.z, normal.x, normal.y, normal.z});
            const unsigned a = unsigned(r * SIDES + s), b = unsigned(r * SIDES + (s + 1) % SIDES);
            const unsigned c = (a + SIDES) % unsigned(RINGS * SIDES);
            const unsigned d = (b + SIDES) % unsigned(RINGS * SIDES);
            m_indices.insert(m_indices.end(), {a, c, b, b, c, d});
        }
    }
    cShaderManager_GLSL::get_instance()->add_shader<cShdKnot>("knot_shader");
}

void cSceneKnot::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, KICK_TRACK))
        m_last_kick = in_event->m_time;
}

bool cSceneKnot::update()
{
    update_interpolators();
    return false;
}

tVarList cSceneKnot::get_vars()
{
    return {{new cVar<float>("spin", &m_spin), nullptr}};
}

float cSceneKnot::pulse(int in_time_ms) const
{
    if (m_last_kick < 0 || in_time_ms < m_last_kick)
        return 0.0f;
    return std::exp(-float(in_time_ms - m_last_kick) / PULSE_MS);
}

void cSceneKnot::draw_backdrop() const
{
    // Plum at the bottom, night blue at the top.
    begin_fsq();
    glBegin(GL_QUADS);
    glColor3f(0.10f, 0.02f, 0.07f);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glColor3f(0.02f, 0.02f, 0.07f);
    glVertex2f(1, 1);
    glVertex2f(0, 1);
    glEnd();
    end_fsq();
}

void cSceneKnot::draw_tube() const
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 6 * sizeof(float), m_vertices.data());
    glNormalPointer(GL_FLOAT, 6 * sizeof(float), m_vertices.data() + 3);
    glDrawElements(GL_TRIANGLES, GLsizei(m_indices.size()), GL_UNSIGNED_INT, m_indices.data());
    glPopClientAttrib();
}

cRTProxy cSceneKnot::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f, kick = pulse(in_time_ms);
    cRTProxy picture = bind_full_target_cleared(0, 0, 0, 1);
    begin_drawing();
    draw_backdrop();
    m_camera.apply_camera();
    glRotatef(m_spin + 20.0f * seconds, 0, 1, 0);
    glRotatef(13.0f * seconds, 1, 0, 0.3f);
    const float swell = 1.0f + 0.1f * kick;
    glScalef(swell, swell, swell);
    // The shader takes the flash from the colour's alpha.
    glColor4f(1, 1, 1, kick);
    cShaderManager_GLSL::get_instance()->bind("knot_shader");
    draw_tube();
    cShaderManager_GLSL::get_instance()->disable();
    end_drawing();
    picture->unbind_as_target();

    glow_params glow = m_glow;
    glow.precut -= 110.0f * kick;
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cPostGlow::get_instance()->glow(*picture, *out, glow);
    return out;
}
