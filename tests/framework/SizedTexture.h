#pragma once
// A texture with a size and nothing behind it, for painting through a recording target.
// Make it with make(), so it is held by a counted reference from the start (a texture starts
// at count 0: a bare one is never freed, or freed early by the first holder that lets go).

#include "engine/video/ITexture.h"

namespace test {

class SizedTexture : public pravik::video::ITexture {
public:
    static boost::intrusive_ptr<SizedTexture> make(int w, int h) { return new SizedTexture(w, h); }

    bool bindImpl(bool) override { return false; }
    void unbindImpl() override {}
    void* mapImpl(unsigned char, pravik::video::E_TEXTURE_CUBE_MAP_FACE, unsigned char) override { return nullptr; }
    void unmapImpl() const override {}
    void* getMappedPtr() const override { return nullptr; }
    void generateMipmapsImpl() override {}

private:
    SizedTexture(int w, int h) : ITexture("t", nullptr, desc(w, h)) {}
    static pravik::video::STextureDesc desc(int w, int h)
    {
        pravik::video::STextureDesc d;
        d.width = w;
        d.height = unsigned(h);
        return d;
    }
};

}  // namespace test
