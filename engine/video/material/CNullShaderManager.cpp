#include "engine/video/material/CNullShaderManager.h"

#include "engine/video/material/CNullShader.h"

namespace pravik::video {

boost::intrusive_ptr<IShader> CNullShaderManager::createShader(const char* name)
{
    const unsigned short id = getId(name);
    if (id != 0xffff) return get(id);
    boost::intrusive_ptr<IShader> shader(new CNullShader(getNextId(), name, m_driver));
    if (!addShader(shader)) return nullptr;
    return shader;
}

boost::intrusive_ptr<IShader> CNullShaderManager::createEmptyShader(const char*)
{
    return boost::intrusive_ptr<IShader>(new CNullShader(m_driver));
}

}  // namespace pravik::video
