// Vertex buffer objects (see vbo.h).
#include "vbo.h"

#include <cassert>

#include "startup.h"

cVBO::~cVBO()
{
    if (m_buffer && glDeleteBuffersARB)
        glDeleteBuffersARB(1, &m_buffer);
}

void cVBO::ensure_buffer()
{
    if (!m_buffer)
        glGenBuffersARB(1, &m_buffer);
}

void cVBO::upload(const std::vector<float>& data)
{
    ensure_buffer();
    const size_t count = data.size() / size_t(m_size);
    m_bytes = count * size_t(m_size) * sizeof(float);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(m_bytes), data.data(), m_usage);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void cVBO::upload(const std::vector<uint32_t>& indices)
{
    ensure_buffer();
    m_bytes = size_t(m_size) * indices.size() * sizeof(uint32_t);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_buffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptrARB(m_bytes), indices.data(), m_usage);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void cVBO::bind_as_vertex_array()
{
    assert(m_buffer);
    assert((m_size == 3) || (m_size == 4));
    boundtarget = BT_VERTEX;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    glVertexPointer(m_size, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
}

void cVBO::bind_as_normal_array()
{
    assert(m_buffer);
    assert(m_size == 3);
    boundtarget = BT_NORMAL;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_NORMAL_ARRAY);
}

void cVBO::bind_as_texcoord_array(GLenum unit)
{
    assert(m_buffer);
    boundtarget = BT_TEXCOORD;
    m_texunit = unit;
    glClientActiveTextureARB(unit);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    glTexCoordPointer(m_size, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTextureARB(GL_TEXTURE0);
}

void cVBO::bind_as_element_array()
{
    assert(m_buffer);
    boundtarget = BT_ELEMENT;
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_buffer);
}

void cVBO::unbind()
{
    assert(boundtarget != BT_NONE && "tried to unbind vbo, but it\'s not bound");
    switch (boundtarget) {
    case BT_VERTEX:
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        break;
    case BT_NORMAL:
        glDisableClientState(GL_NORMAL_ARRAY);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        break;
    case BT_TEXCOORD:
        glClientActiveTextureARB(m_texunit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        break;
    case BT_ELEMENT:
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        break;
    case BT_NONE:
        break;
    }
    boundtarget = BT_NONE;
}

void* cVBO::map(GLenum access)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    return glMapBufferARB(GL_ARRAY_BUFFER_ARB, access);
}

GLboolean cVBO::unmap()
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_buffer);
    const GLboolean ok = glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
    if (!ok)
        check_gl_error("cVBO::unmap");
    // Client arrays drawn after this must not be read as offsets into this buffer.
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    return ok;
}
