// Start-up sequence pieces, error checks and the exit handler (see startup.h).
#include "startup.h"

#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <SDL2/SDL.h>

#include <iostream>

#include "engine_paths.h"
#include "fatal.h"
#include "gl_extensions.h"
#include "mesh_manager.h"
#include "render_target_manager.h"
#include "resource_path.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"
#include "texture_manager.h"
#include "video_module.h"

namespace {

GLenum g_last_gl_error = GL_NO_ERROR;

} // namespace

void init_gl()
{
    vnt::load_extensions();
    cRenderTargetManager::get_instance(); // warms the pool while nothing is bound
    glClearColor(0, 0, 0, 0);
    cVideoModule::get_instance()->set_viewport();
    check_gl_error("init_gl");
}

bool il_versions_ok(int il, int ilu, int ilut)
{
    return il >= 167 && ilu >= 167 && ilut >= 167;
}

void init_il()
{
    if (!il_versions_ok(ilGetInteger(IL_VERSION_NUM), iluGetInteger(ILU_VERSION_NUM),
                        ilutGetInteger(ILUT_VERSION_NUM))) {
        std::cerr << "ilut version different - exiting" << std::endl;
        vnt::fatal_exit(-1);
    }
    ilInit();
    iluInit();
    if (!ilutRenderer(ILUT_OPENGL)) {
        std::cerr << "openILUT failed to initialize a render" << std::endl;
        vnt::fatal_exit(-1);
    }
    // Images arrive with their first row at the bottom, as OpenGL expects.
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_ORIGIN_SET);
}

void init_gl_state()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_MULTISAMPLE);
    glActiveTextureARB(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glBindTexture(GL_TEXTURE_1D, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    glEnable(GL_LIGHTING);
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 0.1f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnable(GL_COLOR_SUM);
    glDisable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    check_gl_error("init_gl_state");
}

void init_search_paths(const std::vector<std::string>& in_production_dirs)
{
    cResourcePath* paths = cResourcePath::get_instance();
    for (const std::string& dir : in_production_dirs)
        paths->push_searchpath(dir);
    const std::string shaders = vnt::engine_shader_dir();
    const std::string assets = vnt::engine_asset_dir();
    for (const std::string& dir :
         {shaders, shaders + "/comp", assets, assets + "/models", assets + "/textures"})
        paths->push_searchpath(dir);
    cShaderManager_GLSL::get_instance()->init();
}

bool check_gl_error(const std::string& location)
{
    g_last_gl_error = glGetError();
    if (g_last_gl_error == GL_NO_ERROR)
        return false;
    std::cerr << "## ERROR: OpenGL ";
    if (!location.empty())
        std::cerr << " " << location;
    std::cerr << ": " << reinterpret_cast<const char*>(gluErrorString(g_last_gl_error))
              << std::endl;
    g_last_gl_error = GL_NO_ERROR;
    return true;
}

bool check_il_error()
{
    ILenum code = ilGetError();
    if (code == IL_NO_ERROR)
        return false;
    while (code != IL_NO_ERROR) {
        std::cerr << "## ERROR: OpenIL Error " << code << ": " << iluErrorString(code)
                  << std::endl;
        code = ilGetError();
    }
    return true;
}

void shutdown_on_exit()
{
    // Teardown order: content first, then the managers it borrowed from, the window last.
    cSceneManager::destroy_instance(); // stops the music with it
    cShaderManager_GLSL::destroy_instance();
    cMeshManager::destroy_instance(); // vertex buffers; the meshes borrow textures
    cTextureManager::destroy_instance();
    cRenderTargetManager::destroy_instance();
    cResourcePath::destroy_instance();
    SDL_Quit();
    cVideoModule::destroy_instance();
    std::cout << "requested exit" << std::endl;
}
