// Capture and benchmark runs: frame times on the fixed step, the range and its music, upright
// pictures in PNG files and video, and the demo executable's capture, benchmark and start
// options end to end.
#include <gtest/gtest.h>

#include <IL/il.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
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
#include "support/gl_fixture.h"
#include "support/process.h"
#include "support/test_media.h"
#include "support/test_scenes.h"

namespace fs = std::filesystem;
using vnt_test::run_process;

namespace {

constexpr int kWidth = 320; // the GL context of this test program
constexpr int kHeight = 180;

const char* const kMarkers = "s00 0:00:00,000\nbeat 0:00:01,100\ns01 0:00:01,234\n"
                             "beat 0:00:01,240\nbeat 0:00:02,500\nquit 0:00:04,000\n";

// Keeps what a capture hands over: the green of each frame's first pixel, which the two-tone
// scene counts up with every frame drawn. Fails the write of frame `fail_at`.
struct sMemorySink : iFrameSink
{
    bool open(int w, int h, int, std::string&) override
    {
        width = w;
        height = h;
        return true;
    }
    void set_audio(std::vector<int16_t> in_pcm, int) override { pcm = std::move(in_pcm); }
    bool write(const unsigned char* in_rgb, std::string& out_error) override
    {
        out_error = "full";
        greens.push_back(in_rgb[1]);
        return frames++ != fail_at;
    }
    bool close(std::string&) override { return closed = true; }
    std::string describe() const override { return "memory"; }

    int width = 0, height = 0;
    long frames = 0;
    long fail_at = -1;
    std::vector<unsigned char> greens;
    bool closed = false;
    std::vector<int16_t> pcm;
};

// Red over the upper half of the picture, blue over the lower half, whose green counts the
// frames drawn.
struct sTwoToneScene : vnt_test::cColourScene
{
    explicit sTwoToneScene(const cClock* in_clock) : cColourScene(in_clock, "twotone") {}
    void draw() override
    {
        ++m_draws;
        glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, kHeight / 2, kWidth, kHeight / 2);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, 0, kWidth, kHeight / 2);
        glClearColor(0, float(m_draws % 256) / 255.0f, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }
    int m_draws = 0;
};

// Decided apart from the product's own lookup, so that a broken lookup fails the video tests
// rather than skipping them. test.sh installs ffmpeg, so a missing one is a failure unless
// VANTOR_TESTS_WITHOUT_FFMPEG is set.
bool have_ffmpeg()
{
    static const bool found = std::system("ffmpeg -version >/dev/null 2>&1") == 0;
    if (!found && !std::getenv("VANTOR_TESTS_WITHOUT_FFMPEG"))
        ADD_FAILURE() << "ffmpeg is not on the PATH (set VANTOR_TESTS_WITHOUT_FFMPEG to skip)";
    return found;
}

// ffprobe's values of `entries` ("format=duration"), one a line.
std::string probe(const std::string& file, const std::string& entries, const char* select = "")
{
    return run_process("ffprobe -v error " + std::string(select) + " -show_entries " + entries +
                       " -of default=nw=1:nk=1 '" + file + "'")
        .out;
}

// A file decoded by ffmpeg into raw bytes: `format` like "-frames:v 1 -f rawvideo -pix_fmt rgb24".
std::string decoded(const std::string& file, const std::string& format)
{
    const std::string raw = file + ".raw";
    run_process("ffmpeg -v error -y -i '" + file + "' " + format + " '" + raw + "'");
    return vnt_test::read_file(raw);
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
        vnt_test::write_text(m_dir + "/markers.txt", kMarkers);
    }
    void TearDown() override
    {
        m_runner.reset();
        cSceneManager::destroy_instance();
        GLTest::TearDown();
    }
    // A fresh runner at `fps` and a fresh manager, which starts on the runner's clock.
    cOfflineRunner& make(int fps)
    {
        m_runner.reset(); // first: a runner gives the clock back when it goes
        m_runner = std::make_unique<cOfflineRunner>(fps);
        m_runner->set_progress(false);
        cSceneManager::destroy_instance();
        cSceneManager* manager = cSceneManager::get_instance();
        manager->set_music_live(false);
        manager->init(m_dir + "/markers.txt", m_dir + "/song.mp3");
        m_scene = manager->add_scene<sTwoToneScene>();
        vnt_test::sNoLoadScreen loadscreen;
        manager->start(&loadscreen);
        return *m_runner;
    }

    std::unique_ptr<cOfflineRunner> m_runner;
    std::string m_dir;
    sTwoToneScene* m_scene = nullptr;
};

// The range between two points of the manager's (or the given) marker events; fps 0 when it is
// refused, with the message or the warning in `note`.
sFrameRange range(const char* from, const char* to, int fps, std::string* note = nullptr,
                  const cEventQueue* queue = cSceneManager::get_instance()->event_queue())
{
    sTimePoint a, b;
    EXPECT_TRUE(parse_time_point(from, a) && parse_time_point(to, b));
    sFrameRange r;
    std::string error, warning;
    if (!resolve_range(queue, a, b, fps, r, error, warning))
        r.fps = 0;
    if (note)
        *note = warning.empty() ? error : warning;
    return r;
}

} // namespace

TEST(CaptureRange, MarksResolveAndTheQuitMarkEndsTheRange)
{
    std::unique_ptr<cEventQueue> q(cEventQueue_factory::load_from_text(kMarkers));
    std::string note;
    sFrameRange r = range("s01", "quit", 25, &note, q.get());
    EXPECT_EQ(std::tuple(r.from_ms, r.to_ms, r.start_mark, note), std::tuple(1234, 4000, 1, ""));
    // Past the quit mark: its event would end the program mid-run, so the range stops there.
    r = range("1500", "9000", 25, &note, q.get());
    EXPECT_EQ(std::pair(r.start_mark, r.to_ms), std::pair(-1, 4000));
    EXPECT_NE(note.find("past the quit mark"), std::string::npos);
    // Marks the script lacks, empty ranges, marks without a script.
    EXPECT_EQ(range("s05", "quit", 25, &note, q.get()).fps, 0);
    EXPECT_NE(note.find("no mark \"s05\""), std::string::npos) << note;
    EXPECT_EQ(range("s01", "s00", 25, &note, q.get()).fps, 0);
    EXPECT_EQ(range("s01", "1234", 25, &note, q.get()).fps, 0);
    EXPECT_EQ(range("4000", "quit", 25, &note, q.get()).fps, 0);
    EXPECT_EQ(range("s00", "5000", 25, &note, nullptr).fps, 0);
    EXPECT_EQ(range("100", "5000", 25, &note, nullptr).fps, 25);
}

TEST(CaptureRange, FrameArithmeticLeadInAndMusic)
{
    for (int fps = 1; fps <= 240; ++fps) {
        // The lead-in lasts a whole number of ms, at least the 150 ms the jump lands early, and
        // no more frames than that needs.
        const long lead = lead_frames(fps);
        EXPECT_TRUE(lead * 1000 % fps == 0 && lead * 1000 / fps >= 150) << fps;
        for (long shorter = 1; shorter < lead; ++shorter)
            EXPECT_TRUE(shorter * 1000 % fps != 0 || shorter * 1000 / fps < 150) << fps;
    }
    sFrameRange r{13333, 25000, -1, 30};
    EXPECT_EQ(r.frames(), 351); // 350.01 frames: the last one starts inside the range
    EXPECT_EQ(std::pair(r.time_of(3), r.time_of(-1)), std::pair(13433, 13299));
    EXPECT_EQ(sFrameRange({13333, 14333, -1, 30}).frames(), 30);

    std::vector<int16_t> song(2 * 88200); // two seconds: each sample is its frame's index
    for (size_t i = 0; i < song.size(); ++i)
        song[i] = int16_t((i / 2) % 30000);
    const std::vector<int16_t> pcm = range_audio(song, 44100, {1000, 1500, -1, 60});
    EXPECT_EQ(pcm.size(), size_t(30 * 735 * 2)); // 30 frames of 735 sample frames
    EXPECT_EQ(pcm[0], 44100 % 30000);
    const std::vector<int16_t> tail = range_audio(song, 44100, {1990, 2100, -1, 60});
    EXPECT_EQ(tail[0], (1990 * 441 / 10) % 30000);
    EXPECT_EQ(tail[2 * 500], 0); // past the end of the song: silence
    EXPECT_EQ(progress_text(120, 600, 4.0), "frame 120/600 (20%), 30.0 fps, 0:16 left");
    EXPECT_EQ(progress_text(0, 600, 0.0), "frame 0/600 (0%), 0.0 fps, --:-- left");
}

TEST(CaptureRange, PreRollGoesBackToEveryWindowOfTheScenesShown)
{
    // The lead-in with a pre-roll stays on the grid of whole ms and covers it plus the jump.
    for (int fps : {7, 24, 30, 60, 144}) {
        const long lead = lead_frames(fps, 12345);
        EXPECT_TRUE(lead * 1000 % fps == 0 && lead * 1000 / fps >= 12345 + 150) << fps;
        EXPECT_EQ(lead_frames(fps, 0), lead_frames(fps)) << fps;
    }
    const int a = 0, b = 0, c = 0; // three scenes
    const std::vector<sLayerSpan> spans = {{0, 27000, &a},       {13000, 26000, &b},
                                           {25000, 40000, &c},   {196000, 222000, &a},
                                           {224000, 235000, &a}, {168000, 196000, &c}};
    EXPECT_EQ(replay_before(spans, 1500), 1500);
    EXPECT_EQ(replay_before(spans, 25500), 25500);           // a from 0
    EXPECT_EQ(replay_before(spans, 30000), 5000);            // c alone
    EXPECT_EQ(replay_before(spans, 170000), 170000 - 25000); // c's earlier window
    EXPECT_EQ(replay_before(spans, 225000), 225000);         // a's first window
    EXPECT_EQ(replay_before(spans, 223000), 0);              // nothing shown
    EXPECT_EQ(replay_before({}, 5000), 0);
}

TEST_F(CaptureRun, FramesShowTheRangeTimesAtEveryRate)
{
    for (int fps : {60, 30, 24, 7}) {
        SCOPED_TRACE(fps);
        cOfflineRunner& runner = make(fps);
        sMemorySink sink;
        ASSERT_EQ(runner.capture(range("s01", "3000", fps), sink, true), 0);
        const long expected = long(std::ceil((3000 - 1234) * fps / 1000.0));
        // One green per frame written.
        ASSERT_EQ(std::tuple(sink.frames, sink.closed, sink.width, sink.height),
                  std::tuple(expected, true, kWidth, kHeight));
        ASSERT_EQ(long(runner.frame_times().size()), expected);
        // Read back a few frames behind and written on another thread, the pictures still
        // arrive each once and in order.
        for (long k = 1; k < expected; ++k)
            ASSERT_EQ(sink.greens[size_t(k)], uint8_t(sink.greens[0] + k)) << k;
        for (long k = 0; k < expected; ++k)
            ASSERT_EQ(runner.frame_times()[size_t(k)], 1234 + int(std::floor(k * 1000.0 / fps)));
        EXPECT_EQ(long(sink.pcm.size()), 2 * std::lround(expected * 44100.0 / fps));
        // The beat before the start mark stays behind; those inside the range fire once.
        EXPECT_EQ(m_scene->m_event_times, (std::vector<int>{1240, 2500}));
    }
    // Without a runner the clock reads the performance counter again.
    m_runner.reset();
    EXPECT_EQ(dynamic_cast<cFixedStepSource*>(cClock::source()), nullptr);
}

TEST_F(CaptureRun, PicturesAreUprightInPngFilesAndVideo)
{
    cOfflineRunner& runner = make(30);
    const std::string folder = m_dir + "/pngs";
    fs::create_directories(folder);
    vnt_test::write_text(folder + "/frame_000007.png", "x"); // from an earlier, longer capture
    vnt_test::write_text(folder + "/notes.txt", "mine");
    cPngFolderSink pngs(folder);
    ASSERT_EQ(runner.capture(range("s01", "1300", 30), pngs, true), 0);
    EXPECT_TRUE(fs::exists(folder + "/frame_000001.png"));
    EXPECT_FALSE(fs::exists(folder + "/frame_000002.png"));
    EXPECT_FALSE(fs::exists(folder + "/frame_000007.png"));
    EXPECT_TRUE(fs::exists(folder + "/notes.txt"));
    EXPECT_EQ(fs::file_size(folder + "/audio.wav"), 44u + 2u * 1470u * 4u); // 2 frames' worth

    // Loaded with the engine's lower-left origin: the first row is the bottom one.
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilLoadImage((folder + "/frame_000000.png").c_str()));
    std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
    ilCopyPixels(0, 0, 0, kWidth, kHeight, 1, IL_RGB, IL_UNSIGNED_BYTE, rgb.data());
    ilDeleteImages(1, &image);
    EXPECT_EQ(rgb[0] * 1000 + rgb[2], 255);                     // bottom: blue
    EXPECT_EQ(rgb[rgb.size() - 3] * 1000 + rgb.back(), 255000); // top: red

    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    cFfmpegSink video(m_dir + "/upright.mkv");
    ASSERT_EQ(make(30).capture(range("s01", "1300", 30), video, true), 0);
    const std::string top_first =
        decoded(m_dir + "/upright.mkv", "-frames:v 1 -f rawvideo -pix_fmt rgb24");
    ASSERT_EQ(top_first.size(), size_t(kWidth) * kHeight * 3);
    EXPECT_TRUE(uint8_t(top_first[0]) > 200 && uint8_t(top_first[2]) < 50); // top row: red
    EXPECT_TRUE(uint8_t(top_first[top_first.size() - 3]) < 50 && uint8_t(top_first.back()) > 200);
}

TEST_F(CaptureRun, AnOutputThatCannotBeWrittenEndsWithStatusOne)
{
    cOfflineRunner& runner = make(30);
    vnt_test::write_text(m_dir + "/plain_file", "x");
    cPngFolderSink blocked(m_dir + "/plain_file/frames");
    testing::internal::CaptureStderr();
    EXPECT_EQ(runner.capture(range("s01", "1300", 30), blocked, false), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("## ERROR: capture: cannot make"),
              std::string::npos);

    // A write that fails mid-run: nothing after it is written, and the output is closed.
    sMemorySink full;
    full.fail_at = 4;
    testing::internal::CaptureStderr();
    EXPECT_EQ(make(30).capture(range("s01", "3000", 30), full, false), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("## ERROR: capture: full"),
              std::string::npos);
    EXPECT_EQ(std::pair(full.frames, full.closed), std::pair(5L, true));
}

TEST(FfmpegSink, FramesGoUprightInVideoLevelsWithOddEdgesRepeated)
{
    // 3 x 3, bottom row first: blue under two rows of red. Upright, the red rows come first;
    // the last chroma row and column have one pixel row or column of their own, repeated.
    const unsigned char red[3] = {255, 0, 0}, blue[3] = {0, 0, 255};
    std::vector<unsigned char> rgb;
    for (const unsigned char* row : {blue, red, red})
        for (int i = 0; i < 3; ++i)
            rgb.insert(rgb.end(), row, row + 3);
    std::vector<uint8_t> yuv(5, 7); // resized, every byte written
    cFfmpegSink::to_yuv420(rgb.data(), 3, 3, yuv);
    ASSERT_EQ(yuv.size(), 9u + 2u * 4u);
    // BT.601 video levels: red Y 82, Cb 90, Cr 240; blue Y 41, Cb 240, Cr 110.
    const int expected[17] = {82, 82, 82,  82,  82,  82,  41,  41, 41,
                              90, 90, 240, 240, 240, 240, 110, 110};
    for (size_t k = 0; k < yuv.size(); ++k)
        EXPECT_NEAR(int(yuv[k]), expected[k], 1) << k;

    // White and black reach the ends of the video range, grey stays grey.
    for (auto [level, y] : {std::pair{255, 235}, {0, 16}, {128, 126}}) {
        const std::vector<unsigned char> flat(2 * 2 * 3, (unsigned char)level);
        cFfmpegSink::to_yuv420(flat.data(), 2, 2, yuv);
        EXPECT_EQ(std::vector<int>(yuv.begin(), yuv.end()),
                  std::vector<int>({y, y, y, y, 128, 128}));
    }
}

// The scheduling policies of the threads of this process's child named ffmpeg (none while
// there is no such child).
static std::vector<int> ffmpeg_thread_policies()
{
    std::vector<int> policies;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        std::string line, name;
        int parent = -1;
        while (std::getline(status, line)) {
            if (line.rfind("Name:", 0) == 0)
                name = line.substr(line.find_first_not_of(" \t", 5));
            if (line.rfind("PPid:", 0) == 0)
                parent = std::stoi(line.substr(5));
        }
        if (name != "ffmpeg" || parent != ::getpid())
            continue;
        std::error_code ec;
        for (const auto& task : fs::directory_iterator(entry.path() / "task", ec))
            policies.push_back(sched_getscheduler(std::stoi(task.path().filename())));
    }
    return policies;
}

TEST(FfmpegSink, TheEncoderRunsOnlyOnIdleTime)
{
    // ffmpeg and every thread it starts run under the idle policy, from its first frame on.
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    cFfmpegSink sink(vnt_test::temp_dir("ffmpeg_idle") + "/idle.mkv");
    std::string error;
    ASSERT_TRUE(sink.open(64, 48, 30, error)) << error;
    const std::vector<unsigned char> rgb(64 * 48 * 3, 90);
    for (int k = 0; k < 10; ++k)
        ASSERT_TRUE(sink.write(rgb.data(), error)) << error;
    // The program may still be starting: up to ten seconds for it, then a moment for the
    // encoder to start its threads.
    std::vector<int> policies;
    for (int wait = 0; wait < 200 && policies.empty(); ++wait) {
        ::usleep(50000);
        policies = ffmpeg_thread_policies();
    }
    ::usleep(300000);
    policies = ffmpeg_thread_policies();
    ASSERT_TRUE(sink.close(error)) << error;
    ASSERT_FALSE(policies.empty());
    for (int policy : policies)
        EXPECT_EQ(policy, SCHED_IDLE);
}

TEST(FfmpegSink, VideoKeepsItsLengthAndTheSoundInPlace)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    const std::string dir = vnt_test::temp_dir("ffmpeg_sink");
    const int rate = 44100;
    // One second of silence with a loud 1 kHz tone from 0.5 s on, under 30 grey frames.
    std::vector<int16_t> pcm(size_t(rate) * 2, 0);
    for (int i = rate / 2; i < rate; ++i)
        pcm[2 * size_t(i)] = pcm[2 * size_t(i) + 1] =
            int16_t(16000 * std::sin(2.0 * M_PI * 1000.0 * (i - rate / 2) / rate));
    for (const char* name : {"/sound.mp4", "/sound.mkv"}) {
        SCOPED_TRACE(name);
        const std::string file = dir + name;
        cFfmpegSink sink(file);
        sink.set_audio(pcm, rate);
        std::string error;
        ASSERT_TRUE(sink.open(64, 48, 30, error)) << error;
        const std::vector<unsigned char> rgb(64 * 48 * 3, 128);
        for (int k = 0; k < 30; ++k)
            ASSERT_TRUE(sink.write(rgb.data(), error)) << error;
        ASSERT_TRUE(sink.close(error)) << error;

        EXPECT_NEAR(std::stod(probe(file, "format=duration")), 1.0, 1.0 / 30);
        EXPECT_EQ(probe(file, "stream=codec_type"), "video\naudio\n");
        EXPECT_EQ(probe(file, "stream=codec_name,pix_fmt", "-select_streams v:0"),
                  "h264\nyuv420p\n");
        // The tone starts where it was given (the encoder's priming must not delay it).
        const std::string heard = decoded(file, "-vn -f s16le -ar 44100 -ac 2");
        size_t onset = 0;
        while (4 * onset + 1 < heard.size() &&
               std::abs(int16_t(uint8_t(heard[4 * onset]) | uint8_t(heard[4 * onset + 1]) << 8)) <
                   8000)
            ++onset;
        EXPECT_NEAR(double(onset), rate / 2.0, rate * 0.002);
    }
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) // no WAV left
        EXPECT_NE(entry.path().filename().string(),
                  "vantor-capture-" + std::to_string(::getpid()) + ".wav");
}

// --- the demo executable -------------------------------------------------------------------

namespace {

// Time of a mark of the demo's marker script, as the build generated it.
int demo_mark(const char* name)
{
    std::unique_ptr<cEventQueue> queue(
        cEventQueue_factory::loadFile(vnt_test::source_dir() + "/data/script/markers.txt"));
    return mark_time(queue.get(), mark_id(name));
}

} // namespace

TEST(DemoCapture, TheSameCaptureTwiceGivesIdenticalFiles)
{
    const std::string dir = vnt_test::temp_dir("demo_png");
    const std::string args =
        " --size 64x36 --fps 25 --from s01 --to " + std::to_string(demo_mark("s01") + 600);
    for (const char* out : {"/a", "/b"}) {
        const auto run = run_process(vnt_test::demo_exe() + " --capture " + dir + out + args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("# capture: frame 15/15 (100%)"), std::string::npos) << run.err;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir + "/a"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 16u); // 600 ms at 25 fps, and the sound
    EXPECT_EQ(names.back(), "frame_000014.png");
    for (const std::string& name : names)
        EXPECT_EQ(vnt_test::read_file(dir + "/a/" + name), vnt_test::read_file(dir + "/b/" + name))
            << name;
}

TEST(DemoCapture, VideoLastsTheRangeAndHasSound)
{
    if (!have_ffmpeg())
        GTEST_SKIP() << "no ffmpeg";
    const std::string file = vnt_test::temp_dir("demo_mp4") + "/demo.mp4";
    const auto run = run_process(vnt_test::demo_exe() + " --capture " + file +
                                 " --size 64x36 --fps 24 --from s02 --to " +
                                 std::to_string(demo_mark("s02") + 1500));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NEAR(std::stod(probe(file, "format=duration")), 1.5, 1.0 / 24);
    EXPECT_NEAR(std::stod(probe(file, "stream=duration", "-select_streams v:0")), 1.5, 1.0 / 24);
    EXPECT_EQ(probe(file, "stream=codec_type", "-select_streams a"), "audio\n");
}

TEST(DemoCapture, StartLandsOnTheMarkOrTime)
{
    const int s03 = demo_mark("s03");
    for (const auto& [arg, expected] :
         std::vector<std::pair<std::string, int>>{{"s03", s03 - 150}, {"61500", 61350}}) {
        const auto run =
            run_process(vnt_test::demo_exe() + " --windowed --frames 2 --start " + arg);
        ASSERT_EQ(run.status, 0) << run.err;
        // The first change of time is the start of play at -150 ms, the next one the jump.
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
    // A mark name the script does not hold is found out once the script is read.
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"--capture x --size 1281x720", "--size needs WxH, each a multiple of 4"},
             {"--benchmark --size 64x", "--size needs WxH"},
             {"--start s99", "--start: unknown mark \"s99\""},
             {"--capture x --from s22", "--from: unknown mark \"s22\""},
             {"--capture x.avi", "captures are .mp4 or .mkv videos, or PNG files in a folder"},
             {"--windowed --frames 2 --start s100", "the marker script has no mark \"s100\""},
             {"--capture " + vnt_test::temp_dir("s100") + " --from s100",
              "the marker script has no mark \"s100\""},
             {"--frames", "usage: glimmerfall"},
             {"--frames abc", "usage: glimmerfall"},
             {"--frames -3", "usage: glimmerfall"},
             {"--frobnicate", "usage: glimmerfall"}}) {
        const auto run = run_process(exe + " " + args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << "\n" << run.err;
    }
    // Without ffmpeg a video capture is refused before anything loads, with a way out.
    const auto run = run_process("PATH=/nonexistent " + exe + " --capture /tmp/never.mp4");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("apt-get install ffmpeg"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("glsl"), std::string::npos);
}

TEST(DemoCapture, BenchmarkPrintsTheTableAndWritesJson)
{
    const std::string json = vnt_test::temp_dir("demo_bench") + "/bench.json";
    const int from = demo_mark("s01");
    const auto run =
        run_process(vnt_test::demo_exe() + " --benchmark-json " + json +
                    " --size 64x36 --fps 20 --from s01 --to " + std::to_string(from + 1000));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# benchmark: 64x36, 20 fps, s01 (" + std::to_string(from) + " ms)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("overall: 20 frames in "), std::string::npos) << run.out;
    EXPECT_NE(vnt_test::read_file(json).find("\"total\": {\"frames\": 20,"), std::string::npos);
}
