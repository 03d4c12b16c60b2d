// Music playback on SDL's dummy driver, with an MP3 made here: bursts at known times on the
// left channel, silence on the right.
#include <gtest/gtest.h>

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "clock.h"
#include "sound_module_sdl.h"
#include "support/process.h"
#include "support/test_media.h"

namespace {

constexpr int RATE = cSoundModule_sdl::RATE;
constexpr int SONG_MS = 3000;
constexpr int BURST_MS[] = {500, 1234, 2001}; // 10 ms of 2 kHz at 3/4 of full scale

bool in_burst(int frame, int rate)
{
    for (int ms : BURST_MS) {
        const int start = ms * rate / 1000;
        if (frame >= start && frame < start + rate / 100)
            return true;
    }
    return false;
}

// The song at `rate`, tagged for gapless decoding.
std::string make_song(int rate, const std::string& name)
{
    const std::string path = testing::TempDir() + name;
    const int frames = SONG_MS * rate / 1000;
    std::vector<short> pcm(std::size_t(frames) * 2, 0);
    for (int i = 0; i < frames; ++i)
        if (in_burst(i, rate))
            pcm[2 * i] = static_cast<short>(24000 * std::sin(2 * M_PI * 2000.0 * i / rate + 0.5));
    EXPECT_TRUE(vnt_test::write_mp3(path, pcm, rate));
    return path;
}

const std::string& song()
{
    static const std::string path = make_song(RATE, "sound_module_test.mp3");
    return path;
}

// First frame of `out` whose left sample passes half the burst's amplitude, or -1.
int onset(const std::vector<std::int16_t>& out)
{
    for (std::size_t i = 0; i < out.size() / 2; ++i)
        if (std::abs(out[2 * i]) > 12000)
            return int(i);
    return -1;
}

int peak(const std::vector<std::int16_t>& out, int channel)
{
    int p = 0;
    for (std::size_t i = channel; i < out.size(); i += 2)
        p = std::max(p, std::abs(int(out[i])));
    return p;
}

// A four-channel tracker module: two orders of one pattern each, a note on the first row.
std::string make_module()
{
    using namespace std::string_literals;
    std::string mod = "test"s + std::string(16, '\0');
    for (int s = 0; s < 31; ++s) // sample 1: 1024 words, volume 64, no loop
        mod += s ? std::string(30, '\0') : std::string(22, '\0') + "\x04\0\0\x40\0\0\0\x01"s;
    mod += "\x02\x7f\0\x01"s + std::string(126, '\0') + "M.K.";
    for (int pattern = 0; pattern < 2; ++pattern) // sample 1 at period 428 on the first row
        mod += "\x01\xAC\x10"s + std::string(64 * 4 * 4 - 3, '\0');
    for (int i = 0; i < 2048; ++i)
        mod += static_cast<char>((i / 8) % 2 ? 100 : -100);
    const std::string path = testing::TempDir() + "sound_module_test.mod";
    std::ofstream(path, std::ios::binary) << mod;
    return path;
}

class SoundModule : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        m_loaded = vnt_test::stdout_of([&] {
            m_sound.init();
            m_sound.load(song());
        });
    }

    std::vector<std::int16_t> render(int frames)
    {
        std::vector<std::int16_t> out(std::size_t(frames) * 2, 1234);
        m_sound.render(out.data(), frames);
        return out;
    }

    cSoundModule_sdl m_sound;
    std::string m_loaded;
};

} // namespace

TEST_F(SoundModule, LoadsTheWholeSongExactly)
{
    EXPECT_EQ(m_loaded, "# sdl loaded stream \"" + song() + "\" [length: 3000ms]\n");
    EXPECT_EQ(m_sound.samples().size(), std::size_t(SONG_MS) * RATE / 1000 * 2);
    EXPECT_EQ(m_sound.get_time(), 0);
    EXPECT_FALSE(m_sound.is_playing());
}

TEST_F(SoundModule, SeeksLandOnTheBursts)
{
    for (int ms : BURST_MS) {
        // 20 ms ahead of the burst: it starts 882 frames into what the device plays next.
        m_sound.set_time(ms - 20);
        EXPECT_NEAR(m_sound.get_time(), ms - 20, 1);
        const auto before = render(RATE / 20);
        EXPECT_NEAR(onset(before), RATE / 50, RATE / 1000) << ms;
        EXPECT_LT(peak(before, 1), 400) << "right channel stays quiet at " << ms;

        m_sound.set_time(ms);
        EXPECT_NEAR(m_sound.get_time(), ms, 1);
        const auto at = render(RATE / 100);
        EXPECT_LE(onset(at), RATE / 1000) << ms;
        EXPECT_GT(peak(at, 0), 20000) << ms;
        EXPECT_NEAR(m_sound.get_time(), ms + 10, 1); // rendering moved the position on
    }

    // Between bursts there is silence; the rest of a buffer past the end is silence too.
    m_sound.set_time(1600);
    EXPECT_LT(peak(render(RATE / 10), 0), 400);
    m_sound.set_time(SONG_MS - 10);
    const auto tail = render(RATE / 10);
    EXPECT_EQ(peak(std::vector<std::int16_t>(tail.begin() + RATE / 50, tail.end()), 0), 0);
    EXPECT_EQ(m_sound.get_time(), SONG_MS);

    // set_time(0) goes back to the start; times off the song are clamped to it.
    for (auto [to, at] : {std::pair{0, 0}, {-500, 0}, {99999, SONG_MS}}) {
        m_sound.set_time(to);
        EXPECT_EQ(m_sound.get_time(), at) << to;
    }
}

TEST_F(SoundModule, VolumeScalesTheSamples)
{
    const int start = BURST_MS[1] * RATE / 1000;
    const std::vector<std::int16_t> decoded(m_sound.samples().begin() + 2 * start,
                                            m_sound.samples().begin() + 2 * (start + 441));

    m_sound.set_time(BURST_MS[1]);
    EXPECT_EQ(render(441), decoded); // full volume: the decoded samples as they are

    m_sound.set_volume(0);
    m_sound.set_time(BURST_MS[1]);
    EXPECT_EQ(peak(render(441), 0), 0);

    m_sound.set_volume(100); // 100 of 255, not full volume
    m_sound.set_time(BURST_MS[1]);
    const auto quieter = render(441);
    for (std::size_t i = 0; i < decoded.size(); ++i)
        ASSERT_EQ(quieter[i], decoded[i] * 100 / 255) << i;

    const std::string err = vnt_test::stderr_of([&] { m_sound.set_volume(300); });
    EXPECT_EQ(err.rfind("## WARNING: Not able to set volume in ", 0), 0u) << err;
    m_sound.set_time(BURST_MS[1]);
    EXPECT_EQ(render(441), decoded);
}

// The device's clock is the counter the test moves; no device is opened, so nothing but the
// test calls the mixer, as a device callback would.
class SoundClock : public testing::Test
{
protected:
    static uint64_t counter() { return s_ticks; }
    void SetUp() override
    {
        s_ticks = (uint64_t(1) << 63) - 1000000; // ns, just before the counter's sign bit
        vnt::set_counter(&SoundClock::counter, 1000000000);
        vnt_test::stdout_of([&] { m_sound.load(song()); });
    }
    void TearDown() override { vnt::set_counter(nullptr, 0); }
    // One device callback at the current counter reading.
    std::vector<std::int16_t> callback()
    {
        std::vector<std::int16_t> out(2048 * 2, 0);
        m_sound.render(out.data(), 2048);
        return out;
    }
    static void advance_ms(double ms) { s_ticks += uint64_t(ms * 1e6); }
    // The song's own frames from `frame` on.
    std::vector<std::int16_t> song_from(std::int64_t frame, int frames) const
    {
        const auto& all = m_sound.samples();
        return std::vector<std::int16_t>(all.begin() + frame * 2,
                                         all.begin() + (frame + frames) * 2);
    }

    static uint64_t s_ticks;
    cSoundModule_sdl m_sound;
};
uint64_t SoundClock::s_ticks = 0;

TEST_F(SoundClock, HeardPositionFollowsTheDeviceOneBufferBehindTheMixer)
{
    const double latency = m_sound.latency_ms();
    EXPECT_NEAR(latency, 2048 * 1000.0 / RATE, 0.01);
    double heard = 0.0;
    m_sound.set_time(1000);
    vnt_test::stdout_of([&] { m_sound.play(); });
    // Nothing is known until the device asked for music after the seek.
    EXPECT_FALSE(m_sound.heard_ms(heard));
    callback();
    ASSERT_TRUE(m_sound.heard_ms(heard));
    EXPECT_NEAR(heard, 1000.0 - latency, 0.05); // the old buffer still plays
    advance_ms(30.0);                           // across the counter's sign bit
    ASSERT_TRUE(m_sound.heard_ms(heard));
    EXPECT_NEAR(heard, 1030.0 - latency, 0.05);
    advance_ms(latency - 30.0);
    callback();
    ASSERT_TRUE(m_sound.heard_ms(heard));
    EXPECT_NEAR(heard, 1000.0, 0.05);
    // A device that stops asking is not heard past what it was given.
    advance_ms(1000.0);
    ASSERT_TRUE(m_sound.heard_ms(heard));
    EXPECT_NEAR(heard, 1000.0 + 2 * latency, 0.05);
}

TEST_F(SoundClock, PauseAndResumeGoOnWithTheNextUnheardSample)
{
    m_sound.set_time(1000);
    testing::internal::CaptureStdout();
    m_sound.play();
    const std::int64_t start = (1000 * std::int64_t(RATE) + 500) / 1000;
    EXPECT_EQ(callback(), song_from(start, 2048));
    advance_ms(20.0);
    m_sound.toggle_pause();
    EXPECT_FALSE(m_sound.is_playing());
    // The device plays out what it was given; the music goes on right after it, nothing twice.
    const int paused = m_sound.get_time();
    advance_ms(500.0);
    EXPECT_EQ(m_sound.get_time(), paused);
    double heard = 0.0;
    EXPECT_FALSE(m_sound.heard_ms(heard));
    m_sound.toggle_pause();
    EXPECT_TRUE(m_sound.is_playing());
    EXPECT_EQ(callback(), song_from(start + 2048, 2048));

    // A seek while paused holds, and playing resumes from it.
    m_sound.toggle_pause();
    m_sound.set_time(2000);
    EXPECT_EQ(m_sound.get_time(), 2000);
    m_sound.toggle_pause();
    EXPECT_EQ(callback(), song_from(2000 * std::int64_t(RATE) / 1000, 2048));
    testing::internal::GetCapturedStdout();
    m_sound.close();
    EXPECT_FALSE(m_sound.is_playing());
}

TEST(SoundModuleRates, OtherSampleRatesAreConverted)
{
    const std::string path = make_song(22050, "sound_module_22k.mp3");
    cSoundModule_sdl sound;
    vnt_test::stdout_of([&] { sound.load(path); }); // no device needed to decode
    std::remove(path.c_str());
    EXPECT_EQ(sound.length_ms(), SONG_MS);
    sound.set_time(BURST_MS[2] - 20);
    std::vector<std::int16_t> out(2 * RATE / 20);
    sound.render(out.data(), RATE / 20);
    EXPECT_NEAR(onset(out), RATE / 50, RATE / 1000);
}

TEST(SoundModuleFailures, BadFilesEndWithStatusOne)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string text = testing::TempDir() + "sound_module_test.txt";
    std::ofstream(text) << "this is not an mp3, just words.\n";
    const std::string empty = testing::TempDir() + "sound_module_empty.mp3";
    std::ofstream(empty).close();

    auto load = [](const std::string& file, int mode = cSoundModule_sdl::MODE_STREAM) {
        cSoundModule_sdl sound;
        sound.set_mode(mode);
        sound.init();
        sound.load(file);
    };
    EXPECT_EXIT(load("/nonexistent/goa.mp3"), testing::ExitedWithCode(1),
                "## ERROR: File not found\n");
    EXPECT_EXIT(load(testing::TempDir()), testing::ExitedWithCode(1), "## ERROR: File not found");
    EXPECT_EXIT(load(text), testing::ExitedWithCode(1), "## ERROR: Unknown file format\n");
    EXPECT_EXIT(load(empty), testing::ExitedWithCode(1), "## ERROR: Unknown file format\n");
    EXPECT_EXIT(load(text, cSoundModule_sdl::MODE_MODULE), testing::ExitedWithCode(1),
                "## ERROR: Unknown file format\n");
    std::remove(text.c_str());
    std::remove(empty.c_str());

    EXPECT_EXIT(cSoundModule_sdl::check_version(0x00020000), testing::ExitedWithCode(1),
                "Error : You are using the wrong library version!");
    cSoundModule_sdl::check_version(openmpt_get_library_version()); // returns
}

TEST(SoundModuleFailures, DamagedSongsLoadWhatTheyHold)
{
    std::string bytes = vnt_test::read_file(song());
    bytes.resize(bytes.size() / 2);
    for (std::size_t i = 3000; i < bytes.size(); i += 997)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    const std::string cut = testing::TempDir() + "sound_module_cut.mp3";
    std::ofstream(cut, std::ios::binary) << bytes;
    cSoundModule_sdl sound;
    vnt_test::stdout_of([&] { sound.load(cut); }); // no device needed to decode
    std::remove(cut.c_str());
    EXPECT_GT(sound.length_ms(), 500);
    EXPECT_LT(sound.length_ms(), SONG_MS);
}

TEST(SoundModuleFailures, NoAudioDeviceMeansSilentPlay)
{
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
            cSoundModule_sdl sound;
            sound.init();
            sound.load(song());
            sound.play();
            sound.set_time(700);
            std::fprintf(stderr, "time %d\n", sound.get_time());
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "# WARNING: no audio device \\([^)]*\\), playing silently\n(.|\n)*time 700");
}

TEST(SoundModuleTracker, ModuleModeMovesOnByOrders)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string path = make_module();
    cSoundModule_sdl sound;
    sound.set_mode(cSoundModule_sdl::MODE_MODULE);
    sound.init();
    sound.load(path);
    std::remove(path.c_str());
    // 64 rows of 6 ticks at 125 beats per minute: 7.68 s per pattern.
    EXPECT_NEAR(sound.length_ms(), 15360, 20);
    EXPECT_EQ(sound.get_time(), 0);

    std::vector<std::int16_t> out(2 * 4410);
    sound.render(out.data(), 4410);
    EXPECT_GT(peak(out, 0) + peak(out, 1), 1000);
    EXPECT_NEAR(sound.get_time(), 100, 2);

    sound.set_time(123456); // the time is not used: the next order starts
    EXPECT_NEAR(sound.get_time(), 7680, 20);
    sound.set_volume(0);
    sound.render(out.data(), 4410);
    EXPECT_EQ(peak(out, 0) + peak(out, 1), 0);
}
