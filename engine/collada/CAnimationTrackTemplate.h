#pragma once
// The generated track kinds: CVirtualEx<CApplyValueEx<Value, Mixin>>, where the mixin says how
// keys are read and interpolated (interpreter), how weighted values combine (blender) and how a
// value reaches its target (applicator). Every kind has one shared instance (getInstance).
//
// Keys: float keys are read as stored; 16-bit and 8-bit quantised keys (key types short and
// char, signed) decode as offsets[c] + raw * scales[c]. A full kind's key k holds all N
// components at element k * N; a component kind's key holds one (element k) and the others come
// from the animation's default value, or, without one, from the output (get) or the target's
// current value (apply). Apply operations compute into a temporary and hand it over once.

#include "engine/collada/AnimationBlending.h"
#include "engine/collada/IAnimationTrackEx.h"
#include "engine/collada/SAnimationAccessor.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace pravik::collada::animation_track {

template <int N>
struct SFloats {
    float v[N];
};
template <int N>
struct SBytes {
    unsigned char v[N];
};

// ---- key reading -----------------------------------------------------------------------------

template <class K>
inline float decodeKey(const SAnimationAccessor& a, const SKeyArray& out, std::uint32_t element, int component)
{
    if constexpr (std::is_same_v<K, float>) {
        (void)a;
        (void)component;
        return out.at<float>(element);
    } else {
        return a.getOffsets()[component] + float(out.at<K>(element)) * a.getScales()[component];
    }
}

// The default value of n components of type T, or false when the animation has none.
template <class T>
inline bool readDefault(const SAnimationAccessor& a, T* out, int n)
{
    const void* d = a.getDefaultValue(std::uint32_t(n) * sizeof(T));
    if (!d)
        return false;
    std::memcpy(out, d, std::size_t(n) * sizeof(T));
    return true;
}

// ---- interpreters ------------------------------------------------------------------------------

// Float values of N components; Index -1 for full keys, else the component the keys hold.
template <int N, int Index, class K>
struct SFloatInterpreter {
    using Storage = SFloats<N>;
    static constexpr bool kComponent = Index >= 0;

    static float component(const SAnimationAccessor& a, const SKeyArray& out, int k, int c)
    {
        return kComponent ? decodeKey<K>(a, out, std::uint32_t(k), 0) : decodeKey<K>(a, out, std::uint32_t(k) * N + c, c);
    }
    // Puts v at Index over the default value (when there is one).
    static void place(const SAnimationAccessor& a, float v, Storage& out)
    {
        readDefault<float>(a, out.v, N);
        out.v[Index] = v;
    }
    [[gnu::always_inline]] static void key(const SAnimationAccessor& a, int k, Storage& out)
    {
        keyIn(a, a.getOutput(0), k, out);
    }
    // key and between over sampler 0's key values o, already looked up.
    [[gnu::always_inline]] static void keyIn(const SAnimationAccessor& a, const SKeyArray& o, int k, Storage& out)
    {
        if constexpr (kComponent)
            place(a, component(a, o, k, 0), out);
        else
            fullKey(a, o, k, out.v);
    }
    // All N components of key k.
    [[gnu::always_inline]] static void fullKey(const SAnimationAccessor& a, const SKeyArray& o, int k, float* v)
    {
        if constexpr (std::is_same_v<K, float>) {
            const std::uint64_t end = (std::uint64_t(std::uint32_t(k)) + 1) * N;
            if (end <= o.count && end * 4 <= o.bytes) {
                std::memcpy(v, o.data + std::size_t(k) * N * 4, N * 4);
                return;
            }
        }
        for (int c = 0; c < N; ++c)
            v[c] = component(a, o, k, c);
    }
    [[gnu::always_inline]] static void between(const SAnimationAccessor& a, int k0, int k1, float f, Storage& out)
    {
        betweenIn(a, a.getOutput(0), k0, k1, f, out);
    }
    [[gnu::always_inline]] static void betweenIn(const SAnimationAccessor& a, const SKeyArray& o, int k0, int k1,
                                                 float f, Storage& out)
    {
        if constexpr (kComponent) {
            const float v0 = component(a, o, k0, 0), v1 = component(a, o, k1, 0);
            place(a, v0 + f * (v1 - v0), out);
        } else {
            // The blend of the two keys with weights 1 - f and f, summed from 0 in this order.
            const float w0 = 1.f - f;
            if constexpr (std::is_same_v<K, float>) {
                // Both keys whole inside the array: read in place, with one check for the pair.
                const std::uint32_t floats = o.count < o.bytes / 4 ? o.count : o.bytes / 4;
                if (std::uint32_t(k0) < floats / N && std::uint32_t(k1) < floats / N) {
                    const unsigned char* p0 = o.data + std::size_t(k0) * N * 4;
                    const unsigned char* p1 = o.data + std::size_t(k1) * N * 4;
#pragma GCC unroll 4
                    for (int c = 0; c < N; ++c)
                        out.v[c] = (0.f + w0 * loadF32(p0 + 4 * c)) + f * loadF32(p1 + 4 * c);
                    return;
                }
            }
            float v0[N], v1[N];
            fullKey(a, o, k0, v0);
            fullKey(a, o, k1, v1);
#pragma GCC unroll 4
            for (int c = 0; c < N; ++c)
                out.v[c] = (0.f + w0 * v0[c]) + f * v1[c];
        }
    }
    static void refBetween(const SAnimationAccessor& a, int kr, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent) {
            const float v0 = component(a, o, k0, 0), v1 = component(a, o, k1, 0);
            place(a, v0 + f * (v1 - v0) - component(a, o, kr, 0), out);
        } else {
            for (int c = 0; c < N; ++c) {
                const float v0 = component(a, o, k0, c), v1 = component(a, o, k1, c);
                out.v[c] = v0 + f * (v1 - v0) - component(a, o, kr, c);
            }
        }
    }
    static void refKey(const SAnimationAccessor& a, int kr, int k, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent)
            place(a, component(a, o, k, 0) - component(a, o, kr, 0), out);
        else
            for (int c = 0; c < N; ++c)
                out.v[c] = component(a, o, k, c) - component(a, o, kr, c);
    }
    static void identity(Storage& out)
    {
        for (float& v : out.v)
            v = 0.f;
    }
    static void blend(const Storage* values, const float* weights, int count, Storage& out)
    {
        blendFloats(values ? values->v : nullptr, weights, count, N, out.v);
    }
    static void add(const Storage* values, const float* weights, int count, Storage& out)
    {
        blend(values, weights, count, out);
    }
};

// Byte values of N components (red, green, blue[, alpha]); Index -1 for full keys.
template <int N, int Index>
struct SByteInterpreter {
    using Storage = SBytes<N>;
    static constexpr bool kComponent = Index >= 0;

    static int byteAt(const SKeyArray& o, int k, int c)
    {
        return kComponent ? o.at<std::uint8_t>(std::uint32_t(k)) : o.at<std::uint8_t>(std::uint32_t(k) * N + c);
    }
    static void place(const SAnimationAccessor& a, unsigned char v, Storage& out)
    {
        // The descriptor holds arity bytes; the components past them keep what out holds.
        const int arity = int(a.getAnimation()->arity);
        const int n = arity < 1 ? 0 : (arity > N ? N : arity);
        if (n)
            readDefault<unsigned char>(a, out.v, n);
        out.v[Index] = v;
    }
    static void key(const SAnimationAccessor& a, int k, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent)
            place(a, static_cast<unsigned char>(byteAt(o, k, 0)), out);
        else
            for (int c = 0; c < N; ++c)
                out.v[c] = static_cast<unsigned char>(byteAt(o, k, c));
    }
    static void between(const SAnimationAccessor& a, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent) {
            const int b0 = byteAt(o, k0, 0), b1 = byteAt(o, k1, 0);
            place(a, saturateByte(float(b0) + f * float(b1 - b0)), out);
        } else {
            for (int c = 0; c < N; ++c) {
                float sum = 0.f;
                sum += (1.f - f) * float(byteAt(o, k0, c));
                sum += f * float(byteAt(o, k0 + 1, c));
                out.v[c] = saturateByte(sum);
            }
        }
    }
    static void refBetween(const SAnimationAccessor& a, int kr, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent) {
            const int r = byteAt(o, kr, 0);
            const int d0 = wrapByte(byteAt(o, k0, 0) - r), d1 = wrapByte(byteAt(o, k1, 0) - r);
            place(a, saturateByte(float(d0) + f * float(d1 - d0)), out);
        } else {
            for (int c = 0; c < N; ++c) {
                const int b0 = byteAt(o, k0, c), b1 = byteAt(o, k1, c);
                out.v[c] = wrapByte(saturateByte(float(b0) + f * float(b1 - b0)) - byteAt(o, kr, c));
            }
        }
    }
    static void refKey(const SAnimationAccessor& a, int kr, int k, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        if constexpr (kComponent)
            place(a, wrapByte(byteAt(o, k, 0) - byteAt(o, kr, 0)), out);
        else
            for (int c = 0; c < N; ++c)
                out.v[c] = wrapByte(byteAt(o, k, c) - byteAt(o, kr, c));
    }
    static void identity(Storage& out) { std::memset(out.v, 0, N); }
    static void blend(const Storage* values, const float* weights, int count, Storage& out)
    {
        blendBytes(values ? values->v : nullptr, weights, count, N, out.v);
    }
    static void add(const Storage* values, const float* weights, int count, Storage& out)
    {
        blend(values, weights, count, out);
    }
};

// Shared by the two quaternion interpreters.
struct SQuaternionBlender {
    using Storage = core::quaternion;
    static constexpr bool kComponent = false;
    static void identity(Storage& out) { out = core::quaternion(); }
    static void blend(const Storage* values, const float* weights, int count, Storage& out)
    {
        out = blendQuaternions(values, weights, count);
    }
    static void add(const Storage* values, const float* weights, int count, Storage& out)
    {
        out = addQuaternions(values, weights, count);
    }
};

// Rotation keys of four components X, Y, Z, W, as stored (not renormalised).
template <class K>
struct CInterpreterQuaternion : SQuaternionBlender {
    static core::quaternion K4(const SAnimationAccessor& a, const SKeyArray& o, int k)
    {
        const std::uint32_t e = std::uint32_t(k) * 4;
        return {decodeKey<K>(a, o, e, 0), decodeKey<K>(a, o, e + 1, 1), decodeKey<K>(a, o, e + 2, 2),
                decodeKey<K>(a, o, e + 3, 3)};
    }
    static void key(const SAnimationAccessor& a, int k, Storage& out) { out = K4(a, a.getOutput(0), k); }
    static void between(const SAnimationAccessor& a, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        const core::quaternion q[2] = {K4(a, o, k0), K4(a, o, k1)};
        const float w[2] = {1.f - f, f};
        out = blendQuaternions(q, w, 2);
    }
    static void refBetween(const SAnimationAccessor& a, int kr, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        out = relative(slerpOf(K4(a, o, k0), K4(a, o, k1), f), K4(a, o, kr));
    }
    static void refKey(const SAnimationAccessor& a, int kr, int k, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        out = relative(K4(a, o, k), K4(a, o, kr));
    }
};

// One angle a key (radians) about the default value's axis (used as stored; none gives 0, 0, 0).
template <class K>
struct CInterpreterQuaternionAngle : SQuaternionBlender {
    static core::quaternion Q(const float axis[3], float angle)
    {
        const float s = std::sin(angle / 2.f), c = std::cos(angle / 2.f);
        return {axis[0] * s, axis[1] * s, axis[2] * s, c};
    }
    static float A(const SAnimationAccessor& a, const SKeyArray& o, int k) { return decodeKey<K>(a, o, std::uint32_t(k), 0); }
    struct SAxis {
        float v[3] = {0.f, 0.f, 0.f};
        explicit SAxis(const SAnimationAccessor& a) { readDefault<float>(a, v, 3); }
    };
    static void key(const SAnimationAccessor& a, int k, Storage& out) { out = Q(SAxis(a).v, A(a, a.getOutput(0), k)); }
    static void between(const SAnimationAccessor& a, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        const float a0 = A(a, o, k0), a1 = A(a, o, k1);
        out = Q(SAxis(a).v, a0 + f * (a1 - a0));
    }
    static void refBetween(const SAnimationAccessor& a, int kr, int k0, int k1, float f, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        const SAxis axis(a);
        out = relative(slerpOf(Q(axis.v, A(a, o, k0)), Q(axis.v, A(a, o, k1)), f), Q(axis.v, A(a, o, kr)));
    }
    static void refKey(const SAnimationAccessor& a, int kr, int k, Storage& out)
    {
        const SKeyArray o = a.getOutput(0);
        const SAxis axis(a);
        out = relative(Q(axis.v, A(a, o, k)), Q(axis.v, A(a, o, kr)));
    }
};

// ---- the template --------------------------------------------------------------------------

// Mixin: an interpreter (with its blender) plus an applicator.
template <class Interpreter, class Applicator>
struct SMixinOf : Interpreter {
    using ApplicatorType = Applicator;
};

template <class Value, class Mixin>
struct CApplyValueEx : Mixin {
    using ValueType = Value;
};

template <class Base>
class CVirtualEx final : public Base, public CAnimationTrackEx {
public:
    using Storage = typename Base::Storage;
    using App = typename Base::ApplicatorType;
    using CAnimationTrackEx::applyKeyBasedValue;
    using CAnimationTrackEx::getKeyBasedValue;

    static const CVirtualEx& getInstance()
    {
        static const CVirtualEx s_Instance;
        return s_Instance;
    }

    int getValueSize() const override { return int(sizeof(Storage)); }
    void getIdentityValue(void* out) const override { Base::identity(*static_cast<Storage*>(out)); }
    void getBlendedValue(void* values, float* weights, int count, void* out) const override
    {
        Base::blend(static_cast<const Storage*>(values), weights, count, *static_cast<Storage*>(out));
    }
    void getAddedValue(void* values, float* weights, int count, void* out) const override
    {
        Base::add(static_cast<const Storage*>(values), weights, count, *static_cast<Storage*>(out));
    }
    void applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo* info) const override
    {
        Storage t;
        Base::identity(t);
        Base::blend(static_cast<const Storage*>(values), weights, count, t);
        App::apply(target, t, info);
    }
    void applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo* info) const override
    {
        Storage t;
        Base::identity(t);
        Base::add(static_cast<const Storage*>(values), weights, count, t);
        App::apply(target, t, info);
    }
    void getKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* out) const override
    {
        Base::between(a, key0, key1, f, *static_cast<Storage*>(out));
    }
    void getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* out) const override
    {
        Base::refBetween(a, refKey, key0, key1, f, *static_cast<Storage*>(out));
    }
    void getKeyBasedValue(const Accessor& a, int key, void* out) const override
    {
        Base::key(a, key, *static_cast<Storage*>(out));
    }
    void getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const override
    {
        Base::refKey(a, refKey, key, *static_cast<Storage*>(out));
    }
    void applyKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* target,
                            CApplicatorInfo* info) const override
    {
        Storage t = start(target);
        Base::between(a, key0, key1, f, t);
        App::apply(target, t, info);
    }
    void applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo* info) const override
    {
        Storage t = start(target);
        Base::key(a, key, t);
        App::apply(target, t, info);
    }
    // The relative forms go through the applicator too: the target is an object, not a buffer.
    void applyKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* target) const override
    {
        Storage t = start(target);
        Base::refBetween(a, refKey, key0, key1, f, t);
        App::apply(target, t, nullptr);
    }
    void applyKeyBasedValue(const Accessor& a, int refKey, int key, void* target) const override
    {
        Storage t = start(target);
        Base::refKey(a, refKey, key, t);
        App::apply(target, t, nullptr);
    }
    void applyValue(void* value, void* target, CApplicatorInfo* info) const override
    {
        App::apply(target, *static_cast<const Storage*>(value), info);
    }
    // The per-frame paths, as the base does them, without the virtual hop to the key forms.
    void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                    bool interpolate) const override
    {
        applyAt(a, time, target, info, &keyHint, interpolate);
    }
    void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, bool interpolate) const override
    {
        applyAt(a, time, target, info, nullptr, interpolate);
    }
    void getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const override
    {
        getAt(a, time, out, &keyHint, interpolate);
    }
    void getValue(const Accessor& a, int time, void* out, bool interpolate) const override
    {
        getAt(a, time, out, nullptr, interpolate);
    }
    using CAnimationTrackEx::applyValue;
    using CAnimationTrackEx::getValue;
    void retrieveValue(void* target, void* out) const override { App::retrieve(target, *static_cast<Storage*>(out)); }

private:
    CVirtualEx() = default;

    // Interpreters that can read keys from an array already looked up say so by betweenIn.
    static constexpr bool kReadsValuesIn = requires(const Accessor& a, const SKeyArray& o, Storage& s) {
        Base::betweenIn(a, o, 0, 1, 0.f, s);
        Base::keyIn(a, o, 0, s);
    };

    // key k, or keys k and k + 1 at fraction f (between), of the time, into out; false when the
    // key data has no keys.
    [[gnu::always_inline]] static bool valueAt(const Accessor& a, int time, int* hint, bool interpolate, Storage& out)
    {
        int k = 0;
        float f = 0.f;
        SKeyArray o;
        const int between = a.findKeys(time, k, f, hint, &o);
        if (between < 0)
            return false;
        if constexpr (kReadsValuesIn) {
            if (between && interpolate)
                Base::betweenIn(a, o, k, k + 1, f, out);
            else
                Base::keyIn(a, o, k, out);
        } else {
            if (between && interpolate)
                Base::between(a, k, k + 1, f, out);
            else
                Base::key(a, k, out);
        }
        if (hint)
            *hint = k;
        return true;
    }
    [[gnu::always_inline]] void applyAt(const Accessor& a, int time, void* target, CApplicatorInfo* info, int* hint,
                                        bool interpolate) const
    {
        Storage t = start(target);
        if (valueAt(a, time, hint, interpolate, t))
            App::apply(target, t, info);
    }
    [[gnu::always_inline]] void getAt(const Accessor& a, int time, void* out, int* hint, bool interpolate) const
    {
        valueAt(a, time, hint, interpolate, *static_cast<Storage*>(out));
    }

    // Apply temporaries start from the identity; a component kind keeps the target's other
    // components when it can read them back.
    static Storage start(void* target)
    {
        Storage t;
        Base::identity(t);
        if constexpr (Base::kComponent && App::kReadsBack)
            App::retrieve(target, t);
        return t;
    }
};

// Generic mixin of the material and plain-value families: T component type (float or unsigned
// char), N components, applicator A, Index -1 (whole) or the keyed component, key type K.
template <class T, int N, class A, int Index, class K>
struct CMixin : SMixinOf<std::conditional_t<std::is_same_v<T, float>, SFloatInterpreter<N, Index, K>, SByteInterpreter<N, Index>>, A> {};

} // namespace pravik::collada::animation_track
