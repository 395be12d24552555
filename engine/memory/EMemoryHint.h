// The kind of memory an engine allocation asks for, so that an application may route kinds
// differently. The engine passes 0 for ordinary data and 1024 for loaded scene-file images.
#pragma once

#include <cstdint>

namespace pravik::memory {

enum E_MEMORY_HINT : std::int32_t {
    EMH_DEFAULT = 0,
    EMH_SCENE_FILE_DATA = 1024,
};

} // namespace pravik::memory
