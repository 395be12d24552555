// Writes pack items into a data directory at the paths the compiled pack tables give.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formats::packs {

// "<folder>/<name of row>", or "" when the folder or row names no item.
std::string ItemPath(const char* folder, int row);

// Writes bytes to root/relative, creating the folders on the way; false on any failure.
bool WriteFile(const std::string& root, const std::string& relative, const std::vector<uint8_t>& bytes);

// Writes item row of a pack under root; false when the row names no item.
bool WriteItem(const std::string& root, const char* folder, int row, const std::vector<uint8_t>& bytes);

}  // namespace formats::packs
