#pragma once
// The byte order a writer is asked for. On this little-endian machine EEND_BIG reverses every
// value wider than a byte; the other two write the machine's order.

namespace pravik::os {

enum E_ENDIAN : unsigned { EEND_NATIVE = 0, EEND_BIG = 1, EEND_LITTLE = 2 };

}  // namespace pravik::os
