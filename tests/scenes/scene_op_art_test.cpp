// Black and white and the mandala gate: their variables, the star count and the flight, the
// streaks' repeating run, frames across their variables' ranges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "scenes/scene_blackn_white.h"
#include "scenes/scene_mandala_gate.h"
#include "scenes1_support.h"

using namespace scenes1_test;

namespace {

class OpArtTest : public vnt_test::GLTest
{
protected:
    vnt_test::sTestClock clock;
};

TEST_F(OpArtTest, BlacknWhiteInterferesMoreAsItGoes)
{
    cSceneBlacknWhite bw(&clock.clock);
    bw.load();
    EXPECT_EQ(bw.get_name(), "blacknwhite");
    expect_vars(bw, {{"cur_t", 0, 1}});
    EXPECT_EQ(cSceneBlacknWhite::star_count(0.0f), 2);
    EXPECT_EQ(cSceneBlacknWhite::star_count(0.5f), 3);
    EXPECT_EQ(cSceneBlacknWhite::star_count(1.0f), cSceneBlacknWhite::MAX_STARS);
    EXPECT_EQ(cSceneBlacknWhite::star_count(-3.0f), 2);
    EXPECT_EQ(cSceneBlacknWhite::star_count(7.0f), cSceneBlacknWhite::MAX_STARS);

    for (float t : {0.0f, 0.5f, 1.0f}) {
        bw.m_cur_t = t;
        const int ms = 4000 + int(t * 8000);
        std::vector<unsigned char> frame =
            checked_frame(bw, clock, ms, "blacknwhite_" + std::to_string(int(t * 100)));
        // Black and white in about equal parts, nothing in between for most pixels.
        const double white = vnt_test::lit_share(frame, 128);
        EXPECT_GT(white, 0.15) << t;
        EXPECT_LT(white, 0.85) << t;
        size_t grey = 0;
        for (size_t i = 0; i < frame.size(); i += 4)
            grey += frame[i] > 40 && frame[i] < 215;
        EXPECT_LT(double(grey) / double(frame.size() / 4), 0.2) << t;
    }
}

TEST_F(OpArtTest, MandalaGateFliesInAndItsStreaksRepeat)
{
    cSceneMandalaGate gate(&clock.clock);
    gate.load();
    EXPECT_EQ(gate.get_name(), "mandalagate");
    expect_vars(gate, {{"cur_t", 0, 1}, {"rep_t", -1500, 1}});

    EXPECT_GT(cSceneMandalaGate::eye_z(0.0f), 0.0f); // outside the mouth
    EXPECT_LT(cSceneMandalaGate::eye_z(1.0f), -cSceneMandalaGate::SEGMENT / 2);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::eye_z(5.0f), cSceneMandalaGate::eye_z(1.0f));
    // The run repeats every period; rep_t shifts it, negative shifts included.
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(0, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(750, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(2250, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(750, -1500.0f), 0.5f);
    EXPECT_FLOAT_EQ(cSceneMandalaGate::streak_phase(0, -375.0f), 0.75f);
    EXPECT_GE(cSceneMandalaGate::streak_phase(-100000, 1.0f), 0.0f);

    struct
    {
        float cur_t, rep_t;
        int ms;
    } moments[] = {{0.0f, 0.0f, 2000}, {0.45f, -700.0f, 9000}, {1.0f, 1.0f, 16000}};
    for (const auto& m : moments) {
        gate.m_cur_t = m.cur_t;
        gate.m_rep_t = m.rep_t;
        std::vector<unsigned char> frame =
            checked_frame(gate, clock, m.ms, "mandalagate_" + std::to_string(int(m.cur_t * 100)));
        EXPECT_GT(vnt_test::lit_share(frame, 40), 0.2) << m.cur_t;
        if (m.cur_t > 0.0f) {
            // Inside the tunnel the wall surrounds the eye: no corner of the frame is a hole
            // onto the haze (only the seams between the petals show it).
            for (auto [x0, y0] : {std::pair{0, 0}, {1216, 0}, {0, 656}, {1216, 656}}) {
                int haze = 0;
                for (int y = y0; y < y0 + 64; ++y) {
                    for (int x = x0; x < x0 + 64; ++x) {
                        const unsigned char* p = &frame[(size_t(y) * 1280 + size_t(x)) * 4];
                        haze += std::abs(p[0] - 8) < 6 && p[1] < 6 && std::abs(p[2] - 18) < 6;
                    }
                }
                EXPECT_LT(haze, 64 * 64 * 9 / 10) << m.cur_t << " " << x0 << "," << y0;
            }
        }
    }
}

} // namespace
