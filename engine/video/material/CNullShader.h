#pragma once
// The null driver's shader: no program; its hash is its id.

#include "engine/video/material/IShader.h"

namespace pravik::video {

class CNullShader : public IShader {
public:
    explicit CNullShader(IVideoDriver* driver);                              // id 0, empty name
    CNullShader(unsigned short id, const char* name, IVideoDriver* driver);  // reads positions only

    void releaseDriverSpecificResources() override {}
    void deserializeAttributes(io::IAttributes* in) override;
    virtual void bindShader() {}
    virtual unsigned int getHashValue();
    virtual unsigned int getShaderSize() { return 0; }

private:
    void updateHash();

    unsigned int m_hash = 0;
    bool m_hashStale = true;
};

}  // namespace pravik::video
