// Severity of an engine log message; a larger number is more severe. A logger passes a
// message whose level is at least its own.
#pragma once

#include <cstdint>

namespace pravik {

enum ELOG_LEVEL : std::int32_t {
    ELL_INFORMATION = 1,
    ELL_WARNING = 2,
    ELL_ERROR = 3,
    ELL_NONE = 4,   // what the printer reports as its level while no logger is installed
};

} // namespace pravik
