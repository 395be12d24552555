#include "audio/Handle.h"

#include "audio/Handlable.h"
#include "audio/KezEngineInternal.h"

namespace kez {

DataHandle::DataHandle(int64_t id, KezEngineInternal** engine, Handlable* object, unsigned stamp, unsigned slot)
    : Handle(id, engine, object, stamp, slot) {
    if (KezEngineInternal* e = Engine()) {
        if (object) object->Retain();
        else e->IncreaseDataObjectRefCount(*this);
    }
}

DataHandle::DataHandle(const DataHandle& other) : Handle(other) {
    if (KezEngineInternal* e = Engine()) e->IncreaseDataObjectRefCount(*this);
}

DataHandle& DataHandle::operator=(const DataHandle& other) {
    if (this == &other) return *this;
    if (KezEngineInternal* e = Engine()) e->DecreaseDataObjectRefCount(*this);
    CopyFrom(other);
    if (KezEngineInternal* e = Engine()) e->IncreaseDataObjectRefCount(*this);
    return *this;
}

DataHandle::~DataHandle() {
    if (KezEngineInternal* e = Engine()) e->DecreaseDataObjectRefCount(*this);
}

EmitterHandle::EmitterHandle(int64_t id, KezEngineInternal** engine, Handlable* object, unsigned stamp,
                             unsigned slot)
    : Handle(id, engine, object, stamp, slot) {
    if (KezEngineInternal* e = Engine()) {
        if (object) object->Retain();
        else e->IncreaseEmitterObjectRefCount(*this);
    }
}

EmitterHandle::EmitterHandle(const EmitterHandle& other) : Handle(other) {
    if (KezEngineInternal* e = Engine()) e->IncreaseEmitterObjectRefCount(*this);
}

EmitterHandle& EmitterHandle::operator=(const EmitterHandle& other) {
    if (this == &other) return *this;
    if (KezEngineInternal* e = Engine()) e->DecreaseEmitterObjectRefCount(*this);
    CopyFrom(other);
    if (KezEngineInternal* e = Engine()) e->IncreaseEmitterObjectRefCount(*this);
    return *this;
}

EmitterHandle::~EmitterHandle() {
    if (KezEngineInternal* e = Engine()) e->DecreaseEmitterObjectRefCount(*this);
}

}  // namespace kez
