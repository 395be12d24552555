#include "audio/PriorityBankManager.h"

#include "audio/EmitterObj.h"

namespace kez {

PriorityBankManager::PriorityBankManager(int count) : m_count(count < 0 ? 0 : count), m_banks(size_t(m_count)) {}

// Room for the maximum is reserved up to a sane bound; a huge maximum must not allocate gigabytes.
void PriorityBankManager::ClampMaximum(int maxEmitters, std::vector<PriorityBankElement>& entries) {
    if (maxEmitters > 0) entries.reserve(size_t(maxEmitters < 1024 ? maxEmitters : 1024));
}

bool PriorityBankManager::SetPriorityBank(int bank, int minPriority, int maxEmitters, PriorityBankBehavior b) {
    MutexLock l(m_lock);
    if (bank < 0 || bank >= m_count) return false;
    PriorityBank& pb = m_banks[size_t(bank)];
    pb.minPriority = minPriority;
    pb.maxEmitters = maxEmitters;
    pb.behavior = b;
    ClampMaximum(maxEmitters, pb.entries);
    return true;
}

int PriorityBankManager::AddPriorityBank(int minPriority, int maxEmitters, PriorityBankBehavior b) {
    MutexLock l(m_lock);
    PriorityBank pb;
    pb.minPriority = minPriority;
    pb.maxEmitters = maxEmitters;
    pb.behavior = b;
    ClampMaximum(maxEmitters, pb.entries);
    m_banks.push_back(std::move(pb));
    return m_count++;
}

bool PriorityBankManager::CanAddEmitter(int bank, int priority) {
    MutexLock l(m_lock);
    return _CanAddEmitter(bank, priority);
}

bool PriorityBankManager::_CanAddEmitter(int bank, int p) {
    if (bank < 0 || bank >= m_count) return false;
    const PriorityBank& pb = m_banks[size_t(bank)];
    if (p < pb.minPriority) return false;
    if (int(pb.entries.size()) < pb.maxEmitters) return true;
    switch (int(pb.behavior)) {
        case 0: return true;
        case 1:
            for (const auto& e : pb.entries) if (e.priority < p) return true;
            return false;
        case 2:
            for (const auto& e : pb.entries) if (e.priority <= p) return true;
            return false;
        default: return false;
    }
}

bool PriorityBankManager::AddEmitter(int bank, EmitterObj* emitter) {
    MutexLock l(m_lock);
    if (!emitter || bank < 0 || bank >= m_count || emitter->IsInPriorityBank()) return false;
    const int p = emitter->GetPriority();
    if (!_CanAddEmitter(bank, p)) return false;
    PriorityBank& pb = m_banks[size_t(bank)];
    const int behavior = int(pb.behavior);
    if (behavior == 3 || int(pb.entries.size()) < pb.maxEmitters) {
        pb.entries.push_back({emitter, p});
        return true;
    }
    int victim = -1;
    if (behavior == 0) {
        // A bank of maximum 0 that holds nothing has no oldest: admit without a victim.
        victim = pb.entries.empty() ? -1 : 0;
    } else if (behavior == 1 || behavior == 2) {
        int minimum = p;
        for (int i = 0; i < int(pb.entries.size()); ++i) {
            const int q = pb.entries[size_t(i)].priority;
            if (q < minimum || (behavior == 2 && victim < 0 && q == minimum)) {
                victim = i;
                minimum = q;
            }
        }
        if (victim < 0) return false;
    } else {
        return false;
    }
    if (victim >= 0) {
        if (EmitterObj* v = pb.entries[size_t(victim)].emitter) {
            v->SetInPriorityBank(false);
            v->Stop(0.0f);
        }
        pb.entries.erase(pb.entries.begin() + victim);
    }
    pb.entries.push_back({emitter, p});
    return true;
}

bool PriorityBankManager::RemoveEmitter(int bank, EmitterObj* emitter) {
    MutexLock l(m_lock);
    if (!emitter || bank < 0 || bank >= m_count) return false;
    auto& entries = m_banks[size_t(bank)].entries;
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->emitter == emitter) {
            entries.erase(it);
            return true;
        }
    return false;
}

void PriorityBankManager::Update() {
    MutexLock l(m_lock);
    for (auto& pb : m_banks) {
        for (size_t i = 0; i < pb.entries.size();) {
            EmitterObj* e = pb.entries[i].emitter;
            if (!e) {
                pb.entries.erase(pb.entries.begin() + long(i));
            } else if (!e->IsPlaying()) {
                e->SetInPriorityBank(false);
                pb.entries.erase(pb.entries.begin() + long(i));
            } else {
                ++i;
            }
        }
    }
}

void PriorityBankManager::GetDebugInfo(DebugChunk_bank* out) {
    if (!out) return;
    MutexLock l(m_lock);
    for (int i = 0; i < m_count; ++i) {
        const PriorityBank& pb = m_banks[size_t(i)];
        out[i] = {i, int(pb.behavior), pb.minPriority, pb.maxEmitters, int(pb.entries.size())};
    }
}

int PriorityBankManager::BankCount() { MutexLock l(m_lock); return m_count; }

int PriorityBankManager::EntryCount(int bank) {
    MutexLock l(m_lock);
    return (bank < 0 || bank >= m_count) ? 0 : int(m_banks[size_t(bank)].entries.size());
}

}  // namespace kez
