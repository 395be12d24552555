#include "engine/COSOperator.h"

#include "engine/core/StringConversion.h"

namespace pravik {

COSOperator::COSOperator(const char* version) : m_version(core::stringc2stringw(version)) {}

} // namespace pravik
