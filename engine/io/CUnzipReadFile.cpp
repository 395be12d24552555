#include "engine/io/CUnzipReadFile.h"

namespace pravik::io {

CUnzipReadFile::CUnzipReadFile(const char* fullName, const char* askedName)
    : CReadFile(fullName, false), m_askedName(askedName ? askedName : "")
{
}

}  // namespace pravik::io
