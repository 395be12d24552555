#pragma once
// A fixed-function pipeline configuration seen as a shader: it points at one vertex state and
// one fragment state and derives from them, once, the parameters the pipeline needs (material
// colours, lights, alpha reference, textures and their matrices, constant colours, clip
// planes, fog, colour generation inputs) and the vertex attributes it reads. Stage 1 is
// empty and stage 0 has no engine-supplied parameters.
// Unit list: first the units fed by a vertex stream or by "Simple Sphere Map", then the units
// with "Sphere Map", each run in unit order; 0xff in empty places.
// Driver array mask: bit 1 + u for a unit that gets coordinates, the vertex attribute bits
// from 17 up; never bit 0.

#include "engine/video/material/IShader.h"
#include "engine/video/gl/SFixedGLShaderState.h"

namespace pravik::video {

class CFixedGLShader : public IShader {
public:
    // The states are the manager's interned records and outlive the shader.
    CFixedGLShader(unsigned short id, const char* name, const SFixedGLShaderVertexState* vs,
                   const SFixedGLShaderFragmentState* fs, IVideoDriver* driver);
    // An empty shader with default states of its own and no definitions, for reading files.
    CFixedGLShader(unsigned short id, const char* name, IVideoDriver* driver);
    ~CFixedGLShader() override;

    const SFixedGLShaderVertexState* getVertexState() const { return m_vertexState; }
    const SFixedGLShaderFragmentState* getFragmentState() const { return m_fragmentState; }
    unsigned int getDriverArrayMask() const { return m_driverArrayMask; }
    const unsigned char* getUnitList() const { return m_units; }
    unsigned char getUnitListEnd(unsigned run) const { return m_unitEnd[run]; }  // run 0 or 1

    void serializeAttributes(io::IAttributes* out) const override;
    // The base layout, then the states; interned states are shared and stay as they are.
    void deserializeAttributes(io::IAttributes* in) override;
    void releaseDriverSpecificResources() override {}

private:
    void derive();

    unsigned int m_driverArrayMask = 0;
    const SFixedGLShaderVertexState* m_vertexState;
    const SFixedGLShaderFragmentState* m_fragmentState;
    unsigned char m_units[4] = {0xff, 0xff, 0xff, 0xff};
    unsigned char m_unitEnd[2] = {0, 0};
    SFixedGLShaderVertexState m_ownVertexState;
    SFixedGLShaderFragmentState m_ownFragmentState;
    bool m_ownsStates = false;
};

}  // namespace pravik::video
