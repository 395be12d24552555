#pragma once
// A vertex stream set: one shared block holding a header, one record per attribute of the
// mask (sorted by attribute, so Position comes first) and a quantisation table of
// (texture-coordinate set count + 1) scale/offset pairs: entry 0 for Position, 1 + i for
// TexCoord i. Flags: 1 the buffered streams share one buffer; 2 every buffer keeps client
// data; 4 << a: quantisation entry a is in force. A new set has flags 3.

#include <boost/intrusive_ptr.hpp>

#include "engine/ISharedMemoryBlockHeader.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/vector3d.h"
#include "engine/video/material/SVertexStream.h"

namespace pravik::video {

class CVertexStreams : public ISharedMemoryBlockHeader<CVertexStreams> {
public:
    struct SScaleOffset {
        core::vector3d<float> scale;
        core::vector3d<float> offset;
    };

    // Each creator returns the only reference, or null when memory runs out.
    static boost::intrusive_ptr<CVertexStreams> allocate(unsigned vertexCount, unsigned attributeMask,
                                                         unsigned char texCoordSetCount,
                                                         unsigned char streamCount,
                                                         const SVertexStream* streams,
                                                         const SScaleOffset* scaleAndOffsets);
    static boost::intrusive_ptr<CVertexStreams> allocate(unsigned attributeMask);  // Position always added
    static boost::intrusive_ptr<CVertexStreams> allocate(unsigned char texCoordSetCount,
                                                         unsigned attributeMask);
    boost::intrusive_ptr<CVertexStreams> clone() const;  // buffers shared

    ~CVertexStreams();

    SVertexStream* begin()
    {
        return reinterpret_cast<SVertexStream*>(reinterpret_cast<unsigned char*>(this) + recordsOffset());
    }
    const SVertexStream* begin() const { return const_cast<CVertexStreams*>(this)->begin(); }
    SVertexStream* end() { return m_end; }
    const SVertexStream* end() const { return m_end; }
    SScaleOffset* getScaleAndOffsets()
    {
        return reinterpret_cast<SScaleOffset*>(reinterpret_cast<unsigned char*>(this) +
                                               tableOffset(m_streamCount));
    }
    const SScaleOffset* getScaleAndOffsets() const
    {
        return const_cast<CVertexStreams*>(this)->getScaleAndOffsets();
    }

    // The record of the attribute in [first, last), searching on while attributes are lower; last when none.
    SVertexStream* getStream(unsigned attribute, SVertexStream* first, SVertexStream* last);
    const SVertexStream* getStream(unsigned attribute, const SVertexStream* first,
                                   const SVertexStream* last) const;
    SVertexStream* getStream(unsigned attribute) { return getStream(attribute, begin(), end()); }

    unsigned getAttributeMask() const { return m_attributeMask; }
    unsigned getActiveAttributeMask() const;  // attributes whose record has a buffer
    unsigned getVertexCount() const { return m_vertexCount; }
    void setVertexCount(unsigned count) { m_vertexCount = count; }
    unsigned char getTexCoordSetCount() const { return m_texCoordSetCount; }
    unsigned char getStreamCount() const { return m_streamCount; }
    unsigned short getFlags() const { return m_flags; }
    void setFlags(unsigned short flags) { m_flags = flags; }

    void addOffset(int delta);
    bool isHomogeneous(unsigned mask) const;
    void updateHomogeneityInternal(bool forceInhomogeneous);
    void updateStatesInternal(bool forceInhomogeneous);
    void updateStates(bool forceInhomogeneous) { updateStatesInternal(forceInhomogeneous); }

    unsigned copyStreams(const CVertexStreams& source, unsigned first, unsigned last, unsigned destFirst,
                         unsigned mask);
    unsigned setStreams(const CVertexStreams& source, unsigned mask, int offsetDelta,
                        bool forceInhomogeneous);
    // Interleaves the records of the mask in one buffer with the default formats; the vertex size.
    unsigned short setupStreams(const boost::intrusive_ptr<IBuffer>& buffer, unsigned mask);
    // Takes description k for record k when its attribute is in the mask; the mask kept.
    unsigned setupStreams(const SVertexStreamData* descriptions, unsigned mask, bool forceInhomogeneous);
    void computeBoundingBox(unsigned first, unsigned last, core::aabbox3d<float>& box) const;

private:
    CVertexStreams(unsigned vertexCount, unsigned mask, unsigned char texCoordSetCount,
                   unsigned char streamCount);
    static size_t recordsOffset();
    static size_t tableOffset(unsigned streamCount);

    unsigned int m_attributeMask;
    unsigned int m_vertexCount;
    unsigned char m_texCoordSetCount;
    unsigned char m_streamCount;
    unsigned short m_flags;
    SVertexStream* m_end;
};

}  // namespace pravik::video

namespace pravik::core {

// Box of a strided run of vertex components of any vertex value type (at most 3 used).
void computeBoundingBox(const void* data, unsigned valueType, unsigned componentCount, unsigned stride,
                        unsigned count, aabbox3d<float>& box);

}  // namespace pravik::core
