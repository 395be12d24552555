#include "engine/io/CFile.h"

namespace pravik::io {

CFile::CFile(FILE* stream_, const char* path_, bool restoreHeader_)
    : stream(stream_), path(path_), restoreHeader(restoreHeader_)
{
}

CFile::~CFile()
{
    if (stream)
        std::fclose(stream);
}

}  // namespace pravik::io
