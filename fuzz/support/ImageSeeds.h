#pragma once
// Small valid files of each image format: PNG, JPEG and TGA through the engine's writers, BMP,
// DDS and PVR assembled field by field (the engine writes neither).

#include <string>
#include <vector>

enum class ImageKind { BMP, TGA, JPG, PNG, DDS, PVR };

std::vector<std::string> imageSeeds(ImageKind kind);
