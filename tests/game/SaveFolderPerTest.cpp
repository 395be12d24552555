// Every game test saves into a folder of its own, removed when the test ends: no test writes
// into the build tree or finds a save file another test left.
#include <gtest/gtest.h>

#include <memory>

#include "game/CAIGame.h"
#include "game/CSaveWriter.h"
#include "tests/support/TempDir.h"

namespace {

class SaveFolderPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_dir = std::make_unique<test::TempDir>();
        CAIGame::SetSaveFolder(m_dir->path().string() + "/data/");
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        CSaveWriter::Get().WaitIdle();
        CAIGame::SetSaveFolder("");
        m_dir.reset();
    }

    std::unique_ptr<test::TempDir> m_dir;
};

[[maybe_unused]] const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SaveFolderPerTest);
    return true;
}();

}  // namespace
