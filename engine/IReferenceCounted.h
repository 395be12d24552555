// Intrusive reference count of most engine objects.
// Counts are plain integers: a counted object belongs to one thread (the main thread).
// A factory that returns a plain pointer hands it out at count 1 (the caller drops it);
// an object handed out in a boost::intrusive_ptr starts at 0.
#pragma once

#include <boost/intrusive_ptr.hpp>

namespace pravik {

class IReferenceCounted {
public:
    virtual ~IReferenceCounted() = default;

    void grab() const { ++m_referenceCounter; }
    bool drop() const;                               // true when this release destroyed the object
    int getReferenceCount() const { return m_referenceCounter; }

protected:
    explicit IReferenceCounted(int startCount = 1) : m_referenceCounter(startCount) {}
    IReferenceCounted(const IReferenceCounted&) : m_referenceCounter(1) {}   // a copy is a new object
    IReferenceCounted& operator=(const IReferenceCounted&) { return *this; } // counts never copy
    virtual void onDelete() {}                       // last chance to act while the object is whole

private:
    mutable int m_referenceCounter;
};

inline bool IReferenceCounted::drop() const
{
    if (--m_referenceCounter != 0)
        return false;
    const_cast<IReferenceCounted*>(this)->onDelete();
    delete this;
    return true;
}

inline void intrusive_ptr_add_ref(const IReferenceCounted* object) { object->grab(); }
inline void intrusive_ptr_release(const IReferenceCounted* object) { object->drop(); }

} // namespace pravik
