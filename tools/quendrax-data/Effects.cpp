#include "Effects.h"

#include "tools/formats/SampleEffects.h"

namespace qdata {

void addEffects(DataFolder& folder)
{
    for (auto& [path, bytes] : formats::effects::sampleEffectFiles())
        folder.put(path, std::move(bytes));
}

}  // namespace qdata
