#include "engine/video/material/CVertexStreams.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace pravik::video {

namespace {

size_t alignUp(size_t n, size_t a) { return (n + a - 1) / a * a; }

unsigned bitOf(unsigned attribute) { return attribute < 32 ? 1u << attribute : 0u; }

}  // namespace

size_t CVertexStreams::recordsOffset() { return alignUp(sizeof(CVertexStreams), alignof(SVertexStream)); }

size_t CVertexStreams::tableOffset(unsigned streamCount)
{
    return alignUp(recordsOffset() + streamCount * sizeof(SVertexStream), alignof(SScaleOffset));
}

CVertexStreams::CVertexStreams(unsigned vertexCount, unsigned mask, unsigned char texCoordSetCount,
                               unsigned char streamCount)
    : m_attributeMask(mask),
      m_vertexCount(vertexCount),
      m_texCoordSetCount(texCoordSetCount),
      m_streamCount(streamCount),
      m_flags(3),
      m_end(nullptr)
{
}

boost::intrusive_ptr<CVertexStreams> CVertexStreams::allocate(unsigned vertexCount, unsigned attributeMask,
                                                              unsigned char texCoordSetCount,
                                                              unsigned char streamCount,
                                                              const SVertexStream* streams,
                                                              const SScaleOffset* scaleAndOffsets)
{
    const unsigned tableEntries = texCoordSetCount + 1u;
    const size_t bytes = tableOffset(streamCount) + tableEntries * sizeof(SScaleOffset);
    void* memory = ::operator new(bytes, std::nothrow);
    if (!memory) return nullptr;
    auto* set = new (memory) CVertexStreams(vertexCount, attributeMask, texCoordSetCount, streamCount);
    SVertexStream* record = set->begin();
    unsigned remaining = attributeMask;
    for (unsigned k = 0; k < streamCount; ++k, ++record) {
        if (streams) {
            new (record) SVertexStream(streams[k]);
        } else {
            new (record) SVertexStream();
            record->attribute = remaining ? (unsigned short)std::countr_zero(remaining) : 0;
            remaining &= remaining - 1;
        }
    }
    set->m_end = record;
    SScaleOffset* table = set->getScaleAndOffsets();
    for (unsigned i = 0; i < tableEntries; ++i)
        new (table + i) SScaleOffset(scaleAndOffsets ? scaleAndOffsets[i] : SScaleOffset{});
    return set;
}

boost::intrusive_ptr<CVertexStreams> CVertexStreams::allocate(unsigned attributeMask)
{
    attributeMask |= 1u;
    return allocate(0, attributeMask, (unsigned char)std::popcount(attributeMask & EVAM_TEXCOORDS),
                    (unsigned char)std::popcount(attributeMask), nullptr, nullptr);
}

boost::intrusive_ptr<CVertexStreams> CVertexStreams::allocate(unsigned char texCoordSetCount,
                                                              unsigned attributeMask)
{
    attributeMask &= ~(1u | 0xC0000000u);
    attributeMask |= 1u;
    for (unsigned i = 0; i < texCoordSetCount && i < 16; ++i) attributeMask |= bitOf(EVA_TEXCOORD0 + i);
    return allocate(0, attributeMask, texCoordSetCount, (unsigned char)std::popcount(attributeMask), nullptr,
                    nullptr);
}

boost::intrusive_ptr<CVertexStreams> CVertexStreams::clone() const
{
    auto copy = allocate(m_vertexCount, m_attributeMask, m_texCoordSetCount, m_streamCount, begin(),
                         getScaleAndOffsets());
    if (copy) copy->m_flags = m_flags;
    return copy;
}

CVertexStreams::~CVertexStreams()
{
    for (SVertexStream* s = begin(); s != m_end; ++s) s->~SVertexStream();
}

SVertexStream* CVertexStreams::getStream(unsigned attribute, SVertexStream* first, SVertexStream* last)
{
    while (first != last && first->attribute < attribute) ++first;
    return first != last && first->attribute == attribute ? first : m_end;
}

const SVertexStream* CVertexStreams::getStream(unsigned attribute, const SVertexStream* first,
                                               const SVertexStream* last) const
{
    while (first != last && first->attribute < attribute) ++first;
    return first != last && first->attribute == attribute ? first : m_end;
}

unsigned CVertexStreams::getActiveAttributeMask() const
{
    unsigned mask = 0;
    for (const SVertexStream* s = begin(); s != m_end; ++s)
        if (s->buffer) mask |= bitOf(s->attribute);
    return mask;
}

void CVertexStreams::addOffset(int delta)
{
    for (SVertexStream* s = begin(); s != m_end; ++s) s->offset = (unsigned)(s->offset + delta);
}

bool CVertexStreams::isHomogeneous(unsigned mask) const
{
    const SVertexStream* s = begin();
    const IBuffer* reference = nullptr;
    bool haveReference = false;
    for (unsigned selected = mask & m_attributeMask; selected; selected &= selected - 1) {
        s = getStream((unsigned)std::countr_zero(selected), s, m_end);
        if (s == m_end) break;
        if (!haveReference || !reference) {
            reference = s->buffer.get();
            haveReference = true;
        } else if (s->buffer.get() != reference) {
            return false;
        }
    }
    return true;
}

void CVertexStreams::updateHomogeneityInternal(bool forceInhomogeneous)
{
    if (forceInhomogeneous) {
        m_flags &= ~1u;
        return;
    }
    for (SVertexStream* s = begin(); s != m_end; ++s) {
        if (s == begin()) continue;
        const IBuffer* a = (s - 1)->buffer.get();
        const IBuffer* b = s->buffer.get();
        if (a && b && a != b) {
            m_flags &= ~1u;
            return;
        }
    }
    m_flags |= 1u;
}

void CVertexStreams::updateStatesInternal(bool forceInhomogeneous)
{
    m_flags = (unsigned short)((m_flags & ~3u) | (forceInhomogeneous ? 2u : 3u));
    // Neighbours only: a record without a buffer matches either side, as in the homogeneity update.
    for (SVertexStream* s = begin(); s != m_end; ++s) {
        if (!s->buffer) continue;
        if (!s->buffer->getData()) m_flags &= ~2u;
        const IBuffer* previous = s != begin() ? (s - 1)->buffer.get() : nullptr;
        if (previous && s->buffer.get() != previous) m_flags &= ~1u;
    }
}

unsigned CVertexStreams::copyStreams(const CVertexStreams& source, unsigned first, unsigned last,
                                     unsigned destFirst, unsigned mask)
{
    unsigned selected = m_attributeMask & source.m_attributeMask & mask;
    unsigned copied = selected;
    SVertexStream* here = begin();
    const SVertexStream* there = source.begin();
    for (unsigned rest = selected; rest; rest &= rest - 1) {
        const unsigned attribute = (unsigned)std::countr_zero(rest);
        here = getStream(attribute, here, m_end);
        there = source.getStream(attribute, there, source.m_end);
        if (here == m_end || there == source.m_end || !here->buffer || !there->buffer ||
            here->valueType != there->valueType || here->componentCount != there->componentCount) {
            copied &= ~bitOf(attribute);
            continue;
        }
        here->copyStream(*there, first, last, destFirst);
    }
    return copied;
}

unsigned CVertexStreams::setStreams(const CVertexStreams& source, unsigned mask, int offsetDelta,
                                    bool forceInhomogeneous)
{
    const unsigned selected = m_attributeMask & source.m_attributeMask & mask;
    SVertexStream* here = begin();
    const SVertexStream* there = source.begin();
    for (unsigned rest = selected; rest; rest &= rest - 1) {
        const unsigned attribute = (unsigned)std::countr_zero(rest);
        here = getStream(attribute, here, m_end);
        there = source.getStream(attribute, there, source.m_end);
        if (here == m_end || there == source.m_end) continue;
        here->buffer = there->buffer;
        here->offset = (unsigned)(there->offset + offsetDelta);
        here->valueType = there->valueType;
        here->componentCount = there->componentCount;
        here->stride = there->stride;
    }
    if (selected) updateHomogeneityInternal(forceInhomogeneous);
    return selected;
}

unsigned short CVertexStreams::setupStreams(const boost::intrusive_ptr<IBuffer>& buffer, unsigned mask)
{
    unsigned short offset = 0;
    for (SVertexStream* s = begin(); s != m_end; ++s) {
        if (!(mask & bitOf(s->attribute)) || s->attribute >= EVA_COUNT) {
            s->blank();
            continue;
        }
        const auto& format = detail::SVertexAttributeTypeInspection::Defaults[s->attribute];
        s->buffer = buffer;
        s->offset = offset;
        s->valueType = format.valueType;
        s->componentCount = format.componentCount;
        s->stride = 0;
        offset =
            (unsigned short)(offset +
                             format.componentCount *
                                 detail::SVertexAttributeTypeInspection::ValueTypeSize[format.valueType]);
    }
    for (SVertexStream* s = begin(); s != m_end; ++s)
        if (mask & bitOf(s->attribute)) s->stride = offset;
    m_flags |= 1u;
    return offset;
}

unsigned CVertexStreams::setupStreams(const SVertexStreamData* descriptions, unsigned mask,
                                      bool forceInhomogeneous)
{
    const unsigned selected = mask & m_attributeMask;
    unsigned k = 0;
    for (SVertexStream* s = begin(); s != m_end; ++s, ++k) {
        if (!(selected & bitOf(s->attribute))) {
            s->blank();
            continue;
        }
        const SVertexStreamData& d = descriptions[k];
        s->buffer = d.buffer;
        s->offset = d.offset;
        s->valueType = d.valueType;
        s->componentCount = d.componentCount;
        s->stride = d.stride;
    }
    updateHomogeneityInternal(forceInhomogeneous);
    return selected;
}

void CVertexStreams::computeBoundingBox(unsigned first, unsigned last, core::aabbox3d<float>& box) const
{
    const SVertexStream* position = begin();
    const auto* data =
        static_cast<const unsigned char*>(position != m_end ? position->mapBuffer(EBRMA_READ) : nullptr);
    if (!data) {
        box.reset(0.0f, 0.0f, 0.0f);  // no position data to measure
        return;
    }
    core::computeBoundingBox(data + size_t(first) * position->stride, position->valueType,
                             position->componentCount, position->stride, last > first ? last - first : 0,
                             box);
    position->unmapBuffer();
    if (m_flags & 4u) {
        const SScaleOffset& q = getScaleAndOffsets()[0];
        box.MinEdge = box.MinEdge * q.scale + q.offset;
        box.MaxEdge = box.MaxEdge * q.scale + q.offset;
    }
}

void SVertexStream::copyStream(const SVertexStream& source, unsigned first, unsigned last, unsigned destFirst)
{
    const auto* from = static_cast<const unsigned char*>(source.mapBuffer(EBRMA_CLIENT_READ));
    auto* to = static_cast<unsigned char*>(mapBuffer(EBMA_CLIENT_WRITE));
    const unsigned size = elementSize();
    if (from && to) {
        for (unsigned i = first; i < last; ++i)
            std::memmove(to + size_t(destFirst + (i - first)) * stride, from + size_t(i) * source.stride,
                         size);
    }
    if (to) unmapBuffer();
    if (from) source.unmapBuffer();
}

}  // namespace pravik::video

namespace pravik::core {

namespace {

template <class T>
void widen(const unsigned char* data, unsigned n, unsigned stride, unsigned count, aabbox3d<float>& box)
{
    T lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    auto read = [&](unsigned k, unsigned c) {
        T v;
        std::memcpy(&v, data + size_t(k) * stride + c * sizeof(T), sizeof(T));
        return v;
    };
    for (unsigned c = 0; c < n; ++c) lo[c] = hi[c] = read(0, c);
    if (stride != 0) {
        for (unsigned k = 1; k < count; ++k)
            for (unsigned c = 0; c < n; ++c) {
                const T v = read(k, c);
                lo[c] = std::min(lo[c], v);
                hi[c] = std::max(hi[c], v);
            }
    }
    box.MinEdge.set(float(lo[0]), float(lo[1]), float(lo[2]));
    box.MaxEdge.set(float(hi[0]), float(hi[1]), float(hi[2]));
}

}  // namespace

void computeBoundingBox(const void* data, unsigned valueType, unsigned componentCount, unsigned stride,
                        unsigned count, aabbox3d<float>& box)
{
    if (valueType >= video::EVAVT_COUNT) return;
    if (count == 0) {
        box.reset(0.0f, 0.0f, 0.0f);
        return;
    }
    const unsigned n = std::min(componentCount, 3u);
    const auto* bytes = static_cast<const unsigned char*>(data);
    switch (valueType) {
        case video::EVAVT_BYTE:
            widen<signed char>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_UBYTE:
            widen<unsigned char>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_SHORT:
            widen<short>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_USHORT:
            widen<unsigned short>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_INT:
            widen<int>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_UINT:
            widen<unsigned int>(bytes, n, stride, count, box);
            break;
        case video::EVAVT_FLOAT:
            widen<float>(bytes, n, stride, count, box);
            break;
    }
}

}  // namespace pravik::core
