// quendrax-tool array: the header line, then one element a line; refused files exit non-zero
// with a one-line reason.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/TypedArrayWriter.h"

#include <gtest/gtest.h>

namespace {
std::string str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }
}  // namespace

TEST(ToolArray, PrintsHeaderAndElements)
{
    test::TempDir dir;
    const std::string a = dir.write("a.ARRAY", str(formats::arrays::Write(0x12, {-1, 300})));
    auto r = test::runTool("array " + test::quoted(a));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "header 0x12 kind 2 (int32) stored 2 count 2 (8-bit)\n-1\n300\n");

    const std::string bad = dir.write("b.ARRAY", str(formats::arrays::Write(0x22, {1}, 50)));
    for (const std::string& f : {bad, dir.file("missing.ARRAY")}) {
        r = test::runTool("array " + test::quoted(f));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("array: "), std::string::npos);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}
