#include "audio/CZipReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "audio/FileSystemInterface.h"
#include "audio/StreamCFile.h"
#include "audio/ZipTableSerializer.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using kez::FileInterface;
using kez::FileSystemInterface;
using kez::KezFileAccessMode;
using kez::KezFileSeekOrigin;

constexpr uint32_t kQL = 0x05044C51;

class SoundArchive : public ::testing::Test {
protected:
    void TearDown() override { FileSystemInterface::DestroyInstance(); }
    FileSystemInterface* fs() { return FileSystemInterface::GetInstance(); }

    std::string readMember(const std::string& name) {
        FileInterface* f = fs()->OpenFile(name.c_str(), KezFileAccessMode(6));
        if (!f) return "<absent>";
        std::string out;
        char buf[7];
        int n;
        while ((n = f->Read(buf, 1, sizeof buf)) > 0) out.append(buf, size_t(n));
        fs()->CloseFile(f);
        return out;
    }

    test::TempDir dir;
};

test::ArchiveBuilder gameArchive() {
    test::ArchiveBuilder b;
    b.add("3/SFX/interface/sfx_menu_confirm.mpc", "confirm-bytes")
        .add("3/Music/m_title.it", std::string(300, 'm'), kQL)  // the engine's own signature
        .add("3/sfx_bonus.wav", "bonus", 0x04034B50, 0, 0, "xtra")
        .add("3/deflated.wav", "zzzz", 0x04034B50, 8);
    return b;
}

TEST_F(SoundArchive, MembersReadBackByteExactWithAndWithoutTable) {
    for (bool withTable : {false, true}) {
        SCOPED_TRACE(withTable ? "appended ZET_ table" : "local headers only");
        const std::string bytes = gameArchive().bytes(withTable);
        if (!withTable) {
            // Exactly one header carries the bytes 51 4C 04 05.
            EXPECT_EQ(bytes.find("\x51\x4C\x04\x05"), bytes.rfind("\x51\x4C\x04\x05"));
            EXPECT_NE(bytes.find("\x51\x4C\x04\x05"), std::string::npos);
        }
        ASSERT_EQ(fs()->SetArchive(dir.write("3.bar", bytes).c_str(), true, false, true), 0);
        EXPECT_EQ(readMember("3/SFX/Interface/SFX_MENU_CONFIRM.MPC"), "confirm-bytes");
        EXPECT_EQ(readMember("3/music/M_Title.it"), std::string(300, 'm'));
        EXPECT_EQ(readMember("3/sfx_bonus.wav"), "bonus");
        EXPECT_EQ(readMember("sfx_bonus.wav"), "<absent>");   // paths are kept
        EXPECT_EQ(readMember("3/deflated.wav"), "<absent>");  // only stored members are served
        FileSystemInterface::DestroyInstance();
    }
}

TEST_F(SoundArchive, TableOfOneMemberHasTheDocumentedLength) {
    const std::string bytes = test::ArchiveBuilder().add("a.wav", "x").bytes(true);
    uint32_t L;
    std::memcpy(&L, bytes.data() + bytes.size() - 4, 4);
    EXPECT_EQ(L, 39u);  // 4 count + 27 entry + 8 trailer
    EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "ZET_");
}

TEST_F(SoundArchive, WindowSeekTable) {
    ASSERT_EQ(fs()->SetArchive(dir.write("3.bar", test::ArchiveBuilder()
                                                      .add("pad", "0123456789")
                                                      .add("w", std::string(100, 'w'))
                                                      .add("ten", "abcdefghij")
                                                      .bytes(false))
                                   .c_str(),
                               true, false, true),
              0);
    FileInterface* w = fs()->OpenFile("w", KezFileAccessMode(6));
    ASSERT_NE(w, nullptr);
    const struct { int offset, origin, result, tell; } kSeeks[] = {
        {0, 2, 0, 100},  {-100, 2, 0, 0}, {-101, 2, -1, -1}, {1, 2, -1, 100}, {101, 0, -1, 100},
        {50, 0, 0, 50},  {10, 1, 0, 60},  {-61, 1, -1, -1},  {100, 0, 0, 100}, {-1, 0, -1, -1},
    };
    for (const auto& s : kSeeks) {
        SCOPED_TRACE(testing::Message() << "Seek(" << s.offset << ", " << s.origin << ")");
        EXPECT_EQ(w->Seek(s.offset, KezFileSeekOrigin(s.origin)), s.result);
        EXPECT_EQ(w->Tell(), s.tell);
    }
    fs()->CloseFile(w);

    FileInterface* ten = fs()->OpenFile("ten", KezFileAccessMode(6));
    ASSERT_NE(ten, nullptr);
    char buf[8] = {};
    ASSERT_EQ(ten->Seek(8, KezFileSeekOrigin(0)), 0);
    EXPECT_EQ(ten->Read(buf, 4, 1), 0);  // the element does not fit
    EXPECT_EQ(ten->Read(buf, 1, 4), 2);
    EXPECT_EQ(std::string(buf, 2), "ij");
    EXPECT_EQ(ten->Write("no", 1, 2), 0);
    fs()->CloseFile(ten);
}

TEST_F(SoundArchive, LookupRulesAndLaterMemberWins) {
    const std::string bytes = test::ArchiveBuilder()
                                  .add("SFX/Boom.WAV", "first")
                                  .add("sfx/boom.wav", "second")
                                  .add("sfx\\back.wav", "back")
                                  .bytes(false);
    const std::string path = dir.write("a.bar", bytes);
    kez::CZipReader keepPaths(path.c_str(), true, false);
    kez::CZipReader noPaths(path.c_str(), true, true);
    const struct { kez::CZipReader* r; const char* name; bool found; } kCases[] = {
        {&keepPaths, "sfx/boom.wav", true},       {&keepPaths, "SFX/BOOM.wav", true},
        {&keepPaths, "boom.wav", false},          {&noPaths, "any/dir/boom.wav", true},
        {&noPaths, "any\\dir\\boom.wav", true},   {&noPaths, "sfx\\back.wav", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        int offset = -7, size = -7;
        EXPECT_EQ(c.r->getFileInfo(c.name, offset, size), c.found);
        if (c.found) EXPECT_EQ(bytes.substr(size_t(offset), size_t(size)), "second");
        else EXPECT_EQ(offset, -7);
    }
}

TEST_F(SoundArchive, HostileArchivesAreRefusedWithoutHang) {
    const std::string good = test::ArchiveBuilder().add("a.wav", "aaaa").add("b.wav", "bbbb").bytes(false);
    auto patched = [&](size_t at, std::string with) {
        std::string s = good;
        s.replace(at, with.size(), with);
        return s;
    };
    std::string hugeSize = good, hugeTable = test::ArchiveBuilder().add("a.wav", "aaaa").bytes(true);
    hugeSize.replace(18, 4, "\xF8\xFF\xFF\xFF");           // compressed size -8: would walk backwards
    std::string tableL8 = hugeTable, tableBeyond = hugeTable, tableOffset = hugeTable, tableCount = hugeTable;
    tableL8.replace(tableL8.size() - 4, 4, std::string("\x08\0\0\0", 4));
    tableBeyond.replace(tableBeyond.size() - 4, 4, "\xFF\xFF\xFF\x7F");
    const size_t tableStart = hugeTable.size() - 39;
    tableOffset.replace(tableStart + 4 + 4 + 5, 4, "\xFF\xFF\xFF\x0F");  // data offset far past the end
    tableCount.replace(tableStart, 4, "\xFF\xFF\xFF\x7F");               // count far beyond the table

    const struct { const char* why; std::string bytes; int setArchive; bool aFound; } kCases[] = {
        {"empty file", "", 0, false},
        {"garbage", std::string(64, '\x7F'), 0, false},
        {"truncated header", good.substr(0, 20), 0, false},
        {"truncated data", good.substr(0, good.size() - 10), 0, true},
        {"compressed size walks backwards", hugeSize, 0, false},
        {"negative name length", patched(26, "\xFF\xFF"), 0, false},
        {"data descriptor member", patched(6, std::string("\x08\0", 2)), 0, false},
        {"trailer length 8", tableL8, -1, false},
        {"trailer length beyond the file", tableBeyond, -1, false},
        {"table offset past the end", tableOffset, 0, false},
        {"table count beyond the table", tableCount, 0, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.write("h.bar", c.bytes);
        EXPECT_EQ(fs()->SetArchive(path.c_str(), true, false, true), c.setArchive);
        int offset = 0, size = 0;
        const bool found = fs()->Archive() && fs()->Archive()->getFileInfo("a.wav", offset, size);
        EXPECT_EQ(found, c.aFound);
        if (found) {
            EXPECT_LE(int64_t(offset) + size, int64_t(c.bytes.size()));
        }
    }
    EXPECT_EQ(fs()->SetArchive(dir.file("missing.bar").c_str(), true, false, true), -1);
    EXPECT_EQ(fs()->Archive(), nullptr);
}

TEST_F(SoundArchive, WritingModesGoToTheDiskAndThePathSurvivesChdir) {
    const std::string bytes = test::ArchiveBuilder().add("save.dat", "archived").bytes(false);
    const std::string archive = dir.write("3.bar", bytes);
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ASSERT_EQ(fs()->SetArchive("3.bar", true, false, true), 0);  // relative
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    EXPECT_EQ(readMember("save.dat"), "archived");  // the archive is found again from elsewhere

    const std::string onDisk = dir.file("save.dat");
    FileInterface* w = fs()->OpenFile(onDisk.c_str(), KezFileAccessMode(10));  // "w+b"
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Write("disk", 1, 4), 4);
    fs()->CloseFile(w);
    FileInterface* rw = fs()->OpenFile("save.dat", KezFileAccessMode(10));  // member name, writing
    ASSERT_NE(rw, nullptr);
    EXPECT_EQ(dynamic_cast<kez::FileLimited*>(rw), nullptr);
    fs()->CloseFile(rw);
    std::remove("save.dat");
    std::filesystem::current_path(old);
    EXPECT_EQ(test::readFile(archive), bytes);  // never truncated
    EXPECT_EQ(test::readFile(onDisk), "disk");
}

TEST_F(SoundArchive, ArchiveOrderDirectoriesAndGetDirectory) {
    dir.write("music/a.wav", "disk-a");
    dir.write("musica.wav", "disk-musica");
    const std::string base = dir.path().string() + "/";
    ASSERT_EQ(fs()->SetArchive(dir.write("3.bar", test::ArchiveBuilder().add(base + "music/a.wav", "arch-a").bytes(false))
                                   .c_str(),
                               true, false, true),
              0);
    EXPECT_EQ(fs()->PushDirectory((base + "music/").c_str()), 0);
    EXPECT_EQ(readMember("a.wav"), "arch-a");
    EXPECT_EQ(fs()->PopDirectory(), 0);
    EXPECT_EQ(fs()->PushDirectory((base + "music").c_str()), 0);
    EXPECT_EQ(readMember("a.wav"), "disk-musica");
    EXPECT_EQ(fs()->PopDirectory(), 0);
    EXPECT_EQ(fs()->PopDirectory(), -1);
    EXPECT_EQ(fs()->PushDirectory(nullptr), -1);

    ASSERT_EQ(fs()->SetArchive(dir.file("3.bar").c_str(), true, false, false), 0);
    EXPECT_EQ(readMember(base + "music/a.wav"), "disk-a");  // disk first now

    char d[16] = "unchanged";
    EXPECT_EQ(FileSystemInterface::GetDirectory(d, 5, "ab/cd/e"), -1);
    EXPECT_STREQ(d, "unchanged");
    EXPECT_EQ(FileSystemInterface::GetDirectory(d, 7, "ab/cd/e"), 0);
    EXPECT_STREQ(d, "ab/cd/");
    EXPECT_EQ(FileSystemInterface::GetDirectory(d, 7, "plain"), -1);
    EXPECT_STREQ(d, "");
}

TEST_F(SoundArchive, ExportedTableImportsBackLowerCased) {
    const std::string path = dir.write("x.bar", test::ArchiveBuilder().add("SFX/Loud.WAV", "loud").bytes(false));
    {
        kez::CZipReader reader(path.c_str(), true, false);
        kez::ZipTableSerializer out(path.c_str(), kez::KezZipStream_Append);
        ASSERT_EQ(out.GetStatus(), 1);
        EXPECT_EQ(reader.ExportHeader(out), 1);
    }
    kez::ZipTableSerializer again(path.c_str(), kez::KezZipStream_Append);
    EXPECT_EQ(again.GetStatus(), -1);  // one table only
    const std::string bytes = test::readFile(path);
    EXPECT_NE(bytes.find("sfx/loud.wav"), std::string::npos);
    ASSERT_EQ(fs()->SetArchive(path.c_str(), false, false, true), 0);
    EXPECT_EQ(readMember("sfx/loud.wav"), "loud");
}

TEST_F(SoundArchive, FileStreamReadsAMemberThroughItsWindow) {
    ASSERT_EQ(fs()->SetArchive(dir.write("3.bar", gameArchive().bytes(true)).c_str(), true, false, true), 0);
    kez::StreamCFile stream("3/SFX_BONUS.WAV");
    EXPECT_EQ(stream.Size(), 5);
    kez::StreamCursorInterface* c = stream.CreateNewCursor();
    ASSERT_NE(c, nullptr);
    unsigned char buf[8] = {};
    EXPECT_EQ(c->Read(buf, 8), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 5), "bonus");
    EXPECT_EQ(c->Seek(0, 2), 0);
    EXPECT_EQ(c->Tell(), 4);
    EXPECT_TRUE(c->EndOfStream());  // one byte left already counts as the end
    EXPECT_EQ(c->Seek(6, 0), -1);
    EXPECT_EQ(c->Tell(), 4);  // the cached position was forgotten and asked again
    stream.DestroyCursor(c);

    kez::StreamCFile missing("3/nothing.wav");
    EXPECT_EQ(missing.Size(), 0);
    EXPECT_EQ(missing.CreateNewCursor(), nullptr);
    kez::StreamCFile empty("");
    EXPECT_EQ(empty.CreateNewCursor(), nullptr);
}

}  // namespace
