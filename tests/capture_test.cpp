// Capture and benchmark runs: frame times on the fixed step, the range and its music, upright
// pictures in PNG files and video, and the demo executable's capture, benchmark and start
// options end to end.
#include <gtest/gtest.h>

#include <IL/il.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "author_keys.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "ffmpeg_sink.h"
#include "frame_sink.h"
#include "gl_extensions.h"
#include "load_screen.h"
#include "offline_runner.h"
#include "options.h"
#include "scene_manager.h"
#include "sound_module_sdl.h"
#include "support/gl_fixture.h"
#include "support/process.h"
#include "support/test_media.h"
#include "support/test_scenes.h"
#include "video_module.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 320; // the GL context of this test program
constexpr int kHeight = 180;

class cNoLoadScreen : public iLoadScreen
{
public:
    void show_progress(float, bool) override {}
};

// Keeps what a capture hands over.
class cMemorySink : public iFrameSink
{
public:
    bool open(int w, int h, int fps, std::string&) override
    {
        width = w;
        height = h;
        this->fps = fps;
        return true;
    }
    void set_audio(std::vector<int16_t> in_pcm, int in_rate) override
    {
        pcm = std::move(in_pcm);
        rate = in_rate;
    }
    bool write(const unsigned char* rgb, std::string&) override
    {
        if (frames++ == 0)
            first.assign(rgb, rgb + size_t(width) * size_t(height) * 3u);
        return true;
    }
    bool close(std::string&) override
    {
        closed = true;
        return true;
    }
    std::string describe() const override { return "memory"; }

    int width = 0, height = 0, fps = 0, rate = 0;
    long frames = 0;
    bool closed = false;
    std::vector<int16_t> pcm;
    std::vector<unsigned char> first;
};

// Red over the upper half of the picture, blue over the lower half.
class cTwoToneScene : public vnt_test::cColourScene
{
public:
    explicit cTwoToneScene(const cClock* in_clock) : cColourScene(in_clock, "twotone") {}
    void draw() override
    {
        const cVideoModule* video = cVideoModule::get_instance();
        const GLsizei w = GLsizei(video->get_vp_width());
        const GLsizei h = GLsizei(video->get_vp_height());
        glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, h / 2, w, h - h / 2);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, 0, w, h / 2);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<int16_t> read_pcm(const std::string& path)
{
    const std::string bytes = slurp(path);
    std::vector<int16_t> pcm(bytes.size() / 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] =
            int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1]) << 8));
    return pcm;
}

bool have_ffmpeg()
{
    return !cFfmpegSink::find_ffmpeg().empty();
}

// ffprobe's value of one entry ("format=duration", "stream=codec_type") as text.
std::string probe(const std::string& file, const std::string& entries,
                  const std::string& select = "")
{
    const auto r = vnt_test::run_process("ffprobe -v error " + select + " -show_entries " +
                                         entries + " -of default=nw=1:nk=1 '" + file + "'");
    return r.out;
}

// The first video frame of a file as RGB bytes, top row first.
std::vector<unsigned char> first_video_frame(const std::string& file, const std::string& raw)
{
    vnt_test::run_process("ffmpeg -v error -y -i '" + file +
                          "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + raw + "'");
    const std::string bytes = slurp(raw);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

// The sound of a file as 16-bit stereo at 44100 Hz.
std::vector<int16_t> decoded_audio(const std::string& file, const std::string& raw)
{
    vnt_test::run_process("ffmpeg -v error -y -i '" + file +
                          "' -vn -f s16le -acodec pcm_s16le -ar 44100 -ac 2 '" + raw + "'");
    return read_pcm(raw);
}

// The in-process runs: a manager on the runner's fixed step with one test scene.
class CaptureRun : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        vnt_test::ensure_gl(kWidth, kHeight);
        GLTest::SetUp();
        m_dir = vnt_test::temp_dir("capture");
        ASSERT_TRUE(vnt_test::write_silent_mp3(m_dir + "/song.mp3", 6000));
    }
    void TearDown() override
    {
        cSceneManager::destroy_instance();
        GLTest::TearDown();
    }
    // Call with a runner alive: its clock must be the one the manager starts on.
    cSceneManager* make(const std::string& markers)
    {
        cSceneManager::destroy_instance();
        vnt_test::write_text(m_dir + "/markers.txt", markers);
        cSceneManager* manager = cSceneManager::get_instance();
        manager->set_music_live(false);
        manager->init(m_dir + "/markers.txt", m_dir + "/song.mp3");
        m_scene = manager->add_scene<cTwoToneScene>();
        cNoLoadScreen loadscreen;
        manager->start(&loadscreen);
        return manager;
    }
    sFrameRange range(const std::string& from, const std::string& to, int fps)
    {
        sTimePoint a, b;
        EXPECT_TRUE(parse_time_point(from, a));
        EXPECT_TRUE(parse_time_point(to, b));
        sFrameRange r;
        std::string error, warning;
        EXPECT_TRUE(resolve_range(cSceneManager::get_instance()->event_queue(), a, b, fps, r, error,
                                  warning))
            << error;
        return r;
    }

    std::string m_dir;
    cTwoToneScene* m_scene = nullptr;
};

const char* const kMarkers = "s00 0:00:00,000\n"
                             "beat 0:00:01,100\n"
                             "s01 0:00:01,234\n"
                             "beat 0:00:01,240\n"
                             "beat 0:00:02,500\n"
                             "quit 0:00:04,000\n";

} // namespace

TEST(CaptureRange, MarksResolveAndTheQuitMarkEndsTheRange)
{
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::load_from_text(kMarkers));
    const auto resolve = [&](const cEventQueue* q, const char* from, const char* to,
                             sFrameRange& out, std::string& error, std::string& warning) {
        sTimePoint a, b;
        EXPECT_TRUE(parse_time_point(from, a));
        EXPECT_TRUE(parse_time_point(to, b));
        return resolve_range(q, a, b, 25, out, error, warning);
    };
    sFrameRange r;
    std::string error, warning;
    ASSERT_TRUE(resolve(queue.get(), "s01", "quit", r, error, warning)) << error;
    EXPECT_EQ(r.from_ms, 1234);
    EXPECT_EQ(r.to_ms, 4000);
    EXPECT_EQ(r.start_mark, 1);
    EXPECT_TRUE(warning.empty());

    // Past the quit mark: the quit event would end the program mid-run, so the range stops there.
    ASSERT_TRUE(resolve(queue.get(), "1500", "9000", r, error, warning)) << error;
    EXPECT_EQ(r.start_mark, -1);
    EXPECT_EQ(r.from_ms, 1500);
    EXPECT_EQ(r.to_ms, 4000);
    EXPECT_NE(warning.find("past the quit mark"), std::string::npos);

    // Marks the script lacks, empty ranges, marks without a script.
    EXPECT_FALSE(resolve(queue.get(), "s05", "quit", r, error, warning));
    EXPECT_NE(error.find("no mark \"s05\""), std::string::npos) << error;
    EXPECT_FALSE(resolve(queue.get(), "s01", "s00", r, error, warning));
    EXPECT_NE(error.find("empty"), std::string::npos) << error;
    EXPECT_FALSE(resolve(queue.get(), "s01", "1234", r, error, warning));
    EXPECT_FALSE(resolve(queue.get(), "4000", "quit", r, error, warning));
    EXPECT_FALSE(resolve(nullptr, "s00", "5000", r, error, warning));
    EXPECT_TRUE(resolve(nullptr, "100", "5000", r, error, warning)) << error;

    std::unique_ptr<cEventQueue> no_quit(cEventQueue_factory::load_from_text("s00 0:00:00,000\n"));
    EXPECT_FALSE(resolve(no_quit.get(), "s00", "quit", r, error, warning));
    EXPECT_TRUE(resolve(no_quit.get(), "s00", "99000", r, error, warning)) << error;
}

TEST(CaptureRange, LeadInAndFrameArithmetic)
{
    for (int fps = 1; fps <= 240; ++fps) {
        const long lead = lead_frames(fps);
        // A whole number of ms, at least the 150 ms the jump lands early, and the shortest.
        EXPECT_EQ(lead * 1000 % fps, 0) << fps;
        EXPECT_GE(lead * 1000 / fps, 150) << fps;
        for (long shorter = 1; shorter < lead; ++shorter)
            EXPECT_TRUE(shorter * 1000 % fps != 0 || shorter * 1000 / fps < 150) << fps;
    }
    EXPECT_EQ(lead_frames(60), 9);

    sFrameRange r;
    r.from_ms = 13333;
    r.to_ms = 25000;
    r.fps = 30;
    EXPECT_EQ(r.frames(), 351); // 11667 ms: 350.01 frames, the last one starts inside the range
    EXPECT_EQ(r.time_of(0), 13333);
    EXPECT_EQ(r.time_of(1), 13366);
    EXPECT_EQ(r.time_of(3), 13433);
    EXPECT_EQ(r.time_of(-1), 13299);
    EXPECT_LT(r.time_of(r.frames() - 1), r.to_ms);
    EXPECT_GE(r.time_of(r.frames()), r.to_ms);
    r.to_ms = 14333;
    EXPECT_EQ(r.frames(), 30);
    r.to_ms = r.from_ms;
    EXPECT_EQ(r.frames(), 0);
}

TEST(CaptureRange, MusicOfTheRangeStartsAtItsFirstFrame)
{
    const int rate = 44100;
    std::vector<int16_t> song(2 * rate * 2); // two seconds: left = frame index, right = -index
    for (int i = 0; i < rate * 2; ++i) {
        song[2 * i] = int16_t(i % 30000);
        song[2 * i + 1] = int16_t(-(i % 30000));
    }
    sFrameRange r;
    r.from_ms = 1000;
    r.to_ms = 1500;
    r.fps = 60;
    const std::vector<int16_t> pcm = range_audio(song, rate, r);
    ASSERT_EQ(pcm.size(), size_t(30 * 735 * 2)); // 30 frames of 735 sample frames
    EXPECT_EQ(pcm[0], int16_t(44100 % 30000));
    EXPECT_EQ(pcm[1], int16_t(-(44100 % 30000)));
    EXPECT_EQ(pcm[2 * 100], int16_t(44200 % 30000));

    // A range reaching past the end of the song is filled with silence.
    r.from_ms = 1990;
    r.to_ms = 2100;
    const std::vector<int16_t> tail = range_audio(song, rate, r);
    EXPECT_EQ(tail.size(), size_t(7 * 735 * 2));
    EXPECT_EQ(tail[0], int16_t((1990 * 441 / 10) % 30000));
    EXPECT_EQ(tail[2 * 500], 0);
    EXPECT_EQ(tail.back(), 0);
    EXPECT_TRUE(range_audio({}, rate, r).size() == tail.size());
}

TEST(CaptureRange, ProgressLine)
{
    EXPECT_EQ(progress_text(120, 600, 4.0), "frame 120/600 (20%), 30.0 fps, 0:16 left");
    EXPECT_EQ(progress_text(0, 600, 0.0), "frame 0/600 (0%), 0.0 fps, --:-- left");
    EXPECT_EQ(progress_text(600, 600, 10.0), "frame 600/600 (100%), 60.0 fps, 0:00 left");
    EXPECT_EQ(progress_text(1, 7201, 1.0), "frame 1/7201 (0%), 1.0 fps, 120:00 left");
}

TEST_F(CaptureRun, FramesShowTheRangeTimesAtEveryRate)
{
    for (int fps : {60, 30, 24, 7}) {
        SCOPED_TRACE(fps);
        cOfflineRunner runner(fps);
        runner.set_progress(false);
        make(kMarkers);
        const sFrameRange r = range("s01", "3000", fps);
        cMemorySink sink;
        ASSERT_EQ(runner.capture(r, sink, true), 0);
        const long expected = long(std::ceil((3000 - 1234) * fps / 1000.0));
        EXPECT_EQ(sink.frames, expected);
        EXPECT_TRUE(sink.closed);
        EXPECT_EQ(sink.width, kWidth);
        EXPECT_EQ(sink.height, kHeight);
        ASSERT_EQ(long(runner.frame_times().size()), expected);
        for (long k = 0; k < expected; ++k)
            ASSERT_EQ(runner.frame_times()[size_t(k)], 1234 + int(std::floor(k * 1000.0 / fps)))
                << k;
        // The music covers the frames exactly.
        EXPECT_EQ(sink.rate, 44100);
        EXPECT_EQ(long(sink.pcm.size()), 2 * std::lround(expected * 44100.0 / fps));
        // The beat before the start mark stays behind; the ones inside the range fire once.
        EXPECT_EQ(m_scene->m_event_times, (std::vector<int>{1240, 2500}));
    }
}

TEST_F(CaptureRun, StartingAtATimeAndBenchmarkingTheSameRange)
{
    {
        cOfflineRunner runner(50);
        runner.set_progress(false);
        make(kMarkers);
        const sFrameRange r = range("2000", "2400", 50);
        EXPECT_EQ(r.start_mark, -1);
        sBenchmarkSetup setup;
        cBenchmarkReport report(setup);
        int probes = 0;
        const tLayerProbe probe = [&](int t) {
            ++probes;
            return t < 2200 ? tActiveLayers{{3, "early"}} : tActiveLayers{{3, "late"}};
        };
        ASSERT_EQ(runner.benchmark(r, probe, report), 0);
        EXPECT_EQ(probes, 20);
        ASSERT_EQ(report.stretches().size(), 2u);
        EXPECT_EQ(report.stretches()[0].first_ms, 2000);
        EXPECT_EQ(report.stretches()[0].frame_ms.size(), 10u);
        EXPECT_EQ(report.stretches()[1].first_ms, 2200);
        EXPECT_EQ(report.stretches()[1].last_ms, 2380);
        EXPECT_GT(report.total().worst_ms, 0.0);
        EXPECT_EQ(m_scene->m_event_times, (std::vector<int>{})); // 2500 lies beyond
        EXPECT_EQ(m_scene->m_inits, 1);
    }
    // Without a capture the clock is the performance counter again.
    EXPECT_EQ(dynamic_cast<cFixedStepSource*>(cClock::source()), nullptr);
}

TEST_F(CaptureRun, PicturesAreUprightInPngFilesAndVideo)
{
    cOfflineRunner runner(30);
    runner.set_progress(false);
    make(kMarkers);
    const sFrameRange r = range("s01", "1300", 30);
    const std::string folder = m_dir + "/pngs";
    fs::create_directories(folder);
    vnt_test::write_text(folder + "/frame_000007.png", "left over"); // an earlier, longer run
    vnt_test::write_text(folder + "/notes.txt", "mine");
    cPngFolderSink pngs(folder);
    ASSERT_EQ(runner.capture(r, pngs, true), 0);
    EXPECT_TRUE(fs::exists(folder + "/frame_000000.png"));
    EXPECT_TRUE(fs::exists(folder + "/frame_000001.png"));
    EXPECT_FALSE(fs::exists(folder + "/frame_000002.png"));
    EXPECT_FALSE(fs::exists(folder + "/frame_000007.png"));
    EXPECT_TRUE(fs::exists(folder + "/notes.txt"));
    EXPECT_EQ(fs::file_size(folder + "/audio.wav"),
              44u + 2u * 1470u * 4u); // 2 frames, 16-bit stereo

    // Loaded with the lower-left origin the engine uses: the first row is the bottom one.
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilLoadImage((folder + "/frame_000000.png").c_str()));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), kWidth);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), kHeight);
    std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
    ilCopyPixels(0, 0, 0, kWidth, kHeight, 1, IL_RGB, IL_UNSIGNED_BYTE, rgb.data());
    ilDeleteImages(1, &image);
    EXPECT_EQ(rgb[0], 0); // bottom: blue
    EXPECT_EQ(rgb[2], 255);
    EXPECT_EQ(rgb[rgb.size() - 3], 255); // top: red
    EXPECT_EQ(rgb[rgb.size() - 1], 0);

    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    cSceneManager::destroy_instance();
    cOfflineRunner video_runner(30);
    video_runner.set_progress(false);
    make(kMarkers);
    const std::string file = m_dir + "/upright.mkv";
    cFfmpegSink video(file);
    ASSERT_EQ(video_runner.capture(range("s01", "1300", 30), video, true), 0);
    const std::vector<unsigned char> top_first = first_video_frame(file, m_dir + "/frame.rgb");
    ASSERT_EQ(top_first.size(), size_t(kWidth) * kHeight * 3);
    EXPECT_GT(top_first[0], 200); // top row: red
    EXPECT_LT(top_first[2], 50);
    EXPECT_LT(top_first[top_first.size() - 3], 50); // bottom row: blue
    EXPECT_GT(top_first[top_first.size() - 1], 200);
}

TEST_F(CaptureRun, OutputFailuresEndTheCaptureWithStatusOne)
{
    cOfflineRunner runner(30);
    runner.set_progress(false);
    make(kMarkers);
    vnt_test::write_text(m_dir + "/plain_file", "x");
    cPngFolderSink blocked(m_dir + "/plain_file/frames");
    testing::internal::CaptureStderr();
    EXPECT_EQ(runner.capture(range("s01", "1300", 30), blocked, false), 1);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("## ERROR: capture: cannot make the folder"),
        std::string::npos);
}

TEST(FfmpegSink, VideoKeepsItsLengthAndTheSoundInPlace)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    const std::string dir = vnt_test::temp_dir("ffmpeg_sink");
    const int w = 64, h = 48, fps = 30, frames = 30, rate = 44100;
    // One second of silence with a loud 1 kHz tone from 0.5 s on.
    std::vector<int16_t> pcm(size_t(rate) * 2, 0);
    for (int i = rate / 2; i < rate; ++i) {
        const int16_t v = int16_t(16000 * std::sin(2.0 * M_PI * 1000.0 * (i - rate / 2) / rate));
        pcm[2 * size_t(i)] = pcm[2 * size_t(i) + 1] = v;
    }
    for (const char* name : {"/sound.mp4", "/sound.mkv"}) {
        SCOPED_TRACE(name);
        const std::string file = dir + name;
        cFfmpegSink sink(file);
        sink.set_audio(pcm, rate);
        std::string error;
        ASSERT_TRUE(sink.open(w, h, fps, error)) << error;
        std::vector<unsigned char> rgb(size_t(w) * h * 3, 128);
        for (int k = 0; k < frames; ++k)
            ASSERT_TRUE(sink.write(rgb.data(), error)) << error;
        ASSERT_TRUE(sink.close(error)) << error;

        EXPECT_NEAR(std::stod(probe(file, "format=duration")), 1.0, 1.0 / fps);
        EXPECT_EQ(probe(file, "stream=codec_type"), "video\naudio\n");
        EXPECT_EQ(probe(file, "stream=codec_name,pix_fmt", "-select_streams v:0"),
                  "h264\nyuv420p\n");

        const std::vector<int16_t> heard = decoded_audio(file, dir + "/sound.pcm");
        ASSERT_GT(heard.size(), size_t(rate));
        size_t onset = 0;
        while (onset < heard.size() / 2 && std::abs(heard[2 * onset]) < 8000)
            ++onset;
        EXPECT_NEAR(double(onset), rate / 2.0, rate * 0.002) << "tone starts at sample " << onset;
    }
    // The temporary sound file is gone.
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().filename().string().rfind(
                      "glimmerfall-capture-" + std::to_string(::getpid()), 0),
                  std::string::npos);
}

TEST(FfmpegSink, AFailingFfmpegIsReported)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    const std::string dir = vnt_test::temp_dir("ffmpeg_fail");
    cFfmpegSink sink(dir + "/missing_folder/out.mp4");
    std::string error;
    EXPECT_FALSE(sink.open(64, 48, 30, error));
    EXPECT_NE(error.find("no folder"), std::string::npos) << error;

    // ffmpeg refuses an odd size for yuv420p and stops reading: writes and close say so.
    cFfmpegSink odd(dir + "/odd.mp4");
    ASSERT_TRUE(odd.open(63, 47, 30, error)) << error;
    std::vector<unsigned char> rgb(63 * 47 * 3, 0);
    bool wrote_all = true;
    for (int k = 0; k < 200 && wrote_all; ++k)
        wrote_all = odd.write(rgb.data(), error);
    EXPECT_FALSE(wrote_all && odd.close(error));
    EXPECT_FALSE(error.empty());
}

// --- the demo executable -------------------------------------------------------------------

namespace {

// Times of the demo's marks, from the marker script the build generated.
int demo_mark(const char* name)
{
    std::unique_ptr<cEventQueue> queue(
        cEventQueue_factory::loadFile(vnt_test::source_dir() + "/data/script/markers.txt"));
    return mark_time(queue.get(), mark_id(name));
}

std::vector<std::string> files_in(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(DemoCapture, TheSameCaptureTwiceGivesIdenticalFiles)
{
    const std::string dir = vnt_test::temp_dir("demo_png");
    const int from = demo_mark("s01");
    ASSERT_GE(from, 0);
    const int fps = 25;
    const std::string args = " --size 64x36 --fps 25 --from s01 --to " + std::to_string(from + 600);
    const auto a = vnt_test::run_process(vnt_test::demo_exe() + " --capture " + dir + "/a" + args);
    ASSERT_EQ(a.status, 0) << a.err;
    const auto b = vnt_test::run_process(vnt_test::demo_exe() + " --capture " + dir + "/b" + args);
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_NE(a.err.find("# capture: frame 15/15 (100%)"), std::string::npos) << a.err;

    const std::vector<std::string> names = files_in(dir + "/a");
    ASSERT_EQ(names, files_in(dir + "/b"));
    ASSERT_EQ(names.size(), size_t(600 * fps / 1000 + 1)); // 15 frames and audio.wav
    EXPECT_EQ(names.front(), "audio.wav");
    EXPECT_EQ(names.back(), "frame_000014.png");
    for (const std::string& name : names)
        EXPECT_EQ(slurp(dir + "/a/" + name), slurp(dir + "/b/" + name)) << name;
}

TEST(DemoCapture, VideoLastsTheRangeAndCarriesTheMusicInStep)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    const std::string dir = vnt_test::temp_dir("demo_mp4");
    const int from = demo_mark("s02");
    const int to = from + 1500;
    const int fps = 24;
    const auto run = vnt_test::run_process(vnt_test::demo_exe() + " --capture " + dir +
                                           "/demo.mp4 --size 64x36 --fps 24 --from s02 --to " +
                                           std::to_string(to));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string file = dir + "/demo.mp4";
    const double range_s = (to - from) / 1000.0;
    EXPECT_NEAR(std::stod(probe(file, "format=duration")), range_s, 1.0 / fps);
    EXPECT_NEAR(std::stod(probe(file, "stream=duration", "-select_streams v:0")), range_s,
                1.0 / fps);
    EXPECT_EQ(probe(file, "stream=codec_type", "-select_streams a"), "audio\n");

    // The sound at the start of the video is the song at the start of the range: the best
    // match of the two lies within a millisecond.
    cSoundModule_sdl song;
    song.init();
    song.load(vnt_test::source_dir() + "/data/music/goa3_4_master.mp3");
    const std::vector<int16_t>& music = song.samples();
    const std::vector<int16_t> heard = decoded_audio(file, dir + "/demo.pcm");
    const long start = long(from) * 441 / 10;
    const long window = 22050, reach = 4410; // half a second compared, lags up to 100 ms
    ASSERT_GT(long(heard.size()) / 2, window + reach);
    ASSERT_GT(long(music.size()) / 2, start + window + 2 * reach);
    long best_lag = 0;
    double best = -1e300;
    for (long lag = -reach; lag <= reach; ++lag) {
        if (start + lag < 0)
            continue;
        double dot = 0;
        for (long i = 0; i < window; i += 2)
            dot += double(heard[size_t(2 * (i + reach))]) *
                   double(music[size_t(2 * (start + lag + i + reach))]);
        if (dot > best) {
            best = dot;
            best_lag = lag;
        }
    }
    EXPECT_LE(std::abs(best_lag), 44) << "video sound is " << best_lag << " samples off";
}

TEST(DemoCapture, StartLandsOnTheMarkOrTime)
{
    const int s03 = demo_mark("s03");
    ASSERT_GT(s03, 0);
    for (const auto& [arg, expected] :
         std::vector<std::pair<std::string, int>>{{"s03", s03 - 150}, {"61500", 61350}}) {
        const auto run =
            vnt_test::run_process(vnt_test::demo_exe() + " --windowed --frames 2 --start " + arg);
        ASSERT_EQ(run.status, 0) << run.err;
        // The first change is the start of play at -150 ms, the next one the jump.
        const size_t play = run.out.find("changed time to -150ms\n");
        ASSERT_NE(play, std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("changed time to ", play + 1),
                  run.out.find("changed time to " + std::to_string(expected) + "ms\n"))
            << run.out;
    }
}

TEST(DemoCapture, BadRequestsAreRefusedWithStatusTwo)
{
    const std::string exe = vnt_test::demo_exe();
    for (const char* args :
         {"--capture x --size 1281x720", "--capture x --size 0x0", "--benchmark --size 64x",
          "--start s99", "--capture x --from s22", "--capture x --fps 0", "--capture x.avi"}) {
        const auto run = vnt_test::run_process(exe + " " + args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.err;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    // A mark name the script does not hold is found out once the script is read.
    const auto missing = vnt_test::run_process(exe + " --windowed --frames 2 --start s100");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no mark \"s100\""), std::string::npos) << missing.err;
    const auto missing_capture =
        vnt_test::run_process(exe + " --capture " + vnt_test::temp_dir("s100") + " --from s100");
    EXPECT_EQ(missing_capture.status, 2);

    // Without ffmpeg a video capture is refused before anything is loaded, with a way out.
    const auto no_ffmpeg =
        vnt_test::run_process("PATH=/nonexistent " + exe + " --capture /tmp/never.mp4");
    EXPECT_EQ(no_ffmpeg.status, 2);
    EXPECT_NE(no_ffmpeg.err.find("ffmpeg"), std::string::npos);
    EXPECT_NE(no_ffmpeg.err.find("apt-get install ffmpeg"), std::string::npos) << no_ffmpeg.err;
    EXPECT_EQ(no_ffmpeg.out.find("glsl"), std::string::npos);
}

TEST(DemoCapture, BenchmarkPrintsTheTableAndWritesJson)
{
    const std::string dir = vnt_test::temp_dir("demo_bench");
    const int from = demo_mark("s01");
    const auto run = vnt_test::run_process(vnt_test::demo_exe() + " --benchmark-json " + dir +
                                           "/bench.json --size 64x36"
                                           " --fps 20 --from s01 --to " +
                                           std::to_string(from + 1000));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# benchmark: 64x36, 20 fps, s01 (" + std::to_string(from) + " ms)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("median ms"), std::string::npos);
    EXPECT_NE(run.out.find("overall: 20 frames in "), std::string::npos) << run.out;
    const std::string json = slurp(dir + "/bench.json");
    EXPECT_NE(json.find("\"stretches\": ["), std::string::npos) << json;
    EXPECT_NE(json.find("\"total\": {\"frames\": 20,"), std::string::npos) << json;
}
