// libFuzzer's start-up hook: silence the logs, and with QUENDRAX_FUZZ_SEEDS=DIR write the
// target's seeds into DIR and stop, so `make fuzz` can start each run from them.

#include "fuzz/FuzzTarget.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quiet();
    if (const char* dir = std::getenv("QUENDRAX_FUZZ_SEEDS")) {
        std::filesystem::create_directories(dir);
        const auto seeds = fuzz::seeds();
        for (size_t i = 0; i < seeds.size(); ++i) {
            std::ofstream out(std::filesystem::path(dir) / ("seed-" + std::to_string(i)), std::ios::binary);
            out.write(seeds[i].data(), std::streamsize(seeds[i].size()));
        }
        std::exit(0);
    }
    return 0;
}
