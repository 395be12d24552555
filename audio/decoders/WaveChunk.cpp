#include "audio/decoders/WaveChunk.h"

#include <cstring>

#include "audio/KezMemory.h"

namespace kez {

bool DataNode::AddNode(int nodeOffset, int nodeSize) {
    DataNode* last = this;
    while (last->next) last = last->next;
    DataNode* node = KezNew<DataNode>();
    if (!node) return false;
    node->offset = nodeOffset;
    node->size = nodeSize;
    last->next = node;
    return true;
}

void DataNode::DropNodes() {
    DataNode* node = next;
    while (node) {
        DataNode* following = node->next;
        KezDelete(node);
        node = following;
    }
    next = nullptr;
}

bool WaveChunk::IsWave() const {
    return std::memcmp(riffId, "RIFF", 4) == 0 && std::memcmp(formType, "WAVE", 4) == 0;
}

}  // namespace kez
