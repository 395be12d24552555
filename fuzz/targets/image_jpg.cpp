// The JPG image loader.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"
#include "fuzz/support/ImageSeeds.h"

#include "engine/video/image/IImageLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const boost::intrusive_ptr<pravik::video::IImageLoader> loader(pravik::video::createImageLoaderJPG());
    fuzz::loadImage(*loader, data, size, "fuzz.jpg");
    return 0;
}

std::vector<std::string> fuzz::seeds() { return imageSeeds(ImageKind::JPG); }
