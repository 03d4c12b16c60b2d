// Interpolator values and the per-frame run that makes end values exact.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effects/interpolator.h"
#include "effects/var.h"

namespace {

// Owns the interpolators of one test and runs them like a scene does.
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

TEST(Interpolator, LerpFloatHitsItsEndsExactly)
{
    float value = -5;
    cVar<float> var("v", &value);
    cLerp<float> lerp(&var, 1000, 2000, 0.0f, 1.0f);
    lerp.update(1000);
    EXPECT_EQ(value, 0.0f);
    lerp.update(1500);
    EXPECT_EQ(value, 0.5f);
    lerp.update(2000);
    EXPECT_EQ(value, 1.0f);
    lerp.update(99999);
    EXPECT_EQ(value, 1.0f);
    lerp.update(-99999);
    EXPECT_EQ(value, 0.0f);

    EXPECT_FALSE(lerp.is_active(999));
    EXPECT_TRUE(lerp.is_active(1000));
    EXPECT_TRUE(lerp.is_active(2000));
    EXPECT_FALSE(lerp.is_active(2001));
    EXPECT_EQ(lerp.m_last_update, -1);

    // Awkward endpoints still land exactly.
    cLerp<float> odd(&var, 0, 7, 0.1f, 0.7f);
    odd.update(7);
    EXPECT_EQ(value, 0.7f);
    odd.update(0);
    EXPECT_EQ(value, 0.1f);
}

TEST(Interpolator, LerpIntTruncates)
{
    int value = -1;
    cVar<int> var("i", &value);
    cLerp<int> lerp(&var, 0, 1000, 0, 3);
    const std::pair<int, int> expected[] = {{0, 0},   {333, 0}, {334, 1},  {666, 1},
                                            {667, 2}, {999, 2}, {1000, 3}, {5000, 3}};
    for (auto [t, v] : expected) {
        lerp.update(t);
        EXPECT_EQ(value, v) << "t = " << t;
    }
    cLerp<int> down(&var, 0, 1000, 3, 0);
    down.update(1);
    EXPECT_EQ(value, 2); // 2.997 truncates toward zero

    // Extreme ends neither overflow nor wrap.
    cLerp<int> wide(&var, 0, 10, -2147483647, 2147483647);
    wide.update(10);
    EXPECT_EQ(value, 2147483647);
    wide.update(0);
    EXPECT_EQ(value, -2147483647 - 1); // the from value as a float
}

TEST(Interpolator, SmoothAndEasedCurves)
{
    float value = 0;
    cVar<float> var("f", &value);
    cSmoothStep<float> smooth(&var, 0, 1000, 10.0f, 20.0f);
    smooth.update(0);
    EXPECT_EQ(value, 10.0f);
    smooth.update(250);
    EXPECT_FLOAT_EQ(value, 10.0f + 10.0f * 0.15625f);
    smooth.update(500);
    EXPECT_FLOAT_EQ(value, 15.0f);
    smooth.update(1000);
    EXPECT_EQ(value, 20.0f);

    float member = 0;
    cEaseIn<float> ease_in(&member, 100, 300, 160.0f, 40.0f);
    ease_in.update(100);
    EXPECT_EQ(member, 100.0f); // starts halfway, not at its from value
    ease_in.update(200);
    EXPECT_FLOAT_EQ(member, 160.0f - 120.0f * 0.84375f);
    ease_in.update(300);
    EXPECT_EQ(member, 40.0f);
    ease_in.update(0);
    EXPECT_EQ(member, 100.0f);

    cEaseOut<float> ease_out(&member, 0, 1000, 0.0f, 1.0f);
    ease_out.update(0);
    EXPECT_EQ(member, 0.0f);
    ease_out.update(500);
    EXPECT_FLOAT_EQ(member, 0.3125f);
    ease_out.update(1000);
    EXPECT_EQ(member, 1.0f);

    // The ease-out starts at rest and ends at speed; the ease-in the other way round.
    ease_out.update(10);
    const float out_start = member;
    ease_out.update(990);
    const float out_end = 1.0f - member;
    EXPECT_LT(out_start, out_end);
}

TEST(Interpolator, LerpAddAccumulatesOnlyWhileActive)
{
    float member = 1.0f;
    cLerpAdd<float> add(&member, 0, 100, 2.0f, 2.0f);
    add.update(0);
    EXPECT_FLOAT_EQ(member, 3.0f);
    add.update(50);
    EXPECT_FLOAT_EQ(member, 5.0f);
    add.update(101); // inactive: nothing written
    EXPECT_FLOAT_EQ(member, 5.0f);

    sScene scene;
    float grown = 0;
    scene.add(new cLerpAdd<float>(&grown, 10, 20, 1.0f, 1.0f));
    for (int t = 10; t <= 20; t += 5)
        scene.run(t);
    EXPECT_FLOAT_EQ(grown, 3.0f);
    scene.run(30); // the extra run after the window writes nothing either
    EXPECT_FLOAT_EQ(grown, 3.0f);
}

TEST(Interpolator, ZeroLengthWindowDoesNotFault)
{
    float value = 0;
    cVar<float> var("z", &value);
    cLerp<float> step(&var, 500, 500, 1.0f, 2.0f);
    step.update(500);
    EXPECT_EQ(value, 1.0f);
    step.update(501);
    EXPECT_EQ(value, 2.0f);
    step.update(499);
    EXPECT_EQ(value, 1.0f);
    EXPECT_TRUE(step.is_active(500));

    EXPECT_EQ(interpolation_progress(500, 500, 500), 0.0f);
    EXPECT_EQ(interpolation_progress(750, 500, 1000), 0.5f);
    EXPECT_EQ(interpolation_progress(2147483647, -2147483647 - 1, 0), 1.0f);

    cIntervalLerp window(200, 700);
    EXPECT_EQ(window.m_var, nullptr);
    window.update(300); // nothing to write
    EXPECT_TRUE(window.is_active(700));
    EXPECT_FALSE(window.is_active(199));
}

TEST(Interpolator, RunLandsOnEndValuesOnce)
{
    sScene scene;
    float value = -1;
    cVar<float> var("v", &value);
    cLerp<float>* lerp = scene.add(new cLerp<float>(&var, 1000, 2000, 0.0f, 1.0f));

    // First run: inactive but evaluated once (both last times are -1): the from value.
    scene.run(0);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(lerp->m_last_update, -1);
    value = 42;
    scene.run(16); // not again
    EXPECT_EQ(value, 42.0f);

    scene.run(1500);
    EXPECT_EQ(value, 0.5f);
    EXPECT_EQ(lerp->m_last_update, 1500);
    scene.run(1990);
    // A long frame skips past the end: the next run still writes exactly 1, once.
    scene.run(2350);
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(lerp->m_last_update, 1990);
    value = 7;
    scene.run(2400);
    EXPECT_EQ(value, 7.0f);

    // A jump back from inside the window to before it lands on the from value.
    scene.run(1200);
    EXPECT_FLOAT_EQ(value, 0.2f);
    scene.run(300);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(scene.last_round, 300);
}

TEST(Interpolator, FirstRunAppliesSetVarsInListOrder)
{
    sScene scene;
    int config = -1;
    cVar<int> var("cur_config", &config);
    scene.add(new cSetVar<int>(&var, 0, 1000, 1));
    scene.add(new cSetVar<int>(&var, 1001, 2000, 2));
    scene.add(new cSetVar<int>(&var, 2001, 3000, 3));
    float fade = 0;
    cVar<float> fade_var("fade", &fade);
    scene.add(new cSetVar<float>(&fade_var, 5000, 6000, 0.25f));

    // Start far ahead of every window: all apply once, the last one in the list wins.
    scene.run(-400);
    EXPECT_EQ(config, 3);
    EXPECT_EQ(fade, 0.25f);
    config = 0;
    scene.run(-380);
    EXPECT_EQ(config, 0);

    scene.run(1500);
    EXPECT_EQ(config, 2);
    scene.run(2500); // the second one gets its extra update, then the third one wins
    EXPECT_EQ(config, 3);

    // Overlapping windows on one variable: all applied in list order, the later wins.
    sScene overlap;
    float v = 0;
    cVar<float> ov("o", &v);
    overlap.add(new cLerp<float>(&ov, 0, 100, 0.0f, 10.0f));
    overlap.add(new cLerp<float>(&ov, 50, 150, 100.0f, 200.0f));
    overlap.run(25); // first run: the second one, not yet active, still writes its from value
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
