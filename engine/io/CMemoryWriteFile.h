#pragma once
// Written bytes collected in a growable buffer; its length is the file size. Growth doubles the
// needed size, so a series of appends reallocates only logarithmically often.

#include "engine/core/SAllocator.h"
#include "engine/io/IWriteFile.h"

#include <vector>

namespace pravik::io {

class CMemoryWriteFile : public IWriteFile {
public:
    explicit CMemoryWriteFile(uint32_t initialCapacity = 0);

    int32_t write(const void* data, uint32_t count) override;  // 0 when the file would pass 2 GiB
    void flush() override {}
    bool seek(int32_t position, bool relative = false) override;  // past the end fills with zeros
    int32_t getPos() const override { return int32_t(m_pos); }
    const char* getFileName() const override { return "<memory>"; }
    const char* getFullPath() const override { return "<memory>"; }

    const uint8_t* getBuffer() const { return m_buffer.capacity() ? m_buffer.data() : nullptr; }
    uint32_t getBufferSize() const { return uint32_t(m_buffer.size()); }

private:
    bool extendTo(uint64_t length);

    uint32_t m_pos = 0;
    std::vector<uint8_t, core::SAllocator<uint8_t>> m_buffer;
};

}  // namespace pravik::io
