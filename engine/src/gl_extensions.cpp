// OpenGL extension loader (see gl_extensions.h).
#include "gl_extensions.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <iostream>

#include "fatal.h"

#define VNT_GL_DEFINE(type, name) type vnt_##name = nullptr;
VNT_GL_VBO(VNT_GL_DEFINE)
VNT_GL_MULTITEX(VNT_GL_DEFINE)
VNT_GL_IMAGING(VNT_GL_DEFINE)
VNT_GL_BLEND(VNT_GL_DEFINE)
VNT_GL_FBO(VNT_GL_DEFINE)
VNT_GL_EXTRAS(VNT_GL_DEFINE)
VNT_GL_GLSL(VNT_GL_DEFINE)
#undef VNT_GL_DEFINE

namespace vnt {

namespace {

// Fetches one entry point; a missing one is named on the error stream when `report` is set.
template <class T> void load_entry(T& pointer, const char* name, bool report = true)
{
    pointer = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    if (!pointer && report)
        std::cerr << name << " not initialized" << std::endl;
}

#define VNT_GL_LOAD(type, name) load_entry(vnt_##name, #name);

void show_box(const char* title, const char* text)
{
    // Without a display the box cannot open; the error-stream line has been printed already.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr);
}

void warn_missing(const char* extensions, const char* name, const char* message)
{
    if (!has_extension_in(extensions, name))
        std::cerr << message << std::endl;
}

void load_vbo(const char* extensions)
{
    if (!has_extension_in(extensions, "GL_ARB_vertex_buffer_object")) {
        std::cerr << "# WARNING: GL_ARB_vertex_buffer_object not supported" << std::endl;
        SDL_Quit();
        show_box("missing gl-extension",
                 "GL_ARB_vertex_buffer_object is missing\n(you probably need newer hardware)");
        fatal_exit(1);
    }
    VNT_GL_VBO(VNT_GL_LOAD)
}

void load_multitexture(const char* extensions)
{
    if (!has_extension_in(extensions, "GL_ARB_multitexture")) {
        std::cerr << "# WARNING: GL_ARB_multitexture not supported" << std::endl;
        fatal_exit(-1);
    }
    VNT_GL_MULTITEX(VNT_GL_LOAD)
}

void load_imaging(const char* extensions)
{
    warn_missing(extensions, "GL_ARB_imaging", "# WARNING: GL_ARB_imaging not supported");
    VNT_GL_IMAGING(VNT_GL_LOAD)
    VNT_GL_BLEND(VNT_GL_LOAD)
}

void load_framebuffer_objects(const char* extensions)
{
    if (!has_extension_in(extensions, "GL_EXT_framebuffer_object")) {
        std::cerr << "# WARNING: GL_EXT_framebuffer_object not supported" << std::endl;
        SDL_Quit();
        show_box(
            "vnt::slw - missing gl-extension",
            "GL_EXT_framebuffer_object is missing\n(you probably just need a driver-update...)");
        fatal_exit(1);
    }
    warn_missing(extensions, "GL_ARB_draw_buffers", "# WARNING: GL_ARB_draw_buffers not supported");
    VNT_GL_FBO(VNT_GL_LOAD)
}

void load_texture_extras(const char* extensions)
{
    warn_missing(extensions, "GL_SGIS_texture_lod", "# WARNING: GL_SGIS_texture_lod not supported");
    warn_missing(extensions, "GL_SGIS_generate_mipmap",
                 "# WARNING: GL_SGIS_generate_mipmap not supported");
    warn_missing(extensions, "GL_ARB_texture_env_add",
                 "# WARNING: GL_ARB_texture_env_add not supported");
    warn_missing(extensions, "GL_EXT_texture_lod_bias",
                 "# WARNING: EXT_texture_lod_bias not supported");
    warn_missing(extensions, "GL_ARB_texture_float",
                 "# WARNING: GL_ARB_texture_float not supported");
    if (!has_extension_in(extensions, "GL_ARB_texture_rectangle")) {
        std::cerr << "# WARNING: GL_ARB_texture_rectangle not supported" << std::endl;
        // Both extensions share the enumerant, so the rectangle target works either way.
        if (has_extension_in(extensions, "GL_EXT_texture_rectangle"))
            std::cerr << "           GL_EXT_texture_rectangle supported though" << std::endl;
        else
            std::cerr << "# WARNING: GL_EXT_texture_rectangle not supported" << std::endl;
    }
    warn_missing(extensions, "GL_ARB_multisample", "# WARNING: GL_ARB_multisample not supported");
    warn_missing(extensions, "GL_ARB_texture_non_power_of_two",
                 "# WARNING: GL_ARB_texture_non_power_of_two not supported!");
    warn_missing(extensions, "GL_ARB_pixel_buffer_object",
                 "# WARNING: \tGL_ARB_pixel_buffer_object not supported! (go bug your "
                 "hardware-vendor)");
    warn_missing(extensions, "GL_ARB_point_sprite",
                 "# WARNING: \tGL_ARB_point_sprite not supported! (go bug your hardware-vendor)");

    load_entry(vnt_glPointParameterfARB, "glPointParameterfARB", false);
    load_entry(vnt_glPointParameterfvARB, "glPointParameterfvARB", false);
    load_entry(vnt_glDrawRangeElements, "glDrawRangeElements");
}

void load_glsl()
{
    VNT_GL_GLSL(VNT_GL_LOAD)
}

} // namespace

bool has_extension_in(const char* extensions, const char* name)
{
    if (!extensions || !name || !*extensions)
        return false;
    const size_t name_len = std::strlen(name);
    const char* p = extensions;
    while (*p) {
        const size_t token_len = std::strcspn(p, " ");
        if (token_len == name_len && std::strncmp(p, name, name_len) == 0)
            return true;
        p += token_len;
        while (*p == ' ')
            ++p;
    }
    return false;
}

bool has_extension(const char* name)
{
    return has_extension_in(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

void load_extensions(const char* extensions)
{
    if (!extensions)
        extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    load_vbo(extensions);
    load_multitexture(extensions);
    load_imaging(extensions);
    load_framebuffer_objects(extensions);
    load_texture_extras(extensions);
    load_glsl();
}

bool enable_vsync()
{
    if (SDL_GL_SetSwapInterval(1) != 0) {
        std::cerr << "# warning: no swap interval (" << SDL_GetError()
                  << "), frames are not paced by the display" << std::endl;
        return false;
    }
    return true;
}

} // namespace vnt
