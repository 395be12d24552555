#pragma once
// A game interface whose readings a test sets; installed for the life of the object.

#include "framework/GameInterface.h"

namespace test {

struct GameStub : IGameInterface {
    GameStub() { SetGameInterface(this); }
    ~GameStub() override { SetGameInterface(nullptr); }

    int CurrentLocation() override { return location; }
    int FrameDT() override { return frameDT; }
    CAISprite* Sprite(int slot) override { return slot >= 0 && slot < 64 ? sprites[slot] : nullptr; }
    bool DontUseAlphaBlend() override { return dontUseAlphaBlend; }
    int RenderTargetHeight() override { return renderTargetHeight; }
    int StateCurrent() override { return state; }
    int GetLanguage() override { return language; }
    bool UseWestDigits() override { return westDigits; }
    bool InLevel() override { return inLevel; }
    int Confirm() override { return confirm; }
    CAISprite* FontSprite(int id) override { return id >= 0 && id < 16 ? fonts[id] : nullptr; }

    int location = 0, frameDT = 0, renderTargetHeight = 0, state = 0, language = 0, confirm = 0;
    bool dontUseAlphaBlend = false, westDigits = false, inLevel = false;
    CAISprite* sprites[64] = {};
    CAISprite* fonts[16] = {};
};

}  // namespace test
