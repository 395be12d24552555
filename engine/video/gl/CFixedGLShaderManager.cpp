#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/CFixedGLNoLightBaker.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace pravik::video {

bool CFixedGLShaderManager::SFixedGLShaderStateComparator::operator()(const SHashedFragmentState& a,
                                                                      const SHashedFragmentState& b) const
{
    if (a.hash != b.hash) return a.hash < b.hash;
    return std::memcmp(&a.state, &b.state, sizeof(a.state)) < 0;
}

unsigned int CFixedGLShaderManager::hashFragmentState(const SFixedGLShaderFragmentState& fs)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&fs);
    unsigned int h = 0;
    for (size_t i = 0; i < sizeof(fs); ++i) h = h * 13u + bytes[i];
    return h;
}

boost::intrusive_ptr<IShader> CFixedGLShaderManager::createShader(const char* name,
                                                                  const SFixedGLShaderVertexState& vs,
                                                                  const SFixedGLShaderFragmentState& fs)
{
    const bool named = name && *name;
    if (named) {
        const unsigned short id = getId(name);
        if (id != 0xffff) return get(id);
    }
    const SFixedGLShaderVertexState* vertex = &*m_vertexStates.insert(vs).first;
    const SFixedGLShaderFragmentState* fragment =
        &m_fragmentStates.insert({hashFragmentState(fs), fs}).first->state;

    char key[64];
    std::snprintf(key, sizeof(key), "%lx_%lx", (unsigned long)(uintptr_t)vertex,
                  (unsigned long)(uintptr_t)fragment);
    const unsigned short known = getId(key);
    if (known != 0xffff) return get(known);
    boost::intrusive_ptr<IShader> shader(new CFixedGLShader(getNextId(), key, vertex, fragment, m_driver));
    addShader(shader);
    if (named) addShader(name, shader);  // held twice by the registry from now on
    return shader;
}

boost::intrusive_ptr<IShader> CFixedGLShaderManager::createEmptyShader(const char* name)
{
    return boost::intrusive_ptr<IShader>(new CFixedGLShader(getNextId(), name, m_driver));
}

boost::intrusive_ptr<IBatchBaker> CFixedGLShaderManager::createBatchBaker(const IShader* shader)
{
    const auto* fixed = dynamic_cast<const CFixedGLShader*>(shader);
    if (fixed && fixed->getVertexState() && fixed->getVertexState()->getLightCount() != 0) return new CFixedGLLightBaker(shader);
    return new CFixedGLNoLightBaker(shader);
}

}  // namespace pravik::video
