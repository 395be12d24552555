#include "engine/video/material/detail/renderpass/SRenderState.h"

#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"

namespace pravik::video::detail::renderpass {

namespace {

enum EKind { FLAG, ENUM, BYTE, COLOR, FLOAT };

struct SField {
    const char* name;
    EKind kind;
    int word;
    unsigned shift, width;
    const char* const* names;    // ENUM
    float SRenderState::*value;  // FLOAT
};

template <class E>
const char* const* names()
{
    return getStringsInternal((E*)nullptr);
}

// Attribute order of the stored form.
const SField kFields[] = {
    {"BlendEnable", FLAG, 1, 16, 1, nullptr, nullptr},
    {"BlendColor", COLOR, 0, 0, 0, nullptr, nullptr},
    {"BlendEquation", ENUM, 0, 24, 3, names<E_BLEND_EQUATION>(), nullptr},
    {"BlendFactorSrc", ENUM, 0, 0, 4, names<E_BLEND_FACTOR>(), nullptr},
    {"BlendFactorDest", ENUM, 0, 4, 4, names<E_BLEND_FACTOR>(), nullptr},
    {"CullFaceEnable", FLAG, 1, 17, 1, nullptr, nullptr},
    {"CullFace", ENUM, 0, 30, 2, names<E_FACE_SIDE>(), nullptr},
    {"FrontFace", ENUM, 1, 18, 1, names<E_FACE_WINDING>(), nullptr},
    {"DepthTestEnable", FLAG, 1, 19, 1, nullptr, nullptr},
    {"DepthFunc", ENUM, 0, 27, 3, names<E_COMPARE_FUNC>(), nullptr},
    {"DepthMask", FLAG, 1, 20, 1, nullptr, nullptr},
    {"LineWidth", FLOAT, 0, 0, 0, nullptr, &SRenderState::lineWidth},
    {"PointSize", FLOAT, 0, 0, 0, nullptr, &SRenderState::pointSize},
    {"PolygonModeFront", ENUM, 1, 12, 2, names<E_POLYGON_MODE>(), nullptr},
    {"PolygonModeBack", ENUM, 1, 14, 2, names<E_POLYGON_MODE>(), nullptr},
    {"PolygonOffsetFillEnable", FLAG, 1, 21, 1, nullptr, nullptr},
    {"PolygonOffsetLineEnable", FLAG, 1, 22, 1, nullptr, nullptr},
    {"PolygonOffsetPointEnable", FLAG, 1, 23, 1, nullptr, nullptr},
    {"PolygonOffsetFactor", FLOAT, 0, 0, 0, nullptr, &SRenderState::polygonOffsetFactor},
    {"PolygonOffsetUnits", FLOAT, 0, 0, 0, nullptr, &SRenderState::polygonOffsetUnits},
    {"SampleAlphaToCoverageEnable", FLAG, 1, 24, 1, nullptr, nullptr},
    {"SampleCoverageEnable", FLAG, 1, 25, 1, nullptr, nullptr},
    {"SampleCoverageInvert", FLAG, 1, 26, 1, nullptr, nullptr},
    {"SampleCoverageValue", FLOAT, 0, 0, 0, nullptr, &SRenderState::sampleCoverageValue},
    {"StencilTestEnable", FLAG, 1, 27, 1, nullptr, nullptr},
    {"StencilFunc", ENUM, 1, 0, 3, names<E_COMPARE_FUNC>(), nullptr},
    {"StencilFuncRef", BYTE, 0, 8, 8, nullptr, nullptr},
    {"StencilFuncMask", BYTE, 0, 16, 8, nullptr, nullptr},
    {"StencilOpFail", ENUM, 1, 3, 3, names<E_STENCIL_OP>(), nullptr},
    {"StencilOpZFail", ENUM, 1, 6, 3, names<E_STENCIL_OP>(), nullptr},
    {"StencilOpZPass", ENUM, 1, 9, 3, names<E_STENCIL_OP>(), nullptr},
};

}  // namespace

void SRenderState::serializeAttributes(io::IAttributes* out) const
{
    for (const SField& f : kFields) {
        switch (f.kind) {
            case FLAG:
                out->addBool(f.name, get(f.word, f.shift, 1) != 0, false);
                break;
            case ENUM:
                out->addEnum(f.name, int(get(f.word, f.shift, f.width)), f.names, false);
                break;
            case BYTE:
                out->addInt(f.name, int(get(f.word, f.shift, 8)), false);
                break;
            case COLOR:
                out->addColor(f.name, blendColor, false);
                break;
            case FLOAT:
                out->addFloat(f.name, this->*f.value, false);
                break;
        }
    }
}

void SRenderState::deserializeAttributes(io::IAttributes* in)
{
    for (const SField& f : kFields) {
        switch (f.kind) {
            case FLAG:
                set(f.word, f.shift, 1, in->getBool(f.name) ? 1u : 0u);
                break;
            case ENUM: {
                const int v = in->getEnum(f.name, f.names);
                if (v < 0 || unsigned(v) >= (1u << f.width))
                    os::Printer::log("Render state: missing, unknown or unstorable value kept as it was",
                                     f.name, ELL_WARNING);
                else
                    set(f.word, f.shift, f.width, unsigned(v));
                break;
            }
            case BYTE:
                set(f.word, f.shift, 8, unsigned(in->getInt(f.name)) & 0xffu);
                break;
            case COLOR:
                blendColor = in->getColor(f.name);
                break;
            case FLOAT:
                this->*f.value = in->getFloat(f.name);
                break;
        }
    }
}

}  // namespace pravik::video::detail::renderpass
