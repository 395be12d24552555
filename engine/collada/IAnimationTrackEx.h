#pragma once
// Animation tracks: one shared, stateless object per kind of animated value (channel type, key
// storage, value type). Everything a track works on arrives as arguments: the key data through
// an accessor, key indices or a time, the target, optional target information and a key hint.
// Values travel as untyped buffers of getValueSize() bytes. No operation may store anything in
// the track: all animators of all loaded files share it.

namespace pravik::collada {

class SAnimationAccessor;

namespace animation_track {

// Extra target information a binding keeps (one owned clone per binding).
class CApplicatorInfo {
public:
    virtual ~CApplicatorInfo() = default;
    virtual CApplicatorInfo* clone() const = 0;  // a new heap copy of the same type
};

// The material parameter a material track writes: its name (the file's text, not owned) and its
// id in the material's renderer (0xFFFF when the renderer has no such parameter; -1 unlooked).
class CMaterialApplicatorInfo : public CApplicatorInfo {
public:
    CMaterialApplicatorInfo(const char* name = nullptr, int id = -1) : Name(name), ParameterID(id) {}
    CApplicatorInfo* clone() const override { return new CMaterialApplicatorInfo(Name, ParameterID); }

    const char* Name;
    int ParameterID;
};

} // namespace animation_track

using animation_track::CApplicatorInfo;

class IAnimationTrackEx {
public:
    using Accessor = SAnimationAccessor;

    virtual ~IAnimationTrackEx() = default;

    virtual int getValueSize() const = 0;
    virtual void getIdentityValue(void* out) const = 0;
    virtual void getBlendedValue(void* values, float* weights, int count, void* out) const = 0;
    virtual void getAddedValue(void* values, float* weights, int count, void* out) const = 0;
    virtual void applyBlendedValue(void*, float*, int, void*, CApplicatorInfo*) const {}
    virtual void applyAddedValue(void*, float*, int, void*, CApplicatorInfo*) const {}
    virtual void getKeyBasedValue(const Accessor& a, int key0, int key1, float fraction, void* out) const = 0;
    virtual void getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float fraction,
                                  void* out) const = 0;
    virtual void getKeyBasedValue(const Accessor& a, int key, void* out) const = 0;
    virtual void getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const = 0;
    // Weighted forms: no kind provides them; they do nothing.
    virtual void getBlendedValue(void*, float*, int, void*, float) const {}
    virtual void getAddedValue(void*, float*, int, void*, float) const {}
    virtual void getKeyBasedValue(const Accessor&, int, int, float, void*, float) const {}
    virtual void getKeyBasedValue(const Accessor&, int, void*, float) const {}
    // Defaults write the computed value straight into the target buffer.
    virtual void applyKeyBasedValue(const Accessor& a, int key0, int key1, float fraction, void* target,
                                    CApplicatorInfo*) const
    {
        getKeyBasedValue(a, key0, key1, fraction, target);
    }
    virtual void applyKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float fraction,
                                    void* target) const
    {
        getKeyBasedValue(a, refKey, key0, key1, fraction, target);
    }
    virtual void applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo*) const
    {
        getKeyBasedValue(a, key, target);
    }
    virtual void applyKeyBasedValue(const Accessor& a, int refKey, int key, void* target) const
    {
        getKeyBasedValue(a, refKey, key, target);
    }
    virtual void applyBlendedValue(void*, float*, int, void*, CApplicatorInfo*, float) const {}
    virtual void applyAddedValue(void*, float*, int, void*, CApplicatorInfo*, float) const {}
    virtual void applyKeyBasedValue(const Accessor&, int, int, float, void*, CApplicatorInfo*, float) const {}
    virtual void applyKeyBasedValue(const Accessor&, int, void*, CApplicatorInfo*, float) const {}

    virtual void getValue(const Accessor& a, int time, void* out, bool interpolate) const = 0;
    virtual void applyValue(const Accessor&, int, void*, CApplicatorInfo*, bool) const {}
    virtual void getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const = 0;
    virtual void applyValue(const Accessor&, int, void*, CApplicatorInfo*, int&, bool) const {}
    virtual void applyValue(void* value, void* target, CApplicatorInfo* info) const = 0;
};

// Turns a time into key indices for every concrete kind (key search of sampler 0).
class CAnimationTrackEx : public IAnimationTrackEx {
public:
    using IAnimationTrackEx::applyValue;
    using IAnimationTrackEx::getValue;

    void getValue(const Accessor& a, int time, void* out, bool interpolate) const override;
    void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, bool interpolate) const override;
    void getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const override;
    void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                    bool interpolate) const override;

    virtual void getValue(const Accessor& a, int refTime, int time, void* out, int& keyHint, bool interpolate) const;
    virtual void getValue(const Accessor& a, int time, void* out, float weight, bool interpolate) const;
    virtual void getValue(const Accessor& a, int time, void* out, int& keyHint, float weight, bool interpolate) const;
    virtual void applyValue(const Accessor& a, int refTime, int time, void* target, CApplicatorInfo* info,
                            int& keyHint, bool interpolate) const;
    virtual void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, float weight,
                            bool interpolate) const;
    virtual void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                            float weight, bool interpolate) const;
    // Reads the target's current value; here the target is taken as a value buffer.
    virtual void retrieveValue(void* target, void* out) const;
};

} // namespace pravik::collada
