// Framed rectangle widget (see gui_rectangle.h).
#include "gui/gui_rectangle.h"

#include "gl_extensions.h"

void cGuiRectangle::draw()
{
    GLfloat line_width = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &line_width);
    glLineWidth(1.0f);
    glColor4fv(m_fill);
    glBegin(GL_QUADS);
    glVertex2f(m_x, m_y);
    glVertex2f(m_x + m_w, m_y);
    glVertex2f(m_x + m_w, m_y + m_h);
    glVertex2f(m_x, m_y + m_h);
    glEnd();
    glColor4fv(m_border);
    glBegin(GL_LINE_LOOP);
    glVertex2f(m_x, m_y);
    glVertex2f(m_x + m_w, m_y);
    glVertex2f(m_x + m_w, m_y + m_h);
    glVertex2f(m_x, m_y + m_h);
    glEnd();
    glLineWidth(line_width);
}

bool cGuiRectangle::contains(float in_x, float in_y) const
{
    return m_x < in_x && in_x < m_x + m_w && m_y < in_y && in_y < m_y + m_h;
}

void cGuiRectangle::set_pos(float in_x, float in_y)
{
    m_x = in_x;
    m_y = in_y;
}

void cGuiRectangle::get_pos(float& out_x, float& out_y) const
{
    out_x = m_x;
    out_y = m_y;
}

void cGuiRectangle::set_size(float in_w, float in_h)
{
    m_w = in_w;
    m_h = in_h;
}

void cGuiRectangle::get_size(float& out_w, float& out_h) const
{
    out_w = m_w;
    out_h = m_h;
}

void cGuiRectangle::set_border_colour(float in_r, float in_g, float in_b, float in_a)
{
    m_border[0] = in_r;
    m_border[1] = in_g;
    m_border[2] = in_b;
    m_border[3] = in_a;
}

void cGuiRectangle::set_fill_colour(float in_r, float in_g, float in_b, float in_a)
{
    m_fill[0] = in_r;
    m_fill[1] = in_g;
    m_fill[2] = in_b;
    m_fill[3] = in_a;
}
