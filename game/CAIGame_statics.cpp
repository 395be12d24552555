// Definitions of the controller's statics and InitializeVariable, both from CAIGame_statics.inc.
#include <algorithm>
#include <type_traits>

#include "game/CAIGame.h"

#define QX_VALUE(type, name, start) type CAIGame::name = start;
#define QX_ARRAY(type, name, dims, start) type CAIGame::name dims = {};
#define QX_OBJECT(type, name) type CAIGame::name;
#include "game/CAIGame_statics.inc"
#undef QX_VALUE
#undef QX_ARRAY
#undef QX_OBJECT

const uint8_t CAIGame::__temp_order_1000[3] = {0, 1, 3};
const uint8_t CAIGame::__temp_order_0100[3] = {2, 1, 5};
const uint8_t CAIGame::__temp_order_0010[3] = {6, 7, 3};
const uint8_t CAIGame::__temp_order_0001[3] = {8, 7, 5};

namespace {

template <class A, class V>
void fillAll(A& array, V value)
{
    using E = std::remove_all_extents_t<A>;
    E* first = reinterpret_cast<E*>(&array);
    std::fill(first, first + sizeof(A) / sizeof(E), E(value));
}

}  // namespace

void CAIGame::InitializeVariable()
{
#define QX_VALUE(type, name, start) name = start;
#define QX_ARRAY(type, name, dims, start) fillAll(name, start);
#define QX_OBJECT(type, name)
#include "game/CAIGame_statics.inc"
#undef QX_VALUE
#undef QX_ARRAY
#undef QX_OBJECT
    __temp_size[0] = 256;
    // The level drawing's default optimisation: first two words clear.
    g_OptimizeFlag[0] = g_OptimizeFlag[1] = 0;
}
