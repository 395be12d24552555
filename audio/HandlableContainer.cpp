#include "audio/HandlableContainer.h"

namespace kez {

HandlableContainer::~HandlableContainer() { Clear(); }

Handlable* HandlableContainer::Find(int64_t id) const {
    auto it = m_map.find(id);
    return it == m_map.end() ? nullptr : it->second;
}

void HandlableContainer::Add(Handlable* object) {
    if (!object) return;
    m_map[object->GetId()] = object;
}

void HandlableContainer::Merge(HandlableContainer* other) {
    if (!other || other == this) return;
    for (auto& [id, object] : other->m_map) Add(object);
}

Handlable* HandlableContainer::Detach(int64_t id) {
    auto it = m_map.find(id);
    if (it == m_map.end()) return nullptr;
    Handlable* object = it->second;
    m_map.erase(it);
    return object;
}

void HandlableContainer::Erase(int64_t id) { KezDelete(Detach(id)); }

void HandlableContainer::Clear() {
    Map objects;
    objects.swap(m_map);
    for (auto& [id, object] : objects) KezDelete(object);
}

}  // namespace kez
