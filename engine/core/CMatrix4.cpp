#include "engine/core/CMatrix4.h"

namespace pravik::core {

const CMatrix4<float> IdentityMatrix(EM4CONST_IDENTITY);

} // namespace pravik::core
