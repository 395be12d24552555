// What the particle-effect library asks of its host. The library never includes the framework:
// the host (the game's render device and quad batcher, or a test's recorder over the null
// driver) installs one IZuduvaHost at start-up and the four callbacks forward to it.
//
// Batcher blend modes: 0 opaque, 1 alpha blending (source alpha, one minus source alpha),
// 2 additive (source alpha, one). Particle blend types map 0 -> mode 1 and 1 -> mode 2.
// Main thread only.
#pragma once

#include "effects/M3DXVertex_XYZDT.h"
#include "engine/core/CMatrix4.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik {
class IDevice;
}
namespace pravik::collada {
class CColladaFactory;
}
namespace pravik::io {
class IFileSystem;
}
namespace pravik::scene {
class CSceneManager;
class ISceneNode;
}
namespace pravik::video {
class IVideoDriver;
}

class IZuduvaHost {
public:
    virtual ~IZuduvaHost() = default;

    virtual pravik::IDevice* getDevice() = 0;                       // may be null in tests
    virtual pravik::video::IVideoDriver* getVideoDriver() = 0;      // the device's driver
    virtual pravik::scene::CSceneManager* getSceneManager() = 0;    // the device's scene manager
    // 0: the render device's alpha material (18), 1: its additive one (17), else none.
    virtual boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int blendType) = 0;

    // The quad batcher's current state, set by an emitter before it hands its quads over.
    virtual int getBlendMode() const = 0;
    virtual void setBlendMode(int mode) = 0;
    // Sets the current texture; raises the batcher's state-changed flag when it differs.
    virtual void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>& texture) = 0;
    virtual void setWorldMatrix(const pravik::core::CMatrix4<float>& world) = 0;  // identity flag included
    // Appends count quads (4 vertices each); 0, or 0x80004005 when dropped.
    virtual int Blt(M3DXVertex_XYZDT* vertices, int count) = 0;

    // Where effect files are read from; null: no file loads.
    virtual pravik::io::IFileSystem* getFileSystem() { return nullptr; }
    // Builds the scene of a scene file named by an effect (the scene database's default
    // factory) and returns its root at count 1, not yet placed; null when none is built.
    virtual pravik::scene::ISceneNode* constructScene(const char* path) { return (void)path, nullptr; }
};

// Installs the host (not owned); null removes it. Returns the previous one.
IZuduvaHost* ZuduvaSetHost(IZuduvaHost* host);
IZuduvaHost* ZuduvaGetHost();

// The four host callbacks.
pravik::IDevice* ZuduvaGetPravikDevice();
const char* ZuduvaGetTextureSearchPath();  // "SFX/"
boost::intrusive_ptr<pravik::video::CMaterial> ZuduvaGetMaterial(int blendType);
pravik::collada::CColladaFactory* ZuduvaGetColladaFactory();  // none: scenes use the default factory

// Installs a host for one scope, putting the previous one back.
class ZuduvaHostScope {
public:
    explicit ZuduvaHostScope(IZuduvaHost* host) : m_previous(ZuduvaSetHost(host)) {}
    ~ZuduvaHostScope() { ZuduvaSetHost(m_previous); }
    ZuduvaHostScope(const ZuduvaHostScope&) = delete;
    ZuduvaHostScope& operator=(const ZuduvaHostScope&) = delete;

private:
    IZuduvaHost* m_previous;
};
