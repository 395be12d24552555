// Packs found by fuzzing: a member's declared size is checked against the bytes the pack holds
// for it before anything is allocated.

#include "engine/io/CReadFile.h"
#include "engine/io/CZipLZMAReader.h"
#include "tests/engine/core/RecordingLogger.h"
#include "tests/engine/core/TestAllocationHooks.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pravik;

TEST(HostilePacks, LzmaMemberDeclaringMoreThanItsStreamCanHold)
{
    const std::string path = test::sourceDir() + "/tests/fixtures/fuzz-findings/lzma-2GiB-declared-size.pak";
    io::IReadFile* file = io::createReadFile(path.c_str());
    ASSERT_TRUE(file);
    const boost::intrusive_ptr<io::CZipLZMAReader> pack(new io::CZipLZMAReader(file, true, true, 0), false);
    file->drop();
    ASSERT_EQ(pack->getRecordCount(), 1);
    EXPECT_GT(pack->GetDecompressedSize(pack->getRecord(0)), 1 << 30);

    test::SLoggerScope log;
    EXPECT_EQ(pack->openFile("a"), nullptr);
    // Refused by name before the buffer, not by the decoder after it.
    EXPECT_TRUE(log.logger().contains("lzma pack: declared size beyond what the stream can hold: a"));
    EXPECT_FALSE(log.logger().contains("member cannot be decoded"));
}

}  // namespace
