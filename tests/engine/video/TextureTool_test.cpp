// quendrax-tool texture DATA_DIR NAME (the OpenGL ES driver on a headless context), run as a program over a data folder with a ZIP archive,
// a ZIP-wrapped texture file and a plain one: size, format, the CRC-32 of the level-0 pixels
// and the source, or a non-zero exit with one line that says why. Skipped when the tool is
// not built.

#include "tests/engine/video/CTextureManagerTestSupport.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

using namespace pravik;
using namespace pravik::video;

namespace {

std::pair<int, std::string> run(const std::string& command)
{
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return {-1, ""};
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string crcOf(const CImagePtr& image)
{
    char text[32];
    std::snprintf(text, sizeof text, "crc32:%08lx",
                  crc32(crc32(0L, Z_NULL, 0), static_cast<const Bytef*>(image->getData()),
                        uInt(image->getImageDataSizeInBytes())));
    return text;
}

}  // namespace

TEST(TextureTool, LoadsFromTheMountedDataFolder)
{
    const std::string tool = std::filesystem::absolute("bin/quendrax-tool").string();
    if (!std::filesystem::exists(tool))
        GTEST_SKIP() << "quendrax-tool is not built";
    test::TempDir dir;
    const CImagePtr a = test::patternImage(EPF_R8G8B8A8, 4, 4, 1);
    const CImagePtr b = test::patternImage(EPF_R8G8B8A8, 2, 2, 2);
    dir.write("res.bar", test::ZipBuilder().add("tex/a.png", test::pngOf(a), true).bytes());
    dir.write("b.png", test::ZipBuilder().add("b.png", test::pngOf(b)).bytes());
    const std::string data = dir.path().string();

    const struct {
        const char* name;
        std::string expected;
    } kLoads[] = {
        {"tex/a.png", "name\ttex/a.png\nsize\t4x4\nformat\tR8G8B8A8\nlevels\t1\nchecksum\t" + crcOf(a) +
                          "\nsource\ttex/a.png\n"},
        {"b.png", "name\tb.png\nsize\t2x2\nformat\tR8G8B8A8\nlevels\t1\nchecksum\t" + crcOf(b) + "\nsource\tb.png\n"},
    };
    for (const auto& c : kLoads) {
        SCOPED_TRACE(c.name);
        const auto [status, out] = run(tool + " texture " + data + " " + c.name);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out, c.expected);
    }

    const struct {
        std::string args, reason;
    } kFailures[] = {
        {data + " nothing.png", "texture: nothing.png: Could not find texture file"},
        {dir.file("missing-folder") + " a.png", "texture: " + dir.file("missing-folder") + ": not a folder"},
        {data, "texture: usage"},
    };
    for (const auto& f : kFailures) {
        SCOPED_TRACE(f.args);
        const auto [status, out] = run(tool + " texture " + f.args);
        EXPECT_NE(status, 0);
        EXPECT_EQ(out.rfind(f.reason, 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }
}
