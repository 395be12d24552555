// "AndroidDevConfig.bin": 29 lines whose text after the first '@' is the value, '^' for spaces.

#include "tools/formats/DevConfig.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(DevConfigWriter, TwentyNineLinesReadTheWayTheGameReadsThem)
{
    const std::string file = formats::devConfigFile({{"NAME", "sample data"}, {"A@B", "x@y"}});
    std::istringstream in(file);
    std::vector<std::string> values;
    for (std::string line; std::getline(in, line);) {
        std::string value = line.substr(line.find('@') + 1);
        for (char& c : value)
            if (c == '^')
                c = ' ';
        values.push_back(value);
    }
    ASSERT_EQ(values.size(), 29u);
    EXPECT_EQ(values[0], "sample data");
    EXPECT_EQ(values[1], "x@y");  // the key's '@' is replaced, so the value survives whole
    EXPECT_EQ(values[28], "0");
}
