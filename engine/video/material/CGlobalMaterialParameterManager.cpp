#include "engine/video/material/CGlobalMaterialParameterManager.h"

#include <cstdio>
#include <cstring>

#include "engine/io/IAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"
#include "engine/os/Printer.h"

namespace pravik::video {

using detail::SShaderParameterTypeInspection;

namespace detail::globalmaterialparametermanager {

void SPropeties::onRemove(void* registry, unsigned short id)
{
    static_cast<CGlobalMaterialParameterManager*>(static_cast<Registry*>(registry))->dropParameter(id);
}

}  // namespace detail::globalmaterialparametermanager

CGlobalMaterialParameterManager::CGlobalMaterialParameterManager(IVideoDriver* driver) : m_driver(driver) {}

CGlobalMaterialParameterManager::~CGlobalMaterialParameterManager() { delete[] m_begin; }

const SShaderParameterDef* CGlobalMaterialParameterManager::getParameterDef(unsigned short id) const
{
    return isOccupied(id) ? &get(id) : nullptr;
}

unsigned short CGlobalMaterialParameterManager::addParameter(const char* name, E_SHADER_PARAMETER_TYPE type,
                                                             E_SHADER_PARAMETER_VALUE_TYPE valueType,
                                                             unsigned int arraySize, unsigned char subId)
{
    if (!name || !*name) {
        os::Printer::log("addParameter", "invalid parameter name", ELL_ERROR);
        return 0xffff;
    }
    const unsigned short existing = getId(name);
    if (existing != 0xffff) {
        os::Printer::log("Global parameter exists already", name, ELL_WARNING);
        return existing;
    }
    if (unsigned(type) >= ESPT_COUNT) {
        os::Printer::log(name, "unknown parameter type", ELL_ERROR);
        return 0xffff;
    }
    if (unsigned(valueType) >= ESPVT_COUNT) {
        os::Printer::log(name, "unknown parameter value type", ELL_ERROR);
        return 0xffff;
    }
    if (arraySize == 0) {
        os::Printer::log(name, "null array size", ELL_ERROR);
        return 0xffff;
    }
    const size_t used = getUsedSize();
    const size_t offset = SShaderParameterTypeInspection::alignUp(used, valueType);
    const size_t elementSize = SShaderParameterTypeInspection::ValueTypeSize[valueType];
    if (arraySize > (0xffffffffu - offset) / elementSize) {
        os::Printer::log(name, "array size too large", ELL_ERROR);
        return 0xffff;
    }
    const size_t needed = offset + elementSize * arraySize;
    size_t capacity = getCapacity();
    if (capacity < needed) {
        capacity = capacity ? capacity : 1;
        while (capacity < needed) capacity *= 2;
        unsigned char* block = new unsigned char[capacity];
        if (used) std::memcpy(block, m_begin, used);
        std::memset(block + used, 0, capacity - used);
        delete[] m_begin;
        m_begin = block;
        m_capacity = block + capacity;
    }
    m_end = m_begin + needed;
    m_packed = m_noHoles && capacity == needed;

    SShaderParameterDef d;
    d.name = name;
    d.type = type;
    d.valueType = valueType;
    d.subId = subId;
    d.arraySize = arraySize;
    d.index = (unsigned int)offset;
    return insert(d.name.c_str(), d, false);
}

bool CGlobalMaterialParameterManager::remove(unsigned short id)
{
    if (!detail::globalmaterialparametermanager::Registry::remove(id, false)) return false;
    m_noHoles = false;
    return true;
}

unsigned short CGlobalMaterialParameterManager::removeAll()
{
    const unsigned short removed = detail::globalmaterialparametermanager::Registry::removeAll(false);
    if (removed) m_noHoles = false;
    return removed;
}

unsigned short CGlobalMaterialParameterManager::removeUnused() { return removeAll(); }

void CGlobalMaterialParameterManager::clearParameters() { dropParameters(); }

void CGlobalMaterialParameterManager::pack()
{
    if (!m_noHoles || m_packed) return;
    const size_t used = getUsedSize();
    unsigned char* block = used ? new unsigned char[used] : nullptr;
    if (used) std::memcpy(block, m_begin, used);
    delete[] m_begin;
    m_begin = block;
    m_end = m_capacity = block + used;
    m_packed = true;
}

void CGlobalMaterialParameterManager::setAutoPacking(bool on)
{
    if (on == m_autoPacking) return;
    m_autoPacking = on;
    if (on) pack();
}

void CGlobalMaterialParameterManager::serializeAttributes(io::IAttributes* out,
                                                          io::SAttributeReadWriteOptions* options) const
{
    if (options && (options->Flags & io::EARWF_EXTENDED)) {
        IMaterialParameters::serializeAttributes(out);
        return;
    }
    out->push("Definitions");
    out->addInt("ParameterCount", size());
    unsigned position = 0;
    char group[32];
    for (auto it = idBegin(); it != idEnd(); ++it, ++position) {
        const SShaderParameterDef& d = get(it->second.id);
        std::snprintf(group, sizeof(group), "Param_%u", position);
        out->push(group);
        out->addString("Name", d.name.c_str());
        out->addEnum("Type", int(d.type), getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr));
        out->addEnum("ValueType", int(d.valueType),
                     getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr));
        out->addInt("ArraySize", int(d.arraySize));
        out->pop();
    }
    out->pop();
    out->push("Content");
    IMaterialParameters::serializeAttributes(out);
    out->pop();
}

namespace {
constexpr int kMaxFileArraySize = 1 << 16;
}

void CGlobalMaterialParameterManager::deserializeAttributes(io::IAttributes* in,
                                                            io::SAttributeReadWriteOptions* options)
{
    if (options && (options->Flags & io::EARWF_EXTENDED)) {
        IMaterialParameters::deserializeAttributes(in);
        return;
    }
    in->push("Definitions");
    // Each definition has its group, so the file's count cannot make us create groups it lacks.
    const int count = in->getInt("ParameterCount");
    const unsigned groups = in->getGroupsCount();
    char group[32];
    for (unsigned i = 0; count > 0 && i < unsigned(count) && i < groups; ++i) {
        std::snprintf(group, sizeof(group), "Param_%u", i);
        in->push(group);
        const core::stringc name = in->getString("Name");
        const int type = in->getEnum("Type", getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr));
        const int valueType =
            in->getEnum("ValueType", getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr));
        const int arraySize = in->getInt("ArraySize");
        if (arraySize > kMaxFileArraySize) {
            // No real file holds such an array; a hostile one must not make us allocate gigabytes.
            os::Printer::log(name.c_str(), "array size in file too large", ELL_ERROR);
            in->pop();
            continue;
        }
        // A missing or unknown name (-1) is refused by addParameter with its message.
        addParameter(name.c_str(), E_SHADER_PARAMETER_TYPE(type < 0 ? 0xffff : type),
                     E_SHADER_PARAMETER_VALUE_TYPE(valueType < 0 ? 0xff : valueType),
                     arraySize < 0 ? 0u : unsigned(arraySize), 0xff);
        in->pop();
    }
    in->pop();
    in->push("Content");
    IMaterialParameters::deserializeAttributes(in);
    in->pop();
}

}  // namespace pravik::video
