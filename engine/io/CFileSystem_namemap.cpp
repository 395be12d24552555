// Opening disk files, and the scrambled name map that redirects names to disk files.
// Map file: text lines "A:B" ('\n'-separated), then the 6-byte end marker, scrambled whole.
#include "engine/io/CFileSystem.h"

#include "engine/io/CReadFile.h"
#include "engine/os/Printer.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace pravik::io {

char CFileSystem::WorkingDirectory[1024] = {};
CFileSystem::NameMap CFileSystem::ObfuscationMap;

CFilePtr CFileSystem::open(const char* name, const char* mode)
{
    if (!name || !mode || !*name)
        return {};
    const char* toOpen = name;
    bool redirected = false;
    core::stringc target;
    if (!ObfuscationMap.empty()) {
        const char* k = name;
        if (k[0] == '.' && (k[1] == '/' || k[1] == '\\'))
            k += 2;
        const size_t wl = std::strlen(WorkingDirectory);
        if (wl && std::strncmp(k, WorkingDirectory, wl) == 0) {
            k += wl;
            const char last = WorkingDirectory[wl - 1];
            if (last != '/' && last != '\\' && *k)
                ++k;
        }
        core::stringc key(k);
        for (char& c : key)
            if (c == '\\')
                c = '/';
        const auto it = ObfuscationMap.find(key);
        if (it != ObfuscationMap.end()) {
            target = it->second;
            toOpen = target.c_str();
            redirected = true;
        }
    }
    FILE* stream = std::fopen(toOpen, mode);
    if (!stream)
        return {};
    // fopen succeeds on a directory here: only regular files are files.
    struct stat st;
    if (fstat(fileno(stream), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(stream);
        return {};
    }
    return CFilePtr(new CFile(stream, toOpen, redirected));
}

namespace {

// One step of the scrambling state; v is the unscrambled value of byte i.
struct ScrambleState {
    int k;
    signed char h[3] = {0, 0, 0};
    int key;

    void advance(size_t i, int v, unsigned char plain)
    {
        h[i % 3] = static_cast<signed char>(plain);
        const int t = (v / 2) * (v % 2);
        const int m = t % key;
        const int a = (h[0] + h[1] + h[2]) / 3;
        k = (k + a + (int(i % 3) - 1) * m) % 256;
        if (k < 0)
            k += 256;
    }
};

}  // namespace

void CFileSystem::unscramble(unsigned char* data, size_t size, unsigned char key)
{
    if (key == 0)
        return;
    ScrambleState s{key, {0, 0, 0}, key};
    for (size_t i = 0; i < size; ++i) {
        const int c = static_cast<signed char>(data[i]);
        int v = c - s.k;
        if (v < 0)
            v += 256;
        data[i] = static_cast<unsigned char>(v);
        s.advance(i, v, data[i]);
    }
}

void CFileSystem::scramble(unsigned char* data, size_t size, unsigned char key)
{
    if (key == 0)
        return;
    ScrambleState s{key, {0, 0, 0}, key};
    for (size_t i = 0; i < size; ++i) {
        const unsigned char plain = data[i];
        const int c = static_cast<signed char>(static_cast<unsigned char>(plain + s.k));
        int v = c - s.k;
        if (v < 0)
            v += 256;
        data[i] = static_cast<unsigned char>(c);
        s.advance(i, v, plain);
    }
}

bool CFileSystem::addObfuscationFileMap(const char* fileName, unsigned char key,
                                        const core::stringc& prefix)
{
    // The unscrambling divides by the key.
    if (key == 0)
        return false;
    IReadFile* file = createAndOpenFile(fileName);
    if (!file)
        return false;
    const int32_t n = file->getSize();
    const size_t markerLength = std::strlen(ObfuscationMarker);
    auto* text = static_cast<unsigned char*>(n >= int32_t(markerLength) ? std::malloc(size_t(n) + 1)
                                                                        : nullptr);
    const bool read = text && file->read(text, uint32_t(n)) == n;
    file->drop();
    if (!read) {
        std::free(text);
        os::Printer::log("name map cannot be read", fileName, ELL_ERROR);
        return false;
    }
    text[n] = 0;
    unscramble(text, size_t(n), key);
    const size_t end = size_t(n) - markerLength;
    if (std::strcmp(reinterpret_cast<const char*>(text) + end, ObfuscationMarker) != 0) {
        std::free(text);
        return false;
    }
    const char* s = reinterpret_cast<const char*>(text);
    size_t line = 0;
    while (line < end) {
        const void* colon = std::memchr(s + line, ':', end - line);
        if (!colon)
            break;
        const size_t c = size_t(static_cast<const char*>(colon) - s);
        const void* nl = std::memchr(s + c + 1, '\n', end - (c + 1));
        const size_t e = nl ? size_t(static_cast<const char*>(nl) - s) : end;
        ObfuscationMap[core::stringc(s + c + 1, e - (c + 1))] = prefix + core::stringc(s + line, c - line);
        line = nl ? e + 1 : end;
    }
    std::free(text);
    return true;
}

}  // namespace pravik::io
