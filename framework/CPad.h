// The key state of the game: 48 logical keys (0-47) with a held state and one-frame pressed,
// released and double-press flags. The game's touch regions raise the keys (KeyClick); the game
// asks the application object what happened. A flag raised during a frame stays set through that
// frame and the whole next one: the first UpdateKeyStatus ages it, the second clears it.
#pragma once

#include <cstdint>

class CPad {
public:
    static constexpr int KEY_COUNT = 48;

    CPad();
    virtual ~CPad() = default;

    virtual void OnKeyClick(int key, bool down) { (void)key, (void)down; }   // a hook; nothing here

    void KeyClick(int key, bool down);   // keys outside 0-47 are ignored
    void UpdateKeyStatus();              // once a frame, before the frame's logic
    void UpdateKeyStatusRemote(unsigned short);   // the ageing without the double-press count
    void ReadKey() {}
    void ReadKeyRemote(unsigned short) {}
    void UpdateCache() {}

    int IsKeyPressed(int key) const;     // 0 or 1; 0 outside 0-47
    int IsKeyHold(int key) const;
    int IsKeyReleased(int key) const;
    int IsKeyDoublePressed(int key) const;
    bool IsAnyKeyPressed() const;
    bool IsResetKeyHold() const;         // keys 5, 6, 7 and 8 all held
    void ClearKeyPress();
    void CheckKeyStatus(unsigned mask, unsigned key);

    uint16_t m_keyMask = 0;              // nothing sets it

private:
    struct SReleased {
        int32_t flag, aged;
    };
    struct SPressed {
        int32_t flag, aged, latch;
    };
    struct SDouble {
        int32_t flag, aged;
        uint16_t phase;    // 0 idle, 1 first press down, 2 released and waiting, 3 reported
        uint16_t frames;   // since the first press; saturates rather than wrapping
    };

    void TranslateControlMessage(int key, bool down);
    void Age(bool countFrames);
    static bool Valid(int key) { return unsigned(key) < unsigned(KEY_COUNT); }

    uint8_t m_reserved[4];
    int16_t m_held[KEY_COUNT];
    SReleased m_released[KEY_COUNT];
    SPressed m_pressed[KEY_COUNT];
    SDouble m_double[KEY_COUNT];
};
