#include "effects/ZuduvaHost.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(ZuduvaHost, CallbacksWithoutHost)
{
    EXPECT_STREQ(ZuduvaGetTextureSearchPath(), "SFX/");
    EXPECT_EQ(std::strlen(ZuduvaGetTextureSearchPath()), 4u);
    EXPECT_EQ(ZuduvaGetPravikDevice(), nullptr);
    EXPECT_EQ(ZuduvaGetColladaFactory(), nullptr);
    for (int type : {-1, 0, 1, 2})
        EXPECT_EQ(ZuduvaGetMaterial(type), nullptr);
}
