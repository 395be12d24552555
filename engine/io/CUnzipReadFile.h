#pragma once
// A disk file served by a folder archive; it answers to the name it was asked for.

#include "engine/io/CReadFile.h"

namespace pravik::io {

class CUnzipReadFile : public CReadFile {
public:
    CUnzipReadFile(const char* fullName, const char* askedName);
    const char* getFileName() const override { return m_askedName.c_str(); }

private:
    core::stringc m_askedName;
};

}  // namespace pravik::io
