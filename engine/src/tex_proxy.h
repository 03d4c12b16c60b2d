// Copyable handle on a texture of the texture manager: its target, name and size, and the
// binding of it to a texture unit.
#pragma once

#include "gl_extensions.h"

class cTexProxy
{
public:
    static constexpr GLuint NO_TEXTURE = 0xFFFFFFFFu;

    // An invalid handle (every field all ones).
    cTexProxy() = default;
    cTexProxy(GLenum target, GLuint texname, unsigned width, unsigned height);
    // Copies target, name and size; the copy has not been bound anywhere yet.
    cTexProxy(const cTexProxy& other);
    // Copies target, name and size; the unit this handle was last bound to stays.
    cTexProxy& operator=(const cTexProxy& other);

    bool isValid() const { return m_texname != NO_TEXTURE; }

    void enable() const;
    void disable() const;
    // Binds on `unit` (GL_TEXTURE0 + i, not an index) and enables the target there; unit 0 is
    // the active unit again afterwards.
    void bind(GLenum unit);
    // Disables and unbinds on the unit of the last bind; unit 0 is active afterwards.
    void unbind();

    GLenum get_target() const;
    GLuint get_texname() const;
    unsigned get_width() const;
    unsigned get_height() const;
    GLenum get_bound_unit() const { return m_bound_activetexture; }

private:
    GLenum m_target = NO_TEXTURE;
    GLuint m_texname = NO_TEXTURE;
    unsigned m_width = NO_TEXTURE;
    unsigned m_height = NO_TEXTURE;
    GLenum m_bound_activetexture = NO_TEXTURE; // GL_TEXTURE0 + i; all ones before any bind
};
