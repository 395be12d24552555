// quendrax-tool image IN OUT, run as a program: a PNG becomes a TGA with the same pixels, and
// each failure exits non-zero with one line that says why. Skipped when the tool is not built.

#include "engine/video/CImageLoaderTGA.h"
#include "engine/video/CImageWriterPNG.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

using namespace pravik;
using namespace pravik::video;

namespace {

// Exit status and everything the command printed (both streams).
std::pair<int, std::string> run(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return {-1, ""};
    char buf[256];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace

TEST(ImageTool, ConvertsThroughTheEngine) {
    const std::string tool = std::filesystem::absolute("bin/quendrax-tool").string();
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "quendrax-tool is not built";
    test::TempDir dir;
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(3, 2));
    for (unsigned i = 0; i < 6; ++i) img->setPixel(i % 3, i / 3, SColor(uint8_t(i * 40), 7, 9, uint8_t(255 - i)));
    const std::string png = dir.write("in.png", test::writeBytes(CImageWriterPNG(), img));
    const std::string tga = dir.file("out.tga");

    const auto [status, out] = run(tool + " image " + png + " " + tga);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, png + " 3x2 R8G8B8A8 -> " + tga + "\n");
    const CImagePtr back = test::loadBytes(CImageLoaderTGA(), test::readFile(tga));
    ASSERT_TRUE(back);
    EXPECT_EQ(test::rgbaOf(back), test::rgbaOf(img));

    const struct {
        std::string args, reason;
    } failures[] = {
        {png + " " + dir.file("out.gif"), "image: no writer for"},
        {dir.file("missing.png") + " " + tga, "image: cannot open"},
        {dir.write("cut.png", test::readFile(png).substr(0, 40)) + " " + tga, "image: cannot load"},
        {png, "image: usage"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.args);
        const auto [code, text] = run(tool + " image " + f.args);
        EXPECT_NE(code, 0);
        EXPECT_EQ(text.rfind(f.reason, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    }
}
