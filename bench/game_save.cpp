// The main thread's part of a save (the record built from the statics, handed to the writer
// thread) beside the same save done synchronously (temporary file, fsync, rename).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/CAIGame.h"
#include "game/CSaveWriter.h"

namespace {

std::string benchFolder()
{
    char pattern[] = "/tmp/quendrax-bench-save-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? std::string(made) + "/" : std::string("/tmp/");
}

void BM_SaveWriteMainThread(benchmark::State& state)
{
    const std::string folder = benchFolder();
    CAIGame::SetSaveFolder(folder);
    for (auto _ : state) {
        ++CAIGame::m_storyModeScore;
        CAIGame::SaveWrite();
    }
    CSaveWriter::Get().WaitIdle();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveWriteMainThread)->Unit(benchmark::kMicrosecond);

void BM_SaveWriteSynchronous(benchmark::State& state)
{
    const std::string folder = benchFolder();
    CAIGame::SetSaveFolder(folder);
    for (auto _ : state) {
        ++CAIGame::m_storyModeScore;
        CAIGame::BuildSaveRecord(CAIGame::m_recordStoreBuffer);
        CSaveWriter::WriteAtomically(CAIGame::SaveFilePath(), CAIGame::m_recordStoreBuffer, kSaveRecordSize);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveWriteSynchronous)->Unit(benchmark::kMicrosecond);

}  // namespace
