// quendrax-tool lang: `ID TEXT` a line, wide tables mapped back to their characters.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/LangWriter.h"

#include <gtest/gtest.h>

namespace {
std::string str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }
}  // namespace

TEST(ToolLang, PrintsIdAndText)
{
    test::TempDir dir;
    const std::string en = dir.write("iphone_wzt5_en.lang", str(formats::lang::Write({U"Play", U"two\nlines", U"\u00E9t\u00E9"}, 0)));
    auto r = test::runTool("lang " + test::quoted(en));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 Play\n1 two\\nlines\n2 \xC3\xA9t\xC3\xA9\n");

    const std::string jp = dir.write("iphone_wzt5_jp.lang", str(formats::lang::Write({U"\u30B9\u30BF\u30FC\u30C8", U"A"}, 6)));
    r = test::runTool("lang " + test::quoted(jp));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 \xE3\x82\xB9\xE3\x82\xBF\xE3\x83\xBC\xE3\x83\x88\n1 A\n");

    r = test::runTool("lang " + test::quoted(dir.file("missing.lang")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("lang: "), std::string::npos);
}
