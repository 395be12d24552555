// quendrax-tool image IN OUT: loads IN through the engine's image loaders (chosen by content,
// then by name, as the texture manager does) and writes OUT through the writer its name picks.
// Prints "IN WIDTHxHEIGHT FORMAT -> OUT".

#include "Tool.h"
#include "EngineOutput.h"

#include "engine/io/CReadFile.h"
#include "engine/io/CWriteFile.h"
#include "engine/io/IWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/image/pixel_format.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace pravik;
using namespace pravik::video;

CImagePtr loadAny(io::IReadFile* file) {
    std::vector<boost::intrusive_ptr<IImageLoader>> loaders = {
        createImageLoaderBMP(), createImageLoaderJPG(), createImageLoaderTGA(),
        createImageLoaderPNG(), createImageLoaderDDS(), createImageLoaderPVR()};
    const IImageLoader* chosen = nullptr;
    for (const auto& l : loaders) {
        file->seek(0);
        if (l->isALoadableFileFormat(file)) {
            chosen = l.get();
            break;
        }
    }
    for (const auto& l : loaders)
        if (!chosen && l->isALoadableFileExtension(file->getFileName())) chosen = l.get();
    if (!chosen) return nullptr;
    file->seek(0);
    return chosen->loadImage(file);
}

int runImage(std::span<char* const> args) {
    if (args.size() != 2) return tool::fail("image", "usage: image IN OUT");
    const char* in = args[0];
    const char* out = args[1];
    tool::FirstEngineError errors;
    io::IReadFile* file = io::createReadFile(in);
    if (!file) return tool::fail("image", std::string("cannot open ") + in);
    CImagePtr image = loadAny(file);
    file->drop();
    if (!image || !image->getData())
        return tool::fail("image", std::string("cannot load ") + in +
                                       (errors.text().empty() ? "" : " (" + errors.text() + ")"));
    const E_PIXEL_FORMAT loaded = image->getColorFormat();
    // Block-compressed pictures are decoded first: no writer takes them as they are.
    if (pixel_format::desc(loaded).has(EPFF_COMPRESSED)) {
        image = new CImage(EPF_R8G8B8A8, image);
        if (!image->getData())
            return tool::fail("image", std::string("cannot decode ") + pixel_format::getName(loaded) +
                                           (errors.text().empty() ? "" : " (" + errors.text() + ")"));
    }

    IImageWriter* writers[] = {createImageWriterJPG(), createImageWriterTGA(), createImageWriterPNG()};
    bool written = false, named = false;
    for (IImageWriter* w : writers) {
        if (written || !w->isAWriteableFileExtension(out)) continue;
        named = true;
        io::IWriteFile* target = io::createWriteFile(out, false);
        if (target) {
            written = w->writeImage(target, image, 0);
            target->drop();
        }
    }
    for (IImageWriter* w : writers) w->drop();
    if (!named) return tool::fail("image", std::string("no writer for ") + out + " (use .png, .tga or .jpg)");
    if (!written)
        return tool::fail("image", std::string("cannot write ") + out +
                                       (errors.text().empty() ? "" : " (" + errors.text() + ")"));
    const auto d = image->getDimension();
    std::printf("%s %dx%d %s -> %s\n", in, d.Width, d.Height, pixel_format::getName(loaded), out);
    return 0;
}

const tool::ToolCommand g_image("image", "IN OUT  convert an image file through the engine's loaders and writers",
                                runImage);

}  // namespace
