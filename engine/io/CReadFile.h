#pragma once
// A disk file read through stdio ("rb"). A file opened through the name map stores its first
// four bytes raised by 1, 2, 3 and 4; reads give them back lowered, however the reads are split.

#include "engine/io/CFile.h"
#include "engine/io/IReadFile.h"

namespace pravik::io {

class CReadFile : public IReadFile {
public:
    CReadFile(const char* name, bool restoreHeader);  // opens at once; isOpen() tells
    ~CReadFile() override;

    int32_t read(void* buffer, uint32_t count) override;
    bool readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback, void* user) override;
    bool readAsync(void* buffer, uint32_t count, int32_t offset, ReadAsyncCallback callback,
                   void* user) override;  // accepted, never read: nothing asks disk files for it
    bool seek(int32_t position, bool relative = false) override;
    IReadFile* clone(bool keepPosition) const override;  // reopens getFullPath(); null if it cannot
    int32_t getSize() const override { return m_size; }
    int32_t getPos() const override;  // -1 without a stream
    const char* getFileName() const override { return m_fileName.c_str(); }
    const char* getFullPath() const override;

    bool isOpen() const { return bool(m_handle); }

private:
    void openFile();

    CFilePtr m_handle;
    int32_t m_size = 0;
    core::stringc m_fileName;
    bool m_restoreHeader = false;
};

IReadFile* createReadFile(const char* name);  // count 1, or null when it cannot be opened

}  // namespace pravik::io
