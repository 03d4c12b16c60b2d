// Capture and benchmark runs on a fixed time step (see offline_runner.h).
#include "offline_runner.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <numeric>

#include "author_keys.h"
#include "event_queue.h"
#include "frame_sink.h"
#include "frame_writer.h"
#include "gl_extensions.h"
#include "options.h"
#include "scene_manager.h"
#include "sound_module_sdl.h"
#include "startup.h"
#include "video_module.h"

namespace {

constexpr int JUMP_LEAD_MS = 150; // set_time lands this far before the time it is given
constexpr int WRITER_QUEUE = 3;   // frames waiting for the sink's thread

volatile std::sig_atomic_t g_interrupted = 0;

void on_interrupt(int)
{
    g_interrupted = 1;
}

// Ctrl-C ends the run after the current frame, so the output is closed properly.
class cInterruptGuard
{
public:
    cInterruptGuard()
    {
        g_interrupted = 0;
        struct sigaction handler = {};
        handler.sa_handler = on_interrupt;
        sigemptyset(&handler.sa_mask);
        handler.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the program at once
        sigaction(SIGINT, &handler, &m_old);
    }
    ~cInterruptGuard() { sigaction(SIGINT, &m_old, nullptr); }
    bool interrupted() const { return g_interrupted != 0; }

private:
    struct sigaction m_old = {};
};

std::string point_text(const sTimePoint& in_point, int in_ms)
{
    return in_point.is_mark() ? in_point.text + " (" + std::to_string(in_ms) + " ms)"
                              : std::to_string(in_ms) + " ms";
}

// Progress on the error stream: rewritten in place on a terminal, a line every few seconds
// otherwise (logs, pipes).
class cProgress
{
public:
    cProgress(const char* in_label, long in_total, bool in_on)
        : m_label(in_label), m_total(in_total), m_on(in_on), m_tty(::isatty(STDERR_FILENO) == 1)
    {
    }
    void frame_done(long in_done)
    {
        if (!m_on)
            return;
        const double elapsed = seconds_since(m_start);
        const double every = m_tty ? 0.25 : 5.0;
        if (in_done < m_total && seconds_since(m_last) < every)
            return;
        m_last = std::chrono::steady_clock::now();
        const std::string text = "# " + m_label + ": " + progress_text(in_done, m_total, elapsed);
        if (m_tty)
            std::cerr << "\r" << text << "    " << (in_done >= m_total ? "\n" : "") << std::flush;
        else
            std::cerr << text << std::endl;
    }
    // The rate and the time left count from here (after a pre-roll).
    void restart() { m_start = m_last = std::chrono::steady_clock::now(); }
    void stop(long in_done)
    {
        if (m_on && m_tty && in_done < m_total)
            std::cerr << std::endl;
    }

private:
    static double seconds_since(std::chrono::steady_clock::time_point in_then)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - in_then).count();
    }

    std::string m_label;
    long m_total;
    bool m_on;
    bool m_tty;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_last = m_start;
};

// Frames read back through pixel buffer objects: a frame's copy is only queued once it is
// drawn, and its bytes are taken SLOTS - 1 frames later, when the driver has long finished it,
// so the rendering never stops to wait for a copy. Frames come out in the order they went in.
class cReadback
{
public:
    static constexpr int SLOTS = 3;

    // The demo area of the buffer drawn to.
    cReadback()
    {
        const cVideoModule* video = cVideoModule::get_instance();
        m_width = GLsizei(video->get_vp_width());
        m_height = GLsizei(video->get_vp_height());
        m_y = GLint(video->get_vp_offset());
        glGenBuffersARB(SLOTS, m_buffers);
        for (GLuint buffer : m_buffers) {
            glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, buffer);
            glBufferDataARB(GL_PIXEL_PACK_BUFFER_ARB, GLsizeiptrARB(rgba_bytes()), nullptr,
                            GL_STREAM_READ_ARB);
        }
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    }
    ~cReadback() { glDeleteBuffersARB(SLOTS, m_buffers); }
    cReadback(const cReadback&) = delete;
    cReadback& operator=(const cReadback&) = delete;

    bool full() const { return m_queued - m_taken >= SLOTS; }
    bool pending() const { return m_queued > m_taken; }

    // Queues the copy of the frame just drawn; the slot must be free (not full()). Pixel-store
    // state, the read buffer and the pack buffer binding are restored.
    void queue()
    {
        assert(!full() && "a read-back slot is free");
        GLint read_buffer = GL_BACK;
        GLint draw_buffer = GL_BACK; // a single-buffered context draws to GL_FRONT
        glGetIntegerv(GL_READ_BUFFER, &read_buffer);
        glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glReadBuffer(GLenum(draw_buffer));
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, m_buffers[m_queued % SLOTS]);
        // RGBA is the layout drivers copy without converting; the alpha goes when it is taken.
        glReadPixels(0, m_y, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
        glReadBuffer(GLenum(read_buffer));
        glPopClientAttrib();
        ++m_queued;
    }

    // The oldest queued frame, RGB bottom row first; false when its buffer cannot be mapped.
    bool take(std::vector<unsigned char>& out_rgb)
    {
        assert(pending() && "a frame was queued");
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, m_buffers[m_taken % SLOTS]);
        ++m_taken;
        const auto* rgba = static_cast<const unsigned char*>(
            glMapBufferARB(GL_PIXEL_PACK_BUFFER_ARB, GL_READ_ONLY_ARB));
        if (rgba) {
            const size_t pixels = size_t(m_width) * size_t(m_height);
            out_rgb.resize(pixels * 3u);
            unsigned char* rgb = out_rgb.data();
            for (size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3) {
                rgb[0] = rgba[0];
                rgb[1] = rgba[1];
                rgb[2] = rgba[2];
            }
            glUnmapBufferARB(GL_PIXEL_PACK_BUFFER_ARB);
        }
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
        return rgba != nullptr;
    }

private:
    size_t rgba_bytes() const { return size_t(m_width) * size_t(m_height) * 4u; }

    GLsizei m_width = 0;
    GLsizei m_height = 0;
    GLint m_y = 0;
    GLuint m_buffers[SLOTS] = {};
    long m_queued = 0; // frames whose copy was queued
    long m_taken = 0;  // frames handed on
};

// Starts the run: the jump goes to the range's start, or with a pre-roll to the start of the
// lead-in, so that the events after it fire as in a run from further back.
void begin_run(const sFrameRange& in_range, long in_lead)
{
    cSceneManager* scenes = cSceneManager::get_instance();
    if (in_range.replay_ms > 0)
        scenes->set_start(-1, in_range.time_of(-in_lead));
    else
        scenes->set_start(in_range.start_mark, in_range.from_ms);
    scenes->play();
}

} // namespace

long sFrameRange::frames() const
{
    const long long span = (long long)to_ms - from_ms;
    if (span <= 0 || fps <= 0)
        return 0;
    return long((span * fps + 999) / 1000);
}

int sFrameRange::time_of(long in_frame) const
{
    const long long scaled = (long long)in_frame * 1000;
    long long step = scaled / fps;
    if (scaled % fps != 0 && scaled < 0)
        --step; // floor for the lead-in before frame 0
    return int(from_ms + step);
}

bool resolve_range(const cEventQueue* in_queue, const sTimePoint& in_from, const sTimePoint& in_to,
                   int in_fps, sFrameRange& out_range, std::string& out_error,
                   std::string& out_warning)
{
    const auto resolve = [&](const sTimePoint& point, int& ms) {
        if (!point.is_mark()) {
            ms = point.ms;
            return true;
        }
        ms = mark_time(in_queue, point.mark);
        if (ms >= 0)
            return true;
        out_error = in_queue
                        ? "the marker script has no mark \"" + point.text + "\""
                        : "no marker script was read, so there is no mark \"" + point.text + "\"";
        return false;
    };
    sFrameRange range;
    range.fps = in_fps;
    if (!resolve(in_from, range.from_ms) || !resolve(in_to, range.to_ms))
        return false;
    range.start_mark = in_from.is_mark() ? in_from.mark : -1;

    out_warning.clear();
    const int quit = mark_time(in_queue, EV_QUIT);
    if (quit >= 0 && range.to_ms > quit) {
        out_warning = "the end " + point_text(in_to, range.to_ms) + " is past the quit mark at " +
                      std::to_string(quit) + " ms; the run ends there";
        range.to_ms = quit;
    }
    if (range.to_ms <= range.from_ms) {
        out_error = "the range is empty: " + point_text(in_to, range.to_ms) +
                    " does not come after " + point_text(in_from, range.from_ms);
        return false;
    }
    out_range = range;
    return true;
}

int lead_frames(int in_fps, int in_replay_ms)
{
    // Frames whose length in ms is whole come in multiples of fps / gcd(fps, 1000).
    const long long period = in_fps / std::gcd(in_fps, 1000);
    const long long period_ms = period * 1000 / in_fps;
    const long long wanted = JUMP_LEAD_MS + (long long)std::max(in_replay_ms, 0);
    return long((wanted + period_ms - 1) / period_ms * period);
}

int replay_before(const std::vector<sLayerSpan>& in_spans, int in_t)
{
    std::vector<const void*> shown;
    for (const sLayerSpan& span : in_spans) {
        if (span.start_ms <= in_t && in_t <= span.end_ms)
            shown.push_back(span.scene);
    }
    long long earliest = in_t;
    for (const sLayerSpan& span : in_spans) {
        const bool same_scene = std::find(shown.begin(), shown.end(), span.scene) != shown.end();
        if (same_scene && span.start_ms <= in_t)
            earliest = std::min<long long>(earliest, span.start_ms);
    }
    return int(std::min<long long>(in_t - earliest, INT_MAX));
}

std::vector<int16_t> range_audio(const std::vector<int16_t>& in_song, int in_rate,
                                 const sFrameRange& in_range)
{
    const long long first = ((long long)in_range.from_ms * in_rate + 500) / 1000;
    const long long count =
        ((long long)in_range.frames() * in_rate + in_range.fps / 2) / in_range.fps;
    const long long song_frames = (long long)(in_song.size() / 2);
    std::vector<int16_t> pcm(size_t(count) * 2u, 0);
    for (long long i = 0; i < count; ++i) {
        const long long at = first + i;
        if (at < 0 || at >= song_frames)
            continue;
        pcm[size_t(2 * i)] = in_song[size_t(2 * at)];
        pcm[size_t(2 * i + 1)] = in_song[size_t(2 * at + 1)];
    }
    return pcm;
}

std::string progress_text(long in_done, long in_total, double in_elapsed_s)
{
    const double fps = in_elapsed_s > 0.0 ? double(in_done) / in_elapsed_s : 0.0;
    const long percent = in_total > 0 ? long((long long)in_done * 100 / in_total) : 100;
    char left[32] = "--:-- left";
    if (fps > 0.0) {
        const long seconds = long(double(in_total - in_done) / fps + 0.5);
        std::snprintf(left, sizeof(left), "%ld:%02ld left", seconds / 60, seconds % 60);
    }
    char text[160];
    std::snprintf(text, sizeof(text), "frame %ld/%ld (%ld%%), %.1f fps, %s", in_done, in_total,
                  percent, fps, left);
    return text;
}

cOfflineRunner::cOfflineRunner(int in_fps) : m_source(double(in_fps), 0)
{
    cClock::set_source(&m_source);
}

cOfflineRunner::~cOfflineRunner()
{
    if (cClock::source() == &m_source)
        cClock::set_source(nullptr);
}

int cOfflineRunner::draw_step(const sFrameRange& in_range, long in_lead, long in_step)
{
    cSceneManager* scenes = cSceneManager::get_instance();
    scenes->update();
    if (in_step == 0) {
        // The jump put the demo 150 ms before where it went; the lead-in begins a whole number
        // of frames before the range instead.
        const int lead_start = in_range.time_of(-in_lead);
        if (scenes->get_time() != lead_start)
            scenes->set_time(lead_start + JUMP_LEAD_MS);
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scenes->draw_current();
    check_gl_error("cOfflineRunner");
    return scenes->get_time();
}

void cOfflineRunner::note_frame_time(const sFrameRange& in_range, long in_frame, int in_time)
{
    if (in_frame == 0)
        m_moved_warned = false;
    const int expected = in_range.time_of(in_frame);
    if (in_time != expected && !m_moved_warned) {
        m_moved_warned = true;
        std::cerr << "# WARNING: the demo moved its own clock: frame " << in_frame << " shows "
                  << in_time << " ms instead of " << expected << " ms; the run goes on from there"
                  << (m_sink_open ? ", the sound stays on the range" : "") << std::endl;
    }
    m_frame_times.push_back(in_time);
}

int cOfflineRunner::capture(const sFrameRange& in_range, iFrameSink& in_sink, bool in_with_audio)
{
    m_frame_times.clear();
    cSoundModule_sdl& sound = cSceneManager::get_instance()->sound();
    if (in_with_audio && !sound.samples().empty())
        in_sink.set_audio(range_audio(sound.samples(), cSoundModule_sdl::RATE, in_range),
                          cSoundModule_sdl::RATE);
    else if (in_with_audio)
        std::cerr << "# WARNING: the music is not a decoded stream; the capture has no sound"
                  << std::endl;

    const cVideoModule* video = cVideoModule::get_instance();
    std::string error;
    if (!in_sink.open(int(video->get_vp_width()), int(video->get_vp_height()), in_range.fps,
                      error)) {
        std::cerr << "## ERROR: capture: " << error << std::endl;
        return 1;
    }

    m_sink_open = true;
    const long lead = lead_frames(in_range.fps, in_range.replay_ms);
    const long total = in_range.frames();
    if (in_range.replay_ms > 0 && m_progress)
        std::cerr << "# capture: pre-roll of " << lead << " frames from " << in_range.time_of(-lead)
                  << " ms, not written" << std::endl;
    cProgress progress("capture", total, m_progress);
    cInterruptGuard interrupt;
    cReadback readback;
    bool failed = false;
    {
        cFrameWriter writer(in_sink, WRITER_QUEUE);
        // Hands the oldest frame read back to the writer.
        const auto hand_on = [&]() {
            cFrameWriter::tFrame frame = writer.spare();
            if (!readback.take(frame)) {
                error = "a frame could not be read back from the driver";
                return false;
            }
            return writer.push(std::move(frame), error);
        };
        begin_run(in_range, lead);
        for (long step = 0; step < lead + total && !interrupt.interrupted(); ++step) {
            const int t = draw_step(in_range, lead, step);
            if (step == lead)
                progress.restart();
            if (step >= lead) {
                if (readback.full() && !hand_on()) {
                    failed = true;
                    break;
                }
                readback.queue();
                note_frame_time(in_range, step - lead, t);
                progress.frame_done(step - lead + 1);
            }
            m_source.advance();
        }
        while (!failed && readback.pending())
            failed = !hand_on();
        if (!writer.finish(error))
            failed = true;
    }
    m_sink_open = false;
    const long written = long(m_frame_times.size());
    progress.stop(written);
    if (failed) {
        std::cerr << "## ERROR: capture: " << error << std::endl;
        std::string ignored;
        in_sink.close(ignored);
        return 1;
    }
    if (!in_sink.close(error)) {
        std::cerr << "## ERROR: capture: " << error << std::endl;
        return 1;
    }
    std::cout << "# capture: " << written << " frames of " << video->get_vp_width() << "x"
              << video->get_vp_height() << " at " << in_range.fps << " fps, demo time "
              << in_range.from_ms << " to " << in_range.to_ms << " ms, into " << in_sink.describe()
              << std::endl;
    if (interrupt.interrupted()) {
        std::cerr << "# capture interrupted after " << written << " of " << total << " frames"
                  << std::endl;
        return 130;
    }
    return 0;
}

int cOfflineRunner::benchmark(const sFrameRange& in_range, const tLayerProbe& in_probe,
                              cBenchmarkReport& out_report)
{
    m_frame_times.clear();
    const long lead = lead_frames(in_range.fps, in_range.replay_ms);
    const long total = in_range.frames();
    cProgress progress("benchmark", total, m_progress);
    cInterruptGuard interrupt;
    begin_run(in_range, lead);
    for (long step = 0; step < lead + total && !interrupt.interrupted(); ++step) {
        const auto start = std::chrono::steady_clock::now();
        const int t = draw_step(in_range, lead, step);
        glFinish(); // the frame is done when the GPU is
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (step >= lead) {
            out_report.add_frame(t, in_probe ? in_probe(t) : tActiveLayers(), ms);
            note_frame_time(in_range, step - lead, t);
            progress.frame_done(step - lead + 1);
        }
        m_source.advance();
    }
    progress.stop(long(m_frame_times.size()));
    if (interrupt.interrupted()) {
        std::cerr << "# benchmark interrupted after " << m_frame_times.size() << " of " << total
                  << " frames" << std::endl;
        return 130;
    }
    return 0;
}
