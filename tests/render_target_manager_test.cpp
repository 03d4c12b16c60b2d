// The render-target pool: warm-up, misses and their warnings, the exclusive handles and the
// statistics at shutdown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "render_target.h"
#include "render_target_fbo.h"
#include "render_target_manager.h"
#include "support/gl_fixture.h"

namespace {

class RenderTargetManager : public vnt_test::GLTest
{
};

cRenderTargetManager* manager()
{
    return cRenderTargetManager::get_instance();
}

int count_lines(const std::string& text, const std::string& line)
{
    std::istringstream in(text);
    int n = 0;
    for (std::string l; std::getline(in, l);)
        n += l == line;
    return n;
}

GLuint fbo_of(iRenderTarget* rt)
{
    return dynamic_cast<cRenderTarget_fbo&>(*rt).get_framebuffer();
}

// Takes a handle by value: the caller's handle is emptied, the target is back in the pool when
// this returns.
uint32_t width_of(cRTProxy proxy)
{
    return proxy->m_width;
}

static_assert(!std::is_copy_constructible<cRTProxy>::value, "handles are not copied");
static_assert(!std::is_copy_assignable<cRTProxy>::value, "handles are not copied");
static_assert(std::is_nothrow_move_constructible<cRTProxy>::value, "handles move");

} // namespace

// The pool as the start-up left it: the size classes front to back, whether the front is the
// newest framebuffer and the back the oldest, the front's size, lent and most allocated.
std::string describe_pool()
{
    const auto& pool = manager()->pool();
    std::ostringstream os;
    os << "pool:";
    GLuint newest = 0, oldest = ~0u;
    for (const auto& entry : pool) {
        os << " " << entry.first;
        newest = std::max(newest, fbo_of(entry.second));
        oldest = std::min(oldest, fbo_of(entry.second));
    }
    if (!pool.empty()) {
        os << "; front " << (fbo_of(pool.front().second) == newest ? "newest " : "not newest ")
           << pool.front().second->m_width << "x" << pool.front().second->m_height << ", back "
           << (fbo_of(pool.back().second) == oldest ? "oldest" : "not oldest");
    }
    os << "; lent " << manager()->lent_out() << ", at most " << manager()->max_allocated() << ";";
    return os.str();
}

// Looked at in a fresh process, whatever the other tests did to the pool before.
TEST_F(RenderTargetManager, WarmUpLeavesElevenTargetsLastQuarterFirst)
{
    using M = cRenderTargetManager;
    std::ostringstream want;
    want << "pool:";
    for (int c : {M::RTT_QUATER, M::RTT_QUATER, M::RTT_QUATER, M::RTT_HALF, M::RTT_HALF,
                  M::RTT_HALF, M::RTT_FULL, M::RTT_FULL, M::RTT_FULL, M::RTT_FULL, M::RTT_FULL})
        want << " " << c;
    // Framebuffer names grow with creation: the front is the last made, the back the first.
    want << "; front newest 320x180, back oldest; lent 0, at most 11;";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::cerr << describe_pool() << std::endl;
            std::exit(0);
        },
        testing::ExitedWithCode(0), want.str());
}

TEST_F(RenderTargetManager, TwelveFullSizeRequestsWarnSevenTimesOnlyOnce)
{
    const std::string warning = "# performance-warning at 0ms: allocated rendertarget runtime: "
                                "RTT_FULL";
    for (int round = 0; round < 2; ++round) {
        testing::internal::CaptureStdout();
        {
            std::vector<cRTProxy> burst;
            for (int i = 0; i < 12; ++i)
                burst.push_back(get_tmp_rt(cRenderTargetManager::RTT_FULL));
            EXPECT_EQ(manager()->lent_out(), 12u);
            for (const auto& p : burst) {
                EXPECT_EQ(p->m_width, 1280u);
                EXPECT_EQ(p->m_height, 720u);
            }
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(count_lines(out, warning), round == 0 ? 7 : 0) << out;
    }
    int full = 0;
    for (const auto& entry : manager()->pool())
        full += entry.first == cRenderTargetManager::RTT_FULL;
    EXPECT_EQ(full, 12);
    EXPECT_EQ(manager()->lent_out(), 0u);
    EXPECT_GE(manager()->max_allocated(), 12u);
}

TEST_F(RenderTargetManager, NewClassesMissOnceAndTheWarningReadsTheDemoClock)
{
    set_rt_time_source([] { return 4711; });
    testing::internal::CaptureStdout();
    {
        cRTProxy eighth = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        cRTProxy twice = get_tmp_rt(cRenderTargetManager::RTT_DOUBLE);
        EXPECT_EQ(eighth->m_width, 160u);
        EXPECT_EQ(eighth->m_height, 90u);
        EXPECT_EQ(twice->m_width, 2560u);
        EXPECT_EQ(twice->m_height, 1440u);
        EXPECT_EQ(eighth.get_size(), cRenderTargetManager::RTT_EIGHTH);
    }
    {
        cRTProxy again = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    set_rt_time_source(nullptr);
    EXPECT_EQ(out, "# performance-warning at 4711ms: allocated rendertarget runtime: RTT_EIGHTH\n"
                   "# performance-warning at 4711ms: allocated rendertarget runtime: RTT_DOUBLE\n");
    EXPECT_STREQ(cRenderTargetManager::size_name(3), "OOOPS");
    EXPECT_STREQ(cRenderTargetManager::size_name(cRenderTargetManager::RTT_NONE), "RTT_NONE");
}

TEST_F(RenderTargetManager, HandlesAreExclusiveAndGiveTheirTargetBack)
{
    const size_t pooled = manager()->pool().size();
    cRTProxy a = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    iRenderTarget* target_a = a.get_rt();
    EXPECT_EQ(manager()->pool().size(), pooled - 1);

    cRTProxy b(std::move(a)); // moving empties the source
    EXPECT_FALSE(a.isValid());
    EXPECT_EQ(a.get_size(), cRenderTargetManager::RTT_NONE);
    EXPECT_EQ(b.get_rt(), target_a);

    EXPECT_EQ(width_of(std::move(b)), 640u); // by value: back in the pool after the call
    EXPECT_FALSE(b.isValid());
    EXPECT_EQ(manager()->pool().size(), pooled);
    EXPECT_EQ(manager()->pool().back().second, target_a);

    // Assigning over a full handle returns its target first.
    cRTProxy c = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    cRTProxy d = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    iRenderTarget* target_c = c.get_rt();
    iRenderTarget* target_d = d.get_rt();
    c = std::move(d);
    EXPECT_EQ(manager()->pool().back().second, target_c);
    EXPECT_EQ(c.get_rt(), target_d);
    EXPECT_EQ(c.get_size(), cRenderTargetManager::RTT_HALF);
    EXPECT_FALSE(d.isValid());
    EXPECT_EQ(manager()->lent_out(), 1u);

    cRTProxy& same = c;
    c = std::move(same); // self-assignment keeps the target
    EXPECT_EQ(c.get_rt(), target_d);
}

// Runs last: it shuts the pool down and starts a fresh one.
TEST_F(RenderTargetManager, ShutdownPrintsTheStatisticsAndAFreshPoolWorks)
{
    {
        std::vector<cRTProxy> held;
        for (int i = 0; i < 3; ++i)
            held.push_back(get_tmp_rt(cRenderTargetManager::RTT_QUATER));
    }
    const size_t created = manager()->pool().size();
    const uint32_t most = manager()->max_allocated();
    testing::internal::CaptureStdout();
    cRenderTargetManager::destroy_instance();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "# rrt-manager: number of tmp-rt allocated: " + std::to_string(created) +
                  "\n# rtt-manager: maximum concurrently allocated RTs: " + std::to_string(most) +
                  "\n");
    EXPECT_TRUE(cRenderTarget_fbo::s_depth_buffers.empty());

    // A new pool builds its targets afresh (the old depth buffers are gone with their users).
    {
        cRTProxy full = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        full->bind_as_target(true);
        full->unbind_as_target();
    }
    testing::internal::CaptureStdout();
    cRenderTargetManager::destroy_instance();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "# rrt-manager: number of tmp-rt allocated: 11\n"
              "# rtt-manager: maximum concurrently allocated RTs: 11\n");
    cRenderTargetManager::get_instance();
}
