// Test scenes (see test_scenes.h).
#include "support/test_scenes.h"

#include "effects/var.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "render_target.h"

namespace vnt_test {

void cColourScene::handle_event(cEvent* in_event)
{
    m_event_ids.push_back(in_event->m_id);
    m_event_times.push_back(in_event->m_time);
}

cRTProxy cColourScene::render_to_texture(int)
{
    ++m_renders;
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    glClearColor(m_colour[0], m_colour[1], m_colour[2], m_colour[3]);
    out->bind_as_target(true);
    out->unbind_as_target();
    return out;
}

tVarList cColourScene::get_vars()
{
    tVarList vars;
    vars.emplace_back(new cVar<float>("level", &m_level), nullptr);
    vars.emplace_back(new cVar<float>("alpha", &m_colour[3]), nullptr);
    return vars;
}

} // namespace vnt_test
