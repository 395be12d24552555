#include "fuzz/FuzzTarget.h"

#include "engine/ILogger.h"
#include "engine/os/Printer.h"

#include <cstdarg>

namespace fuzz {

uint32_t sum(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    uint32_t s = 0;
    for (size_t i = 0; i < size; ++i) s = s * 31 + p[i];
    // Keeps the loop from being dropped as dead code.
    asm volatile("" : : "r"(s));
    return s;
}

namespace {

class SilentLogger : public pravik::ILogger {
public:
    SilentLogger() : ILogger(1) {}
    pravik::ELOG_LEVEL getLogLevel() const override { return pravik::ELL_NONE; }
    void setLogLevel(pravik::ELOG_LEVEL) override {}
    void log(const char*, pravik::ELOG_LEVEL) override {}
    void log(const char*, const char*, pravik::ELOG_LEVEL) override {}
    void log(const wchar_t*, const wchar_t*, pravik::ELOG_LEVEL) override {}
    void log(const wchar_t*, pravik::ELOG_LEVEL) override {}
    void vlogf(pravik::ELOG_LEVEL, const char*, va_list) override {}
};

}  // namespace

void quiet() {
    static SilentLogger logger;
    pravik::os::Printer::Logger = &logger;
}

}  // namespace fuzz
