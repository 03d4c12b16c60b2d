// OpenGL entry points beyond 1.1, fetched once after the context exists. Every other file
// includes this header instead of the GL headers and calls the functions under their GL names;
// the names map onto process-wide pointers that stay null until load_extensions() fills them.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

// The pointer lists, group by group, in load order.
#define VNT_GL_VBO(X) \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB) \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB) \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB) \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB) \
    X(PFNGLMAPBUFFERARBPROC, glMapBufferARB) \
    X(PFNGLUNMAPBUFFERARBPROC, glUnmapBufferARB) \
    X(PFNGLVERTEXATTRIBPOINTERARBPROC, glVertexAttribPointerARB) \
    X(PFNGLGETVERTEXATTRIBPOINTERVARBPROC, glGetVertexAttribPointervARB)
#define VNT_GL_MULTITEX(X) \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture) \
    X(PFNGLCLIENTACTIVETEXTUREARBPROC, glClientActiveTexture) \
    X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB) \
    X(PFNGLCLIENTACTIVETEXTUREARBPROC, glClientActiveTextureARB) \
    X(PFNGLMULTITEXCOORD1DARBPROC, glMultiTexCoord1dARB) \
    X(PFNGLMULTITEXCOORD1DVARBPROC, glMultiTexCoord1dvARB) \
    X(PFNGLMULTITEXCOORD1FARBPROC, glMultiTexCoord1fARB) \
    X(PFNGLMULTITEXCOORD1FVARBPROC, glMultiTexCoord1fvARB) \
    X(PFNGLMULTITEXCOORD1IARBPROC, glMultiTexCoord1iARB) \
    X(PFNGLMULTITEXCOORD1IVARBPROC, glMultiTexCoord1ivARB) \
    X(PFNGLMULTITEXCOORD1SARBPROC, glMultiTexCoord1sARB) \
    X(PFNGLMULTITEXCOORD1SVARBPROC, glMultiTexCoord1svARB) \
    X(PFNGLMULTITEXCOORD2DARBPROC, glMultiTexCoord2dARB) \
    X(PFNGLMULTITEXCOORD2DVARBPROC, glMultiTexCoord2dvARB) \
    X(PFNGLMULTITEXCOORD2FARBPROC, glMultiTexCoord2fARB) \
    X(PFNGLMULTITEXCOORD2FVARBPROC, glMultiTexCoord2fvARB) \
    X(PFNGLMULTITEXCOORD2IARBPROC, glMultiTexCoord2iARB) \
    X(PFNGLMULTITEXCOORD2IVARBPROC, glMultiTexCoord2ivARB) \
    X(PFNGLMULTITEXCOORD2SARBPROC, glMultiTexCoord2sARB) \
    X(PFNGLMULTITEXCOORD2SVARBPROC, glMultiTexCoord2svARB) \
    X(PFNGLMULTITEXCOORD3DARBPROC, glMultiTexCoord3dARB) \
    X(PFNGLMULTITEXCOORD3DVARBPROC, glMultiTexCoord3dvARB) \
    X(PFNGLMULTITEXCOORD3FARBPROC, glMultiTexCoord3fARB) \
    X(PFNGLMULTITEXCOORD3FVARBPROC, glMultiTexCoord3fvARB) \
    X(PFNGLMULTITEXCOORD3IARBPROC, glMultiTexCoord3iARB) \
    X(PFNGLMULTITEXCOORD3IVARBPROC, glMultiTexCoord3ivARB) \
    X(PFNGLMULTITEXCOORD3SARBPROC, glMultiTexCoord3sARB) \
    X(PFNGLMULTITEXCOORD3SVARBPROC, glMultiTexCoord3svARB) \
    X(PFNGLMULTITEXCOORD4DARBPROC, glMultiTexCoord4dARB) \
    X(PFNGLMULTITEXCOORD4DVARBPROC, glMultiTexCoord4dvARB) \
    X(PFNGLMULTITEXCOORD4FARBPROC, glMultiTexCoord4fARB) \
    X(PFNGLMULTITEXCOORD4FVARBPROC, glMultiTexCoord4fvARB) \
    X(PFNGLMULTITEXCOORD4IARBPROC, glMultiTexCoord4iARB) \
    X(PFNGLMULTITEXCOORD4IVARBPROC, glMultiTexCoord4ivARB) \
    X(PFNGLMULTITEXCOORD4SARBPROC, glMultiTexCoord4sARB) \
    X(PFNGLMULTITEXCOORD4SVARBPROC, glMultiTexCoord4svARB)
#define VNT_GL_IMAGING(X) \
    X(PFNGLCONVOLUTIONFILTER1DEXTPROC, glConvolutionFilter1D) \
    X(PFNGLCONVOLUTIONFILTER2DEXTPROC, glConvolutionFilter2D) \
    X(PFNGLCONVOLUTIONPARAMETERFEXTPROC, glConvolutionParameterf) \
    X(PFNGLCONVOLUTIONPARAMETERFVEXTPROC, glConvolutionParameterfv) \
    X(PFNGLCONVOLUTIONPARAMETERIEXTPROC, glConvolutionParameteri) \
    X(PFNGLCONVOLUTIONPARAMETERIVEXTPROC, glConvolutionParameteriv) \
    X(PFNGLCOPYCONVOLUTIONFILTER1DEXTPROC, glCopyConvolutionFilter1D) \
    X(PFNGLCOPYCONVOLUTIONFILTER2DEXTPROC, glCopyConvolutionFilter2D) \
    X(PFNGLGETCONVOLUTIONFILTEREXTPROC, glGetConvolutionFilter) \
    X(PFNGLGETCONVOLUTIONPARAMETERFVEXTPROC, glGetConvolutionParameterfv) \
    X(PFNGLGETCONVOLUTIONPARAMETERIVEXTPROC, glGetConvolutionParameteriv) \
    X(PFNGLGETSEPARABLEFILTEREXTPROC, glGetSeparableFilter) \
    X(PFNGLSEPARABLEFILTER2DEXTPROC, glSeparableFilter2D)
#define VNT_GL_BLEND(X) \
    X(PFNGLBLENDEQUATIONEXTPROC, glBlendEquationEXT) \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate)
#define VNT_GL_FBO(X) \
    X(PFNGLISRENDERBUFFEREXTPROC, glIsRenderbufferEXT) \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT) \
    X(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT) \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT) \
    X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT) \
    X(PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC, glGetRenderbufferParameterivEXT) \
    X(PFNGLISFRAMEBUFFEREXTPROC, glIsFramebufferEXT) \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT) \
    X(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT) \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT) \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE1DEXTPROC, glFramebufferTexture1DEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT) \
    X(PFNGLFRAMEBUFFERTEXTURE3DEXTPROC, glFramebufferTexture3DEXT) \
    X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT) \
    X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC, glGetFramebufferAttachmentParameterivEXT) \
    X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT) \
    X(PFNGLDRAWBUFFERSARBPROC, glDrawBuffersARB)
#define VNT_GL_EXTRAS(X) \
    X(PFNGLPOINTPARAMETERFARBPROC, glPointParameterfARB) \
    X(PFNGLPOINTPARAMETERFVARBPROC, glPointParameterfvARB) \
    X(PFNGLDRAWRANGEELEMENTSPROC, glDrawRangeElements)
#define VNT_GL_GLSL(X) \
    X(PFNGLCREATESHADERPROC, glCreateShader) \
    X(PFNGLSHADERSOURCEPROC, glShaderSource) \
    X(PFNGLCOMPILESHADERPROC, glCompileShader) \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv) \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog) \
    X(PFNGLDELETESHADERPROC, glDeleteShader) \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram) \
    X(PFNGLATTACHSHADERPROC, glAttachShader) \
    X(PFNGLDETACHSHADERPROC, glDetachShader) \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram) \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv) \
    X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog) \
    X(PFNGLUSEPROGRAMPROC, glUseProgram) \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram) \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation) \
    X(PFNGLGETATTRIBLOCATIONPROC, glGetAttribLocation) \
    X(PFNGLUNIFORM1FPROC, glUniform1f) \
    X(PFNGLUNIFORM2FPROC, glUniform2f) \
    X(PFNGLUNIFORM2FVPROC, glUniform2fv) \
    X(PFNGLUNIFORM3FPROC, glUniform3f) \
    X(PFNGLUNIFORM3FVPROC, glUniform3fv) \
    X(PFNGLUNIFORM4FPROC, glUniform4f) \
    X(PFNGLUNIFORM4FVPROC, glUniform4fv) \
    X(PFNGLUNIFORM1IPROC, glUniform1i) \
    X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv) \
    X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation) \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer) \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray) \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray) \
    X(PFNGLBUFFERSUBDATAPROC, glBufferSubData) \
    X(PFNGLMAPBUFFERRANGEPROC, glMapBufferRange) \
    X(PFNGLGETBUFFERPARAMETERIVPROC, glGetBufferParameteriv) \
    X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer)

#define VNT_GL_DECLARE(type, name) extern type vnt_##name;
VNT_GL_VBO(VNT_GL_DECLARE)
VNT_GL_MULTITEX(VNT_GL_DECLARE)
VNT_GL_IMAGING(VNT_GL_DECLARE)
VNT_GL_BLEND(VNT_GL_DECLARE)
VNT_GL_FBO(VNT_GL_DECLARE)
VNT_GL_EXTRAS(VNT_GL_DECLARE)
VNT_GL_GLSL(VNT_GL_DECLARE)
#undef VNT_GL_DECLARE

#define glBindBufferARB vnt_glBindBufferARB
#define glBufferDataARB vnt_glBufferDataARB
#define glGenBuffersARB vnt_glGenBuffersARB
#define glDeleteBuffersARB vnt_glDeleteBuffersARB
#define glMapBufferARB vnt_glMapBufferARB
#define glUnmapBufferARB vnt_glUnmapBufferARB
#define glVertexAttribPointerARB vnt_glVertexAttribPointerARB
#define glGetVertexAttribPointervARB vnt_glGetVertexAttribPointervARB
#define glActiveTexture vnt_glActiveTexture
#define glClientActiveTexture vnt_glClientActiveTexture
#define glActiveTextureARB vnt_glActiveTextureARB
#define glClientActiveTextureARB vnt_glClientActiveTextureARB
#define glMultiTexCoord1dARB vnt_glMultiTexCoord1dARB
#define glMultiTexCoord1dvARB vnt_glMultiTexCoord1dvARB
#define glMultiTexCoord1fARB vnt_glMultiTexCoord1fARB
#define glMultiTexCoord1fvARB vnt_glMultiTexCoord1fvARB
#define glMultiTexCoord1iARB vnt_glMultiTexCoord1iARB
#define glMultiTexCoord1ivARB vnt_glMultiTexCoord1ivARB
#define glMultiTexCoord1sARB vnt_glMultiTexCoord1sARB
#define glMultiTexCoord1svARB vnt_glMultiTexCoord1svARB
#define glMultiTexCoord2dARB vnt_glMultiTexCoord2dARB
#define glMultiTexCoord2dvARB vnt_glMultiTexCoord2dvARB
#define glMultiTexCoord2fARB vnt_glMultiTexCoord2fARB
#define glMultiTexCoord2fvARB vnt_glMultiTexCoord2fvARB
#define glMultiTexCoord2iARB vnt_glMultiTexCoord2iARB
#define glMultiTexCoord2ivARB vnt_glMultiTexCoord2ivARB
#define glMultiTexCoord2sARB vnt_glMultiTexCoord2sARB
#define glMultiTexCoord2svARB vnt_glMultiTexCoord2svARB
#define glMultiTexCoord3dARB vnt_glMultiTexCoord3dARB
#define glMultiTexCoord3dvARB vnt_glMultiTexCoord3dvARB
#define glMultiTexCoord3fARB vnt_glMultiTexCoord3fARB
#define glMultiTexCoord3fvARB vnt_glMultiTexCoord3fvARB
#define glMultiTexCoord3iARB vnt_glMultiTexCoord3iARB
#define glMultiTexCoord3ivARB vnt_glMultiTexCoord3ivARB
#define glMultiTexCoord3sARB vnt_glMultiTexCoord3sARB
#define glMultiTexCoord3svARB vnt_glMultiTexCoord3svARB
#define glMultiTexCoord4dARB vnt_glMultiTexCoord4dARB
#define glMultiTexCoord4dvARB vnt_glMultiTexCoord4dvARB
#define glMultiTexCoord4fARB vnt_glMultiTexCoord4fARB
#define glMultiTexCoord4fvARB vnt_glMultiTexCoord4fvARB
#define glMultiTexCoord4iARB vnt_glMultiTexCoord4iARB
#define glMultiTexCoord4ivARB vnt_glMultiTexCoord4ivARB
#define glMultiTexCoord4sARB vnt_glMultiTexCoord4sARB
#define glMultiTexCoord4svARB vnt_glMultiTexCoord4svARB
#define glConvolutionFilter1D vnt_glConvolutionFilter1D
#define glConvolutionFilter2D vnt_glConvolutionFilter2D
#define glConvolutionParameterf vnt_glConvolutionParameterf
#define glConvolutionParameterfv vnt_glConvolutionParameterfv
#define glConvolutionParameteri vnt_glConvolutionParameteri
#define glConvolutionParameteriv vnt_glConvolutionParameteriv
#define glCopyConvolutionFilter1D vnt_glCopyConvolutionFilter1D
#define glCopyConvolutionFilter2D vnt_glCopyConvolutionFilter2D
#define glGetConvolutionFilter vnt_glGetConvolutionFilter
#define glGetConvolutionParameterfv vnt_glGetConvolutionParameterfv
#define glGetConvolutionParameteriv vnt_glGetConvolutionParameteriv
#define glGetSeparableFilter vnt_glGetSeparableFilter
#define glSeparableFilter2D vnt_glSeparableFilter2D
#define glBlendEquationEXT vnt_glBlendEquationEXT
#define glBlendFuncSeparate vnt_glBlendFuncSeparate
#define glIsRenderbufferEXT vnt_glIsRenderbufferEXT
#define glBindRenderbufferEXT vnt_glBindRenderbufferEXT
#define glDeleteRenderbuffersEXT vnt_glDeleteRenderbuffersEXT
#define glGenRenderbuffersEXT vnt_glGenRenderbuffersEXT
#define glRenderbufferStorageEXT vnt_glRenderbufferStorageEXT
#define glGetRenderbufferParameterivEXT vnt_glGetRenderbufferParameterivEXT
#define glIsFramebufferEXT vnt_glIsFramebufferEXT
#define glBindFramebufferEXT vnt_glBindFramebufferEXT
#define glDeleteFramebuffersEXT vnt_glDeleteFramebuffersEXT
#define glGenFramebuffersEXT vnt_glGenFramebuffersEXT
#define glCheckFramebufferStatusEXT vnt_glCheckFramebufferStatusEXT
#define glFramebufferTexture1DEXT vnt_glFramebufferTexture1DEXT
#define glFramebufferTexture2DEXT vnt_glFramebufferTexture2DEXT
#define glFramebufferTexture3DEXT vnt_glFramebufferTexture3DEXT
#define glFramebufferRenderbufferEXT vnt_glFramebufferRenderbufferEXT
#define glGetFramebufferAttachmentParameterivEXT vnt_glGetFramebufferAttachmentParameterivEXT
#define glGenerateMipmapEXT vnt_glGenerateMipmapEXT
#define glDrawBuffersARB vnt_glDrawBuffersARB
#define glPointParameterfARB vnt_glPointParameterfARB
#define glPointParameterfvARB vnt_glPointParameterfvARB
#define glDrawRangeElements vnt_glDrawRangeElements
#define glCreateShader vnt_glCreateShader
#define glShaderSource vnt_glShaderSource
#define glCompileShader vnt_glCompileShader
#define glGetShaderiv vnt_glGetShaderiv
#define glGetShaderInfoLog vnt_glGetShaderInfoLog
#define glDeleteShader vnt_glDeleteShader
#define glCreateProgram vnt_glCreateProgram
#define glAttachShader vnt_glAttachShader
#define glDetachShader vnt_glDetachShader
#define glLinkProgram vnt_glLinkProgram
#define glGetProgramiv vnt_glGetProgramiv
#define glGetProgramInfoLog vnt_glGetProgramInfoLog
#define glUseProgram vnt_glUseProgram
#define glDeleteProgram vnt_glDeleteProgram
#define glGetUniformLocation vnt_glGetUniformLocation
#define glGetAttribLocation vnt_glGetAttribLocation
#define glUniform1f vnt_glUniform1f
#define glUniform2f vnt_glUniform2f
#define glUniform2fv vnt_glUniform2fv
#define glUniform3f vnt_glUniform3f
#define glUniform3fv vnt_glUniform3fv
#define glUniform4f vnt_glUniform4f
#define glUniform4fv vnt_glUniform4fv
#define glUniform1i vnt_glUniform1i
#define glUniformMatrix4fv vnt_glUniformMatrix4fv
#define glBindAttribLocation vnt_glBindAttribLocation
#define glVertexAttribPointer vnt_glVertexAttribPointer
#define glEnableVertexAttribArray vnt_glEnableVertexAttribArray
#define glDisableVertexAttribArray vnt_glDisableVertexAttribArray
#define glBufferSubData vnt_glBufferSubData
#define glMapBufferRange vnt_glMapBufferRange
#define glGetBufferParameteriv vnt_glGetBufferParameteriv
#define glBlitFramebuffer vnt_glBlitFramebuffer

namespace vnt {

// True when `name` is one whole blank-separated token of `extensions` (a prefix of a longer
// token does not count; the last token needs no trailing blank). A null or empty list has none.
bool has_extension_in(const char* extensions, const char* name);
// The same test on the current context's extension string.
bool has_extension(const char* name);

// Loads the five groups in order (buffer objects, multitexture, imaging, framebuffer objects,
// texture and presentation extras) plus the GLSL entry points, checking `extensions` (the
// context's own string when null). Missing mandatory extensions end the program.
void load_extensions(const char* extensions = nullptr);

// Asks for a swap interval of 1 (wait for the vertical retrace); a refusal prints a warning
// and the loop runs unpaced. Returns whether the interval was set.
bool enable_vsync();

} // namespace vnt
