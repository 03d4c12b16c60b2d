// Interpolator values and the per-frame run that makes end values exact.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "effects/interpolator.h"
#include "effects/var.h"

namespace {

// Owns the interpolators of one test and runs them as a scene does.
struct sScene
{
    std::vector<std::unique_ptr<cInterpolator>> owned;
    std::vector<cInterpolator*> list;
    int last_round = -1;

    template <class T> T* add(T* ip)
    {
        owned.emplace_back(ip);
        list.push_back(ip);
        return ip;
    }
    void run(int now) { run_interpolators(list, now, last_round); }
};

} // namespace

TEST(Interpolator, LerpsHitTheirEndsAndTruncate)
{
    float value = -5;
    cVar<float> var("v", &value);
    cLerp<float> lerp(&var, 1000, 2000, 0.0f, 1.0f);
    for (auto [t, v] :
         {std::pair{1000, 0.0f}, {1500, 0.5f}, {2000, 1.0f}, {99999, 1.0f}, {-99999, 0.0f}}) {
        lerp.update(t);
        EXPECT_EQ(value, v) << "t = " << t;
    }
    EXPECT_TRUE(!lerp.is_active(999) && lerp.is_active(1000) && lerp.is_active(2000) &&
                !lerp.is_active(2001));
    cLerp<float> odd(&var, 0, 7, 0.1f, 0.7f); // awkward ends still land exactly
    odd.update(7);
    EXPECT_EQ(value, 0.7f);

    int count = -1;
    cVar<int> ivar("i", &count);
    cLerp<int> ilerp(&ivar, 0, 1000, 0, 3);
    const std::pair<int, int> steps[] = {{0, 0},   {333, 0}, {334, 1},  {666, 1},
                                         {667, 2}, {999, 2}, {1000, 3}, {5000, 3}};
    for (auto [t, v] : steps) {
        ilerp.update(t);
        EXPECT_EQ(count, v) << "t = " << t;
    }
    cLerp<int> down(&ivar, 0, 1000, 3, 0);
    down.update(1);
    EXPECT_EQ(count, 2); // 2.997 truncates toward zero
    cLerp<int> wide(&ivar, 0, 10, -2147483647, 2147483647);
    wide.update(10);
    EXPECT_EQ(count, 2147483647); // 2^31 as a float, kept in range
}

TEST(Interpolator, SmoothAndEasedCurves)
{
    float value = 0;
    cVar<float> var("f", &value);
    cSmoothStep<float> smooth(&var, 0, 1000, 10.0f, 20.0f);
    for (auto [t, v] : {std::pair{0, 10.0f}, {250, 11.5625f}, {500, 15.0f}, {1000, 20.0f}}) {
        smooth.update(t);
        EXPECT_FLOAT_EQ(value, v) << "t = " << t;
    }

    float member = 0;
    cEaseIn<float> ease_in(&member, 100, 300, 160.0f, 40.0f);
    for (auto [t, v] : {std::pair{100, 100.0f}, {200, 58.75f}, {300, 40.0f}, {0, 100.0f}}) {
        ease_in.update(t);
        EXPECT_FLOAT_EQ(member, v) << "t = " << t; // starts halfway, not at its from value
    }
    cEaseOut<float> ease_out(&member, 0, 1000, 0.0f, 1.0f);
    for (auto [t, v] : {std::pair{0, 0.0f}, {500, 0.3125f}, {1000, 1.0f}}) {
        ease_out.update(t);
        EXPECT_FLOAT_EQ(member, v) << "t = " << t;
    }
    ease_out.update(10); // leaves at rest, arrives at speed
    const float first_step = member;
    ease_out.update(990);
    EXPECT_LT(first_step, 1.0f - member);

    cLerp<float> step(&var, 500, 500, 1.0f, 2.0f); // zero length: no fault
    step.update(500);
    EXPECT_EQ(value, 1.0f);
    step.update(501);
    EXPECT_EQ(value, 2.0f);
    EXPECT_EQ(interpolation_progress(2147483647, -2147483647 - 1, 0), 1.0f);
}

TEST(Interpolator, LerpAddAccumulatesOnlyWhileActive)
{
    sScene scene;
    float grown = 1;
    scene.add(new cLerpAdd<float>(&grown, 10, 20, 1.0f, 3.0f));
    scene.run(0); // first run, not active: writes nothing
    EXPECT_FLOAT_EQ(grown, 1.0f);
    scene.run(10);
    scene.run(15);
    scene.run(20);
    EXPECT_FLOAT_EQ(grown, 1.0f + 1.0f + 2.0f + 3.0f);
    scene.run(30); // nor at the extra run after its window
    EXPECT_FLOAT_EQ(grown, 7.0f);
}

TEST(Interpolator, RunLandsOnEndValuesOnce)
{
    sScene scene;
    float value = -1;
    cVar<float> var("v", &value);
    cLerp<float>* lerp = scene.add(new cLerp<float>(&var, 1000, 2000, 0.0f, 1.0f));
    cIntervalLerp* window = scene.add(new cIntervalLerp(1000, 2000)); // writes nothing

    // First run: inactive but evaluated once (both last times are -1): the from value.
    scene.run(0);
    EXPECT_EQ(value, 0.0f);
    value = 42;
    scene.run(16);
    EXPECT_EQ(value, 42.0f);

    scene.run(1500);
    EXPECT_EQ(value, 0.5f);
    EXPECT_EQ(window->m_last_update, 1500);
    scene.run(1990);
    scene.run(2350); // a long frame skips the end: this run still writes exactly 1, once
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(lerp->m_last_update, 1990);
    value = 7;
    scene.run(2400);
    EXPECT_EQ(value, 7.0f);

    // A jump back from inside the window to before it lands on the from value.
    scene.run(1200);
    scene.run(300);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(scene.last_round, 300);
}

TEST(Interpolator, SetVarsAndOverlapsApplyInListOrder)
{
    sScene scene;
    int config = -1;
    cVar<int> var("cur_config", &config);
    scene.add(new cSetVar<int>(&var, 0, 1000, 1));
    scene.add(new cSetVar<int>(&var, 1001, 2000, 2));
    scene.add(new cSetVar<int>(&var, 2001, 3000, 3));
    scene.run(-400); // all apply once on the first run: the last one in the list wins
    EXPECT_EQ(config, 3);
    scene.run(1500);
    EXPECT_EQ(config, 2);
    scene.run(2500); // the second one's extra update comes first, then the third one
    EXPECT_EQ(config, 3);

    sScene overlap;
    float v = 0;
    cVar<float> ov("o", &v);
    overlap.add(new cLerp<float>(&ov, 0, 100, 0.0f, 10.0f));
    overlap.add(new cLerp<float>(&ov, 50, 150, 100.0f, 200.0f));
    overlap.run(25); // the second one's first-run update wins
    EXPECT_FLOAT_EQ(v, 100.0f);
    overlap.run(30);
    EXPECT_FLOAT_EQ(v, 3.0f);
    overlap.run(75);
    EXPECT_FLOAT_EQ(v, 125.0f);
}

TEST(Interpolator, MisuseStopsOnAssertions)
{
    float f = 0;
    int i = 0;
    cVar<float> fvar("f", &f);
    cVar<int> ivar("i", &i);
    EXPECT_DEATH(cLerp<float>(nullptr, 0, 1, 0.0f, 1.0f), "empty var passed");
    EXPECT_DEATH(cEaseIn<float>(static_cast<float*>(nullptr), 0, 1, 0.0f, 1.0f),
                 "empty var passed");
    EXPECT_DEATH(cLerp<int>(&fvar, 0, 1, 0, 1).update(0), "wrong template-parm used");
    EXPECT_DEATH(cSetVar<float>(&ivar, 0, 1, 1.0f).update(0), "dynamic_cast<cVar<T>\\*>");
    EXPECT_DEATH(cSmoothStep<float>(&ivar, 0, 1, 0.0f, 1.0f).update(0), "wrong template-parm used");
}
