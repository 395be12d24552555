#pragma once
// The one table through which the engine calls OpenGL ES. Debian's libGLESv1_CM exports the
// core 1.1 functions but not the OES extensions, so the table is filled at start-up: core
// entries from the library, extension entries through eglGetProcAddress. Tests and benchmarks
// swap the entries for counting ones (CGLCallRecorder).
// Main thread only, like the context it serves.

#include <GLES/gl.h>
#include <GLES/glext.h>

// X(return type, name, (parameters), (arguments))
#define PRAVIK_GL_CORE_FUNCTIONS(X) \
    X(const GLubyte *, glGetString, (GLenum name), (name)) \
    X(void, glGetIntegerv, (GLenum pname, GLint *data), (pname, data)) \
    X(void, glGetFloatv, (GLenum pname, GLfloat *data), (pname, data)) \
    X(GLenum, glGetError, (), ()) \
    X(void, glPixelStorei, (GLenum pname, GLint param), (pname, param)) \
    X(void, glEnable, (GLenum cap), (cap)) \
    X(void, glDisable, (GLenum cap), (cap)) \
    X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor)) \
    X(void, glColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha), (red, green, blue, alpha)) \
    X(void, glClearColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha)) \
    X(void, glClearDepthf, (GLfloat d), (d)) \
    X(void, glClearStencil, (GLint s), (s)) \
    X(void, glClear, (GLbitfield mask), (mask)) \
    X(void, glFlush, (), ()) \
    X(void, glFinish, (), ()) \
    X(void, glCullFace, (GLenum mode), (mode)) \
    X(void, glFrontFace, (GLenum mode), (mode)) \
    X(void, glDepthFunc, (GLenum func), (func)) \
    X(void, glDepthMask, (GLboolean flag), (flag)) \
    X(void, glDepthRangef, (GLfloat n, GLfloat f), (n, f)) \
    X(void, glLineWidth, (GLfloat width), (width)) \
    X(void, glPointSize, (GLfloat size), (size)) \
    X(void, glPolygonOffset, (GLfloat factor, GLfloat units), (factor, units)) \
    X(void, glSampleCoverage, (GLfloat value, GLboolean invert), (value, invert)) \
    X(void, glStencilMask, (GLuint mask), (mask)) \
    X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height)) \
    X(void, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height)) \
    X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void *pixels), (x, y, width, height, format, type, pixels)) \
    X(void, glGenBuffers, (GLsizei n, GLuint *buffers), (n, buffers)) \
    X(void, glBindBuffer, (GLenum target, GLuint buffer), (target, buffer)) \
    X(void, glBufferData, (GLenum target, GLsizeiptr size, const void *data, GLenum usage), (target, size, data, usage)) \
    X(void, glBufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void *data), (target, offset, size, data)) \
    X(void, glDeleteBuffers, (GLsizei n, const GLuint *buffers), (n, buffers)) \
    X(void, glGenTextures, (GLsizei n, GLuint *textures), (n, textures)) \
    X(void, glBindTexture, (GLenum target, GLuint texture), (target, texture)) \
    X(void, glDeleteTextures, (GLsizei n, const GLuint *textures), (n, textures)) \
    X(GLboolean, glIsTexture, (GLuint texture), (texture)) \
    X(void, glActiveTexture, (GLenum texture), (texture)) \
    X(void, glClientActiveTexture, (GLenum texture), (texture)) \
    X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param)) \
    X(void, glTexParameterf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param)) \
    X(void, glTexImage2D, (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const void *pixels), (target, level, internalformat, width, height, border, format, type, pixels)) \
    X(void, glTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format, GLenum type, const void *pixels), (target, level, xoffset, yoffset, width, height, format, type, pixels)) \
    X(void, glCompressedTexImage2D, (GLenum target, GLint level, GLenum internalformat, GLsizei width, GLsizei height, GLint border, GLsizei imageSize, const void *data), (target, level, internalformat, width, height, border, imageSize, data)) \
    X(void, glCompressedTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format, GLsizei imageSize, const void *data), (target, level, xoffset, yoffset, width, height, format, imageSize, data)) \
    X(void, glCopyTexImage2D, (GLenum target, GLint level, GLenum internalformat, GLint x, GLint y, GLsizei width, GLsizei height, GLint border), (target, level, internalformat, x, y, width, height, border)) \
    X(void, glCopyTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width, GLsizei height), (target, level, xoffset, yoffset, x, y, width, height)) \
    X(void, glTexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param)) \
    X(void, glTexEnvf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param)) \
    X(void, glTexEnvfv, (GLenum target, GLenum pname, const GLfloat *params), (target, pname, params)) \
    X(void, glMaterialf, (GLenum face, GLenum pname, GLfloat param), (face, pname, param)) \
    X(void, glMaterialfv, (GLenum face, GLenum pname, const GLfloat *params), (face, pname, params)) \
    X(void, glLightf, (GLenum light, GLenum pname, GLfloat param), (light, pname, param)) \
    X(void, glLightfv, (GLenum light, GLenum pname, const GLfloat *params), (light, pname, params)) \
    X(void, glLightModelf, (GLenum pname, GLfloat param), (pname, param)) \
    X(void, glLightModelfv, (GLenum pname, const GLfloat *params), (pname, params)) \
    X(void, glFogf, (GLenum pname, GLfloat param), (pname, param)) \
    X(void, glFogfv, (GLenum pname, const GLfloat *params), (pname, params)) \
    X(void, glHint, (GLenum target, GLenum mode), (target, mode)) \
    X(void, glAlphaFunc, (GLenum func, GLfloat ref), (func, ref)) \
    X(void, glShadeModel, (GLenum mode), (mode)) \
    X(void, glClipPlanef, (GLenum p, const GLfloat *eqn), (p, eqn)) \
    X(void, glMatrixMode, (GLenum mode), (mode)) \
    X(void, glLoadIdentity, (), ()) \
    X(void, glLoadMatrixf, (const GLfloat *m), (m)) \
    X(void, glMultMatrixf, (const GLfloat *m), (m)) \
    X(void, glPushMatrix, (), ()) \
    X(void, glPopMatrix, (), ()) \
    X(void, glEnableClientState, (GLenum array), (array)) \
    X(void, glDisableClientState, (GLenum array), (array)) \
    X(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const void *pointer), (size, type, stride, pointer)) \
    X(void, glTexCoordPointer, (GLint size, GLenum type, GLsizei stride, const void *pointer), (size, type, stride, pointer)) \
    X(void, glNormalPointer, (GLenum type, GLsizei stride, const void *pointer), (type, stride, pointer)) \
    X(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const void *pointer), (size, type, stride, pointer)) \
    X(void, glNormal3f, (GLfloat nx, GLfloat ny, GLfloat nz), (nx, ny, nz)) \
    X(void, glColor4ub, (GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha), (red, green, blue, alpha)) \
    X(void, glColor4f, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha)) \
    X(void, glMultiTexCoord4f, (GLenum target, GLfloat s, GLfloat t, GLfloat r, GLfloat q), (target, s, t, r, q)) \
    X(void, glPointParameterf, (GLenum pname, GLfloat param), (pname, param)) \
    X(void, glPointParameterfv, (GLenum pname, const GLfloat *params), (pname, params)) \
    X(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count)) \
    X(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const void *indices), (mode, count, type, indices)) \
    X(void, glGetTexEnviv, (GLenum target, GLenum pname, GLint *params), (target, pname, params)) \
    X(GLboolean, glIsEnabled, (GLenum cap), (cap)) \
    X(void, glGetBooleanv, (GLenum pname, GLboolean *data), (pname, data))

#define PRAVIK_GL_OES_FUNCTIONS(X) \
    X(void, glBindFramebufferOES, (GLenum target, GLuint framebuffer), (target, framebuffer)) \
    X(void, glGenFramebuffersOES, (GLsizei n, GLuint *framebuffers), (n, framebuffers)) \
    X(void, glDeleteFramebuffersOES, (GLsizei n, const GLuint *framebuffers), (n, framebuffers)) \
    X(void, glFramebufferTexture2DOES, (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level), (target, attachment, textarget, texture, level)) \
    X(void, glFramebufferRenderbufferOES, (GLenum target, GLenum attachment, GLenum renderbuffertarget, GLuint renderbuffer), (target, attachment, renderbuffertarget, renderbuffer)) \
    X(GLenum, glCheckFramebufferStatusOES, (GLenum target), (target)) \
    X(void, glGenRenderbuffersOES, (GLsizei n, GLuint *renderbuffers), (n, renderbuffers)) \
    X(void, glBindRenderbufferOES, (GLenum target, GLuint renderbuffer), (target, renderbuffer)) \
    X(void, glRenderbufferStorageOES, (GLenum target, GLenum internalformat, GLsizei width, GLsizei height), (target, internalformat, width, height)) \
    X(void, glDeleteRenderbuffersOES, (GLsizei n, const GLuint *renderbuffers), (n, renderbuffers)) \
    X(void, glGenerateMipmapOES, (GLenum target), (target)) \
    X(void *, glMapBufferOES, (GLenum target, GLenum access), (target, access)) \
    X(GLboolean, glUnmapBufferOES, (GLenum target), (target)) \
    X(void, glBlendEquationOES, (GLenum mode), (mode))


namespace pravik::video {

struct SGLDispatch {
#define PRAVIK_GL_DISPATCH_ENTRY(ret, name, params, args) ret(GL_APIENTRY* name) params = nullptr;
    PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_DISPATCH_ENTRY)
    PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_DISPATCH_ENTRY)
#undef PRAVIK_GL_DISPATCH_ENTRY
};

extern SGLDispatch g_gl;

// Fills g_gl once; true when every core entry is there. Missing extension entries stay null
// and are logged; the driver only calls them when their extension is advertised.
bool loadGLDispatch();

}  // namespace pravik::video
