// Debug overlay (see debug_overlay.h).
#include "gui/debug_overlay.h"

#include "demo.h"
#include "gl_extensions.h"
#include "scene.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"
#include "video_module.h"

void cDebugOverlay::layout()
{
    m_varlist.prepare();
    m_varlist.set_pos(0.05f, 0.05f);
    m_varlist.set_size(0.9f, 0.65f);
    m_scene_label.prepare();
    m_scene_label.set_pos(0.05f, 0.7f);
    m_time_label.set_pos(0.83f, 0.7f);
}

void cDebugOverlay::set_scene(cScene* in_scene)
{
    m_varlist.clear();
    if (!in_scene) {
        m_scene_label.set_text(std::string());
        return;
    }
    for (const auto& entry : in_scene->get_vars())
        m_varlist.add_var(entry.first, entry.second);
    in_scene->add_gui(&m_varlist);
    m_scene_label.set_text(in_scene->get_name());
}

bool cDebugOverlay::on_mouse(int in_kind, float in_px, float in_py)
{
    float x = 0.0f, y = 0.0f;
    if (cVideoModule::has_instance()) {
        cVideoModule::get_instance()->to_unit(in_px, in_py, x, y);
    }
    return on_mouse_unit(in_kind, x, y);
}

bool cDebugOverlay::on_mouse_unit(int in_kind, float in_x, float in_y)
{
    return m_varlist.on_mouse(in_kind, in_x, in_y);
}

void cDebugOverlay::print_vars(std::ostream& os) const
{
    m_varlist.print(os);
}

void cDebugOverlay::draw()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    // Colour, enables, textures, blend factors and depth mask come back with the pop.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT |
                 GL_DEPTH_BUFFER_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE); // the widgets' quads are not all wound one way
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    m_graph.RenderOverlay(1);

    glColor4f(1.0f, 1.0f, 1.0f, 0.85f);
    m_scene_label.draw();
    const int now = cSceneManager::has_instance() ? cSceneManager::get_instance()->get_time() : 0;
    m_time_label.set_text(format_time(now));
    m_time_label.draw();

    m_varlist.draw();

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopAttrib();
    shaders->pop_shader();
}
