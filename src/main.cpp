// Entry of the demo: brings the engine up in its fixed order and enters the main loop.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "gl_extensions.h"
#include "glimmerfall.h"
#include "options.h"
#include "startup.h"
#include "video_module.h"

namespace {

// "../data" and "../src/shaders" are relative to the executable's own folder.
void enter_executable_folder(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    if (!ec && exe.has_parent_path())
        std::filesystem::current_path(exe.parent_path(), ec);
    if (ec)
        std::cerr << "# WARNING: cannot enter the program's folder: " << ec.message()
                  << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    sOptions options;
    std::string error;
    if (!parse_options(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "glimmerfall: " << error << "\n" << usage_line() << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << help_text();
        return 0;
    }
    enter_executable_folder(argv[0]);

    cVideoModule* video = cVideoModule::get_instance();
    video->set_fullscreen(!options.windowed);
    video->init_sdl();

    // Leave no undefined picture on screen while loading.
    glClearColor(0.15f, 0.15f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    video->swap_buffers();

    init_gl();
    init_il();
    init_gl_state();
    init_search_paths();
    check_gl_error("SDL_main");
    check_il_error();

    std::atexit(shutdown_on_exit);

    cGlimmerfall demo;
    demo.set_frame_limit(options.frames);
    demo.setup();
    demo.run();
}
