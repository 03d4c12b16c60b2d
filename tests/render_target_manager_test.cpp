// The render-target pool: warm-up, misses and their warnings, the exclusive handles and the
// statistics at shutdown.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "render_target.h"
#include "render_target_fbo.h"
#include "render_target_manager.h"
#include "support/gl_fixture.h"

namespace {

// Every test starts from the pool as the start-up leaves it, whatever the tests before it did.
class RenderTargetManager : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        testing::internal::CaptureStdout(); // the statistics of the pool before
        cRenderTargetManager::destroy_instance();
        cRenderTargetManager::get_instance();
        testing::internal::GetCapturedStdout();
    }
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

TEST_F(RenderTargetManager, WarmUpLeavesElevenTargetsLastQuarterFirst)
{
    const auto& pool = manager()->pool();
    ASSERT_EQ(pool.size(), 11u);
    std::vector<int> classes;
    for (const auto& entry : pool)
        classes.push_back(entry.first);
    using M = cRenderTargetManager;
    EXPECT_EQ(classes, (std::vector<int>{M::RTT_QUATER, M::RTT_QUATER, M::RTT_QUATER, M::RTT_HALF,
                                         M::RTT_HALF, M::RTT_HALF, M::RTT_FULL, M::RTT_FULL,
                                         M::RTT_FULL, M::RTT_FULL, M::RTT_FULL}));
    EXPECT_EQ(pool.front().second->m_width * 10000 + pool.front().second->m_height, 3200180u);
    EXPECT_EQ(std::pair(manager()->lent_out(), manager()->max_allocated()), std::pair(0u, 11u));
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
            for (const auto& p : burst)
                EXPECT_EQ(p->m_width * 10000 + p->m_height, 12800720u);
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
        EXPECT_EQ(eighth->m_width * 10000 + eighth->m_height, 1600090u);
        EXPECT_EQ(twice->m_width * 10000 + twice->m_height, 25601440u);
        EXPECT_EQ(eighth.get_size(), cRenderTargetManager::RTT_EIGHTH);
    }
    get_tmp_rt(cRenderTargetManager::RTT_EIGHTH); // a second time: no miss
    const std::string out = testing::internal::GetCapturedStdout();
    set_rt_time_source(nullptr);
    EXPECT_EQ(out, "# performance-warning at 4711ms: allocated rendertarget runtime: RTT_EIGHTH\n"
                   "# performance-warning at 4711ms: allocated rendertarget runtime: RTT_DOUBLE\n");
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
    EXPECT_EQ(std::pair(c.get_rt(), int(c.get_size())),
              std::pair(target_d, int(cRenderTargetManager::RTT_HALF)));
    EXPECT_FALSE(d.isValid());
    EXPECT_EQ(manager()->lent_out(), 1u);

    cRTProxy& same = c;
    c = std::move(same); // self-assignment keeps the target
    EXPECT_EQ(c.get_rt(), target_d);
}

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
