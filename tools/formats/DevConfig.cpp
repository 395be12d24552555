#include "tools/formats/DevConfig.h"

#include <algorithm>

namespace formats {

std::string devConfigFile(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string out;
    for (int i = 0; i < kDevConfigLines; ++i) {
        std::string key = "KEY" + std::to_string(i), value = "0";
        if (size_t(i) < entries.size()) {
            key = entries[size_t(i)].first;
            value = entries[size_t(i)].second;
        }
        // The reader splits at the first '@': none may sit in the key.
        std::replace(key.begin(), key.end(), '@', '_');
        std::replace(value.begin(), value.end(), ' ', '^');
        out += key + "@" + value + "\n";
    }
    return out;
}

}  // namespace formats
