#include "engine/video/image/pixel_format_log.h"

#include "engine/os/Printer.h"

namespace pravik::video::pixel_format::detail {

void logError(const char* text, const char* hint) {
    if (hint)
        os::Printer::log(text, hint, ELL_ERROR);
    else
        os::Printer::log(text, ELL_ERROR);
}

void logWarning(const char* text, const char* hint) {
    if (hint)
        os::Printer::log(text, hint, ELL_WARNING);
    else
        os::Printer::log(text, ELL_WARNING);
}

}  // namespace pravik::video::pixel_format::detail
