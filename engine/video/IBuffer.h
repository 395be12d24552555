#pragma once
// A driver buffer: a client-memory copy of its contents with dirty tracking and nested
// mapping, over a device copy that the concrete driver manages through the six *Impl hooks.
// Flags: E_BUFFER_FLAG. Map state: bits 0-4 nesting
// count (0 = unmapped), bits 5-7 the access of the current mapping. Usage 4 keeps data in
// client memory only: no device copy and no dirty marking.

#include <boost/intrusive_ptr.hpp>
#include <cstring>

#include "engine/IReferenceCounted.h"

namespace pravik::video {

enum E_BUFFER_TYPE : unsigned char {
    EBT_VERTEX = 0,
    EBT_INDEX,
    EBT_PIXEL_PACK,
    EBT_PIXEL_UNPACK,
    EBT_TEXTURE_REFERENCE,
    EBT_COUNT
};

enum E_BUFFER_USAGE : unsigned char { EBU_STATIC = 0, EBU_DYNAMIC, EBU_STREAM, EBU_SYSTEM, EBU_CLIENT_ONLY };

// Write accesses: 0 to 3 map the device copy when there is one, 4 and above the client copy.
enum E_BUFFER_MAP_ACCESS : unsigned char {
    EBMA_DEVICE_WRITE = 0,
    EBMA_DEVICE_READ_WRITE = 1,
    EBMA_CLIENT_WRITE = 4,
    EBMA_CLIENT_READ_WRITE = 5
};

// Read accesses: 1 refreshes the client copy from a newer device copy first.
enum E_BUFFER_READ_MAP_ACCESS : unsigned char { EBRMA_READ = 0, EBRMA_CLIENT_READ = 1 };

enum E_BUFFER_FLAG : unsigned char {
    EBUF_OWNS_DATA       = 0x01,   // the client copy is ours (array delete)
    EBUF_CLIENT_CHANGED  = 0x02,   // the client copy changed since the last upload
    EBUF_DEVICE_NEWER    = 0x04,   // the device copy is newer than the client copy
    EBUF_DEVICE_COPY     = 0x08,   // a device copy exists
    EBUF_UPLOAD_FAILED   = 0x10,
    EBUF_DEVICE_MAPPING  = 0x20    // the current mapping comes from the device
};

class IBuffer : public IReferenceCounted {
public:
    IBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned int size, void* data, unsigned char flags)
        : IReferenceCounted(0), m_data(data), m_size(size), m_type(type), m_usage(usage), m_flags(flags)
    {
        if (size != 0 && usage != EBU_CLIENT_ONLY && data) m_flags |= EBUF_CLIENT_CHANGED;
    }
    ~IBuffer() override { reset(0, nullptr, true); }

    void* map(E_BUFFER_MAP_ACCESS access);
    const void* map(E_BUFFER_READ_MAP_ACCESS access) const;
    void unmap() const;
    void reset(unsigned int size, void* data, bool own);
    bool copy();  // true when it made a private copy
    boost::intrusive_ptr<IBuffer> clone() const;

    void* getData() const { return m_data; }  // the client copy, may be null
    unsigned int getSize() const { return m_size; }
    E_BUFFER_TYPE getType() const { return E_BUFFER_TYPE(m_type); }
    E_BUFFER_USAGE getUsage() const { return E_BUFFER_USAGE(m_usage); }
    unsigned char getFlags() const { return m_flags; }
    unsigned char getMapState() const { return m_mapState; }

    // Device storage: the concrete driver creates or uploads it (the driver base and append
    // buffers upload their static buffers at once).
    virtual void bindImpl(bool) = 0;
    virtual void unbindImpl() = 0;

protected:
    virtual void* mapImpl(unsigned int access) const = 0;
    virtual void unmapImpl() const = 0;
    virtual void* getMappedPtr() const = 0;
    virtual boost::intrusive_ptr<IBuffer> cloneImpl() const = 0;

    mutable void* m_data;
    unsigned int m_size;
    unsigned char m_type;
    unsigned char m_usage;
    mutable unsigned char m_flags;
    mutable unsigned char m_mapState = 0;
};

inline void* IBuffer::map(E_BUFFER_MAP_ACCESS access)
{
    if (m_mapState & 0x1f) {
        ++m_mapState;
        return (m_flags & EBUF_DEVICE_MAPPING) ? getMappedPtr() : m_data;
    }
    if ((m_flags & EBUF_DEVICE_COPY) && (access < 4 || !m_data)) return mapImpl((access & 1u) | 2u);
    if (!m_data) return nullptr;
    m_mapState = (unsigned char)(access << 5 | 1);
    if (m_usage != EBU_CLIENT_ONLY) m_flags |= EBUF_CLIENT_CHANGED;
    return m_data;
}

inline const void* IBuffer::map(E_BUFFER_READ_MAP_ACCESS access) const
{
    if (m_mapState & 0x1f) {
        ++m_mapState;
        return (m_flags & EBUF_DEVICE_MAPPING) ? getMappedPtr() : m_data;
    }
    if (access == EBRMA_CLIENT_READ && m_data) {
        if (m_flags & EBUF_DEVICE_NEWER) {
            const void* device = mapImpl(0);
            if (device) std::memcpy(m_data, device, m_size);
            m_flags &= ~EBUF_DEVICE_NEWER;
            if (m_flags & EBUF_DEVICE_MAPPING) unmapImpl();
            m_mapState = 0;
        }
        m_mapState = 0x21;
        return m_data;
    }
    if ((m_flags & EBUF_CLIENT_CHANGED) || !(m_flags & EBUF_DEVICE_COPY)) {
        if (m_data) m_mapState = (unsigned char)(access << 5 | 1);
        return m_data;
    }
    return mapImpl(0);
}

inline void IBuffer::unmap() const
{
    if ((m_mapState & 0x1f) > 1) {
        --m_mapState;
        return;
    }
    if (m_flags & EBUF_DEVICE_MAPPING) unmapImpl();
    m_mapState = 0;
}

inline void IBuffer::reset(unsigned int size, void* data, bool own)
{
    if (size == 0) {
        if ((m_flags & EBUF_OWNS_DATA) && m_data) {
            delete[] static_cast<unsigned char*>(m_data);
            if (m_usage != EBU_CLIENT_ONLY) m_flags |= EBUF_CLIENT_CHANGED;
        }
        m_size = 0;
        m_data = nullptr;
        m_flags = (unsigned char)((m_flags | EBUF_OWNS_DATA) & ~EBUF_DEVICE_NEWER);
        return;
    }
    if (data != m_data) {
        if (m_flags & EBUF_OWNS_DATA) delete[] static_cast<unsigned char*>(m_data);
        m_data = data;
        if (m_usage != EBU_CLIENT_ONLY) {
            if (!data) {
                if (size != m_size) m_flags |= EBUF_CLIENT_CHANGED;
                m_size = size;
                m_flags = (unsigned char)((m_flags | EBUF_OWNS_DATA) & ~EBUF_DEVICE_NEWER);
                return;
            }
            m_flags |= EBUF_CLIENT_CHANGED;
            m_size = size;
        } else {
            m_size = size;
            if (!data) {
                m_flags = (unsigned char)((m_flags | EBUF_OWNS_DATA) & ~EBUF_DEVICE_NEWER);
                return;
            }
        }
    } else {
        m_size = size;
        if (!data) {
            m_flags = (unsigned char)((m_flags | EBUF_OWNS_DATA) & ~EBUF_DEVICE_NEWER);
            return;
        }
    }
    if (own)
        m_flags |= EBUF_OWNS_DATA;
    else
        m_flags &= ~EBUF_OWNS_DATA;
}

inline bool IBuffer::copy()
{
    if (((m_flags & EBUF_OWNS_DATA) && m_data) || m_size == 0) return false;
    unsigned char* own = new unsigned char[m_size];
    if (m_data) std::memcpy(own, m_data, m_size);
    m_data = own;
    m_flags |= EBUF_OWNS_DATA;
    return true;
}

inline boost::intrusive_ptr<IBuffer> IBuffer::clone() const
{
    boost::intrusive_ptr<IBuffer> result = cloneImpl();
    if (result && (m_flags & EBUF_OWNS_DATA)) result->copy();
    return result;
}

}  // namespace pravik::video
