#pragma once
// Priority banks cap how many emitters of a kind play at once. A bank admits an emitter whose
// priority is not below its minimum while it holds fewer than its maximum; when full, its
// behaviour decides: 0 replace the oldest, 1 replace the earliest of the lowest priority below
// the newcomer's, 2 the same at or below, 3 (and others) refuse.
// Lock order: the bank lock before any emitter lock.

#include <vector>

#include "audio/Mutex.h"

namespace kez {

class EmitterObj;

enum PriorityBankBehavior : int {};

struct PriorityBankElement {
    EmitterObj* emitter = nullptr;  // not owned
    int priority = 0;
};

struct PriorityBank {
    int minPriority = -2147483647;
    int maxEmitters = 2147483647;
    PriorityBankBehavior behavior = PriorityBankBehavior(3);
    std::vector<PriorityBankElement> entries;  // oldest first
};

struct DebugChunk_bank {
    int bank, behavior, minPriority, maxEmitters, count;
};

class PriorityBankManager {
public:
    explicit PriorityBankManager(int count);

    bool SetPriorityBank(int bank, int minPriority, int maxEmitters, PriorityBankBehavior behavior);
    int AddPriorityBank(int minPriority, int maxEmitters, PriorityBankBehavior behavior);
    bool CanAddEmitter(int bank, int priority);
    bool AddEmitter(int bank, EmitterObj* emitter);     // admission; may stop a victim
    bool RemoveEmitter(int bank, EmitterObj* emitter);  // the flag of the emitter is not touched
    void Update();                                      // drops emitters that no longer play
    void GetDebugInfo(DebugChunk_bank* out);
    int BankCount();
    int EntryCount(int bank);

private:
    bool _CanAddEmitter(int bank, int priority);
    static void ClampMaximum(int maxEmitters, std::vector<PriorityBankElement>& entries);

    int m_count;
    std::vector<PriorityBank> m_banks;
    Mutex m_lock;
};

}  // namespace kez
