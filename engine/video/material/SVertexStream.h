#pragma once
// One vertex attribute's data: vertex i's element starts at the buffer's data + offset +
// i * stride and is ValueTypeSize[valueType] * componentCount bytes long. A blank record has
// no buffer, offset 0, value type 255, no components and stride 0.

#include <boost/intrusive_ptr.hpp>
#include <type_traits>

#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"
#include "engine/core/vector4d.h"
#include "engine/video/material/EVertexAttribute.h"
#include "engine/video/IBuffer.h"
#include "engine/video/SColor.h"

namespace pravik::video {

// The element types the mapping templates admit.
template <class T>
struct SIsValidValueType : std::false_type {
};
template <>
struct SIsValidValueType<void> : std::true_type {
};
template <>
struct SIsValidValueType<core::vector2d<float>> : std::true_type {
};
template <>
struct SIsValidValueType<core::vector3d<float>> : std::true_type {
};
template <>
struct SIsValidValueType<core::vector4d<float>> : std::true_type {
};
template <>
struct SIsValidValueType<core::vector4d<unsigned char>> : std::true_type {
};
template <>
struct SIsValidValueType<SColor> : std::true_type {
};

struct SVertexStreamData {
    boost::intrusive_ptr<IBuffer> buffer;
    unsigned int offset = 0;
    unsigned short valueType = EVAVT_NONE;
    unsigned short componentCount = 0;
    unsigned short stride = 0;
};

struct SVertexStream {
    boost::intrusive_ptr<IBuffer> buffer;
    unsigned int offset = 0;
    unsigned short attribute = 0;
    unsigned short valueType = EVAVT_NONE;
    unsigned short componentCount = 0;
    unsigned short stride = 0;

    void blank()
    {
        buffer.reset();
        offset = 0;
        valueType = EVAVT_NONE;
        componentCount = 0;
        stride = 0;
    }
    unsigned elementSize() const
    {
        return valueType < EVAVT_COUNT
                   ? detail::SVertexAttributeTypeInspection::ValueTypeSize[valueType] * componentCount
                   : 0;
    }

    // Copies vertices [first, last) of the source to destFirst on; formats must agree.
    void copyStream(const SVertexStream& source, unsigned first, unsigned last, unsigned destFirst);
    void append(const SVertexStream& source, unsigned first, unsigned last, unsigned destFirst)
    {
        copyStream(source, first, last, destFirst);
    }

    // Buffer address plus offset; null when the buffer gives none.
    template <class T = void>
    T* mapBuffer(E_BUFFER_MAP_ACCESS access)
    {
        static_assert(SIsValidValueType<T>::value, "not a vertex element type");
        auto* p = static_cast<unsigned char*>(buffer ? buffer->map(access) : nullptr);
        return p ? reinterpret_cast<T*>(p + offset) : nullptr;
    }
    template <class T = void>
    const T* mapBuffer(E_BUFFER_READ_MAP_ACCESS access) const
    {
        static_assert(SIsValidValueType<T>::value, "not a vertex element type");
        auto* p = static_cast<const unsigned char*>(buffer ? buffer->map(access) : nullptr);
        return p ? reinterpret_cast<const T*>(p + offset) : nullptr;
    }
    void unmapBuffer() const
    {
        if (buffer) buffer->unmap();
    }
    template <class T = void>
    const T* getBufferData() const
    {
        static_assert(SIsValidValueType<T>::value, "not a vertex element type");
        auto* p = static_cast<const unsigned char*>(buffer ? buffer->getData() : nullptr);
        return p ? reinterpret_cast<const T*>(p + offset) : nullptr;
    }
};

// Scoped mapping for writing; unmaps on destruction when something was mapped.
template <class T = void>
struct SMapBuffer {
    SMapBuffer(SVertexStream& s, E_BUFFER_MAP_ACCESS access) : stream(&s), data(s.mapBuffer<T>(access)) {}
    ~SMapBuffer()
    {
        if (data) stream->unmapBuffer();
        stream = nullptr;
        data = nullptr;
    }
    SMapBuffer(const SMapBuffer&) = delete;
    SMapBuffer& operator=(const SMapBuffer&) = delete;
    SVertexStream* stream;
    T* data;
};

}  // namespace pravik::video
