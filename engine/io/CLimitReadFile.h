#pragma once
// A read-only window [start, start + size) onto another read file; the archive readers serve
// stored members this way. The window re-seeks its file before each read when someone else
// moved it, so windows may share one handle. Seeks never leave the window.

#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"

namespace pravik::io {

class CLimitReadFile : public IReadFile {
public:
    // The window starts at file's current position; it works on its own clone of file
    CLimitReadFile(IReadFile* file, int32_t size, const char* name);
    // fullPath null: derived as file's full path + "/" + name; cloneFile false: file is shared
    CLimitReadFile(IReadFile* file, int32_t size, const char* name, const char* fullPath,
                   bool cloneFile);
    ~CLimitReadFile() override;

    int32_t read(void* buffer, uint32_t count) override;
    bool readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback, void* user) override;
    bool readAsync(void* buffer, uint32_t count, int32_t offset, ReadAsyncCallback callback,
                   void* user) override;  // false at or past the end, callback not called
    bool seek(int32_t position, bool relative = false) override;  // a relative move stops at the end
    IReadFile* clone(bool keepPosition) const override;
    int32_t getSize() const override { return m_end - m_start; }
    int32_t getPos() const override { return m_pos - m_start; }
    const char* getFileName() const override { return m_name.c_str(); }
    const char* getFullPath() const override { return m_fullPath.c_str(); }

protected:
    IReadFile* underlying() const { return m_file; }

private:
    void init(IReadFile* file, int32_t size, const char* fullPath, bool cloneFile);

    core::stringc m_name;
    core::stringc m_fullPath;
    int32_t m_start = 0;
    int32_t m_end = 0;
    IReadFile* m_file = nullptr;  // counted
    int32_t m_pos = 0;
};

// count 1; a window over the size bytes after file's current position, on its own clone
IReadFile* createLimitReadFile(const char* name, IReadFile* file, int32_t size);

}  // namespace pravik::io
