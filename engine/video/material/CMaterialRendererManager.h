#pragma once
// Every material renderer of a driver: the registry (names and 16-bit ids), the builder every
// renderer comes into being through, one cached material instance per renderer and the ids of
// the built-in material types.
//
// Builder: beginMaterialRenderer, then per technique beginTechnique, addRenderPass...,
// endTechnique (binding parameters automatically), then endMaterialRenderer, which deduces the
// parameters from the shaders, gives them ids and value offsets and constructs the renderer.
// One renderer at a time; handles are valid until it ends. Each check of a binding runs before
// anything changes, so a refused binding never alters a shader other renderers share. Slots
// left unbound become CMaterialRenderer::NoParameter. Main thread only.

#include "engine/core/SSharedString.h"
#include "engine/core/detail/SIDedCollection.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"

#include <boost/intrusive_ptr.hpp>

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pravik::io {
class IReadFile;
}
namespace pravik::collada {
class CColladaFactory;
}

namespace pravik::video {

class IVideoDriver;
class IShader;
class CMaterialRendererManager;

enum E_MATERIAL_TYPE : unsigned short {
    EMT_UNLIT_NON_TEXTURED = 0,
    EMT_UNLIT_NON_TEXTURED_BLEND,
    EMT_UNLIT_NON_TEXTURED_BLEND_MATERIAL_COLOR,
    EMT_UNLIT_NON_TEXTURED_NO_DEPTH,
    EMT_UNLIT_NON_TEXTURED_BLEND_NO_DEPTH,
    EMT_TODO,
    EMT_UNLIT_TEXTURED_BLEND,
    EMT_UNLIT_TEXTURED_BLEND_NO_DEPTH,
    EMT_UNLIT_TEXTURED_ADDITIVE_BLEND_NO_DEPTH_NO_CULLING,
    EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING,
    EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING_NO_DEPTH,
    EMT_UNLIT_TEXTURED_NO_DEPTH,
    EMT_UNLIT_CUBE_MAP_NO_DEPTH,
    EMT_UNLIT_TEXTURED_BLEND_COLOR_FILTER,
    EMT_UNLIT_MULTI_TEXTURED_BLEND,
    EMT_UNLIT_TWO_TEXTURE_LERP_NO_MATRICES,
    EMT_FORCE_COMMIT_TEXTURE,
    EMT_COUNT
};
const char* const* getStringsInternal(E_MATERIAL_TYPE*);

namespace detail::materialrenderermanager {

struct SProperties {
    boost::intrusive_ptr<CMaterial> instance;
    int techniqueMapBase = -1;
    unsigned short builtInType = EMT_COUNT;
    void onRemove(void* owner, unsigned short id);
};

using Registry = core::detail::SIDedCollection<boost::intrusive_ptr<CMaterialRenderer>, unsigned short, false, SProperties>;

}  // namespace detail::materialrenderermanager

class CMaterialRendererManager : public detail::materialrenderermanager::Registry {
public:
    struct SParameterDef {
        SShaderParameterDef def;
        unsigned short id = 0xffff;
        unsigned int useCount = 0;
        bool deduceType = false, deduceValueType = false, deduceArraySize = false;
    };
    struct STechniqueBuild;
    // A technique or parameter of the renderer under construction; null when invalid.
    struct STemporaryID {
        void* p = nullptr;
        explicit operator bool() const { return p != nullptr; }
    };

    // Builds the built-in renderers of a driver (their effects come from scene files).
    using BuiltInBuilder = void (*)(CMaterialRendererManager& manager);
    static void setBuiltInBuilder(BuiltInBuilder builder);
    static BuiltInBuilder getBuiltInBuilder();
    // The fixed-function driver's wire-frame shader; the null driver makes its own.
    using FallbackShaderFactory = boost::intrusive_ptr<IShader> (*)(IVideoDriver* driver);
    static void setFallbackShaderFactory(FallbackShaderFactory factory);

    explicit CMaterialRendererManager(IVideoDriver* driver);
    ~CMaterialRendererManager();

    // Builder.
    bool beginMaterialRenderer(const char* name = nullptr, bool forceName = false);
    bool beginTechnique(const char* name = nullptr, bool forceName = false);
    bool addRenderPass(const boost::intrusive_ptr<const IShader>& shader, const detail::renderpass::SRenderState& state,
                       const detail::material::SRenderState& materialState = {});
    bool addRenderPass(unsigned short shaderId, const detail::renderpass::SRenderState& state,
                       const detail::material::SRenderState& materialState = {});
    bool addRenderPass(const char* shaderName, const detail::renderpass::SRenderState& state,
                       const detail::material::SRenderState& materialState = {});
    STemporaryID endTechnique(bool autoBind = true, unsigned short materialLightCount = 0);
    STemporaryID addParameterInternal(const core::SSharedString& name, E_SHADER_PARAMETER_TYPE type,
                                      E_SHADER_PARAMETER_VALUE_TYPE valueType, unsigned int arraySize, bool failOnDuplicate);
    bool bindParameter(STemporaryID parameter, E_SHADER_PARAMETER_TYPE type, STemporaryID technique, unsigned char pass,
                       unsigned short shaderParameter, E_SHADER_STAGE stage);
    bool bindGlobalParameter(unsigned short globalId, E_SHADER_PARAMETER_TYPE type, STemporaryID technique,
                             unsigned char pass, unsigned short shaderParameter, E_SHADER_STAGE stage);
    bool bindGlobalParameter(unsigned short globalId, STemporaryID technique, unsigned char pass,
                             unsigned short shaderParameter, E_SHADER_STAGE stage);
    unsigned short endMaterialRenderer();

    bool isCreatingTechnique(const char* message = nullptr) const;
    bool isCreatingRenderer() const { return m_creation != nullptr; }
    STemporaryID getTechniqueID(const char* name) const;
    STemporaryID getParameterIDInternal(const core::SSharedString& name) const;
    STechniqueBuild* getTechnique(STemporaryID id) const;
    // The global parameter's definition and the technique under construction; false, logged, without either.
    bool findGlobalBinding(unsigned short globalId, STemporaryID technique, const SShaderParameterDef*& def,
                           STechniqueBuild*& t) const;
    SParameterDef* getParameterDef(STemporaryID id) const;

    // Instances.
    boost::intrusive_ptr<CMaterial> getMaterialInstance(unsigned short id, bool reset = false);
    void clearUnusedInstance(unsigned short id);
    void clearUnusedInstances();
    void removeAllBatchBaker();

    // Built-in types and the wire-frame fallback.
    unsigned short createMaterialRenderer(E_MATERIAL_TYPE type);  // 0xffff when the type has none
    boost::intrusive_ptr<CMaterial> createMaterialInstance(E_MATERIAL_TYPE type);  // not cached
    unsigned short getBuiltInId(E_MATERIAL_TYPE type) const { return type < EMT_COUNT ? m_builtIn[type] : 0xffff; }
    void setBuiltInId(E_MATERIAL_TYPE type, unsigned short id);
    boost::intrusive_ptr<IShader> createPinkWireFrameShader();
    bool createPinkWireFrameRenderPass();
    STemporaryID createPinkWireFrameTechnique(const char* name);
    boost::intrusive_ptr<CMaterialRenderer> createPinkWireFrameMaterialRenderer(const char* name);

    // Technique maps: per declared (map, group) pair, the technique each renderer's technique
    // stands for. Map ids select rows for the driver's setTechniqueMap; a material's
    // technique-map row is a group id.
    enum E_MAP_GROUP { EMG_MAP = 0, EMG_GROUP = 1 };
    // Builds an effect of a scene file for a renderer "url" (file#effect); null when it cannot.
    using EffectFileBuilder = boost::intrusive_ptr<CMaterialRenderer> (*)(IVideoDriver* driver, const char* file,
                                                                          const char* effect,
                                                                          collada::CColladaFactory* factory);
    static void setEffectFileBuilder(EffectFileBuilder builder);
    bool loadMaterialTechniqueMaps(const char* fileName, collada::CColladaFactory* factory = nullptr);
    // True once the root is read, whatever the elements reported (logged); false for no file or root.
    bool loadMaterialTechniqueMaps(io::IReadFile* file, collada::CColladaFactory* factory = nullptr);
    void clearTechniqueMaps();  // drops the tables and the driver's selection
    int getNameID(const char* name, int mapGroup) const;  // -1 when unknown
    unsigned getNameCount(int mapGroup) const;
    const char* getMapGroupName(int mapGroup, unsigned id) const;  // null beyond the names
    unsigned getTechniqueTotal() const { return m_techniqueTotal; }
    // The map's group tables, for IVideoDriver::setTechniqueMap; null without tables.
    const unsigned char* const* getTechniqueMapRow(unsigned mapId) const;
    // The technique a material of the renderer on the given group row draws for technique t.
    unsigned char mapTechnique(const CMaterialRenderer& renderer, unsigned char row, unsigned char t,
                               const unsigned char* const* selection) const;

    IVideoDriver* getVideoDriver() const { return m_driver; }
    unsigned short getPendingId() const { return m_pendingId; }

private:
    friend class CMaterialTechniqueMapLoad;
    struct SCreationState;
    bool bindParameterCommon(SParameterDef* parameter, const SShaderParameterDef* definition, unsigned short globalId,
                             E_SHADER_PARAMETER_TYPE type, void* pass, unsigned short shaderParameter, E_SHADER_STAGE stage);
    unsigned short autoAddAndBindParameter(void* pass, unsigned short shaderParameter, E_SHADER_STAGE stage,
                                           unsigned short lightCount, unsigned short materialLightCount);
    void clearCreationState();

    IVideoDriver* m_driver;
    unsigned short m_builtIn[EMT_COUNT];
    std::unique_ptr<SCreationState> m_creation;
    unsigned short m_pendingId = 0xffff;
    std::map<std::string, unsigned> m_mapGroupIds[2];
    std::vector<std::string> m_mapGroupNames[2];  // by id
    unsigned m_techniqueTotal = 0;
    std::vector<const unsigned char*> m_techniqueRows;  // map x group count + group; null for undeclared pairs
    std::vector<unsigned char> m_techniqueTables;       // the tables the rows point into
};

}  // namespace pravik::video
