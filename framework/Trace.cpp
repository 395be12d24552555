#include "framework/Trace.h"

#include "platform/Clock.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

struct STraceFile {
    std::FILE* file = nullptr;
    bool chosen = false;   // the environment was read, or a test chose
};

STraceFile& traceFile()
{
    static STraceFile s;
    if (!s.chosen) {
        s.chosen = true;
        const char* path = std::getenv("QUENDRAX_TRACE");
        if (path && *path) {
            s.file = std::fopen(path, "w");   // opened at start-up, before anything changes directory
            if (!s.file)
                std::fprintf(stderr, "quendrax: cannot write the trace %s\n", path);
        }
    }
    return s;
}

} // namespace

bool TraceEnabled()
{
    return traceFile().file != nullptr;
}

void Trace(const char* format, ...)
{
    std::FILE* f = traceFile().file;
    if (!f)
        return;
    std::fprintf(f, "%llu ", static_cast<unsigned long long>(platform::Clock::frames()));
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fflush(f);
}

void TraceOpen(const std::string& path)
{
    STraceFile& s = traceFile();
    if (s.file)
        std::fclose(s.file);
    s.file = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
}
