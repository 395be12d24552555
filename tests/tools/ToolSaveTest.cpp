// quendrax-tool save: one field a line, OFFSET NAME VALUES; a file that is not 2000 bytes exits
// non-zero with a one-line reason.

#include <algorithm>
#include <cstring>
#include <sstream>

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/SaveFileWriter.h"

#include <gtest/gtest.h>

namespace {

std::string str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(ToolSave, PrintsOneFieldALine)
{
    test::TempDir dir;
    formats::save::Fields fields;
    fields.language = 3;
    fields.storyLevel = 0xFF;
    fields.money = 123456789012LL;
    fields.locations[0] = 14;
    fields.locations[1] = 5;
    fields.stats[17] = 4;
    fields.highScores[104] = 9999999999999LL;
    std::memcpy(fields.versionCode, "1.0.2", 5);
    fields.equipped[4] = -2;
    const std::string path = dir.write("wzt5.sav", str(formats::save::Record(fields)));
    const auto r = test::runTool("save " + test::quoted(path));
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> out;
    for (std::string line; std::getline(lines, line);)
        out.push_back(line);
    ASSERT_EQ(out.size(), 30u);
    const std::string expected[] = {
        "0 version 8",
        "1 language 3",
        "2 story_level 255",
        "3 locations 14 5 0 0 0 0 0",
        "24 money 123456789012",
        "1442 story_texts 1",
        "1468 version_code \"1.0.2\\0\\0\\0\"",
        "1476 volume_effects 100",
        "1551 equipped 0 0 0 0 -2",
        "1720 review 255",
        "1722 reserved_nonzero 0",
    };
    for (const std::string& line : expected)
        EXPECT_NE(std::find(out.begin(), out.end(), line), out.end()) << line;
    EXPECT_EQ(out[9].rfind("388 statistics 0 ", 0), 0u);
    EXPECT_EQ(out[9].substr(out[9].size() - 2), " 4");
    EXPECT_EQ(out[10].substr(out[10].size() - 14), " 9999999999999");
}

TEST(ToolSave, RefusesFilesOfAnotherSize)
{
    test::TempDir dir;
    std::vector<uint8_t> record = formats::save::Record({});
    for (const size_t size : {size_t(0), size_t(1999), size_t(2001)}) {
        record.resize(size);
        const std::string path = dir.write("wzt5.sav", str(record));
        const auto r = test::runTool("save " + test::quoted(path));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("save: "), std::string::npos);
        EXPECT_NE(r.err.find(std::to_string(size) + " bytes"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    const auto r = test::runTool("save " + test::quoted(dir.file("missing.sav")));
    EXPECT_EQ(r.status, 1);
}

}  // namespace
