#pragma once
// A disk file written through stdio: "wb" truncates or creates, "ab" appends.

#include "engine/io/CFile.h"
#include "engine/io/IWriteFile.h"

namespace pravik::io {

class CWriteFile : public IWriteFile {
public:
    CWriteFile(const char* name, bool append);  // opens at once; isOpen() tells
    ~CWriteFile() override;

    int32_t write(const void* data, uint32_t count) override;
    void flush() override;
    bool seek(int32_t position, bool relative = false) override;
    int32_t getPos() const override;  // -1 without a stream
    const char* getFileName() const override { return m_fileName.c_str(); }
    const char* getFullPath() const override;

    bool isOpen() const { return bool(m_handle); }

private:
    void openFile(bool append);

    core::stringc m_fileName;
    CFilePtr m_handle;
};

IWriteFile* createWriteFile(const char* name, bool append);  // count 1, or null

}  // namespace pravik::io
