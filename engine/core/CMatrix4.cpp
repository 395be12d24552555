#include "engine/core/CMatrix4.h"

namespace pravik::core {

// Constant-initialised, so it is whole even for other units' static initialisers.
constinit const CMatrix4<float> IdentityMatrix(EM4CONST_IDENTITY);

} // namespace pravik::core
