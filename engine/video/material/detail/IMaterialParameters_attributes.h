#pragma once
// Attribute form of a parameter block: one group per parameter, named after it, holding
// "Type", "Value Type", "Array Size" and then the elements ("value" for one, "[i]" for more).
// Reading trusts the owner's definitions and reads the elements back by position (3 + i), so
// the names in the store are not consulted. "ubyte", "float2x2" and "float3x3" carry no
// elements. Reading does not mark the owner dirty.

#include <cmath>
#include <cstdio>

#include "engine/io/IAttributes.h"

namespace pravik::video::detail {

inline bool isNearIdentity(const core::CMatrix4<float>& m)
{
    if (m.getDefinitelyIdentityMatrix()) return true;
    const float* e = m.pointer();
    for (int i = 0; i < 16; ++i) {
        const bool diagonal = i % 5 == 0;
        const float d = diagonal ? e[i] - 1.0f : e[i];
        if (!(std::fabs(d) <= 0.000001f)) return false;
    }
    return true;
}

template <class O, class B>
void IMaterialParameters<O, B>::serializeAttributes(io::IAttributes* out) const
{
    getThis()->forEachParameter([this, out](unsigned short id) {
        const SShaderParameterDef* d = def(id);
        if (!d) return;
        out->push(d->name.c_str());
        out->addEnum("Type", int(d->type), getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr), true);
        out->addEnum("Value Type", int(d->valueType),
                     getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr), true);
        out->addInt("Array Size", int(d->arraySize), true);
        char name[16];
        for (unsigned i = 0; i < d->arraySize; ++i) {
            if (d->arraySize == 1)
                std::snprintf(name, sizeof(name), "value");
            else
                std::snprintf(name, sizeof(name), "[%u]", i);
            const unsigned char* at = element(d, i);
            switch (d->valueType) {
                case ESPVT_INT: {
                    int v;
                    loadElement(at, d->valueType, v);
                    out->addInt(name, v);
                    break;
                }
                case ESPVT_INT2: {
                    core::vector2d<int> v;
                    loadElement(at, d->valueType, v);
                    out->addVector2di(name, v);
                    break;
                }
                case ESPVT_INT3: {
                    core::vector3d<int> v;
                    loadElement(at, d->valueType, v);
                    out->addVector3di(name, v);
                    break;
                }
                case ESPVT_INT4: {
                    core::vector4d<int> v;
                    loadElement(at, d->valueType, v);
                    out->addVector4di(name, v);
                    break;
                }
                case ESPVT_FLOAT: {
                    float v;
                    loadElement(at, d->valueType, v);
                    out->addFloat(name, v);
                    break;
                }
                case ESPVT_FLOAT2: {
                    core::vector2d<float> v;
                    loadElement(at, d->valueType, v);
                    out->addVector2d(name, v);
                    break;
                }
                case ESPVT_FLOAT3: {
                    core::vector3d<float> v;
                    loadElement(at, d->valueType, v);
                    out->addVector3d(name, v);
                    break;
                }
                case ESPVT_FLOAT4: {
                    core::vector4d<float> v;
                    loadElement(at, d->valueType, v);
                    out->addVector4d(name, v);
                    break;
                }
                case ESPVT_FLOAT4X4: {
                    const Matrix* m = loadPointer<Matrix>(at);
                    out->addMatrix(name, m ? *m : core::IdentityMatrix);
                    break;
                }
                case ESPVT_SAMPLER2D:
                case ESPVT_SAMPLER3D:
                case ESPVT_SAMPLERCUBE:
                case ESPVT_SAMPLERRECT:
                    out->addTexture(name, loadPointer<ITexture>(at));
                    break;
                case ESPVT_COLOR: {
                    SColor v;
                    loadElement(at, d->valueType, v);
                    out->addColor(name, v);
                    break;
                }
                case ESPVT_COLORF: {
                    SColorf v;
                    loadElement(at, d->valueType, v);
                    out->addColorf(name, v);
                    break;
                }
                case ESPVT_LIGHT:
                    out->addLight(name, loadPointer<CLight>(at));
                    break;
                default:
                    break;
            }
        }
        out->pop();
    });
}

template <class O, class B>
void IMaterialParameters<O, B>::deserializeAttributes(io::IAttributes* in)
{
    getThis()->forEachParameter([this, in](unsigned short id) {
        const SShaderParameterDef* d = def(id);
        if (!d) return;
        in->push(d->name.c_str());
        for (unsigned i = 0; i < d->arraySize; ++i) {
            const int pos = int(i) + 3;
            unsigned char* at = element(d, i);
            switch (d->valueType) {
                case ESPVT_INT:
                    storeElement(at, d->valueType, in->getInt(pos), false);
                    break;
                case ESPVT_INT2:
                    storeElement(at, d->valueType, in->getVector2di(pos), false);
                    break;
                case ESPVT_INT3:
                    storeElement(at, d->valueType, in->getVector3di(pos), false);
                    break;
                case ESPVT_INT4:
                    storeElement(at, d->valueType, in->getVector4di(pos), false);
                    break;
                case ESPVT_FLOAT:
                    storeElement(at, d->valueType, in->getFloat(pos), false);
                    break;
                case ESPVT_FLOAT2:
                    storeElement(at, d->valueType, in->getVector2d(pos), false);
                    break;
                case ESPVT_FLOAT3:
                    storeElement(at, d->valueType, in->getVector3d(pos), false);
                    break;
                case ESPVT_FLOAT4:
                    storeElement(at, d->valueType, in->getVector4d(pos), false);
                    break;
                case ESPVT_COLOR:
                    storeElement(at, d->valueType, in->getColor(pos), false);
                    break;
                case ESPVT_COLORF:
                    storeElement(at, d->valueType, in->getColorf(pos), false);
                    break;
                case ESPVT_FLOAT4X4: {
                    if (Matrix* old = loadPointer<Matrix>(at)) giveParameterMatrix(old);
                    const Matrix m = in->getMatrix(pos);
                    Matrix* stored = nullptr;
                    if (!isNearIdentity(m)) {
                        stored = takeParameterMatrix(m);
                        stored->setDefinitelyIdentityMatrix(false);
                    }
                    storePointer(at, stored);
                    break;
                }
                case ESPVT_SAMPLER2D:
                case ESPVT_SAMPLER3D:
                case ESPVT_SAMPLERCUBE:
                case ESPVT_SAMPLERRECT: {
                    ITexture* texture = in->getTexture(pos);
                    ITexture* old = loadPointer<ITexture>(at);
                    grabReference(texture);
                    storePointer(at, texture);
                    dropReference(old);
                    break;
                }
                case ESPVT_LIGHT: {
                    CLight* light = in->getLight(pos);
                    CLight* old = loadPointer<CLight>(at);
                    grabReference(light);
                    storePointer(at, light);
                    dropReference(old);
                    break;
                }
                default:
                    break;
            }
        }
        in->pop();
    });
}

}  // namespace pravik::video::detail
