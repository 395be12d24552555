#include "engine/Initialization.h"

namespace pravik {

std::int32_t InitializationCount = 0;

std::vector<InitStep>& getInitializationSteps()
{
    static std::vector<InitStep> steps;
    return steps;
}

std::size_t registerInitStep(InitStep step)
{
    auto& steps = getInitializationSteps();
    steps.push_back(step);
    return steps.size();
}

bool init()
{
    if (InitializationCount == 0)
        for (InitStep step : getInitializationSteps())
            step(true);
    return ++InitializationCount == 1;
}

bool exit()
{
    // An exit without a matching init would otherwise shut down what never started.
    if (InitializationCount <= 0)
        return false;
    if (InitializationCount == 1) {
        const auto& steps = getInitializationSteps();
        for (auto it = steps.rbegin(); it != steps.rend(); ++it)
            (*it)(false);
    }
    return --InitializationCount == 0;
}

} // namespace pravik
