#pragma once
// Typed access to a block of shader parameter values laid out by the owner's definitions: the
// definition's index is the byte offset of element 0 and elements are contiguous. Every access
// is validated against the definition and answers false, changing nothing, when the id, the
// value type or the element index does not fit. Reference elements (matrix, texture, light)
// are pointers: a texture or light element holds one reference, a matrix element owns one pool
// matrix, null meaning identity. The owner decides when references are taken (grabParameters
// after a byte copy) and given back (dropParameters before the block goes).
//
// The owner (CRTP) supplies:
//   unsigned char* getParameterBlock();                       the first byte of the block
//   const SShaderParameterDef* getParameterDef(unsigned short id) const;   null when not valid
//   void setDirty();                                          the change hook
//   template <class F> void forEachParameter(F f) const;      f(id) for every parameter, in order

#include <cstring>

#include "engine/os/Printer.h"
#include "engine/video/material/SShaderParameterDef.h"
#include "engine/video/material/detail/SMaterialParameterValues.h"
#include "engine/video/material/detail/SShaderParameterTypeInspection.h"

namespace pravik::io {
class IAttributes;
}

namespace pravik::video::detail {

// Pool matrices of parameter blocks: a copy of the value (flag included), and giving one back.
core::CMatrix4<float>* takeParameterMatrix(const core::CMatrix4<float>& value);
void giveParameterMatrix(core::CMatrix4<float>* matrix);

// Textures and lights are only named here: the texture and light layer installs how their
// references are taken and given back and how a texture's type is read. Without hooks they
// pass uncounted and every texture counts as 2D.
struct SMaterialParameterReferenceHooks {
    void (*grabTexture)(ITexture*) = nullptr;
    void (*dropTexture)(ITexture*) = nullptr;
    unsigned (*textureType)(const ITexture*) = nullptr;  // E_TEXTURE_TYPE; the low 2 bits count
    void (*grabLight)(CLight*) = nullptr;
    void (*dropLight)(CLight*) = nullptr;
};
void setMaterialParameterReferenceHooks(const SMaterialParameterReferenceHooks& hooks);
const SMaterialParameterReferenceHooks& getMaterialParameterReferenceHooks();

void grabReference(ITexture* texture);
void dropReference(ITexture* texture);
void grabReference(CLight* light);
void dropReference(CLight* light);
unsigned textureSamplerType(const ITexture* texture);  // sampler value type its type fits

template <class Owner, class Base>
class IMaterialParameters : public Base {
public:
    using SInspect = SShaderParameterTypeInspection;
    using Matrix = core::CMatrix4<float>;
    using TexturePtr = boost::intrusive_ptr<ITexture>;
    using LightPtr = boost::intrusive_ptr<CLight>;

    Owner* getThis() { return static_cast<Owner*>(this); }
    const Owner* getThis() const { return static_cast<const Owner*>(this); }

    // One element, exact or converting.
    template <class T>
    bool setParameter(unsigned short id, unsigned index, const T& value)
    {
        return setOne(id, index, value, false);
    }
    template <class T>
    bool getParameter(unsigned short id, unsigned index, T& out) const
    {
        return getOne(id, index, out, false);
    }
    template <class T>
    bool setParameterCvt(unsigned short id, unsigned index, const T& value)
    {
        return setOne(id, index, value, true);
    }
    template <class T>
    bool getParameterCvt(unsigned short id, unsigned index, T& out) const
    {
        return getOne(id, index, out, true);
    }

    // Whole arrays of array-size elements; stride is bytes between the caller's elements, 0 packed.
    template <class T>
    bool setParameter(unsigned short id, const T* values, int stride)
    {
        return setAll(id, values, stride, false);
    }
    template <class T>
    bool getParameter(unsigned short id, T* out, int stride) const
    {
        return getAll(id, out, stride, false);
    }
    template <class T>
    bool setParameterCvt(unsigned short id, const T* values, int stride)
    {
        return setAll(id, values, stride, true);
    }
    template <class T>
    bool getParameterCvt(unsigned short id, T* out, int stride) const
    {
        return getAll(id, out, stride, true);
    }

    // Matrices: the converting forms are the same operations.
    bool setParameter(unsigned short id, unsigned index, const Matrix& m) { return setMatrix(id, index, m); }
    bool setParameter(unsigned short id, const Matrix& m) { return setMatrix(id, 0, m); }
    bool getParameter(unsigned short id, unsigned index, Matrix& out) const
    {
        return getMatrix(id, index, out);
    }
    bool getParameter(unsigned short id, Matrix& out) const { return getMatrix(id, 0, out); }
    // Matrix arrays go through the whole-array templates (a stride of 0 means one matrix).
    bool setParameterCvt(unsigned short id, unsigned index, const Matrix& m)
    {
        return setMatrix(id, index, m);
    }
    bool setParameterCvt(unsigned short id, const Matrix& m) { return setMatrix(id, 0, m); }
    bool getParameterCvt(unsigned short id, unsigned index, Matrix& out) const
    {
        return getMatrix(id, index, out);
    }
    bool getParameterCvt(unsigned short id, Matrix& out) const { return getMatrix(id, 0, out); }

    // Untyped forms: dispatch on the value type to the natural element form; 0, 9, 10 and
    // values above 18 answer false.
    bool setParameter(unsigned short id, E_SHADER_PARAMETER_VALUE_TYPE type, const void* data, int stride)
    {
        return untypedAll(id, type, const_cast<void*>(data), stride, false, true);
    }
    bool getParameter(unsigned short id, E_SHADER_PARAMETER_VALUE_TYPE type, void* data, int stride) const
    {
        return const_cast<IMaterialParameters*>(this)->untypedAll(id, type, data, stride, false, false);
    }
    bool setParameterCvt(unsigned short id, E_SHADER_PARAMETER_VALUE_TYPE type, const void* data, int stride)
    {
        return untypedAll(id, type, const_cast<void*>(data), stride, true, true);
    }
    bool getParameterCvt(unsigned short id, E_SHADER_PARAMETER_VALUE_TYPE type, void* data, int stride) const
    {
        return const_cast<IMaterialParameters*>(this)->untypedAll(id, type, data, stride, true, false);
    }
    bool setParameter(unsigned short id, unsigned index, E_SHADER_PARAMETER_VALUE_TYPE type, const void* data)
    {
        return untypedOne(id, index, type, const_cast<void*>(data), false, true);
    }
    bool getParameter(unsigned short id, unsigned index, E_SHADER_PARAMETER_VALUE_TYPE type, void* data) const
    {
        return const_cast<IMaterialParameters*>(this)->untypedOne(id, index, type, data, false, false);
    }
    bool setParameterCvt(unsigned short id, unsigned index, E_SHADER_PARAMETER_VALUE_TYPE type,
                         const void* data)
    {
        return untypedOne(id, index, type, const_cast<void*>(data), true, true);
    }
    bool getParameterCvt(unsigned short id, unsigned index, E_SHADER_PARAMETER_VALUE_TYPE type,
                         void* data) const
    {
        return const_cast<IMaterialParameters*>(this)->untypedOne(id, index, type, data, true, false);
    }

    // One component of one element; T is float, int or unsigned char and must be the base type.
    template <class T>
    bool setParameterElement(unsigned short id, unsigned index, unsigned char component, T value);

    void grabParameters();  // after a byte copy: own copies of matrices, one more reference each
    void dropParameter(unsigned short id);
    void dropParameters();
    void initParametersToIdentity();  // first element of each parameter to its neutral value

    void serializeAttributes(io::IAttributes* out) const;
    void deserializeAttributes(io::IAttributes* in);

protected:
    unsigned char* element(const SShaderParameterDef* def, unsigned index)
    {
        return getThis()->getParameterBlock() + def->index +
               size_t(index) * SInspect::ValueTypeSize[def->valueType];
    }
    const unsigned char* element(const SShaderParameterDef* def, unsigned index) const
    {
        return const_cast<IMaterialParameters*>(this)->element(def, index);
    }
    template <class P>
    static P* loadPointer(const unsigned char* at)
    {
        P* p;
        std::memcpy(&p, at, sizeof(p));
        return p;
    }
    template <class P>
    static void storePointer(unsigned char* at, P* p)
    {
        std::memcpy(at, &p, sizeof(p));
    }

private:
    const SShaderParameterDef* def(unsigned short id) const
    {
        const SShaderParameterDef* d = getThis()->getParameterDef(id);
        return d && d->valueType < ESPVT_COUNT ? d : nullptr;
    }

    template <class T>
    static bool accepts(unsigned vt, bool convert)
    {
        constexpr int natural = SValueTypeOf<T>::value;
        if constexpr (natural == ESPVT_SAMPLER2D)
            return SInspect::isSampler(vt);
        else
            return convert ? SInspect::canConvert(unsigned(natural), vt) : vt == unsigned(natural);
    }

    template <class T>
    bool setOne(unsigned short id, unsigned index, const T& value, bool convert);
    template <class T>
    bool getOne(unsigned short id, unsigned index, T& out, bool convert) const;
    template <class T>
    bool setAll(unsigned short id, const T* values, int stride, bool convert);
    template <class T>
    bool getAll(unsigned short id, T* out, int stride, bool convert) const;
    // inArray: a whole-array store, which reports a misfit and has marked the owner already.
    bool setTextureElement(const SShaderParameterDef* d, unsigned char* at, ITexture* texture, bool inArray);
    bool setMatrix(unsigned short id, unsigned index, const Matrix& m);
    bool getMatrix(unsigned short id, unsigned index, Matrix& out) const;
    bool setMatrices(unsigned short id, const Matrix* values, int stride);
    bool getMatrices(unsigned short id, Matrix* out, int stride) const;
    void storeMatrix(unsigned char* at, const Matrix& m);
    template <class T>
    bool untypedAs(unsigned short id, int index, void* data, int stride, bool convert, bool set);
    bool untypedAll(unsigned short id, unsigned type, void* data, int stride, bool convert, bool set)
    {
        return untypedDispatch(id, -1, type, data, stride, convert, set);
    }
    bool untypedOne(unsigned short id, unsigned index, unsigned type, void* data, bool convert, bool set)
    {
        return untypedDispatch(id, int(index), type, data, 0, convert, set);
    }
    bool untypedDispatch(unsigned short id, int index, unsigned type, void* data, int stride, bool convert,
                         bool set);
};

// ---------------------------------------------------------------------------------------------

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::setOne(unsigned short id, unsigned index, const T& value, bool convert)
{
    static_assert(SIsValidSetMaterialParamaterOverload<T>::value, "not a parameter element form");
    const SShaderParameterDef* d = def(id);
    if (!d || index >= d->arraySize || !accepts<T>(d->valueType, convert)) return false;
    unsigned char* at = element(d, index);
    if constexpr (std::is_same_v<T, TexturePtr>) {
        return setTextureElement(d, at, value.get(), false);
    } else if constexpr (std::is_same_v<T, LightPtr>) {
        CLight* old = loadPointer<CLight>(at);
        if (old != value.get()) getThis()->setDirty();
        grabReference(value.get());
        storePointer(at, value.get());
        dropReference(old);
        return true;
    } else {
        if (storeElement(at, d->valueType, value, true)) getThis()->setDirty();
        return true;
    }
}

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::getOne(unsigned short id, unsigned index, T& out, bool convert) const
{
    static_assert(SIsValidSetMaterialParamaterOverload<T>::value, "not a parameter element form");
    const SShaderParameterDef* d = def(id);
    if (!d || index >= d->arraySize || !accepts<T>(d->valueType, convert)) return false;
    const unsigned char* at = element(d, index);
    if constexpr (std::is_same_v<T, TexturePtr>)
        out = loadPointer<ITexture>(at);
    else if constexpr (std::is_same_v<T, LightPtr>)
        out = loadPointer<CLight>(at);
    else
        loadElement(at, d->valueType, out);
    return true;
}

template <class O, class B>
bool IMaterialParameters<O, B>::setTextureElement(const SShaderParameterDef* d, unsigned char* at,
                                                  ITexture* texture, bool inArray)
{
    if (texture && textureSamplerType(texture) != d->valueType) {
        if (inArray) {
            const char* const* names = getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr);
            os::Printer::logf(ELL_ERROR,
                              "Material Parameter Error: trying to set parameter %s of type %s from type %s",
                              d->name.c_str(), d->valueType < ESPVT_COUNT ? names[d->valueType] : "unknown",
                              names[textureSamplerType(texture)]);
        }
        return false;
    }
    ITexture* old = loadPointer<ITexture>(at);
    if (!inArray && old != texture) getThis()->setDirty();
    grabReference(texture);
    storePointer(at, texture);
    dropReference(old);
    return true;
}

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::setAll(unsigned short id, const T* values, int stride, bool convert)
{
    if constexpr (std::is_same_v<T, Matrix>)
        return setMatrices(id, values, stride);
    else {
        static_assert(SIsValidSetMaterialParamaterOverload<T>::value, "not a parameter element form");
        const SShaderParameterDef* d = def(id);
        if (!d || !accepts<T>(d->valueType, convert)) return false;
        const size_t step = stride ? size_t(stride) : sizeof(T);
        const auto* from = reinterpret_cast<const unsigned char*>(values);
        getThis()->setDirty();
        if constexpr (std::is_same_v<T, TexturePtr>) {
            for (unsigned i = 0; i < d->arraySize; ++i)
                setTextureElement(d, element(d, i),
                                  reinterpret_cast<const TexturePtr*>(from + i * step)->get(), true);
        } else if constexpr (std::is_same_v<T, LightPtr>) {
            for (unsigned i = 0; i < d->arraySize; ++i) {
                unsigned char* at = element(d, i);
                CLight* light = reinterpret_cast<const LightPtr*>(from + i * step)->get();
                CLight* old = loadPointer<CLight>(at);
                grabReference(light);
                storePointer(at, light);
                dropReference(old);
            }
        } else {
            const unsigned size = SInspect::ValueTypeSize[d->valueType];
            if (unsigned(SValueTypeOf<T>::value) == d->valueType && step == size) {
                std::memcpy(element(d, 0), values, size_t(d->arraySize) * size);
            } else {
                for (unsigned i = 0; i < d->arraySize; ++i) {
                    T value;
                    std::memcpy(&value, from + i * step, sizeof(T));
                    storeElement(element(d, i), d->valueType, value, false);
                }
            }
        }
        return true;
    }
}

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::getAll(unsigned short id, T* out, int stride, bool convert) const
{
    if constexpr (std::is_same_v<T, Matrix>)
        return getMatrices(id, out, stride);
    else {
        static_assert(SIsValidSetMaterialParamaterOverload<T>::value, "not a parameter element form");
        const SShaderParameterDef* d = def(id);
        if (!d || !accepts<T>(d->valueType, convert)) return false;
        const size_t step = stride ? size_t(stride) : sizeof(T);
        auto* to = reinterpret_cast<unsigned char*>(out);
        if constexpr (std::is_same_v<T, TexturePtr>) {
            for (unsigned i = 0; i < d->arraySize; ++i)
                *reinterpret_cast<TexturePtr*>(to + i * step) = loadPointer<ITexture>(element(d, i));
        } else if constexpr (std::is_same_v<T, LightPtr>) {
            for (unsigned i = 0; i < d->arraySize; ++i)
                *reinterpret_cast<LightPtr*>(to + i * step) = loadPointer<CLight>(element(d, i));
        } else {
            const unsigned size = SInspect::ValueTypeSize[d->valueType];
            if (unsigned(SValueTypeOf<T>::value) == d->valueType && step == size) {
                std::memcpy(out, element(d, 0), size_t(d->arraySize) * size);
            } else {
                for (unsigned i = 0; i < d->arraySize; ++i) {
                    T value;
                    loadElement(element(d, i), d->valueType, value);
                    std::memcpy(to + i * step, &value, sizeof(T));
                }
            }
        }
        return true;
    }
}

template <class O, class B>
void IMaterialParameters<O, B>::storeMatrix(unsigned char* at, const Matrix& m)
{
    Matrix* stored = loadPointer<Matrix>(at);
    if (m.getDefinitelyIdentityMatrix()) {
        if (stored) giveParameterMatrix(stored);
        storePointer<Matrix>(at, nullptr);
    } else if (stored) {
        *stored = m;
    } else {
        storePointer(at, takeParameterMatrix(m));
    }
}

template <class O, class B>
bool IMaterialParameters<O, B>::setMatrix(unsigned short id, unsigned index, const Matrix& m)
{
    const SShaderParameterDef* d = def(id);
    if (!d || d->valueType != ESPVT_FLOAT4X4 || index >= d->arraySize) return false;
    getThis()->setDirty();
    storeMatrix(element(d, index), m);
    return true;
}

template <class O, class B>
bool IMaterialParameters<O, B>::getMatrix(unsigned short id, unsigned index, Matrix& out) const
{
    const SShaderParameterDef* d = def(id);
    if (!d || d->valueType != ESPVT_FLOAT4X4 || index >= d->arraySize) return false;
    const Matrix* stored = loadPointer<Matrix>(element(d, index));
    out = stored ? *stored : core::IdentityMatrix;
    return true;
}

template <class O, class B>
bool IMaterialParameters<O, B>::setMatrices(unsigned short id, const Matrix* values, int stride)
{
    const SShaderParameterDef* d = def(id);
    if (!d || d->valueType != ESPVT_FLOAT4X4) return false;
    const size_t step = stride ? size_t(stride) : sizeof(Matrix);
    getThis()->setDirty();
    for (unsigned i = 0; i < d->arraySize; ++i)
        storeMatrix(element(d, i), *reinterpret_cast<const Matrix*>(
                                       reinterpret_cast<const unsigned char*>(values) + i * step));
    return true;
}

template <class O, class B>
bool IMaterialParameters<O, B>::getMatrices(unsigned short id, Matrix* out, int stride) const
{
    const SShaderParameterDef* d = def(id);
    if (!d || d->valueType != ESPVT_FLOAT4X4) return false;
    const size_t step = stride ? size_t(stride) : sizeof(Matrix);
    for (unsigned i = 0; i < d->arraySize; ++i) {
        const Matrix* stored = loadPointer<Matrix>(element(d, i));
        *reinterpret_cast<Matrix*>(reinterpret_cast<unsigned char*>(out) + i * step) =
            stored ? *stored : core::IdentityMatrix;
    }
    return true;
}

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::untypedAs(unsigned short id, int index, void* data, int stride, bool convert,
                                          bool set)
{
    if (index < 0) {
        if (set)
            return convert ? setParameterCvt(id, static_cast<const T*>(data), stride)
                           : setParameter(id, static_cast<const T*>(data), stride);
        return convert ? getParameterCvt(id, static_cast<T*>(data), stride)
                       : getParameter(id, static_cast<T*>(data), stride);
    }
    if (set)
        return convert ? setParameterCvt(id, unsigned(index), *static_cast<const T*>(data))
                       : setParameter(id, unsigned(index), *static_cast<const T*>(data));
    return convert ? getParameterCvt(id, unsigned(index), *static_cast<T*>(data))
                   : getParameter(id, unsigned(index), *static_cast<T*>(data));
}

template <class O, class B>
bool IMaterialParameters<O, B>::untypedDispatch(unsigned short id, int index, unsigned type, void* data,
                                                int stride, bool convert, bool set)
{
    switch (type) {
        case ESPVT_INT:
            return untypedAs<int>(id, index, data, stride, convert, set);
        case ESPVT_INT2:
            return untypedAs<core::vector2d<int>>(id, index, data, stride, convert, set);
        case ESPVT_INT3:
            return untypedAs<core::vector3d<int>>(id, index, data, stride, convert, set);
        case ESPVT_INT4:
            return untypedAs<core::vector4d<int>>(id, index, data, stride, convert, set);
        case ESPVT_FLOAT:
            return untypedAs<float>(id, index, data, stride, convert, set);
        case ESPVT_FLOAT2:
            return untypedAs<core::vector2d<float>>(id, index, data, stride, convert, set);
        case ESPVT_FLOAT3:
            return untypedAs<core::vector3d<float>>(id, index, data, stride, convert, set);
        case ESPVT_FLOAT4:
            return untypedAs<core::vector4d<float>>(id, index, data, stride, convert, set);
        case ESPVT_FLOAT4X4:
            return untypedAs<Matrix>(id, index, data, stride, convert, set);
        case ESPVT_SAMPLER2D:
        case ESPVT_SAMPLER3D:
        case ESPVT_SAMPLERCUBE:
        case ESPVT_SAMPLERRECT:
            return untypedAs<TexturePtr>(id, index, data, stride, convert, set);
        case ESPVT_COLOR:
            return untypedAs<SColor>(id, index, data, stride, convert, set);
        case ESPVT_COLORF:
            return untypedAs<SColorf>(id, index, data, stride, convert, set);
        case ESPVT_LIGHT:
            return untypedAs<LightPtr>(id, index, data, stride, convert, set);
        default:
            return false;
    }
}

template <class O, class B>
template <class T>
bool IMaterialParameters<O, B>::setParameterElement(unsigned short id, unsigned index,
                                                    unsigned char component, T value)
{
    static_assert(SIsValidSetMaterialParameterElementOverload<T>::value,
                  "components are float, int or unsigned char");
    constexpr unsigned base = std::is_same_v<T, float> ? ESPVT_FLOAT
                              : std::is_same_v<T, int> ? ESPVT_INT
                                                       : ESPVT_UBYTE;
    const SShaderParameterDef* d = def(id);
    if (!d || SInspect::ValueTypeBaseType[d->valueType] != base ||
        component >= SInspect::ValueTypeArraySize[d->valueType] || index >= d->arraySize)
        return false;
    unsigned char* at = element(d, index);
    if (d->valueType == ESPVT_FLOAT4X4) {
        if constexpr (std::is_same_v<T, float>) {
            Matrix* stored = loadPointer<Matrix>(at);
            if (!stored) {
                stored = takeParameterMatrix(core::IdentityMatrix);
                storePointer(at, stored);
            }
            stored->setDefinitelyIdentityMatrix(false);
            float* m = const_cast<float*>(stored->pointer());
            if (!(m[component] == value)) getThis()->setDirty();
            m[component] = value;
        }
        return true;
    }
    unsigned char* c = at + size_t(component) * sizeof(T);
    T old;
    std::memcpy(&old, c, sizeof(T));
    if (!(old == value)) getThis()->setDirty();
    std::memcpy(c, &value, sizeof(T));
    return true;
}

template <class O, class B>
void IMaterialParameters<O, B>::grabParameters()
{
    getThis()->forEachParameter([this](unsigned short id) {
        const SShaderParameterDef* d = def(id);
        if (!d || !SInspect::isReference(d->valueType)) return;
        for (unsigned i = 0; i < d->arraySize; ++i) {
            unsigned char* at = element(d, i);
            if (d->valueType == ESPVT_FLOAT4X4) {
                if (const Matrix* source = loadPointer<Matrix>(at))
                    storePointer(at, takeParameterMatrix(*source));
            } else if (d->valueType == ESPVT_LIGHT) {
                grabReference(loadPointer<CLight>(at));
            } else {
                grabReference(loadPointer<ITexture>(at));
            }
        }
    });
}

template <class O, class B>
void IMaterialParameters<O, B>::dropParameter(unsigned short id)
{
    const SShaderParameterDef* d = def(id);
    if (!d || !SInspect::isReference(d->valueType)) return;
    for (unsigned i = 0; i < d->arraySize; ++i) {
        unsigned char* at = element(d, i);
        if (d->valueType == ESPVT_FLOAT4X4) {
            if (Matrix* m = loadPointer<Matrix>(at)) giveParameterMatrix(m);
        } else if (d->valueType == ESPVT_LIGHT) {
            dropReference(loadPointer<CLight>(at));
        } else {
            dropReference(loadPointer<ITexture>(at));
        }
        storePointer<void>(at, nullptr);
    }
}

template <class O, class B>
void IMaterialParameters<O, B>::dropParameters()
{
    getThis()->forEachParameter([this](unsigned short id) { dropParameter(id); });
}

template <class O, class B>
void IMaterialParameters<O, B>::initParametersToIdentity()
{
    getThis()->forEachParameter([this](unsigned short id) {
        const SShaderParameterDef* d = def(id);
        if (!d || d->arraySize == 0) return;
        unsigned char* at = element(d, 0);
        const unsigned vt = d->valueType;
        if (vt == ESPVT_FLOAT2X2 || vt == ESPVT_FLOAT3X3) return;
        if (SInspect::isReference(vt)) {
            if (vt == ESPVT_FLOAT4X4) {
                if (Matrix* m = loadPointer<Matrix>(at)) giveParameterMatrix(m);
            } else if (vt == ESPVT_LIGHT) {
                dropReference(loadPointer<CLight>(at));
            } else {
                dropReference(loadPointer<ITexture>(at));
            }
            storePointer<void>(at, nullptr);
        } else if (vt == ESPVT_FLOAT4 || vt == ESPVT_COLORF) {
            const float ones[4] = {1.0f, 1.0f, 1.0f, 1.0f};
            std::memcpy(at, ones, 16);
        } else if (vt == ESPVT_COLOR) {
            std::memset(at, 0xff, 4);
        } else {
            std::memset(at, 0, SInspect::ValueTypeSize[vt]);
        }
    });
}

}  // namespace pravik::video::detail

#include "engine/video/material/detail/IMaterialParameters_attributes.h"
