#pragma once
// Which record of a stream set feeds each of the 30 attribute slots that a shader or a
// fixed-function pass reads (0xff: nothing). Meaningful only with the set it was built from.

#include "engine/ISharedMemoryBlockHeader.h"
#include "engine/video/material/CVertexStreams.h"

namespace pravik::video {

class CVertexAttributeMap : public ISharedMemoryBlockHeader<CVertexAttributeMap> {
public:
    explicit CVertexAttributeMap(const CVertexStreams& streams);  // slot of each record's attribute
    // pairs: (slot, attribute) bytes; sequential searches continue from the previous hit.
    CVertexAttributeMap(const CVertexStreams* streams, unsigned pairCount, const unsigned char* pairs,
                        bool sequential);
    explicit CVertexAttributeMap(const unsigned char* table);  // 30 entries
    CVertexAttributeMap(const CVertexAttributeMap& other);
    CVertexAttributeMap& operator=(const CVertexAttributeMap& other);

    void set(const CVertexStreams& streams, unsigned pairCount, const unsigned char* pairs, bool sequential);
    unsigned char operator[](unsigned slot) const { return m_streams[slot]; }
    const unsigned char* getTable() const { return m_streams; }

private:
    unsigned char m_streams[EVA_COUNT];
};

}  // namespace pravik::video
