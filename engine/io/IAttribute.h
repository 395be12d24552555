#pragma once
// One named, typed value of an attribute store. Every kind answers the whole interface: a typed
// getter converts the stored value where the kind knows how and otherwise gives the default
// below; a setter converts where it can and otherwise changes nothing. Text forms: getString is
// getStringW narrowed, and setString(wide) narrows and calls setString(narrow), unless a kind
// says otherwise.

#include <vector>

#include "engine/IReferenceCounted.h"
#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/dimension2d.h"
#include "engine/core/line2d.h"
#include "engine/core/line3d.h"
#include "engine/core/plane3d.h"
#include "engine/core/position2d.h"
#include "engine/core/pravikString.h"
#include "engine/core/quaternion.h"
#include "engine/core/rect.h"
#include "engine/core/triangle3d.h"
#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"
#include "engine/core/vector4d.h"
#include "engine/io/E_ATTRIBUTE_KIND.h"
#include "engine/io/IAttributeVideo.h"
#include "engine/video/SColor.h"

namespace pravik::io {

using StringWArray = std::vector<core::stringw, core::SAllocator<core::stringw>>;
using StringCArray = std::vector<core::stringc, core::SAllocator<core::stringc>>;

class IAttribute : public IReferenceCounted {
public:
    IAttribute(const char* name, bool flag);  // count 1; a null name is the empty name

    virtual int getInt() const { return 0; }
    virtual float getFloat() const { return 0.f; }
    virtual video::SColorf getColorf() const { return {1.f, 1.f, 1.f, 1.f}; }
    virtual video::SColor getColor() const { return {255, 255, 255, 255}; }
    virtual core::stringc getString() const;  // getStringW narrowed
    virtual core::stringw getStringW() const { return {}; }
    virtual StringWArray getArray() const { return {}; }
    virtual bool getBool() const { return false; }
    virtual void getBinary(void* out, int size) const { (void)out, (void)size; }
    virtual core::vector3d<float> getVector3d() const { return {}; }
    virtual core::vector4d<float> getVector4d() const { return {}; }
    virtual core::position2d<int> getPosition() const { return {}; }
    virtual core::rect<int> getRect() const { return {}; }
    virtual core::quaternion getQuaternion() const { return {0.f, 0.f, 0.f, 1.f}; }
    virtual core::CMatrix4<float> getMatrix() const { return core::CMatrix4<float>(); }
    virtual core::triangle3d<float> getTriangle() const { return {}; }
    virtual core::vector2d<float> getVector2d() const { return {}; }
    virtual core::vector2d<int> getVector2di() const { return {}; }
    virtual core::vector3d<int> getVector3di() const { return {}; }
    virtual core::vector4d<int> getVector4di() const { return {}; }
    virtual core::line2d<float> getLine2d() const { return {0.f, 0.f, 1.f, 1.f}; }
    virtual core::line2d<int> getLine2di() const { return {0, 0, 1, 1}; }
    virtual core::line3d<float> getLine3d() const { return {{0.f, 0.f, 0.f}, {1.f, 1.f, 1.f}}; }
    virtual core::line3d<int> getLine3di() const { return {{0, 0, 0}, {1, 1, 1}}; }
    virtual core::dimension2d<int> getDimension2d() const { return {}; }
    virtual core::aabbox3d<float> getBBox() const { return {-1.f, -1.f, -1.f, 1.f, 1.f, 1.f}; }
    virtual core::plane3d<float> getPlane() const { return {{0.f, 1.f, 0.f}, -0.f}; }
    virtual TexturePtr getTexture() const { return nullptr; }
    virtual LightPtr getLight() const { return nullptr; }
    virtual const char* getEnum() const { return nullptr; }
    virtual void* getUserPointer() const { return nullptr; }

    virtual void setInt(int) {}
    virtual void setFloat(float) {}
    virtual void setString(const char*) {}
    virtual void setString(const wchar_t* text);  // narrowed, then setString(const char*)
    virtual void setArray(const StringWArray&) {}
    virtual void setColor(video::SColorf) {}
    virtual void setColor(video::SColor) {}
    virtual void setBool(bool) {}
    virtual void setBinary(const void* data, int size) { (void)data, (void)size; }
    virtual void setVector2d(core::vector2d<float>) {}
    virtual void setVector3d(const core::vector3d<float>&) {}
    virtual void setVector4d(const core::vector4d<float>&) {}
    virtual void setPosition(core::position2d<int>) {}
    virtual void setRect(core::rect<int>) {}
    virtual void setQuaternion(core::quaternion) {}
    virtual void setMatrix(const core::CMatrix4<float>&) {}
    virtual void setTriangle(core::triangle3d<float>) {}
    virtual void setVector2di(core::vector2d<int>) {}
    virtual void setVector3di(const core::vector3d<int>&) {}
    virtual void setVector4di(const core::vector4d<int>&) {}
    virtual void setLine2d(core::line2d<float>) {}
    virtual void setLine2d(core::line2d<int>) {}
    virtual void setLine3d(core::line3d<float>) {}
    virtual void setLine3d(core::line3d<int>) {}
    virtual void setDimension2d(core::dimension2d<int>) {}
    virtual void setBBox(core::aabbox3d<float>) {}
    virtual void setPlane(core::plane3d<float>) {}
    virtual void setUserPointer(void*) {}
    virtual void setEnum(const char* literal, const char* const* literals) { (void)literal, (void)literals; }
    virtual void setTexture(const TexturePtr&) {}
    virtual void setLight(LightPtr) {}

    virtual E_ATTRIBUTE_KIND getType() const = 0;
    virtual const wchar_t* getTypeString() const = 0;

    const core::stringc& getName() const { return m_name; }
    bool getCreationFlag() const { return m_flag; }

private:
    core::stringc m_name;
    bool m_flag;
};

}  // namespace pravik::io
