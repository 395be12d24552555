#pragma once
// The shader parameters every material shares: the driver's dynamic lights, the scene's
// ambient light and the fog. A registry of definitions (id = registry id) over one value
// block: parameters lie in the order they were added, each where the previous one ends, a
// reference element (matrix, texture, light) rounded up to a pointer boundary; bytes past the
// used end are zero, so a new parameter starts zero (null references, identity matrices).
// A removed parameter's bytes stay dead in the block and offsets never move. Renderers and
// the driver hold parameters with grabInternal so that unforced removals leave them alone.

#include "engine/core/detail/SIDedCollection.h"
#include "engine/video/material/SShaderParameterDef.h"
#include "engine/video/material/detail/IMaterialParameters.h"

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

class IVideoDriver;
class CGlobalMaterialParameterManager;

namespace detail::globalmaterialparametermanager {

struct SPropeties {
    unsigned int useCount = 1;
    void onRemove(void* registry, unsigned short id);  // drops what the parameter's values hold
};

// A definition occupies its slot while it has a name; in use while grabbed.
struct SValueTraits {
    static bool isOccupied(const SShaderParameterDef& d) { return d.name.get() != nullptr; }
    static void reset(SShaderParameterDef& d) { d = invalid<SShaderParameterDef>(); }
    static bool isInUse(const SShaderParameterDef&, const SPropeties& p) { return p.useCount != 1; }
    template <class P>
    static const P& invalid()
    {
        static const SShaderParameterDef none;
        return none;
    }
};

struct SEmptyBase {};

using Registry =
    core::detail::SIDedCollection<SShaderParameterDef, unsigned short, false, SPropeties, SValueTraits>;

}  // namespace detail::globalmaterialparametermanager

class CGlobalMaterialParameterManager
    : public detail::globalmaterialparametermanager::Registry,
      public detail::IMaterialParameters<CGlobalMaterialParameterManager,
                                         detail::globalmaterialparametermanager::SEmptyBase> {
public:
    explicit CGlobalMaterialParameterManager(IVideoDriver* driver);
    ~CGlobalMaterialParameterManager();  // frees the block without releasing it: clearParameters first
    CGlobalMaterialParameterManager(const CGlobalMaterialParameterManager&) = delete;
    CGlobalMaterialParameterManager& operator=(const CGlobalMaterialParameterManager&) = delete;

    // The new id; an existing name keeps its definition and answers its id (warning); 0xffff
    // for an empty name, an unknown type or value type, or an array size of 0.
    unsigned short addParameter(const char* name, E_SHADER_PARAMETER_TYPE type,
                                E_SHADER_PARAMETER_VALUE_TYPE valueType, unsigned int arraySize,
                                unsigned char subId);
    bool remove(unsigned short id);  // only parameters nobody has grabbed
    unsigned short removeAll();      // both remove every parameter with use count 1
    unsigned short removeUnused();
    void clearParameters();  // releases what the values hold; definitions stay
    void pack();             // capacity down to the used size, unless holes exist
    void setAutoPacking(bool on);
    void grabInternal(unsigned short id) { getProperties(id).useCount++; }  // ids must exist
    void dropInternal(unsigned short id) { getProperties(id).useCount--; }

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options);

    IVideoDriver* getDriver() const { return m_driver; }
    size_t getUsedSize() const { return size_t(m_end - m_begin); }
    size_t getCapacity() const { return size_t(m_capacity - m_begin); }
    bool isPacked() const { return m_packed; }

    // Parameter block hooks.
    unsigned char* getParameterBlock() { return m_begin; }
    const SShaderParameterDef* getParameterDef(unsigned short id) const;
    void setDirty() {}
    template <class F>
    void forEachParameter(F f) const
    {
        for (auto it = idBegin(); it != idEnd(); ++it) f(it->second.id);
    }

private:
    IVideoDriver* m_driver;
    unsigned char* m_begin = nullptr;
    unsigned char* m_end = nullptr;
    unsigned char* m_capacity = nullptr;
    bool m_noHoles = true;
    bool m_packed = true;
    bool m_autoPacking = true;
};

}  // namespace pravik::video
