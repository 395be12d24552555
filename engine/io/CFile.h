#pragma once
// The open stdio stream behind a disk file, shared through boost::intrusive_ptr. The count is
// plain (not atomic): a handle belongs to one file object on one thread.

#include "engine/core/pravikString.h"

#include <boost/intrusive_ptr.hpp>
#include <cstdio>

namespace pravik::io {

struct CFile {
    CFile(FILE* stream, const char* path, bool restoreHeader);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    int32_t count = 0;
    FILE* stream = nullptr;      // owned; closed by the destructor
    core::stringc path;          // the name really passed to fopen
    bool restoreHeader = false;  // opened through the name map: the first four bytes are raised
};

inline void intrusive_ptr_add_ref(CFile* f) { ++f->count; }
inline void intrusive_ptr_release(CFile* f)
{
    if (--f->count == 0)
        delete f;
}

using CFilePtr = boost::intrusive_ptr<CFile>;

}  // namespace pravik::io
