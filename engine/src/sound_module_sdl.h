// The demo's music: an MP3 stream decoded whole into memory (or a tracker module), played on
// an SDL audio device and moved along with the demo clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct openmpt_module;

class cSoundModule_sdl
{
public:
    enum
    {
        MODE_STREAM = 0,
        MODE_MODULE = 1,
    };
    static constexpr int RATE = 44100; // frames per second of the device and the decoded song

    cSoundModule_sdl() = default;
    ~cSoundModule_sdl();
    cSoundModule_sdl(const cSoundModule_sdl&) = delete;
    cSoundModule_sdl& operator=(const cSoundModule_sdl&) = delete;

    // Checks the decoder libraries and opens the audio device (44100 Hz stereo, paused). With
    // no usable device it warns and goes on with SDL's dummy driver.
    void init();
    // Opens the music by the mode; a file that cannot be played ends the program (status 1).
    void load(const std::string& file);
    void play();
    void toggle_pause();
    // 0..255; 100 is 100/255 of full volume.
    void set_volume(int volume);
    // Stream: playback moves to `ms`. Module: moves on to the next pattern order.
    void set_time(int ms);
    // Position of the sample being heard, in ms.
    int get_time() const;
    // Song position (ms) heard now, interpolated with the counter from the last device
    // callback; before the music of a seek or resume reaches the listener it lies before that
    // point. False while nothing tells it: not playing, no callback since the last seek,
    // resume or start, or a module.
    bool heard_ms(double& out_ms) const;
    // How far the device plays behind the mixer, from the buffer SDL opened (ms).
    double latency_ms() const { return double(m_device_frames) * 1000.0 / RATE; }
    int volume() const { return m_volume; }

    // One device callback: when (counter ticks) and the song frame its chunk starts with.
    struct sCallbackMark
    {
        std::uint64_t ticks;
        std::int64_t frame;
    };
    // Keeps the callbacks from now on for take_callbacks() (for the live log).
    void keep_callbacks(bool in_keep);
    // The callbacks kept since the last call, oldest first.
    std::vector<sCallbackMark> take_callbacks();
    void close();

    // Ends the program (status 1) when the module decoder reports a version older than
    // needed; `openmpt_version` as openmpt_get_library_version() returns it.
    static void check_version(std::uint32_t openmpt_version);

    // Mixes the next `frames` stereo frames as the device would hear them (volume applied)
    // and moves the position on; the device callback plays exactly this.
    void render(std::int16_t* out, int frames);

    int length_ms() const;
    bool is_playing() const { return m_playing; }
    int mode() const { return m_mode; }
    void set_mode(int mode) { m_mode = mode; }
    // The decoded song, interleaved stereo at RATE (stream mode).
    const std::vector<std::int16_t>& samples() const { return m_samples; }

private:
    void load_stream(const std::string& file);
    void load_module(const std::string& file);
    void render_locked(std::int16_t* out, int frames);
    std::int64_t heard_frame_locked() const;
    double heard_exact_locked() const;
    void lock() const;
    void unlock() const;

    std::vector<std::int16_t>* m_music_stream = nullptr; // &m_samples once a stream is open
    openmpt_module* m_module = nullptr;
    std::uint32_t m_channel = 0; // the SDL audio device; 0 when none is open
    bool m_playing = false;
    int m_mode = MODE_STREAM;

    bool m_sdl_audio = false; // the audio subsystem was brought up by init()
    std::vector<std::int16_t> m_samples;
    // Shared with the device callback, under the device lock:
    std::int64_t m_position = 0;        // next frame to mix
    std::int64_t m_anchor_frame = 0;    // frame heard at m_anchor_counter
    std::uint64_t m_anchor_counter = 0; // performance counter at the last callback
    bool m_anchored = false;            // a callback ran since the last seek or resume
    std::int64_t m_floor_frame = 0;     // last seek or resume point: nothing before it is heard
    int m_volume = 255;                 // 0..255
    int m_device_frames = 2048;         // frames per device buffer, as SDL opened it
    bool m_keep_callbacks = false;
    std::vector<sCallbackMark> m_callbacks; // kept for take_callbacks(), bounded
};
