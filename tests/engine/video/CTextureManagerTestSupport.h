#pragma once
// A null driver with its texture manager over a file system of its own, plus the small texture
// files the texture tests read: PNG written by the engine's writer, DDS built field by field.

#include "engine/EngineServices.h"
#include "engine/io/CFileSystem.h"
#include "engine/video/image/CImage.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/ITexture.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace test {

// A pattern that differs in every byte of every pixel, so misplaced bytes show.
inline pravik::video::CImagePtr patternImage(pravik::video::E_PIXEL_FORMAT format, int width, int height, int seed = 0)
{
    pravik::video::CImagePtr image = new pravik::video::CImage(format, pravik::core::dimension2d<int>(width, height));
    auto* bytes = static_cast<unsigned char*>(image->getData());
    for (unsigned i = 0; i < image->getImageDataSizeInBytes(); ++i)
        bytes[i] = (unsigned char)(i * 7 + seed * 31 + 1);
    return image;
}

inline std::string pngOf(const pravik::video::CImagePtr& image)
{
    auto writer = adopt(pravik::video::createImageWriterPNG());
    return writeBytes(*writer, image);
}

inline std::vector<unsigned char> bytesAt(const void* p, size_t n)
{
    const auto* b = static_cast<const unsigned char*>(p);
    return b ? std::vector<unsigned char>(b, b + n) : std::vector<unsigned char>();
}

inline void putLE32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = char(v >> (8 * i));
}

// An uncompressed DDS file: R8G8B8A8 masks unless changed.
struct DdsFile {
    uint32_t flags = 0x1 | 0x1000, width = 4, height = 4, mips = 0, caps = 0, caps2 = 0;
    uint32_t pfFlags = 0x40 | 0x1, bits = 32;
    uint32_t masks[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    std::string data;

    std::string bytes() const
    {
        std::string s = "DDS " + std::string(124, '\0');
        putLE32(s, 4, 124);
        putLE32(s, 8, flags);
        putLE32(s, 12, height);
        putLE32(s, 16, width);
        putLE32(s, 28, mips);
        putLE32(s, 76, 32);
        putLE32(s, 80, pfFlags);
        putLE32(s, 88, bits);
        for (int i = 0; i < 4; ++i)
            putLE32(s, 92 + 4 * i, masks[i]);
        putLE32(s, 108, caps);
        putLE32(s, 112, caps2);
        return s + data;
    }
};

inline std::string patternBytes(size_t n, int seed = 0)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(i * 13 + seed * 5 + 3);
    return s;
}

// A null driver whose texture manager reads through its own file system, and a log.
class NullDriverTextures : public ::testing::Test {
protected:
    NullDriverTextures()
    {
        driver = adopt(pravik::video::createNullDriver(nullptr));
        manager = driver->getTextureManager();
        fileSystem = new pravik::io::CFileSystem();
        if (manager)
            manager->setFileSystem(fileSystem.get());
    }

    // Mounts the temporary folder as the game mounts its data folder.
    void mountFolder() { fileSystem->addFolderFileArchive((dir.path().string() + "/").c_str(), true, false); }

    pravik::CEngineServicesScope services;  // outlives the driver
    TempDir dir;
    LogCapture log;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    pravik::video::CTextureManager* manager = nullptr;
    boost::intrusive_ptr<pravik::io::CFileSystem> fileSystem;
};

}  // namespace test
