#pragma once
// Value handles of data sources and emitters. A handle holds one reference on its object while
// it lives; its cached pointer is trusted only while the engine's stamp of its slot is unchanged,
// otherwise the id is looked up again. An invalid handle (id -1, no engine) resolves to nothing.

#include <cstdint>

namespace kez {

class Handlable;
class KezEngineInternal;

class Handle {
public:
    Handle(int64_t id, KezEngineInternal** engine, Handlable* object, unsigned stamp, unsigned slot)
        : m_id(id), m_stamp(stamp), m_slot(slot), m_cached(object), m_engine(engine), m_creation(object) {}
    virtual ~Handle() = default;

    virtual int64_t GetId() const { return m_id; }
    virtual Handlable* GetObjectPointer() const { return m_cached; }
    virtual void GetTimeStamp(unsigned& stamp, unsigned& slot) const { stamp = m_stamp; slot = m_slot; }
    virtual void SetTimeStamp(unsigned stamp, unsigned slot) { m_stamp = stamp; m_slot = slot; }

    bool operator==(const Handle& other) const { return m_id == other.m_id; }  // ids only
    KezEngineInternal* Engine() const { return m_engine ? *m_engine : nullptr; }

protected:
    void CopyFrom(const Handle& o) {
        m_id = o.m_id; m_stamp = o.m_stamp; m_slot = o.m_slot;
        m_cached = o.m_cached; m_engine = o.m_engine; m_creation = o.m_creation;
    }

    int64_t m_id;
    uint32_t m_stamp;
    uint32_t m_slot;
    Handlable* m_cached;
    KezEngineInternal** m_engine;  // address of the engine singleton pointer
    Handlable* m_creation;         // copied along, not otherwise used
};

class DataHandle : public Handle {
public:
    DataHandle() : Handle(-1, nullptr, nullptr, 0, 0) {}  // invalid
    DataHandle(int64_t id, KezEngineInternal** engine, Handlable* object, unsigned stamp, unsigned slot);
    DataHandle(const DataHandle& other);
    DataHandle& operator=(const DataHandle& other);
    ~DataHandle() override;
};

class EmitterHandle : public Handle {
public:
    EmitterHandle() : Handle(-1, nullptr, nullptr, 0, 0) {}  // invalid
    EmitterHandle(int64_t id, KezEngineInternal** engine, Handlable* object, unsigned stamp, unsigned slot);
    EmitterHandle(const EmitterHandle& other);
    EmitterHandle& operator=(const EmitterHandle& other);
    ~EmitterHandle() override;
};

}  // namespace kez
