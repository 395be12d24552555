#include "engine/io/CZipWriter.h"

#include <boost/crc.hpp>
#include <cstdlib>

namespace pravik::io {

namespace {

constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
constexpr uint16_t kDosTime = 0;

struct Bytes {
    unsigned char data[46];
    uint32_t size = 0;
    void u16(uint32_t v)
    {
        data[size++] = uint8_t(v);
        data[size++] = uint8_t(v >> 8);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
};

}  // namespace

CZipWriter::CZipWriter(IWriteFile* file) : m_file(file) {}

CZipWriter::~CZipWriter()
{
    if (!m_closed)
        close();
}

bool CZipWriter::put(const void* data, uint32_t size)
{
    if (size == 0)
        return true;
    const bool ok = m_file && m_file->write(data, size) == int32_t(size);
    if (!ok)
        m_failed = true;
    return ok;
}

int32_t CZipWriter::addNewFile(const core::stringc& name, const void* data, uint32_t size)
{
    boost::crc_optimal<32, 0x04C11DB7, 0xFFFFFFFF, 0xFFFFFFFF, true, true> crc;
    if (size)
        crc.process_bytes(data, size);

    SZIPCDFileHeader record;
    record.LastModFileTime = kDosTime;
    record.LastModFileDate = kDosDate;
    record.CRC32 = crc.checksum();
    record.CompressedSize = record.UncompressedSize = size;
    record.FilenameLength = uint16_t(name.size());
    record.RelativeOffsetOfLocalHeader = m_nextOffset;
    m_records.push_back(record);
    m_names.push_back(name);
    m_centralDirectorySize += 46 + record.FilenameLength;
    m_nextOffset += 30 + record.FilenameLength + size;

    Bytes local;
    local.u32(0x04034b50);
    local.u16(10);
    local.u16(0);
    local.u16(0);
    local.u16(kDosTime);
    local.u16(kDosDate);
    local.u32(record.CRC32);
    local.u32(size);
    local.u32(size);
    local.u16(record.FilenameLength);
    local.u16(0);
    put(local.data, local.size);
    put(name.data(), record.FilenameLength);
    if (size == 0)
        return 0;
    if (!m_file || !data) {
        m_failed = true;
        return 0;
    }
    const int32_t written = m_file->write(data, size);
    if (written != int32_t(size))
        m_failed = true;
    return written;
}

int32_t CZipWriter::addNewFile(const core::stringc& name, IReadFile* file)
{
    if (!file)
        return 0;
    const int32_t pos = file->getPos();
    const int32_t left = file->getSize() - (pos > 0 ? pos : 0);
    if (left <= 0)
        return addNewFile(name, nullptr, 0);
    void* buffer = std::malloc(size_t(left));
    if (!buffer) {
        m_failed = true;
        return 0;
    }
    // Only the bytes that really arrived are archived.
    const int32_t got = file->read(buffer, uint32_t(left));
    const int32_t written = addNewFile(name, buffer, got > 0 ? uint32_t(got) : 0);
    std::free(buffer);
    return written;
}

bool CZipWriter::close()
{
    m_closed = true;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const SZIPCDFileHeader& r = m_records[i];
        Bytes b;
        b.u32(r.Sig);
        b.u16(r.VersionMadeBy);
        b.u16(r.VersionToExtract);
        b.u16(r.GeneralBitFlag);
        b.u16(r.CompressionMethod);
        b.u16(r.LastModFileTime);
        b.u16(r.LastModFileDate);
        b.u32(r.CRC32);
        b.u32(r.CompressedSize);
        b.u32(r.UncompressedSize);
        b.u16(r.FilenameLength);
        b.u16(r.ExtraFieldLength);
        b.u16(r.FileCommentLength);
        b.u16(r.DiskNumberStart);
        b.u16(r.InternalFileAttributes);
        b.u32(r.ExternalFileAttributes);
        b.u32(r.RelativeOffsetOfLocalHeader);
        put(b.data, b.size);
        put(m_names[i].data(), r.FilenameLength);
    }
    Bytes end;
    end.u32(0x06054b50);
    end.u16(0);
    end.u16(0);
    end.u16(uint32_t(m_records.size()) & 0xFFFF);
    end.u16(uint32_t(m_records.size()) & 0xFFFF);
    end.u32(m_centralDirectorySize);
    end.u32(m_nextOffset);
    end.u16(0);
    put(end.data, end.size);
    if (m_file)
        m_file->flush();
    return !m_failed;
}

}  // namespace pravik::io
