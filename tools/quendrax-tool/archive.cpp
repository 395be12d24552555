// ls ARCHIVE and cat ARCHIVE MEMBER: the members of a ZIP, pak or LZMA pack as the engine's file
// system sees them. ZIP and pak archives are mounted as the game mounts its archives (case
// folded, paths kept); LZMA packs store no names, so their members are listed by key hash.

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/io/CFileSystem.h"
#include "engine/io/CPakReader.h"
#include "engine/io/CZipLZMAReader.h"
#include "engine/io/CZipReader.h"

#include <boost/intrusive_ptr.hpp>
#include <cstdio>
#include <string>

using namespace pravik::io;

namespace {

enum class Kind { None, Zip, Pak, Lzma };

Kind kindOf(IReadFile* file)
{
    unsigned char head[4] = {};
    file->seek(0, false);
    const int32_t n = file->read(head, 4);
    file->seek(0, false);
    if (n < 4)
        return Kind::None;
    const uint32_t sig = head[0] | head[1] << 8 | head[2] << 16 | uint32_t(head[3]) << 24;
    if (sig == CZipReader::SIGNATURE || sig == CZipReader::SIGNATURE_GBMP)
        return Kind::Zip;
    if (head[0] == 'P' || head[1] == 'A')
        return Kind::Pak;
    return Kind::Lzma;
}

struct Mounted {
    boost::intrusive_ptr<CFileSystem> fs;
    Kind kind = Kind::None;
    boost::intrusive_ptr<IReadFile> file;
};

// Opens the archive through the file system and mounts it by its kind; a reason on failure.
const char* mount(const char* name, Mounted& m)
{
    tool::QuietStdout quiet;
    m.fs.reset(new CFileSystem());
    m.file = boost::intrusive_ptr<IReadFile>(m.fs->createAndOpenFile(name), false);
    if (!m.file)
        return "cannot open the archive";
    m.kind = kindOf(m.file.get());
    bool ok = false;
    switch (m.kind) {
    case Kind::Zip:
        ok = m.fs->addZipFileArchive(name, true, false, 1);
        break;
    case Kind::Pak:
        ok = m.fs->addPakFileArchive(name, true, false);
        break;
    case Kind::Lzma:
        ok = m.fs->addZipLZMAFileArchive(name, false, false, 0);
        break;
    case Kind::None:
        return "not a ZIP, pak or LZMA pack";
    }
    return ok ? nullptr : "cannot mount the archive";
}

int ls(std::span<char* const> args)
{
    if (args.size() != 1)
        return tool::fail("ls", "usage: ls ARCHIVE");
    Mounted m;
    if (const char* reason = mount(args[0], m))
        return tool::fail("ls", std::string(args[0]) + ": " + reason);
    std::string out;
    switch (m.kind) {
    case Kind::Zip: {
        auto r = boost::intrusive_ptr<CZipReader>(new CZipReader(m.file.get(), true, false, 1), false);
        if (r->getFileCount() == 0)
            return tool::fail("ls", std::string(args[0]) + ": no members");
        for (int32_t i = 0; i < r->getFileCount(); ++i)
            out += std::string(r->getFileInfo(i)->simpleFileName.c_str()) + "\t" +
                   std::to_string(r->getFileInfo(i)->header.UncompressedSize) + "\n";
        break;
    }
    case Kind::Pak: {
        auto r = boost::intrusive_ptr<CPakReader>(new CPakReader(m.file.get(), true, false), false);
        if (r->getFileCount() == 0)
            return tool::fail("ls", std::string(args[0]) + ": no members");
        for (int32_t i = 0; i < r->getFileCount(); ++i)
            out += std::string(r->getFileInfo(i)->simpleFileName.c_str()) + "\t" +
                   std::to_string(r->getFileInfo(i)->length) + "\n";
        break;
    }
    default: {
        auto r = boost::intrusive_ptr<CZipLZMAReader>(new CZipLZMAReader(m.file.get(), false, false, 0),
                                                      false);
        if (r->getRecordCount() == 0)
            return tool::fail("ls", std::string(args[0]) + ": no members");
        for (int32_t i = 0; i < r->getRecordCount(); ++i) {
            char hash[16];
            std::snprintf(hash, sizeof hash, "#%08x", uint32_t(r->getRecord(i)->hash));
            out += std::string(hash) + "\t" +
                   std::to_string(r->GetDecompressedSize(r->getRecord(i))) + "\n";
        }
        break;
    }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int cat(std::span<char* const> args)
{
    if (args.size() != 2)
        return tool::fail("cat", "usage: cat ARCHIVE MEMBER");
    Mounted m;
    if (const char* reason = mount(args[0], m))
        return tool::fail("cat", std::string(args[0]) + ": " + reason);
    boost::intrusive_ptr<IReadFile> member;
    {
        tool::QuietStdout quiet;
        // Only the mounted archive may answer, not the disk.
        member = boost::intrusive_ptr<IReadFile>(m.fs->createAndOpenFileFromArchives(args[1]), false);
    }
    if (!member)
        return tool::fail("cat", std::string("no member ") + args[1] + " in " + args[0]);
    char buffer[65536];
    for (int32_t n; (n = member->read(buffer, sizeof buffer)) > 0;)
        if (std::fwrite(buffer, 1, size_t(n), stdout) != size_t(n))
            return tool::fail("cat", "cannot write to standard output");
    return 0;
}

const tool::ToolCommand lsCommand("ls", "ARCHIVE", ls);
const tool::ToolCommand catCommand("cat", "ARCHIVE MEMBER", cat);

}  // namespace
