#pragma once
// Base of every mesh built from a scene file: the scene graph's mesh joined with the file
// identity, and the protocol through which a mesh that computes its vertices prepares each
// buffer (step 0 while the scene is registered, step 1 just before a buffer is drawn).
// The prepared mask has one bit per buffer: set means no step 1 is needed. Scene-file meshes
// hold at most 32 buffers, so the mask covers every buffer.

#include "engine/collada/IObject.h"
#include "engine/core/CMatrix4.h"
#include "engine/scene/IMesh.h"

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::collada {

enum E_PREPARE_BUFFER_STEP : int { EPBS_REGISTER = 0, EPBS_RENDER = 1 };

// Results of buffer preparation.
enum E_PREPARE_RESULT : unsigned { EPR_PROCESS_BUFFER = 4, EPR_NO_BUFFER = 8, EPR_NOTHING_TO_DO = 16 };

enum E_COLLADA_MESH_TYPE : int { ECMT_STATIC = 0, ECMT_MORPHING = 1, ECMT_SKINNED = 2, ECMT_MODULAR_SKINNED = 3 };

constexpr unsigned kMaxMeshBuffers = 32;

class IMesh : public scene::IMesh, public IObject {
public:
    IMesh(const CColladaDatabase& db, const char* uid) : IObject(db, uid) {}

    virtual int getType() const = 0;
    virtual void onAnimate(unsigned timeMs) { (void)timeMs; }
    virtual unsigned onPrepareBufferForRendering(E_PREPARE_BUFFER_STEP, video::IVideoDriver*, unsigned)
    {
        return EPR_NOTHING_TO_DO;
    }
    virtual void releaseProcessBuffer(video::IVideoDriver*, unsigned) {}
    virtual void init(video::IVideoDriver*, bool sharedBuffers) { (void)sharedBuffers; }
    virtual void setTransform(video::IVideoDriver* driver, const core::CMatrix4<float>& matrix);

    const char* getUID() const { return m_uid; }
    unsigned getPreparedMask() const { return m_preparedMask; }

protected:
    unsigned m_preparedMask = 0;
};

}  // namespace pravik::collada
