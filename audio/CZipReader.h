#pragma once
// The sound archive "3.bar": ZIP local headers (signature "PK\3\4" or 51 4C 04 05), each followed
// by its member's bytes, optionally closed by an appended member table (see ZipTableSerializer).
// Local header, 30 bytes little-endian: signature u32, version u16, flags u16 (bit 3 refused),
// method u16 (0 stored; anything else is absent), time u16, date u16, CRC u32 (not checked),
// compressed size u32 (the walk skips by it), uncompressed size u32 (the served size), name
// length u16, extra length u16, then name, extra field and data. Every offset and size is
// checked against the archive's length; a failed read ends the walk.

#include <cstdint>
#include <map>
#include <string>

namespace kez {

class FileInterface;
class ZipTableSerializer;

struct SZipFileDataHeader {
    uint32_t Sig = 0;
    int16_t VersionToExtract = 0;
    int16_t GeneralBitFlag = 0;
    int16_t CompressionMethod = 0;
    int16_t LastModFileTime = 0;
    int16_t LastModFileDate = 0;
    uint32_t CRC32 = 0;
    uint32_t DataDescriptorCompressedSize = 0;
    uint32_t DataDescriptorUncompressedSize = 0;
    int16_t FilenameLength = 0;
    int16_t ExtraFieldLength = 0;
};

struct SZipFileEntry {
    std::string zipFileName;     // as stored (lower-cased when case is ignored)
    std::string simpleFileName;  // the lookup key
    std::string path;            // directory part including its last '/'
    int32_t fileDataPosition = 0;
    SZipFileDataHeader header;
};

// Byte-wise (unsigned) comparison; a prefix sorts first.
struct StringComp {
    bool operator()(const std::string& a, const std::string& b) const {
        return a.compare(b) < 0;  // char_traits<char> compares as unsigned char
    }
};

class CZipReader {
public:
    static constexpr uint32_t kSignaturePK = 0x04034B50;
    static constexpr uint32_t kSignatureQL = 0x05044C51;

    CZipReader(const char* path, bool ignoreCase, bool ignorePaths);
    virtual ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    // true with the data offset and size of a stored member of that name; outputs untouched otherwise
    virtual bool getFileInfo(const char* name, int& offset, int& size);
    int getFileCount() const { return int(members.size()); }
    bool isValid() const { return valid; }
    const char* GetPath() const { return path.c_str(); }
    const std::map<std::string, SZipFileEntry, StringComp>& Members() const { return members; }

    bool ImportHeader(ZipTableSerializer& serializer);
    int ExportHeader(ZipTableSerializer& serializer);  // 1 written, 0 when empty

private:
    bool scanLocalHeader();
    void extractFilename(SZipFileEntry* entry);
    static void deletePathFromFilename(std::string& name);
    bool inArchive(long long offset, long long size) const;

    FileInterface* file = nullptr;
    std::string path;
    bool ignoreCase;
    bool ignorePaths;
    long long archiveSize = 0;
    std::map<std::string, SZipFileEntry, StringComp> members;
    bool valid = false;
};

}  // namespace kez
