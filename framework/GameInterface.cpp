#include "framework/GameInterface.h"

namespace {
IGameInterface s_nothing;
IGameInterface* s_game = nullptr;
} // namespace

IGameInterface& GameInterface()
{
    return s_game ? *s_game : s_nothing;
}

void SetGameInterface(IGameInterface* game)
{
    s_game = game;
}
