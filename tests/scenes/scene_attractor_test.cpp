// The attractor scene: its point cloud's five-step cycle, the soft discs it is drawn with,
// presets and drift, event reactions, the state it leaves behind and its pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "effects/interpolator.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "postprocessing/pass_helpers.h"
#include "scenes/attractor_calculator.h"
#include "scenes/attractor_grade.h"
#include "scenes/point_cloud.h"
#include "scenes/point_splat.h"
#include "scenes/scene_attractor.h"
#include "support/scene_checks.h"

using namespace vnt_test::scene_checks;

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// The centres of the lower left and the upper right pixel of a 4 x 2 picture.
const float lower_left[3] = {-0.75f, -0.5f, 0}, upper_right[3] = {0.75f, 0.5f, 0};

class AttractorTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene = std::make_unique<cSceneAttractor>(&clock.clock);
        scene->load();
    }
    // Steps the cloud through five frames 20 ms apart without drawing, so the buffer is full,
    // then renders the frame at `end_ms` (and writes it when given a file name).
    std::vector<unsigned char> frame(int end_ms, const std::string& png = std::string())
    {
        for (int i = 5; i > 0; --i) {
            clock.set(end_ms - i * 20);
            scene->update();
            scene->step_cloud();
        }
        return vnt_test::render_scene(*scene, clock, end_ms, png);
    }

    vnt_test::sTestClock clock;
    std::unique_ptr<cSceneAttractor> scene;
};

} // namespace

TEST_F(AttractorTest, PointCloudRefillsFiveStepsThenRestartsFromTheOrigin)
{
    EXPECT_THROW(cPointCloud(100, 101, nullptr), std::invalid_argument);
    EXPECT_THROW(cPointCloud(100, 0, nullptr), std::invalid_argument);
    cPointCloud cloud(100000, 20000, nullptr);
    EXPECT_EQ(cloud.filled(), 0); // nothing is drawn before the first step
    auto read = [&] { return std::vector<float>(cloud.points(), cloud.points() + 3 * 100000); };
    for (int i = 0; i < 5; ++i)
        cloud.step();
    const std::vector<float> first = read();
    cloud.step();
    const std::vector<float> second = read();
    // The sixth step starts over at the buffer's start, from (0, -1, 0), the origin's image;
    // the noise has moved on, so it differs from the first cycle. The rest stays in place.
    EXPECT_TRUE(second[0] == 0.0f && second[1] == -1.0f && second[2] == 0.0f);
    EXPECT_NE(std::vector<float>(first.begin(), first.begin() + 60000),
              std::vector<float>(second.begin(), second.begin() + 60000));
    EXPECT_TRUE(std::equal(first.begin() + 60000, first.end(), second.begin() + 60000));
    EXPECT_EQ(cloud.cursor(), 20000);

    // A step that does not divide the total never writes, so never draws, the tail.
    cPointCloud uneven(100000, 30000, nullptr);
    for (int i = 0; i < 4; ++i)
        uneven.step();
    EXPECT_EQ(uneven.cursor(), 30000);
    EXPECT_EQ(uneven.filled(), 90000);
}

TEST(PointSplat, DiscsFallToTheRimAndStayInsideThePicture)
{
    cPointSplat splat;
    splat.clear(40, 20);
    // A point on the picture's centre (20, 10), 6 pixels wide: the four centre pixels lie
    // 0.5 px off it in x and y, and the disc ends 3 px out.
    const float centre[3] = {0, 0, 0};
    splat.add(centre, 1, identity, 6.0f, 0.5f);
    const float r2 = 2 * (0.5f / 3) * (0.5f / 3);
    EXPECT_NEAR(splat.weight(19, 9), 0.5f * (1 - r2) * (1 - r2), 1e-6);
    for (auto [x, y] : {std::pair{20, 9}, {19, 10}, {20, 10}})
        EXPECT_EQ(splat.weight(x, y), splat.weight(19, 9));
    EXPECT_NEAR(splat.weight(22, 10), 0.5f * std::pow(1 - (2.5f / 3) * (2.5f / 3) - r2 / 2, 2),
                1e-6);
    EXPECT_EQ(splat.weight(23, 10), 0.0f); // the rim
    EXPECT_EQ(splat.weight(20, 13), 0.0f);
    double sum = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            sum += splat.weight(x, y);
    EXPECT_NEAR(sum, 0.5 * 3.14159265 / 3 * 9, 0.3); // the disc's integral, r^2 pi / 3

    // Behind the eye, beyond the near or far plane, not a number, far off the picture or at
    // its corner: nothing is added outside, and a corner disc keeps its quarter.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = 1e30f;
    splat.clear(40, 20);
    const float off[] = {0, 0, 1.5f, 0, 0, -1.5f, nan, 0, 0, big, 0, 0, -big, big, 0, 1, 1, 0};
    const float behind[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1};
    splat.add(off, 6, identity, 6.0f, 1.0f);
    splat.add(off, 1, behind, 6.0f, 1.0f);
    splat.add(off, 6, identity, 1e9f, 1.0f); // an absurd size draws nothing
    EXPECT_GT(splat.weight(39, 19), 0.5f);
    EXPECT_EQ(splat.weight(36, 19), 0.0f);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            lit += splat.weight(x, y) > 0;
    EXPECT_EQ(lit, 8); // the corner disc: of its 3 x 3 pixels inside, all but the far corner
}

TEST(PointSplat, PacksTheWeightsInTheColourClampedAndOpaqueWithNothingLeftOver)
{
    cPointSplat splat;
    splat.clear(4, 2);
    // One weak point on the lower left pixel, many on the upper right one: the sum clamps.
    splat.add(lower_left, 1, identity, 1.0f, 0.25f);
    for (int i = 0; i < 10; ++i)
        splat.add(upper_right, 1, identity, 1.0f, 0.25f);
    const float colour[3] = {1.0f, 0.5f, 2.0f}; // blue beyond 1 counts as 1
    std::vector<uint8_t> bgra = splat.pack(colour);
    ASSERT_EQ(bgra.size(), 32u);
    const std::vector<uint8_t> first(bgra.begin(), bgra.begin() + 4);
    EXPECT_EQ(first, (std::vector<uint8_t>{64, 32, 64, 255})); // rows from the bottom
    const std::vector<uint8_t> last(bgra.end() - 4, bgra.end());
    EXPECT_EQ(last, (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(bgra[4 * 5 + 0], 0); // dark pixels stay black and opaque
    EXPECT_EQ(bgra[4 * 5 + 3], 255);

    // The next picture has only the lower left point: the upper right pixel is black again,
    // in the weights and in the bytes, though neither is rewritten whole.
    splat.clear(4, 2);
    splat.add(lower_left, 1, identity, 1.0f, 0.5f);
    EXPECT_EQ(splat.weight(3, 1), 0.0f);
    bgra = splat.pack(colour);
    EXPECT_EQ(std::vector<uint8_t>(bgra.end() - 4, bgra.end()),
              (std::vector<uint8_t>{0, 0, 0, 255}));
    EXPECT_EQ(bgra[0], 128);
    // Another size starts from black.
    splat.clear(2, 1);
    EXPECT_EQ(splat.pack(colour), (std::vector<uint8_t>{0, 0, 0, 255, 0, 0, 0, 255}));
}

// Many points at once are shared out between two threads by rows: the same sums to the bit
// as the same points added a few at a time, discs across the middle rows too.
TEST(PointSplat, ManyPointsAtOnceSumAsFewAtATime)
{
    std::vector<float> points;
    for (int i = 0; i < 9000; ++i) {
        points.push_back(std::sin(float(i) * 0.37f) * 1.05f);
        points.push_back(std::sin(float(i) * 0.11f) * 0.2f); // crowding the middle rows
        points.push_back(0.0f);
    }
    cPointSplat at_once, in_parts;
    at_once.clear(64, 48);
    in_parts.clear(64, 48);
    at_once.add(points.data(), 9000, identity, 7.0f, 0.1f);
    for (int first = 0; first < 9000; first += 1000)
        in_parts.add(points.data() + 3 * first, 1000, identity, 7.0f, 0.1f);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(at_once.weight(x, y), in_parts.weight(x, y)) << x << ", " << y;
    const float colour[3] = {1, 1, 1};
    EXPECT_EQ(at_once.pack(colour), in_parts.pack(colour)); // the same pixels touched
}

// The picture packed through tones: each pixel the tone nearest its weight; the untouched
// pixels show the first tone, and a new first tone reaches them all.
TEST(PointSplat, PacksThroughTonesWithTheFirstAsTheBackground)
{
    cPointSplat splat;
    splat.clear(4, 2);
    splat.add(lower_left, 1, identity, 1.0f, 0.26f);
    for (int i = 0; i < 100; ++i)
        splat.add(upper_right, 1, identity, 1.0f, 0.25f);
    const std::vector<cPointSplat::tBGRA> tones = {
        {1, 2, 3, 255}, {10, 0, 0, 255}, {20, 0, 0, 255}, {30, 0, 0, 255}};
    std::vector<uint8_t> bgra = splat.pack(tones, 0.25f);
    EXPECT_EQ(bgra[0], 10);     // 0.26 is nearest one step
    EXPECT_EQ(bgra[4 * 7], 30); // 25 steps: the last tone
    EXPECT_EQ(std::vector<uint8_t>(bgra.begin() + 4, bgra.begin() + 8),
              (std::vector<uint8_t>{1, 2, 3, 255})); // untouched
    std::vector<cPointSplat::tBGRA> darker = tones;
    darker[0] = {0, 0, 0, 255};
    splat.clear(4, 2);
    bgra = splat.pack(darker, 0.25f);
    for (size_t i = 0; i < bgra.size(); ++i)
        EXPECT_EQ(bgra[i], i % 4 == 3 ? 255 : 0) << i;
    EXPECT_EQ(splat.pack({}, 0.25f), splat.pack(darker, 0.0f)); // no tones, no step: black
}

// The tones are what the hue shift pass and then the hue-saturation-brightness pass make of
// the colours the plain packing writes, for every weight.
TEST_F(AttractorTest, GradeTonesAreWhatTheGradingPassesMakeOfThePackedColours)
{
    const hueshift_params neutral_shift{0, 0, 0, 0};
    const hsb_params neutral{0, 0, 0};
    struct sCase
    {
        float colour[3];
        hueshift_params shift;
        hsb_params adjust;
    };
    const sCase cases[] = {{{1.0f, 0.4f, 0.1f}, {200, 40, 0, 0.5f}, {0, 30, 0}},
                           {{0.3f, 0.9f, 0.6f}, {725, -50, 10, 3.0f}, {-90, 66.8f, -5}}};
    for (const sCase& c : cases) {
        const sToneTable plain = grade_tones(c.colour, neutral_shift, neutral);
        const sToneTable graded = grade_tones(c.colour, c.shift, c.adjust);
        ASSERT_EQ(plain.tones.size(), graded.tones.size());
        ASSERT_GT(plain.tones.size(), 100u);
        cRTProxy in = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        cRTProxy shifted = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
        vnt_test::sPicture picture(int(in->m_width), int(in->m_height));
        const size_t pixels = size_t(picture.w * picture.h);
        for (size_t i = 0; i < pixels; ++i) {
            const cPointSplat::tBGRA& t = plain.tones[i % plain.tones.size()];
            picture.rect(int(i) % picture.w, int(i) / picture.w, int(i) % picture.w + 1,
                         int(i) / picture.w + 1, {t[2], t[1], t[0], 255});
        }
        vnt_test::upload(*in, picture);
        cPostHueShift::get_instance()->process(*in, *shifted, c.shift);
        cPostHSB::get_instance()->process(*shifted, *out, c.adjust);
        const vnt_test::sPicture got = vnt_test::download(*out);
        int worst = 0;
        for (size_t i = 0; i < pixels; ++i) {
            const cPointSplat::tBGRA& t = graded.tones[i % graded.tones.size()];
            const vnt_test::tPixel p = got.at(int(i) % got.w, int(i) / got.w);
            for (int k = 0; k < 3; ++k)
                worst = std::max(worst, std::abs(int(p[size_t(k)]) - int(t[size_t(2 - k)])));
        }
        EXPECT_LE(worst, 2);
    }
}

TEST_F(AttractorTest, PresetsApplyOnChangeOnlyAndDriftStaysBounded)
{
    // Every scene applies its own first preset, whatever other scenes applied before; a value
    // changed afterwards stays until the preset changes.
    for (int config : {0, 1, 2}) {
        cSceneAttractor s(&clock.clock);
        s.a1 = s.pts_size = 3.25f;
        s.ifsconfig = config;
        s.update();
        EXPECT_NE(s.a1, 3.25f) << config;
        s.a1 = 1.5f;
        s.update();
        EXPECT_EQ(s.a1, 1.5f) << config;
    }
    // 3 sets nothing, silently; unknown ones set nothing with a message.
    cSceneAttractor& s = *scene;
    s.update();
    auto preset_values = [&] { // what a preset sets, then what it must leave alone
        std::vector<float> v{s.p0, s.p1, s.p2, s.p3, s.a1, s.pts_size, s.glow.precut};
        v.insert(v.end(), {s.glow.postcut, float(s.cur_anim), float(s.kaleido2d), s.dist});
        v.insert(v.end(), {s.hsb.saturation, s.noise, s.offset, s.pos.x, s.pos.y, s.pos.z});
        v.insert(v.end(), {s.rot, s.hueshift.mult, s.glow6.precut});
        return v;
    };
    const std::vector<float> before = preset_values();
    for (int config : {3, 4, -2}) {
        s.ifsconfig = config;
        testing::internal::CaptureStderr();
        s.update();
        EXPECT_EQ(testing::internal::GetCapturedStderr().empty(), config == 3) << config;
        EXPECT_EQ(preset_values(), before) << config;
    }

    // Ten minutes of every animation preset: the parameters drift and always come back
    // within their range instead of running away.
    float* params[4] = {&s.p0, &s.p1, &s.p2, &s.p3};
    for (int anim = 0; anim < 9; ++anim) {
        s.init_anim(anim);
        float lo[4], hi[4], widest = 0;
        for (int i = 0; i < 4; ++i)
            lo[i] = hi[i] = *params[i];
        for (int step = 0; step < 30000; ++step) {
            s.update_anim(anim, 20.0f);
            for (int i = 0; i < 4; ++i) {
                lo[i] = std::min(lo[i], *params[i]);
                hi[i] = std::max(hi[i], *params[i]);
            }
        }
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(lo[i] > -4 && hi[i] < 4) << anim << " p" << i;
            widest = std::max(widest, hi[i] - lo[i]);
        }
        EXPECT_GT(widest, 0.05f) << anim;
    }
    EXPECT_DEATH(s.init_anim(9), "non-existing anim inited");
    EXPECT_DEATH(
        {
            s.cur_anim = 9;
            s.step_cloud();
        },
        "non-existing anim inited");
    EXPECT_DEATH(s.update_anim(-1, 16.0f), "non-existing anim updated");
}

TEST_F(AttractorTest, DriftRunsInTheSixfoldViewOnlyAndStandsStillWhilePaused)
{
    scene->cur_anim = 1;
    scene->cur_config = 1;
    clock.set(1000);
    scene->step_cloud(); // applies the preset
    const float start = scene->p0;
    clock.set(1100);
    scene->step_cloud();
    EXPECT_NEAR(scene->p0, start - 0.03f, 1e-6);
    EXPECT_EQ(scene->cloud().m_params[0], scene->p0);
    EXPECT_DOUBLE_EQ(scene->calculator().noise_scale, double(scene->noise) * 0.0001);

    clock.clock.paused = true;
    const float held = scene->p0;
    for (int t = 1200; t <= 1500; t += 100) {
        clock.set(t);
        scene->step_cloud();
    }
    EXPECT_EQ(scene->p0, held);
    clock.clock.paused = false;
    scene->cur_config = 0;
    clock.set(1600);
    scene->step_cloud();
    EXPECT_EQ(scene->p0, held);
}

TEST_F(AttractorTest, EventsFlashTheSingleViewAndStepTheSixfoldView)
{
    cMECtrlChange ctrl(7, 100);
    ctrl.m_track = 2;
    cEvent beat(EV_MIDI_BEAT, 5000);
    cMETrigger kick = note_on(2, 36, 5000), next = note_on(1, 48, 5000),
               swap = note_on(18, 50, 5000), other = note_on(1, 47, 5000),
               off = note_off(2, 36, 5000);
    cEvent* events[] = {&kick, &next, &swap, &other, &off, &ctrl, &beat};

    // Single view: only the kick reacts, with a flash of the cloud that dies away.
    scene->cur_config = 0;
    for (cEvent* ev : events)
        scene->handle_event(ev);
    ASSERT_EQ(scene->interpolators().size(), 1u);
    cInterpolator* flash = scene->interpolators()[0];
    flash->update(5000);
    EXPECT_GT(scene->a_kick, 0.0f);
    flash->update(flash->m_endtime);
    EXPECT_EQ(scene->a_kick, 0.0f);
    EXPECT_EQ(scene->cur_anim, 1);

    // Six-fold view: track 1 note 48 zooms into the next preset, track 18 swaps positions.
    scene->cur_config = 1;
    scene->cur_anim = 8;
    for (cEvent* ev : events)
        scene->handle_event(ev);
    EXPECT_EQ(scene->cur_anim, 0);
    ASSERT_EQ(scene->interpolators().size(), 2u);
    auto* zoom = scene->interpolators()[1];
    zoom->update(zoom->m_starttime);
    const float wide = scene->fov6;
    zoom->update(zoom->m_endtime);
    EXPECT_LT(scene->fov6, wide);
    const Vec3<float> first = scene->pos;
    scene->handle_event(&swap);
    const Vec3<float> second = scene->pos;
    scene->handle_event(&swap);
    EXPECT_NE(first, second);
    EXPECT_EQ(scene->pos, first);
    EXPECT_TRUE(first == scene->stored_pos[0] || first == scene->stored_pos[1]);
    EXPECT_TRUE(second == scene->stored_pos[0] || second == scene->stored_pos[1]);
}

TEST_F(AttractorTest, FramesLeaveTheStateAsTheyFoundIt)
{
    for (int config : {0, 1}) {
        scene->cur_config = config;
        checked_frame(*scene, clock, 10000 + config);
    }
}

TEST_F(AttractorTest, WarmingUpLeavesTheFramesAsTheyWere)
{
    // Both views from a scene warmed up after loading and from one that was not: the warm-up
    // must not step the cloud nor leave the splats' pictures or the grading behind it.
    for (int config : {0, 1}) {
        std::vector<unsigned char> pictures[2];
        for (int warm : {0, 1}) {
            clock.set(60000);
            scene = std::make_unique<cSceneAttractor>(&clock.clock);
            scene->load();
            if (warm)
                checked_warm_up(*scene);
            scene->ifsconfig = 1;
            scene->cur_config = config;
            pictures[warm] = frame(61000);
        }
        EXPECT_EQ(pictures[0], pictures[1]) << config;
    }
}

TEST_F(AttractorTest, PresetsGiveGlowingCloudsInBothViews)
{
    // The three timeline moments (depths 5, 100, 110) and the other two presets in both views;
    // every picture was looked at. Here: lit but not flooded, light on opaque black (so that
    // "over" compositing shows the cloud at full strength), three different treatments.
    const std::tuple<int, int, int> shots[] = {{0, 0, 15000}, {0, 1, 205000}, {0, 0, 230000},
                                               {1, 0, 60000}, {1, 1, 61000},  {2, 0, 90000},
                                               {2, 1, 91000}};
    std::vector<std::vector<unsigned char>> pictures;
    for (auto [ifs, config, ms] : shots) {
        scene->ifsconfig = ifs;
        scene->cur_config = config;
        const std::string png = std::string("attractor_") + (config ? "sixfold" : "single") +
                                "_preset" + std::to_string(ifs) + "_" + std::to_string(ms) + ".png";
        pictures.push_back(frame(ms, png));
        const std::vector<unsigned char>& px = pictures.back();
        const double lit = vnt_test::lit_share(px, 24);
        EXPECT_TRUE(lit > 0.03 && lit < 0.9) << png << " " << lit;
        // The six copies add up: the densest threads may burn white, not the whole figure (a
        // fifth of it, give or take the light of faint disc rims that 8-bit blending dropped).
        size_t white = 0, translucent = 0;
        for (size_t i = 0; i + 3 < px.size(); i += 4) {
            white += px[i] > 250 && px[i + 1] > 250 && px[i + 2] > 250;
            translucent += px[i + 3] != 255;
        }
        EXPECT_LT(double(white) / (double(px.size() / 4) * lit), 0.22) << png;
        EXPECT_EQ(translucent, 0u) << png;
    }
    EXPECT_GT(mean_colour_difference(pictures[0], pictures[3]), 4.0);
    EXPECT_GT(mean_colour_difference(pictures[3], pictures[5]), 4.0);
    EXPECT_GT(mean_colour_difference(pictures[0], pictures[5]), 4.0);
}

// The six-fold view drawn as one copy turned on screen matches the six copies drawn as points.
TEST_F(AttractorTest, TurnedCopiesMatchTheSixCopiesDrawnAsPoints)
{
    auto sixfold = [&](bool exact) {
        clock.set(60000); // both scenes made at the same time, so their clouds agree
        scene = std::make_unique<cSceneAttractor>(&clock.clock);
        scene->load();
        scene->ifsconfig = 1;
        scene->cur_config = 1;
        scene->m_exact_sixfold = exact;
        return frame(61000,
                     exact ? "attractor_sixfold_points.png" : "attractor_sixfold_turned.png");
    };
    const std::vector<unsigned char> points = sixfold(true);
    const std::vector<unsigned char> turned = sixfold(false);
    const auto mean_points = vnt_test::mean_rgba(points);
    const auto mean_turned = vnt_test::mean_rgba(turned);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(mean_turned[c], mean_points[c], 0.08 * mean_points[c] + 0.5) << c;
    EXPECT_LT(mean_colour_difference(points, turned), 4.0); // resampled points, not another picture
    EXPECT_GT(vnt_test::lit_share(turned, 24), 0.03);
    EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);
}
