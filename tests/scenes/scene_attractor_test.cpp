// The attractor scene: its point cloud's five-step cycle, presets and drift, event reactions,
// variables, the state it leaves behind and the pictures it draws.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "effects/interpolator.h"
#include "effects/var.h"
#include "gl_extensions.h"
#include "gl_state.h"
#include "glimmerfall.h"
#include "gui/gui_slider.h"
#include "midi_event.h"
#include "offline_runner.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "scene_manager.h"
#include "scenes/attractor_calculator.h"
#include "scenes/point_cloud.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_composition.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"
#include "support/scene_capture.h"

using vnt_test::sTestClock;

namespace {

// Remembers what the point cloud asked of it; writes the call number into every point.
class cRecordingCalculator : public iAttractorCalculator
{
public:
    struct sCall
    {
        bool restart;
        float* out;
        int count;
    };
    int restart_and_compute(float* out, int count, const float* params) override
    {
        return record(true, out, count);
    }
    int compute(float* out, int count, const float* params) override
    {
        return record(false, out, count);
    }
    std::vector<sCall>* calls = nullptr;

private:
    int record(bool restart, float* out, int count)
    {
        calls->push_back({restart, out, count});
        for (int i = 0; i < count * 3; ++i)
            out[i] = float(calls->size());
        return 0;
    }
};

// The cloud's buffer read back as floats.
std::vector<float> read_cloud(cPointCloud& cloud)
{
    std::vector<float> copy(size_t(cloud.total()) * 3);
    const float* mapped = static_cast<const float*>(cloud.vbo().map(GL_READ_ONLY_ARB));
    EXPECT_NE(mapped, nullptr);
    if (mapped)
        std::copy(mapped, mapped + copy.size(), copy.begin());
    cloud.vbo().unmap();
    return copy;
}

// Every value a preset may set, in one comparable list.
std::vector<float> snapshot(const cSceneAttractor& s)
{
    return {s.p0,
            s.p1,
            s.p2,
            s.p3,
            s.noise,
            s.col1.x,
            s.col1.y,
            s.col1.z,
            s.a1,
            s.a_kick,
            s.pts_size,
            float(s.cur_config),
            float(s.cur_anim),
            float(s.ifsconfig),
            s.rot,
            s.dist,
            s.pos.x,
            s.pos.y,
            s.pos.z,
            s.offset,
            s.fov6,
            s.hue,
            s.hsb.hue,
            s.hsb.saturation,
            s.hsb.brightness,
            s.hueshift.hue,
            s.hueshift.saturation,
            s.hueshift.mult,
            float(s.kaleido2d),
            s.glow.precut,
            s.glow.postcut,
            s.glow6.precut,
            s.glow6.postcut};
}

cMETrigger note_on(int track, int note, int time)
{
    cMETrigger ev(iMidiEvent::NOTE_ON, note, 100);
    ev.m_track = track;
    ev.m_time = time;
    return ev;
}

class AttractorTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene = std::make_unique<cSceneAttractor>(&clock.clock);
        scene->load();
    }
    // Steps the cloud through `n - 1` frames `step` ms apart without drawing them, so the
    // buffer is full, then renders the frame at `end_ms`. With a file name the picture is
    // also written, made opaque (as it shows over black).
    std::vector<unsigned char> frames(int end_ms, int n = 6, int step = 20,
                                      const std::string& png = std::string())
    {
        for (int i = n - 1; i > 0; --i) {
            clock.set(end_ms - i * step);
            scene->update();
            scene->step_cloud();
        }
        std::vector<unsigned char> px = vnt_test::render_scene(*scene, clock, end_ms);
        if (!png.empty()) {
            std::vector<unsigned char> opaque = px;
            for (size_t i = 3; i < opaque.size(); i += 4)
                opaque[i] = 255;
            vnt_test::write_png(png.c_str(), 1280, 720, opaque);
        }
        return px;
    }

    sTestClock clock;
    std::unique_ptr<cSceneAttractor> scene;
};

} // namespace

// --- point cloud --------------------------------------------------------------------------

TEST_F(AttractorTest, PointCloudRefillsFiveStepsThenRestartsFromTheOrigin)
{
    EXPECT_THROW(cPointCloud(100, 101, nullptr), std::invalid_argument);
    EXPECT_THROW(cPointCloud(100, 0, nullptr), std::invalid_argument);
    EXPECT_THROW(cPointCloud(0, 0, nullptr), std::invalid_argument);

    std::vector<cRecordingCalculator::sCall> calls;
    auto recorder = std::make_unique<cRecordingCalculator>();
    recorder->calls = &calls;
    cPointCloud cloud(100000, 20000, std::move(recorder));
    EXPECT_EQ(cloud.filled(), 0);

    for (int frame = 0; frame < 11; ++frame)
        ASSERT_TRUE(cloud.step());
    ASSERT_EQ(calls.size(), 11u);
    const float* base = calls[0].out;
    for (int frame = 0; frame < 11; ++frame) {
        // Frames 5 and 10 start a new cycle at the start of the buffer.
        EXPECT_EQ(calls[frame].restart, frame == 5 || frame == 10) << frame;
        EXPECT_EQ(calls[frame].out - base, ptrdiff_t(frame % 5) * 20000 * 3) << frame;
        EXPECT_EQ(calls[frame].count, 20000);
    }
    EXPECT_EQ(cloud.cursor(), 20000);
    // The buffer holds the last five steps: 11 at the start, then 7 to 10.
    const std::vector<float> data = read_cloud(cloud);
    EXPECT_EQ(data[0], 11.0f);
    EXPECT_EQ(data[3 * 20000], 7.0f);
    EXPECT_EQ(data[3 * 100000 - 1], 10.0f);

    // A streaming buffer of total x 3 floats.
    GLint usage = 0, bytes = 0;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, cloud.vbo().get_buffer());
    glGetBufferParameteriv(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE, &usage);
    glGetBufferParameteriv(GL_ARRAY_BUFFER_ARB, GL_BUFFER_SIZE, &bytes);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(usage, GL_STREAM_DRAW_ARB);
    EXPECT_EQ(bytes, 100000 * 3 * 4);
}

TEST_F(AttractorTest, PointCloudDrawsOnlyWrittenPoints)
{
    // A step that does not divide the total: the tail is never written, so never drawn.
    std::vector<cRecordingCalculator::sCall> calls;
    auto recorder = std::make_unique<cRecordingCalculator>();
    recorder->calls = &calls;
    cPointCloud cloud(100000, 30000, std::move(recorder));
    cloud.step();
    EXPECT_EQ(cloud.filled(), 30000);
    for (int i = 0; i < 6; ++i)
        cloud.step();
    EXPECT_EQ(cloud.filled(), 90000);
    EXPECT_TRUE(calls[3].restart);
    EXPECT_TRUE(calls[6].restart);
}

TEST_F(AttractorTest, RealCloudCycleStartsWithTheTransientFromTheOrigin)
{
    cPointCloud& cloud = scene->cloud();
    cloud.m_params[0] = -1.25962f;
    cloud.m_params[1] = 0.519231f;
    cloud.m_params[2] = 0.735577f;
    cloud.m_params[3] = 1.55289f;
    for (int i = 0; i < 5; ++i)
        cloud.step();
    const std::vector<float> first = read_cloud(cloud);
    cloud.step();
    const std::vector<float> second = read_cloud(cloud);
    // Both cycles open at (0, -1, 0); the noise has moved on, so the cloud differs slightly.
    for (const auto* data : {&first, &second}) {
        EXPECT_FLOAT_EQ((*data)[0], 0.0f);
        EXPECT_FLOAT_EQ((*data)[1], -1.0f);
        EXPECT_FLOAT_EQ((*data)[2], 0.0f);
    }
    EXPECT_NE(std::vector<float>(first.begin(), first.begin() + 60000),
              std::vector<float>(second.begin(), second.begin() + 60000));
    // The rest of the buffer is still the previous cycle.
    EXPECT_EQ(std::vector<float>(first.begin() + 60000, first.end()),
              std::vector<float>(second.begin() + 60000, second.end()));
}

// --- variables and presets ----------------------------------------------------------------

TEST_F(AttractorTest, VariablesAreFoundByNameAndDriveTheMembers)
{
    tVarList vars = scene->get_vars();
    ASSERT_EQ(vars.size(), 4u);
    struct sExpect
    {
        const char* name;
        float min, max;
    } expect[] = {{"ifsconfig", 0, 3}, {"cur_config", 0, 1}, {"cur_anim", 0, 8}, {"rot", 0, 360}};
    for (size_t i = 0; i < vars.size(); ++i) {
        EXPECT_EQ(vars[i].first->get_name(), expect[i].name);
        ASSERT_NE(vars[i].second, nullptr) << expect[i].name;
        const auto* slider = dynamic_cast<const cGuiSlider*>(vars[i].second);
        ASSERT_NE(slider, nullptr) << expect[i].name;
        EXPECT_EQ(slider->get_min(), expect[i].min) << expect[i].name;
        EXPECT_EQ(slider->get_max(), expect[i].max) << expect[i].name;
    }

    auto* ifs = dynamic_cast<cVar<int>*>(find_var_in(vars, "ifsconfig"));
    auto* config = dynamic_cast<cVar<int>*>(find_var_in(vars, "cur_config"));
    auto* anim = dynamic_cast<cVar<int>*>(find_var_in(vars, "cur_anim"));
    auto* rot = dynamic_cast<cVar<float>*>(find_var_in(vars, "rot"));
    ASSERT_TRUE(ifs && config && anim && rot);
    EXPECT_EQ(find_var_in(vars, "preset"), nullptr); // the slider label is not the name
    ifs->set(2);
    config->set(1);
    anim->set(5);
    rot->set(45.0f);
    EXPECT_EQ(scene->ifsconfig, 2);
    EXPECT_EQ(scene->cur_config, 1);
    EXPECT_EQ(scene->cur_anim, 5);
    EXPECT_EQ(scene->rot, 45.0f);
    delete_var_list(vars);
}

TEST_F(AttractorTest, IfsconfigPresetsSetExactlyTheirValuesOnceWhenChanged)
{
    struct sPreset
    {
        int config;
        bool sets_params;
        float p[4];
        float a1;
        bool sets_size;
        float precut, postcut;
        int anim, kaleido;
        float dist;
    } presets[] = {
        {0,
         true,
         {-1.25962f, 0.519231f, 0.735577f, 1.55289f},
         0.1f,
         true,
         250,
         70.8f,
         1,
         7,
         2.16992f},
        {1,
         true,
         {-1.47596f, -3.3149f, -3.23077f, 0.155048f},
         0.0537861f,
         false,
         121.064f,
         192.706f,
         6,
         4,
         3.103591f},
        {2, false, {}, 0.1f, false, 0, 255, 8, 5, 3.5f},
    };
    for (const sPreset& p : presets) {
        cSceneAttractor s(&clock.clock);
        s.p0 = s.p1 = s.p2 = s.p3 = 3.25f;
        s.pts_size = 7.5f;
        s.hsb.saturation = -20.0f;
        s.ifsconfig = p.config;
        s.update();
        EXPECT_EQ(s.last_ifsconfig(), p.config);
        if (p.sets_params) {
            EXPECT_EQ(s.p0, p.p[0]);
            EXPECT_EQ(s.p1, p.p[1]);
            EXPECT_EQ(s.p2, p.p[2]);
            EXPECT_EQ(s.p3, p.p[3]);
        } else {
            EXPECT_EQ(s.p0, 3.25f);
            EXPECT_EQ(s.p3, 3.25f);
        }
        EXPECT_EQ(s.a1, p.a1) << p.config;
        EXPECT_EQ(s.pts_size, p.sets_size ? 1.65625f : 7.5f) << p.config;
        EXPECT_EQ(s.glow.precut, p.precut) << p.config;
        EXPECT_EQ(s.glow.postcut, p.postcut) << p.config;
        EXPECT_EQ(s.cur_anim, p.anim) << p.config;
        EXPECT_EQ(s.kaleido2d, p.kaleido) << p.config;
        EXPECT_EQ(s.dist, p.dist) << p.config;
        EXPECT_EQ(s.hsb.saturation, p.config == 2 ? 66.7668f : -20.0f) << p.config;

        // Applied when the value changes, not every frame: a hand-tuned value survives.
        s.p1 = 1.5f;
        s.update();
        EXPECT_EQ(s.p1, 1.5f);
    }

    // Preset 3, and values outside the table, leave everything as it was.
    for (int config : {3, 4, -2}) {
        cSceneAttractor s(&clock.clock);
        s.update();
        const std::vector<float> before = snapshot(s);
        s.ifsconfig = config;
        testing::internal::CaptureStderr();
        s.update();
        const std::string err = testing::internal::GetCapturedStderr();
        std::vector<float> after = snapshot(s);
        after[13] = before[13]; // the ifsconfig value itself
        EXPECT_EQ(before, after) << config;
        EXPECT_EQ(err.empty(), config == 3) << err;
    }
}

TEST_F(AttractorTest, EachSceneAppliesItsOwnFirstPreset)
{
    // The last applied preset belongs to the scene object: a second scene with the same
    // setting still gets its preset.
    cSceneAttractor first(&clock.clock), second(&clock.clock);
    first.update();
    second.p0 = 0.0f;
    second.update();
    EXPECT_EQ(second.p0, -1.25962f);
}

TEST_F(AttractorTest, AnimationPresetsSetTheirStartValues)
{
    struct sAnim
    {
        float p[4], noise, a1, dist;
        Vec3<float> pos;
        float offset;
    } anims[] = {
        {{2.75f, 0.806471f, 1.1f, 1.33f}, 0.33f, 0.015f, 1.5f, {0.44f, 0.5f, 0.44f}, NAN},
        {{-0.887019f, 0.519231f, 0.735577f, 1.55289f},
         0.33f,
         0.03f,
         4.4f,
         {-0.11f, 0.2f, -0.17f},
         1.4f},
        {{1, 0.284401f, 0.71f, 1.51f}, 0.33f, NAN, 2.6f, {0.49f, 0.4f, 0.14f}, 0.65f},
        {{-1.45853f, -2.28769f, -2.49519f, 0.822116f},
         0.33f,
         0.0537861f,
         3.2f,
         {-0.71f, 0.6f, -0.13f},
         1.4f},
        {{1.77394f, 1.8f, 0.71f, 1.51f}, 0.33f, 0.0537861f, 1.5f, {0.5f, 0.4f, 0.5f}, 0.42f},
        {{-1.99f, -1.63f, 0.44f, 1.49f}, 0.33f, 0.0537861f, 1.4f, {-0.49f, 0.56f, -0.41f}, 0.75f},
        {{-1.63882f, -2.22476f, -2.80168f, 0.155048f},
         0.33f,
         0.0537861f,
         2.5f,
         {-0.84f, 0.59f, -0.63f},
         1.5f},
        {{1, 1.8f, 0.71f, 1.49017f}, 0.33f, 0.0537861f, 1.55f, {0.3f, 0.45f, 0.3f}, 0.55f},
        {{1, 1.8f, 1.04485f, 1.54f}, 0.6f, 0.03f, 3.5f, {0.14f, 0.5f, 0.27f}, 0.87f},
    };
    for (int i = 0; i < cSceneAttractor::NUM_ANIMS; ++i) {
        const sAnim& a = anims[i];
        scene->a1 = 0.0777f;
        scene->offset = 4.25f;
        scene->pts_size = 9.0f;
        scene->init_anim(i);
        EXPECT_EQ(scene->p0, a.p[0]) << i;
        EXPECT_EQ(scene->p1, a.p[1]) << i;
        EXPECT_EQ(scene->p2, a.p[2]) << i;
        EXPECT_EQ(scene->p3, a.p[3]) << i;
        EXPECT_EQ(scene->noise, a.noise) << i;
        EXPECT_EQ(scene->a1, std::isnan(a.a1) ? 0.0777f : a.a1) << i;
        EXPECT_EQ(scene->dist, a.dist) << i;
        EXPECT_EQ(scene->pos, a.pos) << i;
        EXPECT_EQ(scene->offset, std::isnan(a.offset) ? 4.25f : a.offset) << i;
        EXPECT_EQ(scene->pts_size, 1.65625f) << i;
    }
}

TEST_F(AttractorTest, DriftMovesOneParameterAndWrapsIt)
{
    struct sDrift
    {
        int anim;
        float cSceneAttractor::*param;
        float rate;  // per second
        float reset; // value after passing the limit
        float limit;
    } drifts[] = {
        {0, &cSceneAttractor::p1, 0.015f, 0.7f, 0.9f},
        {1, &cSceneAttractor::p0, -0.3f, -0.887019f, -3.03846f},
        {2, &cSceneAttractor::p1, 0.045f, 0.25f, 1.9f},
        {3, &cSceneAttractor::p3, 0.045f, 0.822f, 1.13f},
        {4, &cSceneAttractor::p0, 0.1f, 1.773f, 2.0f},
        {5, &cSceneAttractor::p1, 0.2f, -1.63f, -1.19f},
        {6, &cSceneAttractor::p2, -0.05f, -2.22476f, -2.85577f},
        {6, &cSceneAttractor::p3, 0.05f, 0.155048f, 1.09255f},
        {7, &cSceneAttractor::p3, 0.006f, 1.485f, 1.54f},
        {8, &cSceneAttractor::p2, 0.09f, 0.6f, 1.85f},
    };
    cSceneAttractor& s = *scene;
    for (const sDrift& d : drifts) {
        s.init_anim(d.anim);
        const float start = s.*d.param;
        s.update_anim(d.anim, 500.0f);
        EXPECT_NEAR(s.*d.param, start + 0.5f * d.rate, 1e-6) << d.anim;
        // Just inside the limit stays; one step past it goes back.
        s.*d.param = d.limit - (d.rate > 0 ? 1e-4f : -1e-4f);
        s.update_anim(d.anim, 0.0f);
        EXPECT_NE(s.*d.param, d.reset) << d.anim;
        s.update_anim(d.anim, 20.0f);
        EXPECT_EQ(s.*d.param, d.reset) << d.anim;
    }
    scene->offset = 3.0f;
    scene->update_anim(0, 16.0f);
    EXPECT_EQ(scene->offset, 0.5f);
}

TEST_F(AttractorTest, DriftRunsOnlyInTheSixfoldViewAndStandsStillWhilePaused)
{
    scene->cur_anim = 1;
    scene->cur_config = 1;
    clock.set(1000);
    scene->step_cloud(); // applies the preset
    const float start = scene->p0;
    clock.set(1100);
    scene->step_cloud();
    EXPECT_NEAR(scene->p0, start - 0.03f, 1e-6);

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
    EXPECT_EQ(scene->cloud().m_params[0], held);
    EXPECT_DOUBLE_EQ(scene->calculator().noise_scale, double(scene->noise) * 0.0001);
}

TEST_F(AttractorTest, UnknownAnimationPresetsStop)
{
    EXPECT_DEATH(
        {
            scene->cur_anim = 9;
            scene->step_cloud();
        },
        "non-existing anim inited");
    EXPECT_DEATH(scene->init_anim(-1), "non-existing anim inited");
    EXPECT_DEATH(scene->update_anim(9, 16.0f), "non-existing anim updated");
}

// --- events -------------------------------------------------------------------------------

TEST_F(AttractorTest, SingleViewFlashesOnTheKick)
{
    scene->cur_config = 0;
    cMETrigger kick = note_on(2, 36, 5000);
    scene->handle_event(&kick);
    ASSERT_EQ(scene->interpolators().size(), 1u);
    auto* flash = dynamic_cast<cSmoothStep<float>*>(scene->interpolators()[0]);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(dynamic_cast<cVar<float>*>(flash->m_var)->get(), &scene->a_kick);
    EXPECT_EQ(flash->m_from, 0.06f);
    EXPECT_EQ(flash->m_to, 0.0f);
    EXPECT_EQ(flash->m_starttime, 5000);
    EXPECT_EQ(flash->m_endtime, 5350);

    // Other tracks, note-offs, controllers and the six-fold view's notes do nothing here.
    cMETrigger off(iMidiEvent::NOTE_OFF, 36, 0);
    off.m_track = 2;
    off.m_time = 5100;
    cMETrigger others[] = {note_on(4, 36, 5000), note_on(1, 48, 5000), note_on(18, 60, 5000), off};
    cMECtrlChange ctrl(7, 100);
    ctrl.m_track = 2;
    cEvent beat(EV_MIDI_BEAT, 5000);
    for (cMETrigger& ev : others)
        scene->handle_event(&ev);
    scene->handle_event(&ctrl);
    scene->handle_event(&beat);
    EXPECT_EQ(scene->interpolators().size(), 1u);
    EXPECT_EQ(scene->cur_anim, 1);

    // The flash runs on the scene's own clock.
    clock.set(5000);
    scene->update();
    EXPECT_NEAR(scene->a_kick, 0.06f, 1e-6);
    clock.set(5400);
    scene->update();
    EXPECT_EQ(scene->a_kick, 0.0f);
}

TEST_F(AttractorTest, SixfoldViewStepsPresetsAndSwapsPositions)
{
    scene->cur_config = 1;
    scene->cur_anim = 7;
    cMETrigger next = note_on(1, 48, 200000);
    scene->handle_event(&next);
    EXPECT_EQ(scene->cur_anim, 8);
    ASSERT_EQ(scene->interpolators().size(), 1u);
    auto* zoom = dynamic_cast<cEaseIn<float>*>(scene->interpolators()[0]);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(dynamic_cast<cVar<float>*>(zoom->m_var)->get(), &scene->fov6);
    EXPECT_EQ(zoom->m_from, 160.0f);
    EXPECT_EQ(zoom->m_to, 40.0f);
    EXPECT_EQ(zoom->m_starttime, 200000);
    EXPECT_EQ(zoom->m_endtime, 201000);
    scene->handle_event(&next);
    EXPECT_EQ(scene->cur_anim, 0); // wraps after the ninth
    EXPECT_EQ(scene->interpolators().size(), 2u);

    // Track 18 alternates between the two stored positions.
    cMETrigger swap = note_on(18, 50, 200100);
    scene->handle_event(&swap);
    const Vec3<float> first = scene->pos;
    scene->handle_event(&swap);
    const Vec3<float> second = scene->pos;
    scene->handle_event(&swap);
    EXPECT_NE(first, second);
    EXPECT_EQ(scene->pos, first);
    EXPECT_TRUE(first == scene->stored_pos[0] || first == scene->stored_pos[1]);
    EXPECT_TRUE(second == scene->stored_pos[0] || second == scene->stored_pos[1]);

    // Other notes, and the kick of the single view, leave the six-fold view alone.
    cMETrigger others[] = {note_on(1, 47, 200000), note_on(2, 36, 200000), note_on(4, 48, 200000)};
    for (cMETrigger& ev : others)
        scene->handle_event(&ev);
    EXPECT_EQ(scene->cur_anim, 0);
    EXPECT_EQ(scene->interpolators().size(), 2u);
    EXPECT_EQ(scene->pos, first);
}

// --- rendering ----------------------------------------------------------------------------

TEST_F(AttractorTest, FramesLeaveStateShaderMatricesAndPoolAsTheyWere)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const std::string shader_before = shaders->get_current_shader();
    const size_t stack_before = shaders->stack_depth();
    // A state different from everything the scene sets.
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glBlendFunc(GL_ONE, GL_ZERO);
    glPointSize(3.0f);
    glColor4f(0.5f, 0.25f, 0.125f, 1.0f);
    glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
    glEnable(GL_DEPTH_TEST);
    sGLstate before;
    before.capture();
    GLfloat point_before = 0;
    glGetFloatv(GL_POINT_SIZE, &point_before);
    GLint hint_before = 0, depth_proj = 0, depth_mv = 0;
    glGetIntegerv(GL_POINT_SMOOTH_HINT, &hint_before);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth_proj);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_mv);
    GLfloat proj_before[16], mv_before[16];
    glGetFloatv(GL_PROJECTION_MATRIX, proj_before);
    glGetFloatv(GL_MODELVIEW_MATRIX, mv_before);

    for (int config : {0, 1}) {
        scene->cur_config = config;
        {
            clock.set(10000 + config * 20);
            scene->update();
            cRTProxy frame = scene->render_to_texture(clock.clock.demo_time());
            EXPECT_TRUE(frame.isValid());
            EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 1u);
        }
        EXPECT_EQ(cRenderTargetManager::get_instance()->lent_out(), 0u);

        sGLstate after;
        after.capture();
        EXPECT_EQ(sGLstate::diff(before, after), "") << "view " << config;
        GLfloat point_after = 0;
        glGetFloatv(GL_POINT_SIZE, &point_after);
        EXPECT_EQ(point_after, point_before);
        GLint hint_after = 0, proj = 0, mv = 0;
        glGetIntegerv(GL_POINT_SMOOTH_HINT, &hint_after);
        EXPECT_EQ(hint_after, hint_before);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proj);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &mv);
        EXPECT_EQ(proj, depth_proj);
        EXPECT_EQ(mv, depth_mv);
        GLfloat proj_after[16], mv_after[16];
        glGetFloatv(GL_PROJECTION_MATRIX, proj_after);
        glGetFloatv(GL_MODELVIEW_MATRIX, mv_after);
        EXPECT_TRUE(std::equal(proj_after, proj_after + 16, proj_before));
        EXPECT_TRUE(std::equal(mv_after, mv_after + 16, mv_before));
        EXPECT_EQ(shaders->get_current_shader(), shader_before);
        EXPECT_EQ(shaders->stack_depth(), stack_before);
    }
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPointSize(1.0f);
}

TEST_F(AttractorTest, PresetsGiveGlowingCloudsInBothViews)
{
    // Three moments of the timeline (depths 5, 100 and 110) and the other two presets in
    // both views. Each picture has been looked at; here: lit, not flooded, not flat, and
    // opaque where the cloud is dense so that "over" compositing shows it.
    struct sShot
    {
        int ifs, config, ms;
        const char* png;
    } shots[] = {
        {0, 0, 15000, "attractor_single_preset0.png"},
        {0, 1, 205000, "attractor_sixfold_preset0.png"},
        {0, 0, 230000, "attractor_single_preset0_late.png"},
        {1, 0, 60000, "attractor_single_preset1.png"},
        {1, 1, 61000, "attractor_sixfold_preset1.png"},
        {2, 0, 90000, "attractor_single_preset2.png"},
        {2, 1, 91000, "attractor_sixfold_preset2.png"},
    };
    std::vector<std::vector<unsigned char>> pictures;
    for (const sShot& shot : shots) {
        scene->ifsconfig = shot.ifs;
        scene->cur_config = shot.config;
        const std::vector<unsigned char> px = frames(shot.ms, 6, 20, shot.png);
        const double lit = vnt_test::lit_share(px, 24);
        EXPECT_GT(lit, 0.03) << shot.png;
        EXPECT_LT(lit, 0.9) << shot.png;
        // The brightest pixels reach full opacity.
        unsigned char max_alpha = 0;
        for (size_t i = 3; i < px.size(); i += 4)
            max_alpha = std::max(max_alpha, px[i]);
        EXPECT_EQ(max_alpha, 255) << shot.png;
        pictures.push_back(px);
    }
    // The three treatments of the single view are different pictures, not one recoloured.
    auto difference = [&](size_t a, size_t b) {
        double sum = 0;
        for (size_t i = 0; i < pictures[a].size(); ++i)
            sum += std::abs(int(pictures[a][i]) - int(pictures[b][i]));
        return sum / double(pictures[a].size());
    };
    EXPECT_GT(difference(0, 3), 3.0);
    EXPECT_GT(difference(3, 5), 3.0);
    EXPECT_GT(difference(0, 5), 3.0);
}

TEST_F(AttractorTest, KickBrightensTheCloud)
{
    scene->cur_config = 0;
    const std::vector<unsigned char> calm = frames(20000);
    cMETrigger kick = note_on(2, 36, 20020);
    scene->handle_event(&kick);
    const std::vector<unsigned char> flash = frames(20020, 1);
    const auto m_calm = vnt_test::mean_rgba(calm), m_flash = vnt_test::mean_rgba(flash);
    EXPECT_GT(m_flash[0] + m_flash[1] + m_flash[2], 1.2 * (m_calm[0] + m_calm[1] + m_calm[2]));
}

// --- the demo's timeline ------------------------------------------------------------------

// The one attractor object behind depths 5, 100 and 110, driven by the demo's own composition.
TEST_F(AttractorTest, TimelineRowsDriveOneSceneThroughItsThreeLayers)
{
    cOfflineRunner runner(60); // before the scene manager starts its clock
    cSceneManager::get_instance()->set_music_live(false);
    cGlimmerfall demo;
    demo.setup();
    cSceneManager* manager = cSceneManager::get_instance();
    cSceneComposition* comp = manager->get_scene<cSceneComposition>();
    cSceneAttractor* attractor = manager->get_scene<cSceneAttractor>();
    ASSERT_TRUE(comp && attractor);
    EXPECT_EQ(manager->get_scene_by_name("attractors"), attractor);

    struct
    {
        int depth, start, end, mode;
    } rows[] = {{5, 0, 27000, 0}, {100, 196000, 222000, 3}, {110, 224000, 235000, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.depth);
        ASSERT_EQ(comp->layers().count(row.depth), 1u);
        const sLayer& layer = comp->layer(row.depth);
        EXPECT_EQ(layer.m_scene, attractor);
        EXPECT_EQ(layer.m_starttime, row.start);
        EXPECT_EQ(layer.m_endtime, row.end);
        EXPECT_EQ(layer.m_blendmode, row.mode);
    }

    cClock& clock = manager->clock();
    auto play = [&](int from, int to) {
        for (int t = from; t <= to; t += 40) {
            clock.prev = clock.now;
            clock.now = t;
            clock.start = 0;
            clock.paused_total = 0;
            comp->m_curtime = t; // no stall: the composition must not seek
            comp->update();
            attractor->update();
        }
    };
    play(0, 5000);
    EXPECT_EQ(attractor->cur_config, 0);
    EXPECT_EQ(attractor->ifsconfig, 0);
    EXPECT_EQ(attractor->cur_anim, 1);
    EXPECT_EQ(attractor->last_ifsconfig(), 0);
    EXPECT_NEAR(comp->layer(5).m_opacity, 0.5f, 0.01f); // ten seconds of fade-in
    play(195000, 210000);
    EXPECT_EQ(attractor->cur_config, 1);
    // Both rows hold from 224000 to 230000; the later one, the single view, wins.
    play(223000, 229000);
    EXPECT_EQ(attractor->cur_config, 0);
    cSceneManager::destroy_instance();
}
