#include "engine/video/material/CNullShader.h"

namespace pravik::video {

CNullShader::CNullShader(IVideoDriver* driver) : IShader(0, "", driver) {}

CNullShader::CNullShader(unsigned short id, const char* name, IVideoDriver* driver)
    : IShader(id, name, driver)
{
    updateHash();
    m_vertexAttributeMask = 1u << EVA_POSITION;
}

void CNullShader::deserializeAttributes(io::IAttributes* in)
{
    IShader::deserializeAttributes(in);
    updateHash();
}

unsigned int CNullShader::getHashValue()
{
    if (m_hashStale) updateHash();
    return m_hash;
}

void CNullShader::updateHash()
{
    m_hash = m_id;
    m_hashStale = false;
}

}  // namespace pravik::video
