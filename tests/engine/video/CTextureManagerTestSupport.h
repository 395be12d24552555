#pragma once
// A null driver with its texture manager over a file system of its own, plus the small texture
// files the texture tests read: PNG written by the engine's writer, DDS by the formats library's.

#include "engine/EngineServices.h"
#include "engine/io/CFileSystem.h"
#include "engine/task/CTaskHandler.h"
#include "engine/video/image/CImage.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/ITexture.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/formats/DdsWriter.h"

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

// An uncompressed DDS file: R8G8B8A8 masks unless changed.
struct DdsFile : formats::dds::File {
    DdsFile()
    {
        pfFlags = formats::dds::kRGB | formats::dds::kAlphaPixels;
        fourCC.clear();
        bits = 32;
        masks[0] = 0x000000FF, masks[1] = 0x0000FF00, masks[2] = 0x00FF0000, masks[3] = 0xFF000000;
    }
};

inline std::string patternBytes(size_t n, int seed = 0)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(i * 13 + seed * 5 + 3);
    return s;
}

// A null driver whose texture manager reads through its own file system, and a log. Loading
// runs without worker threads whatever another test of the program started, so a texture is
// whole when getTexture returns (a test that wants the background path asks for it).
class NullDriverTextures : public ::testing::Test {
protected:
    NullDriverTextures()
    {
        pravik::task::CCpuTaskHandler::ThreadsCount = 0;
        driver = adopt(pravik::video::createNullDriver(nullptr));
        manager = driver->getTextureManager();
        fileSystem = new pravik::io::CFileSystem();
        if (manager)
            manager->setFileSystem(fileSystem.get());
    }
    ~NullDriverTextures() override { pravik::task::CCpuTaskHandler::ThreadsCount = m_threads; }

    // Mounts the temporary folder as the game mounts its data folder.
    void mountFolder() { fileSystem->addFolderFileArchive((dir.path().string() + "/").c_str(), true, false); }

    const int32_t m_threads = pravik::task::CCpuTaskHandler::ThreadsCount;  // first member: saved before the constructor clears it
    pravik::CEngineServicesScope services;  // outlives the driver
    TempDir dir;
    LogCapture log;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    pravik::video::CTextureManager* manager = nullptr;
    boost::intrusive_ptr<pravik::io::CFileSystem> fileSystem;
};

}  // namespace test
