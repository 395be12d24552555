#pragma once
// Small valid files of each image format: PNG, JPEG and TGA through the engine's writers, DDS
// and PVR through the formats library's, BMP assembled field by field.

#include <string>
#include <vector>

enum class ImageKind { BMP, TGA, JPG, PNG, DDS, PVR };

std::vector<std::string> imageSeeds(ImageKind kind);
