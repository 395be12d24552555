#pragma once
// A block of memory read as a file. Reads copy straight out of the block and clones share it;
// an owned block (released with std::free, so hand over malloc'd memory) goes with the last
// file or clone that holds it.

#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"

#include <boost/shared_ptr.hpp>

namespace pravik::io {

class CMemoryReadFile : public IReadFile {
public:
    CMemoryReadFile(void* memory, int32_t size, const char* name, bool deleteMemoryWhenDropped);
    CMemoryReadFile();  // empty: no data, size 0

    int32_t read(void* buffer, uint32_t count) override;
    bool readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback, void* user) override;
    bool readAsync(void* buffer, uint32_t count, int32_t offset, ReadAsyncCallback callback,
                   void* user) override;  // a refused seek leaves the read at the current position
    bool seek(int32_t position, bool relative = false) override;  // refused outside [0, size]
    IReadFile* clone(bool keepPosition) const override;
    int32_t getSize() const override { return m_size; }
    int32_t getPos() const override { return m_pos; }
    const char* getFileName() const override { return m_name.c_str(); }
    const char* getFullPath() const override { return m_name.c_str(); }
    const void* getBuffer(int32_t* position) override;  // start of the block, not the position
    bool isAllInMemory() const override { return true; }

    bool isValid() const { return m_data && m_size >= 0; }
    void set(void* memory, int32_t size, const char* name);  // ownership is not changed

private:
    char* m_data = nullptr;
    boost::shared_ptr<char> m_owner;
    int32_t m_size = 0;
    int32_t m_pos = 0;
    core::stringc m_name;
};

// count 1; with deleteMemoryWhenDropped the block must come from malloc
IReadFile* createMemoryReadFile(void* memory, int32_t size, const char* name,
                                bool deleteMemoryWhenDropped);

}  // namespace pravik::io
