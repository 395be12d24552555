// Process buffers: pooled per-frame scratch vertex buffers and per-binding buffers.

#include "engine/core/ProcessBuffer.h"
#include "engine/video/CDriverBinding.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::video {

unsigned short detail::getStrides(unsigned mask, CVertexStreams& streams)
{
    unsigned total = 0;
    for (SVertexStream* s = streams.begin(); s != streams.end() && mask; ++s) {
        const unsigned bit = 1u << s->attribute;
        if (!(mask & bit)) continue;
        s->offset = total;
        total += s->elementSize();
        mask &= ~bit;
    }
    return (unsigned short)total;
}

void detail::assignBuffer(const boost::intrusive_ptr<IBuffer>& buffer, unsigned stride, int offsetDelta, unsigned mask,
                          CVertexStreams& streams)
{
    for (SVertexStream* s = streams.begin(); s != streams.end() && mask; ++s) {
        const unsigned bit = 1u << s->attribute;
        if (!(mask & bit)) continue;
        s->buffer = buffer;
        s->stride = (unsigned short)stride;
        s->offset = unsigned(int(s->offset) + offsetDelta);
        mask &= ~bit;
    }
    streams.updateHomogeneityInternal(true);
}

boost::intrusive_ptr<IBuffer> detail::clearBuffer(unsigned firstVertex, unsigned mask, CVertexStreams& streams)
{
    SVertexStream* s = streams.begin();
    while (s != streams.end() && !(mask & (1u << s->attribute))) ++s;
    if (s == streams.end()) return nullptr;
    boost::intrusive_ptr<IBuffer> result = s->buffer;
    const unsigned delta = firstVertex * s->stride;
    for (; s != streams.end(); ++s) {
        if (!(mask & (1u << s->attribute))) continue;
        s->buffer.reset();
        s->stride = 0;
        s->offset -= delta;
    }
    streams.updateHomogeneityInternal(false);
    return result;
}

CDriverBinding::~CDriverBinding()
{
    if (Buffer && m_driver) m_driver->releaseProcessBuffer(EPBT_BINDING, nullptr, 0, 0, this);
    Buffer.reset();
}

boost::intrusive_ptr<IBuffer> CDriverBinding::getNewAllocator(IVideoDriver* driver)
{
    if (Buffer) return Buffer;
    return driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
}

E_DRIVER_ALLOCATION_RESULT CDriverBinding::getProcessBuffer(IVideoDriver* driver, unsigned first, unsigned end, unsigned mask,
                                                            const boost::intrusive_ptr<CVertexStreams>& streams, bool allocate)
{
    bool same = first == FirstVertex && end == VertexEnd && mask == AttributeMask;
    if (Buffer && Buffer->getData() && same) {
        if (first != end && mask) {
            Stride = detail::getStrides(mask, *streams);
            detail::assignBuffer(Buffer, Stride, -int(first * Stride), mask, *streams);
        }
        return EDAR_SUCCESS;
    }
    if (allocate) {
        boost::intrusive_ptr<IBuffer> buffer = getNewAllocator(driver);
        if (first != end && mask) {
            Stride = detail::getStrides(mask, *streams);
            const unsigned size = (end - first) * Stride;
            buffer->reset(size, new unsigned char[size](), true);
            detail::assignBuffer(buffer, Stride, -int(first * Stride), mask, *streams);
            Buffer = buffer;
        } else {
            Buffer.reset();
        }
        FirstVertex = first;
        VertexEnd = end;
        AttributeMask = mask;
        same = true;
    }
    if (Buffer && Buffer->getData()) return same ? EDAR_SUCCESS : EDAR_MISMATCH;
    return EDAR_NOT_NEEDED;
}

CDriverBinding* IVideoDriver::createBinding() { return new CDriverBinding(this); }

CDriverBinding* IVideoDriver::ensureBinding(CDriverBinding** binding)
{
    if (!*binding) *binding = createBinding();
    return *binding;
}

E_DRIVER_ALLOCATION_RESULT IVideoDriver::getProcessBuffer(E_PROCESS_BUFFER_TYPE type, unsigned firstVertex, unsigned vertexEnd,
                                                          unsigned mask, const boost::intrusive_ptr<CVertexStreams>& streams,
                                                          CDriverBinding** binding, bool allocate)
{
    if (type == EPBT_FRAME) {
        if (binding && *binding && (((*binding)->Buffer && (*binding)->Buffer->getData()) || (*binding)->CompiledMesh))
            return EDAR_NOT_NEEDED;
        if (m_processBufferPool.empty()) m_processBufferPool.push_back(createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true));
        boost::intrusive_ptr<IBuffer> buffer = m_processBufferPool.back();
        if (firstVertex == vertexEnd || !mask || !streams) return EDAR_NOTHING;
        const unsigned stride = detail::getStrides(mask, *streams);
        const unsigned long long size = (unsigned long long)(vertexEnd - firstVertex) * stride;
        if (size > 0x7ffffff0ull) return EDAR_NOTHING;
        void* memory;
        {
            // Larger than the heap's room: ordinary memory, which the release gives back alike.
            core::SScopedEnableProcessBufferHeapExcess excess(true);
            memory = core::allocProcessBuffer(int(size));
        }
        if (!memory) return EDAR_NOTHING;
        buffer->reset(unsigned(size), memory, false);
        detail::assignBuffer(buffer, stride, -int(firstVertex * stride), mask, *streams);
        m_processBufferPool.pop_back();
        return EDAR_SUCCESS;
    }
    if (type == EPBT_BINDING) {
        if (!binding) return EDAR_NOT_NEEDED;
        CDriverBinding* b = ensureBinding(binding);
        // Batch-mesh segments are drawn by geometry batching, which is not part of this driver.
        return b->getProcessBuffer(this, firstVertex, vertexEnd, mask, streams, allocate);
    }
    return EDAR_SUCCESS;
}

void IVideoDriver::releaseProcessBuffer(E_PROCESS_BUFFER_TYPE type, const boost::intrusive_ptr<CVertexStreams>& streams,
                                        unsigned firstVertex, unsigned mask, CDriverBinding* binding)
{
    if (type == EPBT_FRAME) {
        if (!mask || !streams) return;
        boost::intrusive_ptr<IBuffer> buffer = detail::clearBuffer(firstVertex, mask, *streams);
        if (!buffer) return;
        void* memory = buffer->map(EBMA_CLIENT_WRITE);
        core::releaseProcessBuffer(memory);
        buffer->unmap();
        buffer->reset(0, nullptr, true);
        m_processBufferPool.push_back(buffer);
        return;
    }
    if (type == EPBT_BINDING) {
        if (streams) {
            if (mask) {
                boost::intrusive_ptr<IBuffer> buffer = detail::clearBuffer(firstVertex, mask, *streams);
                if (buffer) buffer->reset(0, nullptr, true);
            }
        } else if (binding && binding->Buffer) {
            binding->Buffer->reset(0, nullptr, true);
        }
    }
}

}  // namespace pravik::video
