// Video capture through ffmpeg (see ffmpeg_sink.h).
#include "ffmpeg_sink.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct sigaction g_old_sigpipe;

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool is_executable_file(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// A frame that ffmpeg stops reading must not kill the program: a failed write says so instead.
void ignore_sigpipe()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &g_old_sigpipe);
}

void restore_sigpipe()
{
    sigaction(SIGPIPE, &g_old_sigpipe, nullptr);
}

// Starts `in_program` with `in_args`, its standard input the read end of a new pipe, in a process
// group of its own (so Ctrl-C reaches only the demo, which then closes the file properly).
bool spawn_with_pipe(const std::string& in_program, const std::vector<std::string>& in_args,
                     pid_t& out_child, int& out_pipe, std::string& out_error)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        out_error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(in_program.c_str()));
    for (const std::string& arg : in_args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t child = -1;
    const int failed =
        posix_spawn(&child, in_program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[0]);
    if (failed != 0) {
        ::close(fds[1]);
        out_error = "cannot start " + in_program + ": " + std::strerror(failed);
        return false;
    }
    out_child = child;
    out_pipe = fds[1];
    return true;
}

// A pixel's luma in video levels (BT.601, 16..235).
uint8_t luma(const unsigned char* in_rgb)
{
    return uint8_t(((66 * in_rgb[0] + 129 * in_rgb[1] + 25 * in_rgb[2] + 128) >> 8) + 16);
}

} // namespace

cFfmpegSink::~cFfmpegSink()
{
    std::string ignored;
    finish(ignored);
    remove_wav();
}

bool cFfmpegSink::is_video_name(const std::string& in_path)
{
    const std::string name = lower(in_path);
    return ends_with(name, ".mp4") || ends_with(name, ".mkv");
}

std::string cFfmpegSink::find_ffmpeg()
{
    const char* path = std::getenv("PATH");
    if (!path)
        return std::string();
    std::string dirs = path;
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = dirs.substr(begin, end - begin);
        if (!dir.empty()) {
            const std::string candidate = (fs::path(dir) / "ffmpeg").string();
            if (is_executable_file(candidate))
                return candidate;
        }
        begin = end + 1;
    }
    return std::string();
}

std::string cFfmpegSink::install_hint()
{
    return "ffmpeg is needed to capture to .mp4 or .mkv and was not found on the PATH; install "
           "it (Debian, Ubuntu: sudo apt-get install ffmpeg, or run scripts/install-deps.sh), "
           "or capture PNG files into a folder instead";
}

std::vector<std::string> cFfmpegSink::arguments(const std::string& in_wav) const
{
    std::vector<std::string> args = {"-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-nostats",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pixel_format",
                                     "yuv420p",
                                     "-video_size",
                                     std::to_string(m_width) + "x" + std::to_string(m_height),
                                     "-framerate",
                                     std::to_string(m_fps),
                                     "-i",
                                     "pipe:0"};
    if (!in_wav.empty())
        args.insert(args.end(), {"-i", in_wav});
    args.insert(args.end(), {"-map", "0:v:0"});
    if (!in_wav.empty())
        args.insert(args.end(), {"-map", "1:a:0"});
    // The frames come upright and in the encoder's format (to_yuv420()): ffmpeg's own turn and
    // conversion of RGB took a third of its time, twice what the sink's loop takes, and the
    // pipe carries half the bytes. The encoder shares the machine with the renderer, which on a
    // software rasteriser needs every core. At the same rate factor (CRF 18), "ultrafast" takes
    // about a quarter of the CPU time of "veryfast" and a third of "superfast": on two cores a
    // capture then costs about 1.2 times the rendering alone instead of 1.3 to 1.45. Its files are
    // larger (about 1.4 times "superfast", 1.9 times "veryfast") at a slightly higher PSNR. The
    // encoder keeps up on one thread fewer than the machine has cores (at least one), which leaves
    // a core to the renderer. On two cores x264's own choice (one and a half threads a core) spends
    // about a third more CPU time on the same frames than one thread.
    const unsigned cores = std::thread::hardware_concurrency();
    const std::string threads = std::to_string(cores > 1 ? cores - 1 : 1);
    args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-threads",
                             threads, "-pix_fmt", "yuv420p"});
    // AAC starts with encoder priming: MP4 trims it through its edit list, Matroska would play
    // it and put the music 23 ms late, so .mkv files carry lossless FLAC instead.
    const bool mp4 = ends_with(lower(m_path), ".mp4");
    if (!in_wav.empty() && mp4)
        args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k"});
    else if (!in_wav.empty())
        args.insert(args.end(), {"-c:a", "flac"});
    // The sound covers the whole range; an interrupted capture ends with its last frame.
    if (!in_wav.empty())
        args.push_back("-shortest");
    if (mp4)
        args.insert(args.end(), {"-movflags", "+faststart"});
    args.push_back(m_path);
    return args;
}

void cFfmpegSink::set_audio(std::vector<int16_t> in_pcm, int in_rate)
{
    m_pcm = std::move(in_pcm);
    m_rate = in_rate;
}

bool cFfmpegSink::open(int in_width, int in_height, int in_fps, std::string& out_error)
{
    const std::string ffmpeg = find_ffmpeg();
    if (ffmpeg.empty()) {
        out_error = install_hint();
        return false;
    }
    std::error_code ec;
    const fs::path parent = fs::path(m_path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        out_error = "cannot write " + m_path + ": no folder " + parent.string();
        return false;
    }
    m_width = in_width;
    m_height = in_height;
    m_fps = in_fps;
    if (!m_pcm.empty()) {
        m_wav = (fs::temp_directory_path(ec) /
                 ("vantor-capture-" + std::to_string(::getpid()) + ".wav"))
                    .string();
        if (!write_wav(m_wav, m_pcm, m_rate, 2, out_error)) {
            remove_wav();
            return false;
        }
    }
    ignore_sigpipe();
    if (!spawn_with_pipe(ffmpeg, arguments(m_wav), m_child, m_pipe, out_error)) {
        restore_sigpipe();
        remove_wav();
        return false;
    }
#ifdef SCHED_IDLE
    // The encoder takes the time the renderer leaves idle (a software rasteriser keeps the
    // cores busy but for its waits): at the same priority it would share a core with the
    // rendering and hold every frame up, and the frames it lags behind wait in the pipe. Set
    // before ffmpeg starts its threads, which take the policy on; where it is refused, ffmpeg
    // runs as usual.
    const sched_param lowest = {};
    sched_setscheduler(m_child, SCHED_IDLE, &lowest);
#endif
    return true;
}

void cFfmpegSink::to_yuv420(const unsigned char* in_rgb, int in_width, int in_height,
                            std::vector<uint8_t>& out_yuv)
{
    const int w = std::max(in_width, 0), h = std::max(in_height, 0);
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    out_yuv.resize(size_t(w) * size_t(h) + 2 * size_t(cw) * size_t(ch));
    uint8_t* y_plane = out_yuv.data();
    uint8_t* cb_plane = y_plane + size_t(w) * size_t(h);
    uint8_t* cr_plane = cb_plane + size_t(cw) * size_t(ch);
    const size_t stride = size_t(w) * 3;
    // Two output rows at a time, each pixel read once: output row j is input row h - 1 - j.
    // Fixed point with 8 fractional bits, rounded.
    for (int j = 0; j < ch; ++j) {
        const int top = 2 * j, bottom = std::min(2 * j + 1, h - 1);
        const unsigned char* upper = in_rgb + size_t(h - 1 - top) * stride;
        const unsigned char* lower = in_rgb + size_t(h - 1 - bottom) * stride;
        uint8_t* y_upper = y_plane + size_t(top) * size_t(w);
        uint8_t* y_lower = y_plane + size_t(bottom) * size_t(w);
        uint8_t* cb = cb_plane + size_t(j) * size_t(cw);
        uint8_t* cr = cr_plane + size_t(j) * size_t(cw);
        for (int i = 0; i < cw; ++i) {
            const int x0 = 2 * i, x1 = std::min(2 * i + 1, w - 1);
            const unsigned char *a = upper + size_t(x0) * 3, *b = upper + size_t(x1) * 3;
            const unsigned char *c = lower + size_t(x0) * 3, *d = lower + size_t(x1) * 3;
            // A repeated last row or column writes its luma twice, the same value.
            y_upper[x0] = luma(a);
            y_upper[x1] = luma(b);
            y_lower[x0] = luma(c);
            y_lower[x1] = luma(d);
            // Sums of the four pixels: the coefficients below are a quarter of the full ones.
            const int r = a[0] + b[0] + c[0] + d[0];
            const int g = a[1] + b[1] + c[1] + d[1];
            const int bl = a[2] + b[2] + c[2] + d[2];
            cb[i] = uint8_t(((-38 * r - 74 * g + 112 * bl + 512) >> 10) + 128);
            cr[i] = uint8_t(((112 * r - 94 * g - 18 * bl + 512) >> 10) + 128);
        }
    }
}

bool cFfmpegSink::write(const unsigned char* in_rgb, std::string& out_error)
{
    if (m_pipe < 0) {
        out_error = "ffmpeg is not running";
        return false;
    }
    to_yuv420(in_rgb, m_width, m_height, m_yuv);
    size_t left = m_yuv.size();
    const unsigned char* at = m_yuv.data();
    while (left > 0) {
        const ssize_t written = ::write(m_pipe, at, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            out_error = "ffmpeg stopped taking frames (" + std::string(std::strerror(errno)) + ")";
            return false;
        }
        at += written;
        left -= size_t(written);
    }
    return true;
}

bool cFfmpegSink::finish(std::string& out_error)
{
    if (m_child < 0)
        return true;
    if (m_pipe >= 0) {
        ::close(m_pipe);
        m_pipe = -1;
    }
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(m_child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    m_child = -1;
    restore_sigpipe();
    if (waited < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        out_error = "ffmpeg failed to write " + m_path +
                    (waited >= 0 && WIFEXITED(status)
                         ? " (exit status " + std::to_string(WEXITSTATUS(status)) + ")"
                         : std::string());
        return false;
    }
    return true;
}

bool cFfmpegSink::close(std::string& out_error)
{
    const bool ok = finish(out_error);
    remove_wav();
    return ok;
}

void cFfmpegSink::remove_wav()
{
    if (m_wav.empty())
        return;
    std::error_code ec;
    fs::remove(m_wav, ec);
    m_wav.clear();
}
