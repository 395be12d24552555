// Number texts of the attribute forms.

#include "engine/core/TextForms.h"

#include <strings.h>

#include <cstdio>

namespace pravik::core {

stringc intToText(int value)
{
    char buffer[16];
    snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

stringc floatToText(float value)
{
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%g", double(value));
    return buffer;
}

bool equalsIgnoreCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

}  // namespace pravik::core
