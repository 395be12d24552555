#include "framework/CNDSFile.h"
#include "engine/core/LittleEndian.h"

#include "framework/ResourceContext.h"

#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/io/IWriteFile.h"

#include <cstdint>
#include <cstring>

bool CNDSFile::Open(const char* name)
{
    pravik::io::IFileSystem* fs = GetResourceContext().fileSystem;
    if (!fs || !name)
        return false;
    if (m_pReadFile)
        m_pReadFile->drop();
    m_pReadFile = fs->createAndOpenFile(name);
    return m_pReadFile != nullptr;
}

bool CNDSFile::OpenSaveFile(const char* name, bool write)
{
    if (!write)
        return Open(name);
    pravik::io::IFileSystem* fs = GetResourceContext().fileSystem;
    if (!fs || !name)
        return false;
    if (m_pWriteFile)
        m_pWriteFile->drop();
    m_pWriteFile = fs->createAndWriteFile(name, false);
    return m_pWriteFile != nullptr;
}

long CNDSFile::Read(void* buffer, long n)
{
    if (!m_pReadFile || n <= 0)
        return 0;
    return m_pReadFile->read(buffer, uint32_t(n));
}

long CNDSFile::Write(const void* buffer, long n)
{
    if (!m_pWriteFile || n <= 0)
        return 0;
    return m_pWriteFile->write(buffer, uint32_t(n));
}

int CNDSFile::GetFileSize() const
{
    return m_pReadFile ? m_pReadFile->getSize() : 0;
}

void CNDSFile::Seek(int origin, int offset)
{
    if (!m_pReadFile)
        return;
    if (origin == 0)
        m_pReadFile->seek(offset, false);
    else if (origin == 2)
        m_pReadFile->seek(GetFileSize() - offset, false);
    else
        m_pReadFile->seek(offset, true);
}

void CNDSFile::Advance(int n)
{
    if (m_pReadFile)
        m_pReadFile->seek(n, true);
}

void CNDSFile::Close()
{
    if (m_pReadFile)
        m_pReadFile->drop();
    if (m_pWriteFile)
        m_pWriteFile->drop();
    m_pReadFile = nullptr;
    m_pWriteFile = nullptr;
}

unsigned CNDSFile::ReadLE(int bytes)
{
    unsigned char b[4] = {0, 0, 0, 0};
    Read(b, bytes);
    return pravik::core::le32(b);
}

int CNDSFile::ReadInt()
{
    return int(ReadLE(4));
}

float CNDSFile::ReadFloat()
{
    const unsigned bits = ReadLE(4);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int CNDSFile::ReadShort()
{
    return int16_t(ReadLE(2));
}

int CNDSFile::ReadUnsignedShort()
{
    return int(ReadLE(2));
}

int CNDSFile::ReadChar()
{
    return int8_t(ReadLE(1));
}

int CNDSFile::ReadUnsignedByte()
{
    return int(ReadLE(1));
}

int CNDSFile::ReadShortReverse()
{
    return int16_t(ConvertReverse(uint16_t(ReadLE(2))));
}

int CNDSFile::ReadUShortReverse()
{
    return ConvertReverse(uint16_t(ReadLE(2)));
}

int CNDSFile::ReadIntReverse()
{
    return int(ConvertIntReverse(ReadLE(4)));
}
