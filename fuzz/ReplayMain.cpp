// Replays a fuzz target without a fuzzing engine: its seeds, then every file named on the command
// line or found below a directory named there.

#include "fuzz/FuzzTarget.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void run(const std::string& input) {
    // A copy of exactly the input's size, so reading past it is seen by the sanitizers.
    std::vector<uint8_t> bytes(input.begin(), input.end());
    LLVMFuzzerTestOneInput(bytes.empty() ? nullptr : bytes.data(), bytes.size());
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    fuzz::quiet();
    const std::vector<std::string> seeds = fuzz::seeds();
    size_t files = 0;
    for (const std::string& seed : seeds) run(seed);
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> paths;
        if (fs::is_directory(argv[i])) {
            for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
                if (entry.is_regular_file()) paths.push_back(entry.path());
        } else {
            paths.push_back(argv[i]);
        }
        for (const fs::path& path : paths) {
            if (!fs::exists(path)) {
                std::fprintf(stderr, "replay: no file %s\n", path.c_str());
                return 1;
            }
            run(slurp(path));
            ++files;
        }
    }
    std::printf("replayed %zu seeds and %zu files\n", seeds.size(), files);
    return 0;
}
