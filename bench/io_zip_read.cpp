// Reading every member of a 20 MB ZIP of mixed members (deflated text and tables, stored
// noise as in already-compressed media): through the engine's file system, with plain zlib
// inflating the same streams from the same file, and with PhysicsFS.

#include "engine/io/CFileSystem.h"
#include "engine/io/IReadFile.h"

#include <benchmark/benchmark.h>
#include <boost/intrusive_ptr.hpp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <physfs.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

struct Member {
    std::string name;
    uint32_t offset = 0;  // of the data
    uint32_t packed = 0;
    uint32_t size = 0;
    bool deflated = false;
};

struct Archive {
    std::string path;
    std::vector<Member> members;
    uint64_t totalBytes = 0;
};

std::string le16(uint32_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

std::string deflateRaw(const std::string& data)
{
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, uLong(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::string memberData(std::mt19937& rng, int kind, size_t size)
{
    static const char* words[] = {"brick ", "paddle ", "ball ", "level ", "score ", "bonus ",
                                  "<effect name=\"spark\"/>\n", "0.125, ", "laser ", "\n"};
    std::string s;
    s.reserve(size);
    if (kind == 0) {
        while (s.size() < size)
            s += words[rng() % 10];
    } else if (kind == 1) {
        while (s.size() < size)
            s += char(rng() % 16 * (s.size() % 4 == 0));  // sparse tables
    } else {
        while (s.size() < size)
            s += char(rng());
    }
    s.resize(size);
    return s;
}

const Archive& archive()
{
    static Archive a = [] {
        Archive a;
        a.path = (std::filesystem::temp_directory_path() /
                  ("quendrax-bench-" + std::to_string(getpid()) + ".zip"))
                     .string();
        std::mt19937 rng(42);
        std::string zip, central;
        int count = 0;
        while (zip.size() < 20u << 20) {
            Member m;
            const int kind = count % 5 == 4 ? 2 : count % 2;
            m.name = "res/" + std::to_string(count++) + (kind == 2 ? ".png" : ".xml");
            const std::string data = memberData(rng, kind, 4096 + rng() % (512 << 10));
            m.deflated = kind != 2;
            const std::string stored = m.deflated ? deflateRaw(data) : data;
            const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                                uInt(data.size())));
            m.packed = uint32_t(stored.size());
            m.size = uint32_t(data.size());
            const uint32_t header = uint32_t(zip.size());
            const std::string fields = le16(m.deflated ? 8 : 0) + le16(0) + le16(0x21) +
                                       le32(crc) + le32(m.packed) + le32(m.size) +
                                       le16(uint32_t(m.name.size())) + le16(0);
            zip += le32(0x04034b50) + le16(20) + le16(0) + fields + m.name;
            m.offset = uint32_t(zip.size());
            zip += stored;
            central += le32(0x02014b50) + le16(20) + le16(20) + le16(0) + fields + le16(0) +
                       le16(0) + le16(0) + le32(0) + le32(header) + m.name;
            a.totalBytes += m.size;
            a.members.push_back(m);
        }
        const uint32_t cd = uint32_t(zip.size());
        zip += central + le32(0x06054b50) + le16(0) + le16(0) + le16(uint32_t(a.members.size())) +
               le16(uint32_t(a.members.size())) + le32(uint32_t(central.size())) + le32(cd) + le16(0);
        FILE* f = std::fopen(a.path.c_str(), "wb");
        std::fwrite(zip.data(), 1, zip.size(), f);
        std::fclose(f);
        std::atexit([] { std::filesystem::remove(archive().path); });
        return a;
    }();
    return a;
}

// The file system's progress lines go to /dev/null while it is measured, as a game's would.
class StdoutToNull {
public:
    StdoutToNull()
    {
        std::fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        if (FILE* null = std::fopen("/dev/null", "w")) {
            dup2(fileno(null), STDOUT_FILENO);
            std::fclose(null);
        }
    }
    ~StdoutToNull()
    {
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }

private:
    int m_saved;
};

void BM_ZipReadAll_FileSystem(benchmark::State& state)
{
    const Archive& a = archive();
    StdoutToNull quiet;
    boost::intrusive_ptr<pravik::io::CFileSystem> fs(new pravik::io::CFileSystem());
    fs->addZipFileArchive(a.path.c_str(), true, false, 1);
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        for (const Member& m : a.members) {
            pravik::io::IReadFile* f = fs->createAndOpenFile(m.name.c_str());
            if (!f || f->read(buffer.data(), uint32_t(buffer.size())) != int32_t(m.size)) {
                state.SkipWithError("member not read");
                return;
            }
            f->drop();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations() * a.totalBytes));
}
BENCHMARK(BM_ZipReadAll_FileSystem)->Unit(benchmark::kMillisecond);

void BM_ZipReadAll_PlainZlib(benchmark::State& state)
{
    const Archive& a = archive();
    FILE* file = std::fopen(a.path.c_str(), "rb");
    std::vector<unsigned char> in(1 << 20), out(1 << 20);
    for (auto _ : state) {
        for (const Member& m : a.members) {
            std::fseek(file, m.offset, SEEK_SET);
            if (!m.deflated) {
                if (std::fread(out.data(), 1, m.size, file) != m.size)
                    state.SkipWithError("short read");
                continue;
            }
            if (std::fread(in.data(), 1, m.packed, file) != m.packed)
                state.SkipWithError("short read");
            z_stream s{};
            s.next_in = in.data();
            s.avail_in = m.packed;
            s.next_out = out.data();
            s.avail_out = m.size;
            inflateInit2(&s, -15);
            if (inflate(&s, Z_FINISH) != Z_STREAM_END)
                state.SkipWithError("inflate");
            inflateEnd(&s);
        }
    }
    std::fclose(file);
    state.SetBytesProcessed(int64_t(state.iterations() * a.totalBytes));
}
BENCHMARK(BM_ZipReadAll_PlainZlib)->Unit(benchmark::kMillisecond);

void BM_ZipReadAll_PhysicsFS(benchmark::State& state)
{
    const Archive& a = archive();
    PHYSFS_init(nullptr);
    PHYSFS_mount(a.path.c_str(), nullptr, 1);
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        for (const Member& m : a.members) {
            PHYSFS_File* f = PHYSFS_openRead(m.name.c_str());
            if (!f || PHYSFS_readBytes(f, buffer.data(), buffer.size()) != PHYSFS_sint64(m.size)) {
                state.SkipWithError("member not read");
                break;
            }
            PHYSFS_close(f);
        }
    }
    PHYSFS_deinit();
    state.SetBytesProcessed(int64_t(state.iterations() * a.totalBytes));
}
BENCHMARK(BM_ZipReadAll_PhysicsFS)->Unit(benchmark::kMillisecond);

}  // namespace
