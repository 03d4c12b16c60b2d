// Framebuffer-object render target (see render_target_fbo.h).
#include "render_target_fbo.h"

#include <algorithm>
#include <cassert>
#include <iostream>

#include "startup.h"
#include "video_module.h"

bool cRenderTarget_fbo::fbo_bound = false;
std::map<std::pair<uint32_t, uint32_t>, std::pair<GLuint, unsigned>>
    cRenderTarget_fbo::s_depth_buffers;

namespace {

// Restores a framebuffer, renderbuffer and texture binding when it goes out of scope, so
// creating a target in the middle of drawing leaves the drawing where it was.
class cBindingGuard
{
public:
    explicit cBindingGuard(GLenum textarget) : m_textarget(textarget)
    {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &m_framebuffer);
        glGetIntegerv(GL_RENDERBUFFER_BINDING_EXT, &m_renderbuffer);
        glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &m_texture);
    }
    ~cBindingGuard()
    {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(m_framebuffer));
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, GLuint(m_renderbuffer));
        glBindTexture(m_textarget, GLuint(m_texture));
    }
    cBindingGuard(const cBindingGuard&) = delete;
    cBindingGuard& operator=(const cBindingGuard&) = delete;

private:
    GLenum m_textarget;
    GLint m_framebuffer = 0;
    GLint m_renderbuffer = 0;
    GLint m_texture = 0;
};

} // namespace

cRenderTarget_fbo::cRenderTarget_fbo(uint32_t in_width, uint32_t in_height, bool in_depth,
                                     bool in_flag)
    : iRenderTarget(in_width, in_height, in_flag), m_depth(in_depth)
{
}

cRenderTarget_fbo::~cRenderTarget_fbo()
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    if (m_color_rb && GLuint(framebuffer) == m_color_rb)
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    if (m_color_rb)
        glDeleteFramebuffersEXT(1, &m_color_rb);
    // The depth buffer is shared: only its last user deletes it.
    if (m_depth_rb) {
        const auto found = s_depth_buffers.find({m_width, m_height});
        if (found != s_depth_buffers.end() && found->second.first == m_depth_rb &&
            --found->second.second == 0) {
            glDeleteRenderbuffersEXT(1, &m_depth_rb);
            s_depth_buffers.erase(found);
        }
    }
    if (m_tex)
        glDeleteTextures(1, &m_tex);
}

void cRenderTarget_fbo::init()
{
    cBindingGuard guard(m_textarget);

    glGenTextures(1, &m_tex);
    glBindTexture(m_textarget, m_tex);
    glTexParameteri(m_textarget, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(m_textarget, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(m_textarget, 0);
    glBindTexture(m_textarget, m_tex);
    glTexParameteri(m_textarget, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(m_textarget, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(m_textarget, 0, GL_RGBA8, GLsizei(m_width), GLsizei(m_height), 0, GL_BGRA, m_type,
                 nullptr);

    glGenFramebuffersEXT(1, &m_color_rb);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_color_rb);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, m_textarget, m_tex, 0);
    const bool colour_ok = CheckFrameBufferStatus();
    assert(colour_ok && "CheckFrameBufferStatus()");
    (void)colour_ok;

    if (m_depth) {
        auto found = s_depth_buffers.find({m_width, m_height});
        if (found == s_depth_buffers.end()) {
            GLuint rb = 0;
            glGenRenderbuffersEXT(1, &rb);
            glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rb);
            glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, GLsizei(m_width),
                                     GLsizei(m_height));
            found =
                s_depth_buffers.emplace(std::make_pair(m_width, m_height), std::make_pair(rb, 0u))
                    .first;
        }
        ++found->second.second;
        m_depth_rb = found->second.first;
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                     GL_RENDERBUFFER_EXT, m_depth_rb);
        const bool depth_ok = CheckFrameBufferStatus();
        assert(depth_ok && "CheckFrameBufferStatus()");
        (void)depth_ok;
    }
    check_gl_error("cRenderTarget_fbo::init");
}

const char* cRenderTarget_fbo::status_message(GLenum in_status)
{
    switch (in_status) {
    case GL_FRAMEBUFFER_COMPLETE_EXT:
        return "";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
        return "## ERROR, recieved GL_FRAMEBUFFER_UNSUPPORTED_EXT\n"
               "(if you programmed this, you should probably choose a different fbo-format!\n"
               "... if not, your graphics-card probably just plain sucks)";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        return "FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT";
    default:
        return "## ERROR, FBO error";
    }
}

bool cRenderTarget_fbo::CheckFrameBufferStatus() const
{
    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT)
        return true;
    std::cerr << status_message(status) << std::endl;
    describe(std::cerr);
    return false;
}

void cRenderTarget_fbo::describe(std::ostream& os) const
{
    os << "width x height = (" << m_width << " x " << m_height << ")" << std::endl;
    os << "textarget: " << m_textarget << std::endl;
    os << "type: " << m_type << std::endl;
    os << "with" << (m_depth ? "" : "out") << " depth" << std::endl;
}

void cRenderTarget_fbo::bind_as_target(bool in_clear)
{
    assert(!fbo_bound && "cannot bind fbo as rendertarget while another fbo is bound (no mrt)");
    fbo_bound = true;
    glGetIntegerv(GL_VIEWPORT, m_saved_viewport);
    glViewport(0, 0, GLsizei(m_width), GLsizei(m_height));
    assert(glIsFramebufferEXT(m_color_rb) && "m_color_rb is no framebuffer object");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_color_rb);
    GLint drawbuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawbuffer);
    m_saved_drawbuffer = GLenum(drawbuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    if (in_clear)
        glClear(GL_COLOR_BUFFER_BIT | (m_depth ? GL_DEPTH_BUFFER_BIT : 0));
}

void cRenderTarget_fbo::unbind_as_target()
{
    assert(fbo_bound && "unbinding a rendertarget, but none is bound");
    fbo_bound = false;
    assert(glIsFramebufferEXT(m_color_rb) && "m_color_rb is no framebuffer object");
    // The saved draw buffer is this framebuffer object's own, so it goes back before the
    // window's framebuffer is bound again.
    glDrawBuffer(m_saved_drawbuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glViewport(m_saved_viewport[0], m_saved_viewport[1], m_saved_viewport[2], m_saved_viewport[3]);
}

void cRenderTarget_fbo::bind_as_texture(unsigned int in_unit)
{
    bind_with_filter(in_unit, false);
}

void cRenderTarget_fbo::bind_as_texture_unfiltered(unsigned int in_unit)
{
    bind_with_filter(in_unit, true);
}

void cRenderTarget_fbo::bind_with_filter(unsigned int in_unit, bool in_unfiltered)
{
    m_bound_active_texture = GLint(in_unit);
    glActiveTextureARB(in_unit);
    glBindTexture(m_textarget, m_tex);
    if (in_unfiltered != m_unfiltered) {
        const GLint filter = in_unfiltered ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(m_textarget, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(m_textarget, GL_TEXTURE_MAG_FILTER, filter);
        m_unfiltered = in_unfiltered;
    }
    glEnable(m_textarget);
    glActiveTextureARB(GL_TEXTURE0);
}

void cRenderTarget_fbo::unbind_as_texture()
{
    assert(m_bound_active_texture > 0 && "trying to unbind before binding");
    glActiveTextureARB(GLenum(m_bound_active_texture));
    glBindTexture(m_textarget, 0);
    glDisable(m_textarget);
    m_bound_active_texture = -1;
    glActiveTextureARB(GL_TEXTURE0);
}

void cRenderTarget_fbo::write_pixels(const uint8_t* in_bgra)
{
    write_columns(in_bgra, 0, m_width);
}

void cRenderTarget_fbo::write_columns(const uint8_t* in_bgra, uint32_t in_x, uint32_t in_count)
{
    if (in_x >= m_width || in_count == 0)
        return;
    const uint32_t count = std::min(in_count, m_width - in_x);
    // Rows of four-byte pixels meet any unpack alignment; a row of the source is the whole
    // picture's width.
    GLint texture = 0, row_length = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &texture);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &row_length);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(m_width));
    glBindTexture(m_textarget, m_tex);
    glTexSubImage2D(m_textarget, 0, GLint(in_x), 0, GLsizei(count), GLsizei(m_height), GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, in_bgra + size_t(in_x) * 4);
    glBindTexture(m_textarget, GLuint(texture));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, row_length);
}

void cRenderTarget_fbo::copy_from_framebuffer()
{
    const cVideoModule* video = cVideoModule::get_instance();
    assert(video->get_vp_width() == m_width && video->get_vp_height() == m_height &&
           "copy_from_framebuffer needs a target of the viewport's size");
    GLint read_buffer = 0;
    GLint texture = 0;
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &texture);
    // The back buffer, which holds the frame being drawn; a single-buffered window (headless
    // capture) has only the front one.
    GLboolean doublebuffered = GL_TRUE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doublebuffered);
    glReadBuffer(doublebuffered ? GL_BACK : GL_FRONT);
    glBindTexture(m_textarget, m_tex);
    glCopyTexImage2D(m_textarget, 0, GL_RGBA, GLint(video->get_vp_x_offset()),
                     GLint(video->get_vp_offset()), GLsizei(m_width), GLsizei(m_height), 0);
    glBindTexture(m_textarget, GLuint(texture));
    glReadBuffer(GLenum(read_buffer));
}
