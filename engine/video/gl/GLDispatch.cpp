#include "engine/video/gl/GLDispatch.h"

#include <EGL/egl.h>

#include "engine/os/Printer.h"

namespace pravik::video {

SGLDispatch g_gl;

bool loadGLDispatch()
{
    static bool loaded = false;
    if (loaded) return true;
#define PRAVIK_GL_LOAD_CORE(ret, name, params, args) g_gl.name = &::name;
    PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_LOAD_CORE)
#undef PRAVIK_GL_LOAD_CORE
#define PRAVIK_GL_LOAD_OES(ret, name, params, args)                                   \
    g_gl.name = reinterpret_cast<ret(GL_APIENTRY*) params>(eglGetProcAddress(#name)); \
    if (!g_gl.name) os::Printer::log("GL entry point not found", #name, ELL_WARNING);
    PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_LOAD_OES)
#undef PRAVIK_GL_LOAD_OES
    loaded = true;
    return true;
}

}  // namespace pravik::video
