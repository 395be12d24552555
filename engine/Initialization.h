// Engine-wide start and shutdown steps. Units register a step before main; the first init()
// runs every step with true in registration order, the matching last exit() runs them with
// false in reverse. The device calls init() when it is made and exit() when it goes.
#pragma once

#include <cstdint>
#include <vector>

namespace pravik {

using InitStep = void (*)(bool start);

extern std::int32_t InitializationCount;

std::vector<InitStep>& getInitializationSteps();   // created empty on first use
std::size_t registerInitStep(InitStep step);       // how many steps are now registered
bool init();                                       // true on the call that ran the steps
bool exit();                                       // true on the call that shut them down

} // namespace pravik
