#pragma once
// A fuzz target is one reader of outside bytes: fuzz/targets/NAME.cpp defines the entry point
// libFuzzer calls with each input, and the seeds it starts from, made by the project's writers.
// The entry point uses the whole result (every pixel, sample, member), so a reader that claims
// more than it holds is caught by the sanitizers. The same file builds two ways: with
// libFuzzer under clang (`make fuzz`), or with a replay main that `make test` runs over the
// seeds and over tests/fixtures/fuzz-findings/.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

std::vector<std::string> seeds();  // each target's starting inputs

// Touches every byte so that a block shorter than claimed is read past its end.
uint32_t sum(const void* data, size_t size);

// Silences the engine's log and the audio engine's decoder messages for the process.
void quiet();

// The input as a string, and the pieces targets split it into.
inline std::string_view bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
