// Texture handle (see tex_proxy.h).
#include "tex_proxy.h"

#include <cassert>

cTexProxy::cTexProxy(GLenum target, GLuint texname, unsigned width, unsigned height)
    : m_target(target), m_texname(texname), m_width(width), m_height(height)
{
}

cTexProxy::cTexProxy(const cTexProxy& other)
    : m_target(other.m_target), m_texname(other.m_texname), m_width(other.m_width),
      m_height(other.m_height)
{
}

cTexProxy& cTexProxy::operator=(const cTexProxy& other)
{
    m_target = other.m_target;
    m_texname = other.m_texname;
    m_width = other.m_width;
    m_height = other.m_height;
    return *this;
}

void cTexProxy::enable() const
{
    assert(isValid());
    glEnable(m_target);
}

void cTexProxy::disable() const
{
    assert(isValid());
    glDisable(m_target);
}

void cTexProxy::bind(GLenum unit)
{
    assert(isValid());
    m_bound_activetexture = unit;
    glActiveTextureARB(unit);
    glEnable(m_target);
    glBindTexture(m_target, m_texname);
    glActiveTextureARB(GL_TEXTURE0);
}

void cTexProxy::unbind()
{
    assert(isValid());
    // The unit is an enumerant (GL_TEXTURE0 and up); all ones means "never bound".
    assert(GLint(m_bound_activetexture) > 0 && "m_bound_activetexture > 0");
    glActiveTextureARB(m_bound_activetexture);
    glDisable(m_target);
    glBindTexture(m_target, 0);
    glActiveTextureARB(GL_TEXTURE0);
}

GLenum cTexProxy::get_target() const
{
    assert(isValid());
    return m_target;
}

GLuint cTexProxy::get_texname() const
{
    assert(isValid());
    return m_texname;
}

unsigned cTexProxy::get_width() const
{
    assert(isValid());
    return m_width;
}

unsigned cTexProxy::get_height() const
{
    assert(isValid());
    return m_height;
}
