#include "audio/CZipReader.h"
#include "audio/KezEndian.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/FileSystemInterface.h"
#include "audio/ZipTableSerializer.h"

namespace kez {

namespace {

constexpr int kMaxName = 1024;

void warn(const std::string& archive, const char* what) {
    std::fprintf(stderr, "kez: sound archive %s: %s\n", archive.c_str(), what);
}

long long measure(FileInterface* file) {
    if (!file || file->Seek(0, KezFileSeekOrigin(2)) != 0) return -1;
    const long long size = file->Tell();
    file->Seek(0, KezFileSeekOrigin(0));
    return size;
}

}  // namespace

CZipReader::CZipReader(const char* archivePath, bool ignoreCase, bool ignorePaths)
    : path(archivePath ? archivePath : ""), ignoreCase(ignoreCase), ignorePaths(ignorePaths) {
    if (!archivePath) return;
    FileSystemInterface* fs = FileSystemInterface::GetInstance();
    // The archive's own files always come from the disk.
    if (FileInterface* probe = fs->OpenFile(path.c_str(), KezFileAccessMode(6))) {
        archiveSize = measure(probe);
        fs->CloseFile(probe);
    }
    ZipTableSerializer serializer(path.c_str(), KezZipStream_Read);
    if (serializer.GetStatus() == 0) {
        if (ImportHeader(serializer)) {
            if (serializer.GetFilePath()) path = serializer.GetFilePath();
            valid = true;
        }
    } else if (serializer.GetStatus() == 1) {
        serializer.Close();
        file = fs->OpenFile(path.c_str(), KezFileAccessMode(6));
        if (file) {
            valid = true;
            path = file->GetFilePath();
            file->Seek(0, KezFileSeekOrigin(0));
            while (scanLocalHeader()) {}
        }
    } else if (archiveSize >= 0) {
        warn(path, "member table trailer announces an impossible length");
    }
}

CZipReader::~CZipReader() {
    if (file) FileSystemInterface::GetInstance()->CloseFile(file);
}

bool CZipReader::inArchive(long long offset, long long size) const {
    return offset >= 0 && size >= 0 && offset <= archiveSize && size <= archiveSize - offset;
}

bool CZipReader::scanLocalHeader() {
    unsigned char raw[30] = {};
    if (file->Read(raw, 1, 30) != 30) return false;
    SZipFileEntry entry;
    SZipFileDataHeader& h = entry.header;
    h.Sig = le32(raw);
    if (h.Sig != kSignaturePK && h.Sig != kSignatureQL) return false;
    h.VersionToExtract = int16_t(le16(raw + 4));
    h.GeneralBitFlag = int16_t(le16(raw + 6));
    h.CompressionMethod = int16_t(le16(raw + 8));
    h.LastModFileTime = int16_t(le16(raw + 10));
    h.LastModFileDate = int16_t(le16(raw + 12));
    h.CRC32 = le32(raw + 14);
    h.DataDescriptorCompressedSize = le32(raw + 18);
    h.DataDescriptorUncompressedSize = le32(raw + 22);
    h.FilenameLength = int16_t(le16(raw + 26));
    h.ExtraFieldLength = int16_t(le16(raw + 28));

    if (h.FilenameLength < 0 || h.FilenameLength >= kMaxName) {
        warn(path, "member name length out of range; walk stopped");
        return false;
    }
    char name[kMaxName + 1] = {};
    if (h.FilenameLength > 0 && file->Read(name, 1, h.FilenameLength) != h.FilenameLength) {
        warn(path, "truncated member name; walk stopped");
        return false;
    }
    entry.zipFileName = name;
    extractFilename(&entry);
    const uint16_t extra = uint16_t(h.ExtraFieldLength);
    if (extra != 0 && file->Seek(extra, KezFileSeekOrigin(1)) != 0) return false;
    // Sizes in a data descriptor are not where the walk needs them: the next header cannot be found.
    if (h.GeneralBitFlag & 0x8) {
        warn(path, "member with a data descriptor refused; walk stopped");
        return false;
    }
    const long long dataPos = file->Tell();
    if (!inArchive(dataPos, h.DataDescriptorCompressedSize)) {
        warn(path, "member runs past the end of the archive; walk stopped");
        return false;
    }
    entry.fileDataPosition = int32_t(dataPos);
    if (file->Seek(int(dataPos + h.DataDescriptorCompressedSize), KezFileSeekOrigin(0)) != 0) return false;
    if (!inArchive(dataPos, h.DataDescriptorUncompressedSize)) {
        warn(path, "member size past the end of the archive; member skipped");
        return true;
    }
    members[entry.simpleFileName] = entry;
    return true;
}

bool CZipReader::ImportHeader(ZipTableSerializer& s) {
    if (s.GetStatus() != 0) return false;
    int count = 0;
    if (!s.ReadInt(count) || count <= 0) return true;
    // The table lies in the last tableLength bytes before the trailer; entries must stay there.
    for (int i = 0; i < count; ++i) {
        int nameLength = 0;
        if (!s.ReadInt(nameLength)) break;
        if (nameLength < 0 || nameLength >= kMaxName) {
            warn(path, "table name length out of range; import stopped");
            break;
        }
        char name[kMaxName + 1] = {};
        if (nameLength > 0 && s.Read(name, unsigned(nameLength)) != unsigned(nameLength)) break;
        SZipFileEntry entry;
        entry.zipFileName = name;
        SZipFileDataHeader& h = entry.header;
        int offset = 0, compressed = 0, uncompressed = 0;
        short flags = 0, method = 0, extra = 0;
        if (!s.ReadInt(offset) || !s.ReadShort(flags) || !s.ReadShort(method) || !s.ReadInt(compressed) ||
            !s.ReadInt(uncompressed) || !s.ReadShort(extra)) {
            warn(path, "truncated member table; import stopped");
            break;
        }
        h.Sig = kSignatureQL;
        h.VersionToExtract = h.LastModFileTime = h.LastModFileDate = -1;
        h.CRC32 = 0xFFFFFFFFu;
        h.GeneralBitFlag = flags;
        h.CompressionMethod = method;
        h.DataDescriptorCompressedSize = uint32_t(compressed);
        h.DataDescriptorUncompressedSize = uint32_t(uncompressed);
        h.FilenameLength = int16_t(nameLength);
        h.ExtraFieldLength = extra;
        entry.fileDataPosition = offset;
        extractFilename(&entry);
        if (flags & 0x8) {
            warn(path, "table member with a data descriptor refused");
            continue;
        }
        if (!inArchive(offset, uint32_t(uncompressed))) {
            warn(path, "table member outside the archive skipped");
            continue;
        }
        members[entry.simpleFileName] = entry;
    }
    return true;
}

int CZipReader::ExportHeader(ZipTableSerializer& s) {
    if (members.empty()) return 0;
    s.WriteInt(int(members.size()));
    for (const auto& [key, e] : members) {
        s.WriteInt(int(e.zipFileName.size()));
        s.Write(e.zipFileName.data(), unsigned(e.zipFileName.size()));
        s.WriteInt(e.fileDataPosition);
        s.WriteShort(e.header.GeneralBitFlag);
        s.WriteShort(e.header.CompressionMethod);
        s.WriteInt(int(e.header.DataDescriptorCompressedSize));
        s.WriteInt(int(e.header.DataDescriptorUncompressedSize));
        s.WriteShort(e.header.ExtraFieldLength);
    }
    return 1;
}

void CZipReader::extractFilename(SZipFileEntry* entry) {
    if (entry->header.FilenameLength == 0) return;
    std::string& name = entry->zipFileName;
    if (ignoreCase)
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = char(c + 32);
    const size_t slash = name.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        entry->simpleFileName = name;
        entry->path.clear();
    } else {
        entry->simpleFileName = name.substr(slash + 1);
        entry->path = name.substr(0, slash + 1);
    }
    if (!ignorePaths) entry->simpleFileName = name;
}

void CZipReader::deletePathFromFilename(std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    if (slash == std::string::npos || slash == 0) return;
    name = name.substr(slash + 1);
}

bool CZipReader::getFileInfo(const char* name, int& offset, int& size) {
    if (!name) return false;
    std::string key = name;
    if (ignorePaths) deletePathFromFilename(key);
    if (ignoreCase)
        for (char& c : key)
            if (c >= 'A' && c <= 'Z') c = char(c + 32);
    auto it = members.find(key);
    if (it == members.end() || it->second.header.CompressionMethod != 0) return false;
    offset = it->second.fileDataPosition;
    size = int(it->second.header.DataDescriptorUncompressedSize);
    return true;
}

}  // namespace kez
