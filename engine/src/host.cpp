// The program around a production (see host.h): brings the engine up in its fixed order and
// enters the main loop, or runs a capture or a benchmark of a range of the timeline on a fixed
// time step.
#include "host.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "author_keys.h"
#include "benchmark_report.h"
#include "demo.h"
#include "fatal.h"
#include "ffmpeg_sink.h"
#include "file_read.h"
#include "frame_sink.h"
#include "gl_extensions.h"
#include "live_log.h"
#include "offline_runner.h"
#include "options.h"
#include "scene_manager.h"
#include "scenes/layer_composition.h"
#include "startup.h"
#include "video_module.h"

namespace fs = std::filesystem;

namespace {

// The folder of the running executable; the production's paths are relative to it.
fs::path executable_folder(const char* argv0)
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = fs::absolute(argv0, ec);
    return !ec && exe.has_parent_path() ? exe.parent_path() : fs::path();
}

void enter_folder(const fs::path& in_folder)
{
    std::error_code ec;
    if (in_folder.empty())
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    else
        fs::current_path(in_folder, ec);
    if (ec)
        std::cerr << "# WARNING: cannot enter the program's folder: " << ec.message() << std::endl;
}

// The marks of the production's marker script, for the help and the option errors; none when the
// script cannot be read (the run itself reports that).
std::vector<std::string> production_marks(const fs::path& in_script)
{
    std::string text;
    if (in_script.empty() || vnt::read_regular_file(in_script.string(), 1 << 20, text))
        return {};
    return script_marks(text);
}

bool refuse(const std::string& in_message)
{
    std::cerr << "## ERROR: " << in_message << std::endl;
    return false;
}

// Checks where a capture or benchmark writes, before anything is loaded, and makes the paths
// absolute (the program moves into its own folder). The capture's output is made here.
bool prepare_outputs(sOptions& io_options, std::unique_ptr<iFrameSink>& out_sink)
{
    std::error_code ec;
    if (!io_options.capture.empty()) {
        const fs::path out = fs::absolute(io_options.capture, ec);
        io_options.capture = out.string();
        if (cFfmpegSink::is_video_name(out.string())) {
            if (cFfmpegSink::find_ffmpeg().empty())
                return refuse(cFfmpegSink::install_hint());
            if (fs::is_directory(out, ec))
                return refuse(out.string() + " is a folder; give the video a file name");
            if (!fs::is_directory(out.parent_path(), ec))
                return refuse("cannot write " + out.string() + ": there is no folder " +
                              out.parent_path().string());
            out_sink.reset(new cFfmpegSink(out.string()));
        } else {
            const std::string ext = out.extension().string();
            for (const char* video : {".avi", ".mov", ".webm", ".gif", ".mpg", ".mpeg", ".m4v",
                                      ".ts", ".flv", ".wmv", ".png", ".jpg"}) {
                if (ext == video)
                    return refuse("captures are .mp4 or .mkv videos, or PNG files in a folder; "
                                  "\"" +
                                  io_options.capture + "\" is neither");
            }
            if (fs::exists(out, ec) && !fs::is_directory(out, ec))
                return refuse(out.string() + " is a file; capture PNG files into a folder, or "
                                             "give a .mp4 or .mkv name");
            out_sink.reset(new cPngFolderSink(out.string()));
        }
    }
    if (!io_options.benchmark_json.empty()) {
        const fs::path json = fs::absolute(io_options.benchmark_json, ec);
        io_options.benchmark_json = json.string();
        if (fs::is_directory(json, ec) || !fs::is_directory(json.parent_path(), ec))
            return refuse("cannot write the benchmark to " + json.string());
    }
    return true;
}

// Whether the driver can render pictures of the capture size (the window's context is current).
bool size_fits_gl(int in_width, int in_height)
{
    GLint max_texture = 0;
    GLint max_viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, max_viewport);
    const int max_w = std::min(max_texture, max_viewport[0]);
    const int max_h = std::min(max_texture, max_viewport[1]);
    if (in_width <= max_w && in_height <= max_h)
        return true;
    std::cerr << "## ERROR: --size " << in_width << "x" << in_height
              << " is more than this OpenGL renders (at most " << max_w << "x" << max_h << ")"
              << std::endl;
    return false;
}

// The layers the timeline draws at a time, for the benchmark table.
tActiveLayers timeline_layers(int in_time_ms)
{
    tActiveLayers active;
    const cLayerComposition* composition =
        cSceneManager::get_instance()->get_scene<cLayerComposition>();
    if (!composition)
        return active;
    for (int depth : composition->active_depths(in_time_ms)) {
        const sLayer& layer = composition->layers().at(depth);
        active.push_back({depth, layer.m_scene ? layer.m_scene->get_name() : std::string()});
    }
    return active;
}

// The windows of the timeline's layers, for a capture's pre-roll.
std::vector<sLayerSpan> timeline_spans()
{
    std::vector<sLayerSpan> spans;
    if (const cLayerComposition* composition =
            cSceneManager::get_instance()->get_scene<cLayerComposition>()) {
        for (const auto& [depth, layer] : composition->layers())
            spans.push_back({layer.m_starttime, layer.m_endtime, layer.m_scene});
    }
    return spans;
}

std::string gl_text(GLenum in_name)
{
    const GLubyte* text = glGetString(in_name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

int run_benchmark(const sOptions& in_options, const sFrameRange& in_range,
                  cOfflineRunner& in_runner)
{
    sBenchmarkSetup setup;
    const cVideoModule* video = cVideoModule::get_instance();
    setup.width = int(video->get_vp_width());
    setup.height = int(video->get_vp_height());
    setup.fps = in_range.fps;
    setup.from = in_options.from.text;
    setup.to = in_options.to.text;
    setup.from_ms = in_range.from_ms;
    setup.to_ms = in_range.to_ms;
    setup.renderer = gl_text(GL_RENDERER);
    setup.version = gl_text(GL_VERSION);
    cBenchmarkReport report(setup);
    const int status = in_runner.benchmark(in_range, timeline_layers, report);
    std::cout << report.table() << std::flush;
    if (!in_options.benchmark_json.empty()) {
        std::ofstream json(in_options.benchmark_json, std::ios::trunc);
        json << report.json();
        json.flush();
        if (!json) {
            std::cerr << "## ERROR: cannot write the benchmark to " << in_options.benchmark_json
                      << std::endl;
            return 1;
        }
        std::cout << "# benchmark: written to " << in_options.benchmark_json << std::endl;
    }
    return status;
}

// Resolves the range through the marker script and runs the capture or the benchmark; returns
// the exit status.
int run_offline(const sOptions& in_options, cOfflineRunner& in_runner, iFrameSink* in_sink)
{
    sFrameRange range;
    std::string error, warning;
    if (!resolve_range(cSceneManager::get_instance()->event_queue(), in_options.from, in_options.to,
                       in_options.fps, range, error, warning)) {
        std::cerr << "## ERROR: " << error << std::endl;
        return 2;
    }
    if (!warning.empty())
        std::cerr << "# WARNING: " << warning << std::endl;
    if (in_sink && in_options.pre_roll)
        range.replay_ms = replay_before(timeline_spans(), range.from_ms);
    if (in_sink)
        return in_runner.capture(range, *in_sink, !in_options.mute);
    return run_benchmark(in_options, range, in_runner);
}

// A live start at a mark needs the mark in the script.
bool start_mark_exists(const sTimePoint& in_start)
{
    if (!in_start.is_mark() ||
        mark_time(cSceneManager::get_instance()->event_queue(), in_start.mark) >= 0)
        return true;
    std::cerr << "## ERROR: --start: the marker script has no mark \"" << in_start.text << "\""
              << std::endl;
    return false;
}

} // namespace

namespace vnt {

int run_production(int argc, char** argv, const sProduction& in_production)
{
    const fs::path folder = executable_folder(argv[0]);
    sProgramText text;
    text.program = in_production.program;
    text.title = in_production.title;
    if (!in_production.marker_script.empty())
        text.marks =
            production_marks(folder.empty() ? fs::path() : folder / in_production.marker_script);

    sOptions options;
    std::string error;
    if (!parse_options(std::vector<std::string>(argv + 1, argv + argc), options, error, text)) {
        std::cerr << text.program << ": " << error << "\n" << usage_line(text) << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << help_text(text);
        return 0;
    }
    std::unique_ptr<iFrameSink> sink;
    if (options.offline() && !prepare_outputs(options, sink))
        return 2;
    if (!options.live_log.empty()) {
        std::error_code ec;
        options.live_log = fs::absolute(options.live_log, ec).string();
    }
    enter_folder(folder);
    cVideoModule* video = cVideoModule::get_instance();
    if (options.offline()) {
        // Offscreen: a hidden window of the capture size, which the render targets follow.
        video->set_hidden(true);
        video->set_size(uint32_t(options.width), uint32_t(options.height));
    } else {
        video->set_fullscreen(!options.windowed);
        video->set_size(uint32_t(options.width), uint32_t(options.height));
    }
    video->init_sdl();
    if ((options.offline() || options.size_set) && !size_fits_gl(options.width, options.height))
        vnt::fatal_exit(2);

    // Leave no undefined picture on screen while loading.
    glClearColor(0.15f, 0.15f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    video->swap_buffers();

    init_gl();
    init_il();
    init_gl_state();
    init_search_paths(in_production.search_dirs);
    check_gl_error("SDL_main");
    check_il_error();

    std::atexit(shutdown_on_exit);

    // A fixed step from the very first clock reading on; the music is not played live.
    std::unique_ptr<cOfflineRunner> runner;
    if (options.offline()) {
        runner.reset(new cOfflineRunner(options.fps));
        cSceneManager::get_instance()->set_music_live(false);
    }

    std::unique_ptr<cDemo> demo = in_production.create();
    demo->set_frame_limit(options.frames);
    demo->setup();
    cSceneManager* scenes = cSceneManager::get_instance();
    if (options.mute)
        scenes->toggle_mute();

    if (runner) {
        const int status = run_offline(options, *runner, sink.get());
        sink.reset();
        runner.reset();
        std::exit(status);
    }
    if (options.start_set) {
        if (!start_mark_exists(options.start))
            vnt::fatal_exit(2);
        scenes->set_start(options.start.mark, options.start.ms);
    }
    if (!options.live_log.empty()) {
        if (!vnt::open_live_log(options.live_log))
            vnt::fatal_exit(2);
        vnt::live_log("latency", std::to_string(scenes->sound().latency_ms()));
        scenes->sound().keep_callbacks(true);
    }
    demo->run();
}

} // namespace vnt
