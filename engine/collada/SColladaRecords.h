#pragma once
// Records of a scene file (".bdae"), read in place in the relocated image (engine/res). Field
// offsets are those of the stored format; every pointer field is a 4-byte reference that
// only the owning file resolves. Ids are compared case-sensitively; a url is "#" and an id.
// Fields marked "run time" are 0 in the file: what they stand for lives in the CResFile's
// side tables, except where post-load stores a reference into them.

#include "engine/res/ResTypes.h"

#include <cstddef>
#include <cstdint>

namespace pravik::collada {

struct SNode;
struct SEffect;
struct SImage;
struct SGeometry;
struct SMesh;

// One entry of a node's instance list or of the scene vector: {kind, instance record}.
struct SInstanceEntry {
    uint32_t kind;
    uint32_t record;  // reference; the record's type follows the kind
};

enum E_INSTANCE_KIND : uint32_t {
    EIK_CAMERA = 1,
    EIK_CONTROLLER = 2,
    EIK_GEOMETRY = 3,
    EIK_LIGHT = 4,
    EIK_VISUAL_SCENE = 6,
    EIK_EMITTER = 9,
    EIK_PNPS_EMITTER = 10,
    EIK_CORONAS = 11,
    EIK_FORCE = 12,
    EIK_MODULAR_SKIN = 13,
};

// The two fields every instance record starts with.
struct SInstanceUrl {
    res::String file;  // another scene file holding the target, or null for this one
    res::String url;
};

// {technique name, pass count, passes} of a vertex input binding list.
struct SBindingPass {
    uint32_t unused;
    uint32_t pairCount;
    res::Ptr<uint8_t> pairs;  // (shader input slot, vertex attribute) byte pairs
};
struct SBindingTechnique {
    res::String name;
    res::vector<SBindingPass> passes;
};

struct SInstanceMaterial {
    res::String file;
    res::String url;
    int32_t materialIndex;  // in this file's library when file is null
    uint32_t unused0C[2];
    res::vector<SBindingTechnique> bindings[4];  // driver families 0x60, 0x07, 0x18, 0x300
    uint32_t runtimeMap;                         // run time: the cached attribute map
    uint32_t runtimeNext;                        // run time
};
static_assert(sizeof(SInstanceMaterial) == 60 && offsetof(SInstanceMaterial, bindings) == 0x14);

// Instance of geometry, controller, emitters and coronas.
struct SInstance {
    res::String file;
    res::String url;
    uint32_t unused08;
    res::vector<SInstanceMaterial> materials;
    int32_t renderingLayer;
    res::Ptr<res::vector<res::String>> nodeNames;  // emitters only
};
static_assert(sizeof(SInstance) == 0x1C);

struct SNode {
    res::String id;
    res::String name;
    res::String scopeId;
    float position[3];
    float rotation[4];  // quaternion x, y, z, w
    float scale[3];
    uint32_t visible;
    res::vector<SNode> children;
    res::vector<SInstanceEntry> instances;
    uint32_t userProperty;  // reference to a record whose first field is a string, or 0
    uint32_t billboard;     // reference to the billboard record, or 0
};
// The camera-facing part of a billboard node record.
struct SBillboard {
    uint32_t kind;        // 2 turns about the up axis only; else freely
    uint32_t facingMode;  // 2 faces the camera's view plane; else its position
    float axis[3];        // turned towards the camera, in the parent's space
    float up[3];
};
static_assert(sizeof(SBillboard) == 32);

static_assert(sizeof(SNode) == 80 && offsetof(SNode, visible) == 0x34 && offsetof(SNode, billboard) == 0x4C);

struct SVisualScene {
    res::String id;
    res::String name;
    res::vector<SNode> nodes;
};
static_assert(sizeof(SVisualScene) == 16);

struct SChannel {
    uint32_t unused00;
    res::String target;
    uint32_t type;
    uint32_t subIndex;  // the low byte, or for material parameters a reference to the name
};

struct SAnimation {
    res::String id;
    uint32_t unused04[3];
    res::Ptr<SChannel> channel;
    uint32_t runtimeTrack;  // run time
    uint32_t unused18[2];
};
static_assert(sizeof(SAnimation) == 32);

struct SAnimationClip {
    res::String id;
    int32_t start;
    int32_t end;
};
static_assert(sizeof(SAnimationClip) == 12);
using SLibraryAnimationClips = res::vector<SAnimationClip>;

struct SAnimationSegment {
    int32_t firstFrame;
    int32_t endFrame;  // exclusive
    uint32_t streaming[4];
};
static_assert(sizeof(SAnimationSegment) == 24);

struct SCamera {
    res::String id;
    uint32_t fields04[5];
    res::String target;  // url of the target node, empty for none
};
static_assert(sizeof(SCamera) == 28 && offsetof(SCamera, target) == 0x18);

struct SLight {
    res::String id;
    uint32_t fields04[2];
    uint32_t color;  // default of light-colour channels
    uint32_t fields10[2];
};
static_assert(sizeof(SLight) == 24);

struct SImage {
    res::String id;
    uint32_t unused04;
    res::String fileName;
    uint32_t kind;  // 0 plain; 1 animated by an image-file list
    uint32_t runtimeTexture;
};
static_assert(sizeof(SImage) == 20);

// Value of a material or effect parameter.
enum E_PARAM_TYPE : uint32_t {
    EPT_INT = 0, EPT_INT2, EPT_INT3, EPT_INT4, EPT_FLOAT, EPT_FLOAT2, EPT_FLOAT3, EPT_FLOAT4,
    EPT_FLOAT2X2, EPT_FLOAT3X3, EPT_FLOAT4X4, EPT_SAMPLER2D, EPT_SAMPLER3D, EPT_SAMPLERCUBE, EPT_SAMPLERRECT,
    EPT_COLOR, EPT_COLORF, EPT_LIGHT, EPT_SURFACE, EPT_URL, EPT_TECHNIQUE, EPT_COUNT
};
inline bool isSamplerType(uint32_t t) { return t >= EPT_SAMPLER2D && t <= EPT_SAMPLERRECT; }

struct SMaterialParam {
    res::String name;
    uint32_t unused04;
    uint32_t type;
    uint32_t unused0C;
    res::Ptr<uint32_t> dimensions;  // the first is the element count
    uint32_t value;                 // reference to the value data
};
static_assert(sizeof(SMaterialParam) == 24);

struct SMaterial {
    res::String id;
    uint32_t unused04;
    res::String externalFile;
    res::String effectUrl;
    res::vector<SMaterialParam> params;
    uint32_t effect;  // the file: s32 effect index (-1: external); after load a reference or 0
    uint32_t unused1C[2];
};
static_assert(sizeof(SMaterial) == 36 && offsetof(SMaterial, effect) == 0x18);

struct SNewParam {
    res::String name;
    uint32_t type;           // E_PARAM_TYPE
    uint32_t parameterType;  // the renderer parameter's E_SHADER_PARAMETER_TYPE
    uint32_t dimensionCount;
    res::Ptr<uint32_t> dimensions;
    uint32_t value;
};
static_assert(sizeof(SNewParam) == 24);

struct SBind {
    uint16_t parameterType;
    uint8_t global;
    uint8_t stage;
    uint16_t occurrence;
    uint16_t unused06;
    uint32_t target;  // global: reference to the name; else the SNewParam index
};
static_assert(sizeof(SBind) == 12);

struct SPass {
    uint32_t unused00;
    uint32_t vertexState;
    uint8_t fragmentState[68];
    uint8_t blendFactors;
    uint8_t unused4D;
    uint8_t stencilRef;
    uint8_t stencilMask;
    uint32_t unused50;
    uint32_t wordA;
    uint32_t wordB;
    uint32_t stencilEnable;
    uint32_t blendColor;
    uint32_t unused64[4];
    float lineWidth;
    float pointSize;
    float polygonOffsetFactor;
    float polygonOffsetUnits;
    float coverage;
    uint32_t unused88[4];
    res::vector<SBind> binds;
};
static_assert(sizeof(SPass) == 160 && offsetof(SPass, wordA) == 0x54 && offsetof(SPass, binds) == 0x98);

struct STechnique {
    res::String name;
    res::vector<SPass> passes;
};
static_assert(sizeof(STechnique) == 12);

struct SProfile0 {
    res::vector<STechnique> techniques;
    res::vector<SNewParam> params;
    uint32_t unused[2];
};
struct SProfile {
    res::vector<STechnique> techniques;
    res::vector<SNewParam> params;
    uint32_t unused[3];
};

struct SEffect {
    res::String id;
    uint32_t unused04;
    SProfile0 profile0;
    SProfile profiles[3];
};
static_assert(sizeof(SEffect) == 116 && offsetof(SEffect, profiles) == 0x20);

struct SMorph {
    uint32_t fields00[4];
    res::vector<uint32_t> targets;  // geometry indices in the file; after load references
    uint32_t unused18;
    res::Ptr<float> weights;
};
static_assert(offsetof(SMorph, targets) == 0x10 && offsetof(SMorph, weights) == 0x1C);

struct SController {
    uint32_t type;  // 0 skin, 1 morph
    res::String id;
    uint32_t data;  // reference to the skin or morph record
};
static_assert(sizeof(SController) == 12);

struct SGeometry {
    res::String id;
    uint32_t unused04;
    uint32_t noMesh;
    res::Ptr<SMesh> mesh;
};
static_assert(sizeof(SGeometry) == 16);

// Mesh records. Attribute fields are s8 indices into the sources or the interleaved arrays;
// negative means absent (in the four-entry lists the first negative entry ends the list).
struct SMeshBuffer {
    uint32_t kind;  // 0 triangles, 1 triangle strip, 2 lines, 3 line strip, 4 line loop
    uint32_t unused04[2];
    int8_t position;
    int8_t normal;
    int8_t color0;
    int8_t color1;
    int8_t texCoords[4];
    int8_t binormals[4];
    int8_t tangents[4];
    int8_t skinWeights;
    int8_t skinIndices;
    uint8_t unused1E[2];
    uint32_t firstVertex;
    uint32_t highestIndex;  // below 65536: 16-bit indices
    uint32_t indexCount;
    uint32_t indices;       // reference to the index data
    uint32_t runtime30[2];
};
static_assert(sizeof(SMeshBuffer) == 56 && offsetof(SMeshBuffer, position) == 0x0C &&
              offsetof(SMeshBuffer, binormals) == 0x14 && offsetof(SMeshBuffer, firstVertex) == 0x20);

struct SSource {
    uint32_t valueType;   // E_VERTEX_ATTRIBUTE_VALUE_TYPE
    uint32_t components;  // low 16 bits
    uint32_t valueCount;
    uint32_t values;      // reference
    uint32_t runtimeBuffer;
};
static_assert(sizeof(SSource) == 20);

struct SInterleavedBlock {
    uint32_t stride;
    uint32_t unused04;
    res::Ptr<uint32_t> offsets;
    uint32_t unused0C;
    res::Ptr<uint32_t> valueTypes;
    uint32_t unused14;
    res::Ptr<uint32_t> componentCounts;
    uint32_t unused1C;
    res::Ptr<uint32_t> dequantisation;  // one reference per attribute to 6 floats, or 0
    uint32_t data;
    uint32_t runtimeBuffer;
};
static_assert(sizeof(SInterleavedBlock) == 0x2C && offsetof(SInterleavedBlock, data) == 0x24);

struct SMesh {
    uint32_t layout;  // 0 a source per attribute; else one interleaved block
    uint32_t vertexCount;
    uint32_t sources;  // reference to the sources or to the block
    res::vector<SMeshBuffer> buffers;
    float box[6];
};
static_assert(sizeof(SMesh) == 0x2C && offsetof(SMesh, buffers) == 0x0C);

struct SForce {
    res::String id;
    uint32_t unused04;
    uint32_t kind;  // 0 gravity, 1 wind, 2 deflector
    res::Ptr<uint32_t> parameters;
};
static_assert(sizeof(SForce) == 16);

// Mesh target of particle emitters that take their particle mesh from this file.
struct SEmitterMeshTarget {
    res::String url;
    uint32_t runtimeInstance;  // after load: the target node's first instance record
};
struct SPNPSEmitterMeshTarget {
    res::String url;
    uint32_t unused04[13];
    uint32_t runtimeInstance;
};
static_assert(offsetof(SPNPSEmitterMeshTarget, runtimeInstance) == 0x38);

struct SEmitter {
    res::String id;
    uint8_t fields04[0x4C];
    uint32_t meshKind;  // 2: a mesh of this file
    uint32_t meshBlock;
    uint8_t fields58[0x38];
};
static_assert(sizeof(SEmitter) == 144 && offsetof(SEmitter, meshKind) == 0x50);

struct SPNPSEmitter {
    res::String id;
    uint8_t fields04[0x24];
    uint8_t meshKind;  // 1: a mesh of this file
    uint8_t unused29[3];
    uint32_t meshBlock;
    uint8_t fields30[0xCC];
};
static_assert(sizeof(SPNPSEmitter) == 252 && offsetof(SPNPSEmitter, meshBlock) == 0x2C);

struct SCoronas {
    res::String id;
    res::String name;
    float width;
    float height;
    float rotationSpeed;  // half turns per 50 units of camera distance
    float baseAngle;      // radians
    float unused18[2];    // kept by the node, never read
    uint8_t flag;         // kept by the node, never read
    uint8_t unused21[3];
};
static_assert(sizeof(SCoronas) == 36);

struct SCollada {
    res::String version;
    uint32_t runtimeSourcePath;  // run time
    uint32_t runtimeMapList;     // run time
    uint32_t upAxis;             // 0 X, 1 Y, 2 Z
    uint32_t postLoaded;
    uint32_t animationFlag;
    uint32_t unused18;
    float animationStart;
    float animationEnd;
    res::vector<SAnimation> animations;
    uint32_t events;  // reference to the events record, or 0
    res::Ptr<res::vector<SAnimationSegment>> segments;
    res::vector<SAnimationClip> clips;
    res::vector<SCamera> cameras;
    res::vector<SLight> lights;
    res::vector<SImage> images;
    res::vector<SEffect> effects;
    res::vector<SMaterial> materials;
    res::vector<SGeometry> geometries;
    res::vector<SController> controllers;
    res::vector<SEmitter> emitters;
    res::vector<SPNPSEmitter> pnpsEmitters;
    res::vector<SForce> forces;
    res::vector<SCoronas> coronas;
    res::vector<SVisualScene> visualScenes;
    uint32_t unused9C[6];
    res::vector<SInstanceEntry> scene;
};
static_assert(sizeof(SCollada) == 0xBC && offsetof(SCollada, animations) == 0x24 &&
              offsetof(SCollada, clips) == 0x34 && offsetof(SCollada, images) == 0x4C &&
              offsetof(SCollada, visualScenes) == 0x94 && offsetof(SCollada, scene) == 0xB4);

}  // namespace pravik::collada
