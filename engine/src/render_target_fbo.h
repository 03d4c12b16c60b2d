// Render target on a framebuffer object: a rectangle colour texture (sampled in pixels) and
// an optional depth renderbuffer shared by all targets of the same size.
#pragma once

#include <map>
#include <ostream>
#include <utility>

#include "gl_extensions.h"
#include "render_target.h"

class cRenderTarget_fbo : public iRenderTarget
{
public:
    cRenderTarget_fbo(uint32_t in_width, uint32_t in_height, bool in_depth, bool in_flag);
    ~cRenderTarget_fbo() override;
    cRenderTarget_fbo(const cRenderTarget_fbo&) = delete;
    cRenderTarget_fbo& operator=(const cRenderTarget_fbo&) = delete;

    // Creates the texture, the framebuffer object and (with depth) attaches the shared depth
    // renderbuffer. Leaves the framebuffer and texture bindings as it found them.
    void init() override;
    void bind_as_target(bool in_clear) override;
    void unbind_as_target() override;
    void bind_as_texture(unsigned int in_unit) override;
    void bind_as_texture_unfiltered(unsigned int in_unit) override;
    void unbind_as_texture() override;
    // Leaves the texture bindings as it found them.
    void write_pixels(const uint8_t* in_bgra) override;
    void write_columns(const uint8_t* in_bgra, uint32_t in_x, uint32_t in_count) override;

    // Status of the bound framebuffer object; anything but complete prints its line and the
    // description and gives false.
    bool CheckFrameBufferStatus() const;
    // The four description lines printed after a bad status.
    void describe(std::ostream& os) const;
    // The status line for a framebuffer status value (several lines for "unsupported").
    static const char* status_message(GLenum in_status);

    // Grabs the window's demo area (back buffer) into the colour texture; the target must
    // have the viewport's size.
    void copy_from_framebuffer();

    GLuint get_texture() const { return m_tex; }
    GLuint get_framebuffer() const { return m_color_rb; }
    GLuint get_depth_buffer() const { return m_depth_rb; }
    GLint get_bound_unit() const { return m_bound_active_texture; }

    // True while any target is bound as target (one at a time: no multiple render targets).
    static bool fbo_bound;
    // Shared depth renderbuffers by target size (width, height): the name and its users.
    static std::map<std::pair<uint32_t, uint32_t>, std::pair<GLuint, unsigned>> s_depth_buffers;

private:
    void bind_with_filter(unsigned int in_unit, bool in_unfiltered);

    GLuint m_color_rb = 0; // the framebuffer object
    GLuint m_depth_rb = 0; // the attached depth renderbuffer (shared), if any
    GLuint m_tex = 0;      // the colour texture
    GLenum m_textarget = GL_TEXTURE_RECTANGLE_ARB;
    GLenum m_type = GL_FLOAT;          // pixel type given at texture creation
    GLint m_bound_active_texture = -1; // unit the texture is bound to, or -1
    bool m_unfiltered = false;         // the texture's filter is GL_NEAREST (else GL_LINEAR)
    bool m_depth = false;
    GLint m_saved_viewport[4] = {-1, -1, -1, -1};
    GLenum m_saved_drawbuffer = 0;
};
