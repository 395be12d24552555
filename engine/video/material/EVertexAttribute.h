#pragma once
// Vertex attributes and the component types of vertex data, with their name tables. An
// attribute mask has bit a set for attribute a; the texture-coordinate bits are 1 to 16.

namespace pravik::video {

enum E_VERTEX_ATTRIBUTE : unsigned short {
    EVA_POSITION = 0,
    EVA_TEXCOORD0,
    EVA_TEXCOORD15 = EVA_TEXCOORD0 + 15,
    EVA_NORMAL,
    EVA_COLOR0,
    EVA_COLOR1,
    EVA_TANGENT0,
    EVA_TANGENT3 = EVA_TANGENT0 + 3,
    EVA_BINORMAL0,
    EVA_BINORMAL3 = EVA_BINORMAL0 + 3,
    EVA_SKIN_WEIGHTS,
    EVA_SKIN_INDICES,
    EVA_COUNT
};

constexpr unsigned int EVAM_TEXCOORDS = 0x1fffeu;

enum E_VERTEX_ATTRIBUTE_VALUE_TYPE : unsigned short {
    EVAVT_BYTE = 0,
    EVAVT_UBYTE,
    EVAVT_SHORT,
    EVAVT_USHORT,
    EVAVT_INT,
    EVAVT_UINT,
    EVAVT_FLOAT,
    EVAVT_COUNT,
    EVAVT_NONE = 255
};

const char* const* getStringsInternal(E_VERTEX_ATTRIBUTE*);
const char* const* getStringsInternal(E_VERTEX_ATTRIBUTE_VALUE_TYPE*);

namespace detail {

struct SVertexAttributeTypeInspection {
    struct SDefault {
        unsigned short valueType;
        unsigned char componentCount;
    };
    static const unsigned char ValueTypeSize[EVAVT_COUNT];  // bytes of one component
    static const SDefault Defaults[EVA_COUNT];              // interleaved layouts use these
};

}  // namespace detail

}  // namespace pravik::video
