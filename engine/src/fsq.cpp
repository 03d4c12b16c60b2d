// Full-screen quad drawing (see fsq.h).
#include "fsq.h"

#include "gl_extensions.h"
#include "render_target.h"

namespace {

GLboolean g_saved_depth_mask = GL_TRUE;

void begin_bracket(bool keep_colour)
{
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    if (!keep_colour)
        glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &g_saved_depth_mask);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    if (!keep_colour)
        glColor4f(1, 1, 1, 1);
}

// Texture extents per unit for up to three sources; one quad, vertex by vertex.
void quad_multi(const float (*extent)[2], int units)
{
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        for (int u = 0; u < units; ++u)
            glMultiTexCoord2fARB(GL_TEXTURE0 + GLenum(u), c[0] * extent[u][0], c[1] * extent[u][1]);
        glVertex3f(c[0], c[1], 0);
    }
    glEnd();
}

} // namespace

void begin_fsq()
{
    begin_bracket(false);
}

void begin_fsq_keep_colour()
{
    begin_bracket(true);
}

void end_fsq()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDepthMask(g_saved_depth_mask);
    glPopAttrib();
}

void draw_quad()
{
    draw_quad(1.0f, 1.0f);
}

void draw_quad(float in_w, float in_h)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(in_w, 0);
    glVertex3f(1, 0, 0);
    glTexCoord2f(in_w, in_h);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, in_h);
    glVertex3f(0, 1, 0);
    glEnd();
}

void draw_quad(const iRenderTarget& in_rt)
{
    draw_quad(float(in_rt.m_width), float(in_rt.m_height));
}

void draw_quad_2(const iRenderTarget& in_a, const iRenderTarget& in_b)
{
    const float extent[2][2] = {{float(in_a.m_width), float(in_a.m_height)},
                                {float(in_b.m_width), float(in_b.m_height)}};
    quad_multi(extent, 2);
}

void bind_source(iRenderTarget& in_rt, unsigned int in_unit)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (GLint(in_rt.m_width) == viewport[2] && GLint(in_rt.m_height) == viewport[3])
        in_rt.bind_as_texture_unfiltered(in_unit);
    else
        in_rt.bind_as_texture(in_unit);
}

void RenderFSQ(iRenderTarget& in_rt)
{
    begin_fsq();
    bind_source(in_rt, GL_TEXTURE0);
    draw_quad(in_rt);
    in_rt.unbind_as_texture();
    end_fsq();
}

void RenderFSQ()
{
    begin_fsq();
    draw_quad();
    end_fsq();
}

void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b)
{
    begin_fsq();
    draw_quad_2(in_a, in_b);
    end_fsq();
}

void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b, const iRenderTarget& in_c)
{
    RenderFSQ(in_a, in_b, float(in_c.m_width), float(in_c.m_height));
}

void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b, float in_c_w, float in_c_h)
{
    const float extent[3][2] = {{float(in_a.m_width), float(in_a.m_height)},
                                {float(in_b.m_width), float(in_b.m_height)},
                                {in_c_w, in_c_h}};
    begin_fsq();
    quad_multi(extent, 3);
    end_fsq();
}
