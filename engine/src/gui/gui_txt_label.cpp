// Text label widget (see gui_txt_label.h).
#include "gui/gui_txt_label.h"

#include <algorithm>

#include "engine_paths.h"
#include "gl_extensions.h"
#include "resource_path.h"
#include "texture_manager.h"

namespace {

bool folder_is_searched(const std::string& in_folder)
{
    const auto& paths = cResourcePath::get_instance()->searchpaths();
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return path == in_folder + "/" || path == in_folder + "\\";
    });
}

} // namespace

void cGuiTxtLabel::prepare()
{
    const std::string fonts = vnt::engine_asset_dir() + "/textures";
    if (!folder_is_searched(fonts))
        cResourcePath::get_instance()->push_searchpath(fonts);
}

void cGuiTxtLabel::set_pos(float in_x, float in_y)
{
    m_x = in_x;
    m_y = in_y;
}

void cGuiTxtLabel::get_pos(float& out_x, float& out_y) const
{
    out_x = m_x;
    out_y = m_y;
}

bool cGuiTxtLabel::glyph_cell(char in_c, int& out_u, int& out_v)
{
    const int code = static_cast<unsigned char>(in_c);
    if (code >= 'A' && code <= 'Z') {
        out_u = (code - 55) * CELL;
        out_v = 0;
        return true;
    }
    if (code >= 'a' && code <= 'z') {
        out_u = (code - 'a' + 'A' - 55) * CELL;
        out_v = CELL;
        return true;
    }
    if (code >= '0' && code <= '9') {
        out_u = (code - 48) * CELL;
        out_v = CELL;
        return true;
    }
    out_v = 0;
    switch (code) {
    case '.':
        out_u = 80;
        return true;
    case ':':
        out_u = 100;
        return true;
    case ',':
        out_u = 120;
        return true;
    case '-':
        out_u = 60;
        return true;
    case '(':
        out_u = 160;
        return true;
    case ')':
        out_u = 180;
        return true;
    default:
        return false;
    }
}

float cGuiTxtLabel::glyph_height(int in_vp_width, int in_vp_height)
{
    if (in_vp_height <= 0)
        return GLYPH_WIDTH;
    return GLYPH_WIDTH * float(in_vp_width) / float(in_vp_height);
}

void cGuiTxtLabel::draw()
{
    if (m_text.empty())
        return;
    if (!m_font.isValid()) {
        m_font = cTextureManager::get_instance()->get_texture(m_font_name, false, GL_CLAMP_TO_EDGE,
                                                              GL_TEXTURE_RECTANGLE_ARB);
        if (!m_font.isValid())
            return;
    }

    // Enables, the font binding, the texture environment and the matrix mode come back with
    // the pop; the texture matrix is pushed and popped on its own.
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    glActiveTextureARB(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    m_font.bind(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float w = GLYPH_WIDTH;
    const float h = glyph_height(viewport[2], viewport[3]);
    const float cell = float(CELL);

    glBegin(GL_QUADS);
    for (size_t i = 0; i < m_text.size(); ++i) {
        int u = 0, v = 0;
        if (!glyph_cell(m_text[i], u, v))
            continue;
        const float x = m_x + w * float(i);
        glTexCoord2f(float(u), float(v));
        glVertex2f(x, m_y);
        glTexCoord2f(float(u) + cell, float(v));
        glVertex2f(x + w, m_y);
        glTexCoord2f(float(u) + cell, float(v) + cell);
        glVertex2f(x + w, m_y + h);
        glTexCoord2f(float(u), float(v) + cell);
        glVertex2f(x, m_y + h);
    }
    glEnd();

    m_font.unbind();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopAttrib();
}
