#include "tests/tools/quendrax-data/SampleData.h"

#include "tests/tools/ToolRun.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace test {

int runDataBuilder(const std::string& dir, std::string* output)
{
    const std::string command = quoted(QUENDRAX_DATA) + " " + quoted(dir) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    const int status = pclose(pipe);
    if (output)
        *output = out;
    return status;
}

std::string sampleDataRoot(std::string* why)
{
    namespace fs = std::filesystem;
    struct stat info{};
    if (stat(QUENDRAX_DATA, &info) != 0) {
        if (why)
            *why = "no builder at " + std::string(QUENDRAX_DATA);
        return "";
    }
    const fs::path base = fs::path(QUENDRAX_DATA).parent_path().parent_path() / "test-data";
    const fs::path root = base / std::to_string(info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec);
    std::error_code ec;
    fs::create_directories(base, ec);
    const int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0)
        flock(lock, LOCK_EX);
    std::string result;
    if (fs::exists(root / "complete")) {
        result = root.string();
    } else {
        fs::remove_all(base / "building", ec);
        std::string output;
        if (runDataBuilder((base / "building").string(), &output) == 0) {
            // Older builds of the data go; only the current one is kept.
            for (const auto& entry : fs::directory_iterator(base, ec))
                if (entry.is_directory() && entry.path().filename() != "building")
                    fs::remove_all(entry.path(), ec);
            fs::rename(base / "building", root, ec);
            FILE* mark = std::fopen((root / "complete").c_str(), "w");
            if (mark)
                std::fclose(mark);
            result = root.string();
        } else if (why) {
            *why = output;
        }
    }
    if (lock >= 0) {
        flock(lock, LOCK_UN);
        close(lock);
    }
    return result;
}

}  // namespace test
