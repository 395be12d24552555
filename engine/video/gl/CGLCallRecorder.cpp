#include "engine/video/gl/CGLCallRecorder.h"

#include <cassert>
#include <cstdio>
#include <cstring>

namespace pravik::video {

namespace {

enum E_GL_ENTRY : unsigned {
#define PRAVIK_GL_ENTRY_ID(ret, name, params, args) EGE_##name,
    PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_ENTRY_ID) PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_ENTRY_ID)
#undef PRAVIK_GL_ENTRY_ID
        EGE_COUNT
};

const char* const EntryNames[] = {
#define PRAVIK_GL_ENTRY_NAME(ret, name, params, args) #name,
    PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_ENTRY_NAME) PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_ENTRY_NAME)
#undef PRAVIK_GL_ENTRY_NAME
};

CGLCallRecorder* s_active = nullptr;
const SGLDispatch* s_forward = nullptr;

#define PRAVIK_GL_THUNK(ret, name, params, args) \
    ret GL_APIENTRY thunk_##name params          \
    {                                            \
        s_active->note(EGE_##name, #name PRAVIK_GL_COMMA_ARGS args); \
        return s_forward->name args;             \
    }
#define PRAVIK_GL_COMMA_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_THUNK)
PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_THUNK)
#undef PRAVIK_GL_THUNK

}  // namespace

CGLCallRecorder::CGLCallRecorder(bool keepLog) : m_saved(g_gl), m_counts(EGE_COUNT, 0), m_keepLog(keepLog)
{
    assert(!s_active && "one recorder at a time");
    s_active = this;
    s_forward = &m_saved;
#define PRAVIK_GL_INSTALL(ret, name, params, args) \
    if (g_gl.name) g_gl.name = &thunk_##name;
    PRAVIK_GL_CORE_FUNCTIONS(PRAVIK_GL_INSTALL)
    PRAVIK_GL_OES_FUNCTIONS(PRAVIK_GL_INSTALL)
#undef PRAVIK_GL_INSTALL
}

CGLCallRecorder::~CGLCallRecorder()
{
    g_gl = m_saved;
    s_active = nullptr;
    s_forward = nullptr;
}

size_t CGLCallRecorder::count(const char* name) const
{
    for (unsigned i = 0; i < EGE_COUNT; ++i)
        if (std::strcmp(EntryNames[i], name) == 0) return m_counts[i];
    return 0;
}

size_t CGLCallRecorder::countLogged(const std::string& call) const
{
    size_t n = 0;
    for (const auto& c : m_log) n += c == call;
    return n;
}

void CGLCallRecorder::clear()
{
    m_total = 0;
    std::fill(m_counts.begin(), m_counts.end(), 0);
    m_log.clear();
}

void CGLCallRecorder::appendFloat(std::string& s, double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    s += text;
}

}  // namespace pravik::video
