#include "engine/video/material/CVertexAttributeMap.h"

#include <cstring>

namespace pravik::video {

CVertexAttributeMap::CVertexAttributeMap(const CVertexStreams& streams)
{
    std::memset(m_streams, 0xff, sizeof(m_streams));
    unsigned char k = 0;
    for (const SVertexStream* s = streams.begin(); s != streams.end(); ++s, ++k)
        if (s->attribute < EVA_COUNT) m_streams[s->attribute] = k;
}

CVertexAttributeMap::CVertexAttributeMap(const CVertexStreams* streams, unsigned pairCount,
                                         const unsigned char* pairs, bool sequential)
{
    std::memset(m_streams, 0xff, sizeof(m_streams));
    if (streams) set(*streams, pairCount, pairs, sequential);
}

CVertexAttributeMap::CVertexAttributeMap(const unsigned char* table)
{
    std::memcpy(m_streams, table, sizeof(m_streams));
}

CVertexAttributeMap::CVertexAttributeMap(const CVertexAttributeMap& other)
    : ISharedMemoryBlockHeader<CVertexAttributeMap>()
{
    std::memcpy(m_streams, other.m_streams, sizeof(m_streams));
}

CVertexAttributeMap& CVertexAttributeMap::operator=(const CVertexAttributeMap& other)
{
    std::memcpy(m_streams, other.m_streams, sizeof(m_streams));
    return *this;
}

void CVertexAttributeMap::set(const CVertexStreams& streams, unsigned pairCount, const unsigned char* pairs,
                              bool sequential)
{
    const SVertexStream* cursor = streams.begin();
    for (unsigned i = 0; i < pairCount; ++i) {
        const unsigned slot = pairs[2 * i], attribute = pairs[2 * i + 1];
        const SVertexStream* hit =
            streams.getStream(attribute, sequential ? cursor : streams.begin(), streams.end());
        if (hit == streams.end() || slot >= EVA_COUNT) continue;
        m_streams[slot] = (unsigned char)(hit - streams.begin());
        if (sequential) cursor = hit;
    }
}

}  // namespace pravik::video
