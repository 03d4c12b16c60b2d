// Render-target pool and handles (see render_target_manager.h).
#include "render_target_manager.h"

#include <cassert>
#include <iostream>
#include <vector>

#include "render_target_fbo.h"
#include "video_module.h"

namespace {

std::function<int()>& time_source()
{
    static std::function<int()> source;
    return source;
}

int demo_time_ms()
{
    const auto& source = time_source();
    return source ? source() : 0;
}

} // namespace

void set_rt_time_source(std::function<int()> in_source)
{
    time_source() = std::move(in_source);
}

// --- cRTProxy --------------------------------------------------------------------------------

cRTProxy::cRTProxy(int in_size, iRenderTarget* in_rt, cRenderTargetManager* in_rtm)
    : m_size(in_size), m_rtm(in_rtm), m_rt(in_rt)
{
}

cRTProxy::cRTProxy(cRTProxy&& in_other) noexcept
    : m_size(in_other.m_size), m_rtm(in_other.m_rtm), m_rt(in_other.m_rt)
{
    in_other.clear();
}

cRTProxy& cRTProxy::operator=(cRTProxy&& in_other)
{
    assert(in_other.m_rt && in_other.m_rtm && "trying to assign released rendertarget");
    if (&in_other == this)
        return *this;
    if (m_rt) {
        assert(m_rtm);
        m_rtm->release(*this);
    }
    m_size = in_other.m_size;
    m_rtm = in_other.m_rtm;
    m_rt = in_other.m_rt;
    in_other.clear();
    return *this;
}

cRTProxy::~cRTProxy()
{
    if (m_rtm)
        m_rtm->release(*this);
    assert(m_size == cRenderTargetManager::RTT_NONE);
    assert(!m_rt && "rt-release failed?!");
    assert(!m_rtm && "rt-release failed?!");
}

bool cRTProxy::isValid() const
{
    return m_size != cRenderTargetManager::RTT_NONE;
}

iRenderTarget* cRTProxy::get_rt() const
{
    assert(m_rt && m_rtm && "rendertarget invalidated");
    return m_rt;
}

void cRTProxy::clear()
{
    m_size = cRenderTargetManager::RTT_NONE;
    m_rtm = nullptr;
    m_rt = nullptr;
}

// --- cRenderTargetManager ----------------------------------------------------------------------

const char* cRenderTargetManager::size_name(int in_size)
{
    switch (in_size) {
    case RTT_DOUBLE:
        return "RTT_DOUBLE";
    case RTT_NONE:
        return "RTT_NONE";
    case RTT_FULL:
        return "RTT_FULL";
    case RTT_HALF:
        return "RTT_HALF";
    case RTT_QUATER:
        return "RTT_QUATER";
    case RTT_EIGHTH:
        return "RTT_EIGHTH";
    default:
        return "OOOPS";
    }
}

bool cRenderTargetManager::is_target_size(int in_size)
{
    return in_size == RTT_DOUBLE || in_size == RTT_FULL || in_size == RTT_HALF ||
           in_size == RTT_QUATER || in_size == RTT_EIGHTH;
}

cRenderTargetManager::cRenderTargetManager()
{
    {
        std::vector<cRTProxy> warm;
        warm.reserve(11);
        for (int i = 0; i < 5; ++i)
            warm.push_back(allocate(RTT_FULL));
        for (int i = 0; i < 3; ++i)
            warm.push_back(allocate(RTT_HALF));
        for (int i = 0; i < 3; ++i)
            warm.push_back(allocate(RTT_QUATER));
        m_runtime = true;
        // Released last to first: the last quarter-size target ends up at the front.
        while (!warm.empty())
            warm.pop_back();
    }
}

cRenderTargetManager::~cRenderTargetManager()
{
    assert(!dbg_remaining_rt);
    std::cout << "# rrt-manager: number of tmp-rt allocated: " << m_tmp_rts.size() << std::endl;
    std::cout << "# rtt-manager: maximum concurrently allocated RTs: " << m_max_allocated
              << std::endl;
    for (auto& entry : m_tmp_rts) {
        assert(entry.second && "tmp_i->second");
        delete entry.second;
    }
    m_tmp_rts.clear();
}

cRTProxy cRenderTargetManager::allocate(int in_size)
{
    assert(is_target_size(in_size) && "unknown rendertarget size class");
    ++dbg_remaining_rt;
    if (dbg_remaining_rt > m_max_allocated)
        m_max_allocated = dbg_remaining_rt;

    const cVideoModule* video = cVideoModule::get_instance();
    const uint32_t w = video->get_vp_width();
    const uint32_t h = video->get_vp_height();
    assert(!(w % 4) && !(h % 4));

    for (auto it = m_tmp_rts.begin(); it != m_tmp_rts.end(); ++it) {
        if (it->first == in_size) {
            iRenderTarget* rt = it->second;
            m_tmp_rts.erase(it);
            return cRTProxy(in_size, rt, this);
        }
    }

    if (m_runtime)
        std::cout << "# performance-warning at " << demo_time_ms()
                  << "ms: allocated rendertarget runtime: " << size_name(in_size) << std::endl;
    const uint32_t tw = in_size == RTT_DOUBLE ? 2 * w : w / uint32_t(in_size);
    const uint32_t th = in_size == RTT_DOUBLE ? 2 * h : h / uint32_t(in_size);
    iRenderTarget* rt = new cRenderTarget_fbo(tw, th, true, false);
    rt->init();
    return cRTProxy(in_size, rt, this);
}

void cRenderTargetManager::release(cRTProxy& in_proxy)
{
    if (in_proxy.m_rt) {
        --dbg_remaining_rt;
        m_tmp_rts.emplace_back(in_proxy.m_size, in_proxy.m_rt);
        in_proxy.clear();
        return;
    }
    assert(!in_proxy.m_rtm);
}

cRTProxy get_tmp_rt(int in_size)
{
    return cRenderTargetManager::get_instance()->allocate(in_size);
}
