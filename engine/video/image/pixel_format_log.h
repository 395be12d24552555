#pragma once
// The pixel code's one way to the engine's log, so conversion messages read the same everywhere.

namespace pravik::video::pixel_format::detail {

void logError(const char* text, const char* hint = nullptr);
void logWarning(const char* text, const char* hint = nullptr);

}  // namespace pravik::video::pixel_format::detail
