// One OpenGL vertex buffer object of a mesh: upload of a float or index list and its binding as
// vertex, normal, texture-coordinate or element array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl_extensions.h"

class cVBO
{
public:
    enum eBoundTarget
    {
        BT_NONE = 0,
        BT_VERTEX = 1,
        BT_NORMAL = 2,
        BT_TEXCOORD = 3,
        BT_ELEMENT = 4
    };

    // `size`: components per element (3 for positions, 2 for texture coordinates, 1 for
    // indices). The buffer name is generated on first upload, so a mesh can be filled and
    // inspected without an OpenGL context.
    explicit cVBO(int size) : m_size(size) {}
    ~cVBO();
    cVBO(const cVBO&) = delete;
    cVBO& operator=(const cVBO&) = delete;

    // Sends `count` elements of m_size components to GL_ARRAY_BUFFER_ARB.
    void upload(const std::vector<float>& data);
    // Sends the index list to GL_ELEMENT_ARRAY_BUFFER_ARB.
    void upload(const std::vector<uint32_t>& indices);

    void bind_as_vertex_array();
    void bind_as_normal_array();
    void bind_as_texcoord_array(GLenum unit);
    void bind_as_element_array();
    void unbind();

    void* map(GLenum access);
    GLboolean unmap();

    GLuint get_buffer() const { return m_buffer; }
    int get_size() const { return m_size; }
    eBoundTarget get_bound_target() const { return boundtarget; }
    // Bytes held by the buffer (0 before the first upload).
    size_t get_bytes() const { return m_bytes; }

private:
    void ensure_buffer();

    eBoundTarget boundtarget = BT_NONE;
    GLenum m_texunit = GL_TEXTURE0; // unit of the last texture-coordinate binding
    int m_size = 0;
    GLuint m_buffer = 0;
    GLenum m_usage = GL_STATIC_DRAW_ARB;
    size_t m_bytes = 0;
};
