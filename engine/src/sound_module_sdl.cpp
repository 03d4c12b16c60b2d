// Music playback on an SDL audio device. The whole MP3 is decoded at load, so seeking and the
// play position are exact to the sample; the device callback mixes from memory.
#include "sound_module_sdl.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <mpg123.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <sys/types.h>

#include "clock.h"
#include "fatal.h"

namespace {

constexpr int CHANNELS = 2;
constexpr int DEVICE_FRAMES = 2048; // per device callback: about 46 ms, within the 150 ms asked
constexpr std::int64_t MAX_FRAMES = std::int64_t(cSoundModule_sdl::RATE) * 60 * 60 * 2;
constexpr std::uint32_t MIN_OPENMPT_VERSION = 0x00030000; // 0.3.0, major.minor.patch bytes

void unhandled_case(const char* file, int line)
{
    std::cerr << "## ERROR, unhandled case in " << file << ", line: " << line << std::endl;
}

[[noreturn]] void load_failed(const char* reason)
{
    std::cerr << "## ERROR: " << reason << std::endl;
    vnt::fatal_exit(1);
}

void SDLCALL audio_callback(void* user, Uint8* stream, int len)
{
    static_cast<cSoundModule_sdl*>(user)->render(reinterpret_cast<std::int16_t*>(stream),
                                                 len / int(sizeof(std::int16_t) * CHANNELS));
}

// The file's bytes; false when it cannot be opened or read.
bool read_file(const std::string& name, std::vector<unsigned char>& bytes, bool& found)
{
    std::error_code ec;
    found = std::filesystem::is_regular_file(name, ec);
    if (!found)
        return false;
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// mpg123 reads the MP3 from memory through these.
struct sMemoryReader
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

mpg123_ssize_t memory_read(void* handle, void* buf, size_t count)
{
    auto* in = static_cast<sMemoryReader*>(handle);
    const std::size_t n = std::min(count, in->size - in->pos);
    if (n == 0)
        return 0;
    std::memcpy(buf, in->data + in->pos, n);
    in->pos += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t memory_seek(void* handle, off_t offset, int whence)
{
    auto* in = static_cast<sMemoryReader*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<off_t>(in->pos);
    else if (whence == SEEK_END)
        base = static_cast<off_t>(in->size);
    else if (whence != SEEK_SET)
        return -1;
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(in->size))
        return -1;
    in->pos = static_cast<std::size_t>(target);
    return target;
}

// Decodes a whole MP3 to interleaved stereo 16-bit samples at its own rate; null reason on
// success, else the failure text.
const char* decode_mp3(const std::vector<unsigned char>& bytes, std::vector<std::int16_t>& out,
                       long& rate)
{
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return "Error loading file";
    struct sCloser
    {
        mpg123_handle* mh;
        ~sCloser()
        {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
    } closer{mh};

    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rate_count = 0;
    mpg123_rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i)
        mpg123_format(mh, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);

    sMemoryReader reader{bytes.data(), bytes.size(), 0};
    if (mpg123_replace_reader_handle(mh, memory_read, memory_seek, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &reader) != MPG123_OK)
        return "Error loading file";

    int channels = 0, encoding = 0;
    rate = 0;
    std::vector<unsigned char> chunk(1 << 16);
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(mh, chunk.data(), chunk.size(), &done);
        if (rc == MPG123_NEW_FORMAT) {
            long new_rate = 0;
            mpg123_getformat(mh, &new_rate, &channels, &encoding);
            if (rate != 0 && new_rate != rate)
                break; // a song that changes its rate midway ends there
            rate = new_rate;
            continue;
        }
        const std::size_t samples = done / sizeof(std::int16_t);
        if (out.size() + samples > std::size_t(MAX_FRAMES) * CHANNELS)
            return "Not enough memory ";
        if (samples > 0) {
            const std::size_t old = out.size();
            out.resize(old + samples);
            std::memcpy(out.data() + old, chunk.data(), samples * sizeof(std::int16_t));
        }
        if (rc != MPG123_OK)
            break; // done, or an error that ends the usable part
    }
    if (out.empty() || rate <= 0)
        return "Unknown file format";
    out.resize(out.size() - out.size() % CHANNELS);
    return nullptr;
}

// Resamples interleaved stereo from `rate` to the device rate. The result has exactly the
// song's length, so times at the end of the song stay where they were.
bool resample(std::vector<std::int16_t>& samples, long rate)
{
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, CHANNELS, int(rate), AUDIO_S16SYS,
                                                 CHANNELS, cSoundModule_sdl::RATE);
    if (!stream)
        return false;
    const std::int64_t frames = std::int64_t(samples.size() / CHANNELS);
    const std::int64_t out_frames = (frames * cSoundModule_sdl::RATE + rate / 2) / rate;
    std::vector<std::int16_t> out(std::size_t(out_frames) * CHANNELS, 0);
    bool ok = SDL_AudioStreamPut(stream, samples.data(),
                                 int(samples.size() * sizeof(std::int16_t))) == 0 &&
              SDL_AudioStreamFlush(stream) == 0;
    // The converter keeps the last few milliseconds to itself; they stay silent here.
    if (ok && SDL_AudioStreamGet(stream, out.data(), int(out.size() * sizeof(std::int16_t))) < 0)
        ok = false;
    SDL_FreeAudioStream(stream);
    if (ok)
        samples.swap(out);
    return ok;
}

} // namespace

cSoundModule_sdl::~cSoundModule_sdl()
{
    close();
}

void cSoundModule_sdl::check_version(std::uint32_t openmpt_version)
{
    if (openmpt_version < MIN_OPENMPT_VERSION || !mpg123_feature(MPG123_FEATURE_DECODE_LAYER3)) {
        std::cerr << "Error : You are using the wrong library version! You should be using "
                  << "libopenmpt " << (MIN_OPENMPT_VERSION >> 24) << "."
                  << ((MIN_OPENMPT_VERSION >> 16) & 0xff) << " and libmpg123 with MPEG layer 3"
                  << std::endl;
        vnt::fatal_exit(1);
    }
}

void cSoundModule_sdl::init()
{
    if (m_channel)
        return; // already set up
    check_version(openmpt_get_library_version());
    mpg123_init();

    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = RATE;
    want.format = AUDIO_S16SYS;
    want.channels = CHANNELS;
    want.samples = DEVICE_FRAMES;
    want.callback = audio_callback;
    want.userdata = this;

    auto open_device = [&]() -> bool {
        m_sdl_audio = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!m_sdl_audio)
            return false;
        // SDL converts to whatever the hardware takes; the callback always sees `want` but
        // the buffer size, which sets how far the device plays behind the mixer.
        SDL_AudioSpec have;
        SDL_zero(have);
        m_channel = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        if (m_channel != 0) {
            m_device_frames = have.samples > 0 ? int(have.samples) : DEVICE_FRAMES;
            return true;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_sdl_audio = false;
        return false;
    };
    if (open_device())
        return;
    // No sound card is no reason to stop the show: the demo keeps its own clock.
    std::cerr << "# WARNING: no audio device (" << SDL_GetError() << "), playing silently"
              << std::endl;
    // Over an SDL_AUDIODRIVER naming a driver that does not work, too.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    open_device();
}

void cSoundModule_sdl::load(const std::string& file)
{
    switch (m_mode) {
    case MODE_STREAM:
        load_stream(file);
        break;
    case MODE_MODULE:
        load_module(file);
        break;
    default:
        unhandled_case(__FILE__, __LINE__);
        break;
    }
}

void cSoundModule_sdl::load_stream(const std::string& file)
{
    std::vector<unsigned char> bytes;
    bool found = false;
    if (!read_file(file, bytes, found))
        load_failed(found ? "Error loading file" : "File not found");

    std::vector<std::int16_t> decoded;
    long rate = 0;
    const char* failure = nullptr;
    try {
        failure = decode_mp3(bytes, decoded, rate);
        if (!failure && rate != RATE && !resample(decoded, rate))
            failure = "Error loading file";
    } catch (const std::bad_alloc&) {
        failure = "Not enough memory ";
    }
    if (failure)
        load_failed(failure);

    lock();
    m_samples.swap(decoded);
    m_music_stream = &m_samples;
    m_position = m_floor_frame = 0;
    m_anchored = false;
    unlock();
    std::cout << "# sdl loaded stream \"" << file << "\" [length: " << length_ms() << "ms]"
              << std::endl;
}

void cSoundModule_sdl::load_module(const std::string& file)
{
    std::vector<unsigned char> bytes;
    bool found = false;
    if (!read_file(file, bytes, found))
        load_failed(found ? "Error loading file" : "File not found");
    openmpt_module* mod =
        openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!mod)
        load_failed("Unknown file format");
    lock();
    openmpt_module* old = m_module;
    m_module = mod;
    unlock();
    if (old)
        openmpt_module_destroy(old);
}

void cSoundModule_sdl::play()
{
    assert(m_module || m_music_stream);
    if (m_mode != MODE_STREAM && m_mode != MODE_MODULE) {
        unhandled_case(__FILE__, __LINE__);
    } else {
        lock();
        m_anchored = false;
        m_floor_frame = m_position;
        unlock();
        if (m_channel)
            SDL_PauseAudioDevice(m_channel, 0);
    }
    std::cout << "# sdl starting playback..." << std::endl;
    m_playing = true;
}

void cSoundModule_sdl::toggle_pause()
{
    if (!m_playing) {
        m_playing = true;
        lock();
        m_anchored = false;
        m_floor_frame = m_position;
        unlock();
        if (m_channel)
            SDL_PauseAudioDevice(m_channel, 0);
    } else {
        // A paused device still plays out the buffer it was given (SDL feeds it silence from
        // then on), so the music goes on from where the mixer stopped: nothing is heard twice.
        if (m_channel)
            SDL_PauseAudioDevice(m_channel, 1);
        lock();
        m_floor_frame = m_position;
        m_anchored = false;
        unlock();
        m_playing = false;
    }
}

void cSoundModule_sdl::set_volume(int volume)
{
    if (m_mode != MODE_STREAM && m_mode != MODE_MODULE) {
        unhandled_case(__FILE__, __LINE__);
        return;
    }
    if (m_channel == 0 || volume < 0 || volume > 255)
        std::cerr << "## WARNING: Not able to set volume in " << __FILE__ << " line " << __LINE__
                  << std::endl;
    lock();
    m_volume = std::clamp(volume, 0, 255);
    unlock();
}

void cSoundModule_sdl::set_time(int ms)
{
    switch (m_mode) {
    case MODE_STREAM: {
        lock();
        const std::int64_t length = std::int64_t(m_samples.size() / CHANNELS);
        const std::int64_t frame = (std::int64_t(ms) * RATE + 500) / 1000;
        m_position = std::clamp<std::int64_t>(frame, 0, length);
        m_floor_frame = m_position;
        m_anchored = false;
        unlock();
        break;
    }
    case MODE_MODULE:
        // A module has no time line to seek in: it moves on to the next pattern order.
        lock();
        if (m_module)
            openmpt_module_set_position_order_row(
                m_module, openmpt_module_get_current_order(m_module) + 1, 0);
        unlock();
        break;
    default:
        unhandled_case(__FILE__, __LINE__);
        break;
    }
}

int cSoundModule_sdl::get_time() const
{
    switch (m_mode) {
    case MODE_STREAM: {
        lock();
        const std::int64_t frame = heard_frame_locked();
        unlock();
        return static_cast<int>((frame * 1000 + RATE / 2) / RATE);
    }
    case MODE_MODULE: {
        lock();
        const double seconds = m_module ? openmpt_module_get_position_seconds(m_module) : 0.0;
        unlock();
        return static_cast<int>(seconds * 1000);
    }
    default:
        unhandled_case(__FILE__, __LINE__);
        return 0;
    }
}

bool cSoundModule_sdl::heard_ms(double& out_ms) const
{
    if (m_mode != MODE_STREAM || !m_music_stream)
        return false;
    lock();
    const bool known = m_playing && m_anchored;
    if (known)
        out_ms = heard_exact_locked() * 1000.0 / RATE;
    unlock();
    return known;
}

void cSoundModule_sdl::keep_callbacks(bool in_keep)
{
    lock();
    m_keep_callbacks = in_keep;
    m_callbacks.clear();
    if (in_keep)
        m_callbacks.reserve(1024);
    unlock();
}

std::vector<cSoundModule_sdl::sCallbackMark> cSoundModule_sdl::take_callbacks()
{
    std::vector<sCallbackMark> taken;
    taken.reserve(1024);
    lock();
    taken.swap(m_callbacks);
    unlock();
    return taken;
}

int cSoundModule_sdl::length_ms() const
{
    if (m_mode == MODE_MODULE)
        return m_module ? static_cast<int>(openmpt_module_get_duration_seconds(m_module) * 1000)
                        : 0;
    return static_cast<int>(std::int64_t(m_samples.size() / CHANNELS) * 1000 / RATE);
}

void cSoundModule_sdl::close()
{
    if (m_channel)
        SDL_CloseAudioDevice(m_channel); // waits for a running callback
    m_channel = 0;
    if (m_sdl_audio)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_sdl_audio = false;
    if (m_module)
        openmpt_module_destroy(m_module);
    m_module = nullptr;
    m_music_stream = nullptr;
    std::vector<std::int16_t>().swap(m_samples);
    m_position = m_floor_frame = 0;
    m_anchored = false;
    m_playing = false;
}

void cSoundModule_sdl::render(std::int16_t* out, int frames)
{
    if (!out || frames <= 0)
        return;
    lock();
    render_locked(out, frames);
    unlock();
}

void cSoundModule_sdl::render_locked(std::int16_t* out, int frames)
{
    const std::int64_t start = m_position;
    std::int64_t written = 0;
    if (m_mode == MODE_STREAM && m_music_stream) {
        const std::int64_t length = std::int64_t(m_samples.size() / CHANNELS);
        written = std::clamp<std::int64_t>(length - start, 0, frames);
        if (written > 0)
            std::memcpy(out, m_samples.data() + start * CHANNELS,
                        std::size_t(written) * CHANNELS * sizeof(std::int16_t));
        m_position = start + written;
    } else if (m_mode == MODE_MODULE && m_module) {
        written = std::int64_t(openmpt_module_read_interleaved_stereo(m_module, RATE, frames, out));
    }
    std::fill(out + written * CHANNELS, out + std::int64_t(frames) * CHANNELS, std::int16_t(0));
    if (m_volume != 255) {
        for (std::int64_t i = 0; i < written * CHANNELS; ++i)
            out[i] = static_cast<std::int16_t>(out[i] * m_volume / 255);
    }
    // The device plays one buffer behind the one it just asked for. The anchor may lie before
    // the last seek: until then the listener still hears the music from before it.
    m_anchor_frame = start - m_device_frames;
    m_anchor_counter = vnt::counter_ticks();
    m_anchored = true;
    // Bounded, so that a log nobody drains cannot grow (the vector's room was reserved).
    if (m_keep_callbacks && m_callbacks.size() < m_callbacks.capacity())
        m_callbacks.push_back({m_anchor_counter, start});
}

double cSoundModule_sdl::heard_exact_locked() const
{
    const double ms = vnt::ticks_between_ms(m_anchor_counter, vnt::counter_ticks());
    // Between two callbacks the device plays on at its rate, but never past what it was given.
    const double heard = double(m_anchor_frame) + ms * RATE / 1000.0;
    return std::min(heard, double(m_position));
}

std::int64_t cSoundModule_sdl::heard_frame_locked() const
{
    if (!m_playing || !m_anchored)
        return m_position;
    const std::int64_t heard = static_cast<std::int64_t>(heard_exact_locked());
    return std::clamp(heard, m_floor_frame, m_position);
}

void cSoundModule_sdl::lock() const
{
    if (m_channel)
        SDL_LockAudioDevice(m_channel);
}

void cSoundModule_sdl::unlock() const
{
    if (m_channel)
        SDL_UnlockAudioDevice(m_channel);
}
