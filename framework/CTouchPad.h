// The multi-touch tracker: turns the shell's per-finger events (already scaled into a 320x480
// input space) into the game's pointer calls in logic space, keeps every event visible for one
// frame in 20 slots, and lists the fingers down. While exactly one finger is down it drives the
// racket; a second finger neither moves it nor drags the pointer, and lifting the first hands the
// racket to the other at the position it pressed.
#pragma once

#include <list>

class CTouchPad {
public:
    static constexpr int SLOT_COUNT = 20;
    enum { KIND_PRESS = 1, KIND_RELEASE = 2, KIND_MOVE = 3, KIND_CANCEL = 4 };

    struct SEvent {
        int x = 0, y = 0;          // input space
        void* id = nullptr;
        int kind = 0;
        int value = 1;
        bool aged = false;
        bool live = false;
    };
    struct SFinger {
        int zero = 0;
        void* id = nullptr;
        int x = 0, y = 0;          // logic space, where it pressed
    };
    struct SRect {
        int x1, y1, x2, y2;        // inclusive
    };

    void PadTouchEvent(int x, int y, void* id, int value);
    void PadMoveEvent(int x, int y, void* id);
    void PadUntouchEvent(int x, int y, void* id, int value);
    void PadCancelEvent(int x, int y, void* id);
    void Update();                 // once a frame: events posted before it expire at the next
    void Clear();
    void Pause();                  // forgets every finger

    // Over the live slots, 19 down to 0: the first match's position, or null. A null id matches all.
    int* CheckClicked();
    int* CheckClickedInRegion(const SRect& r);
    int* CheckUnClicked(void* id);
    int* CheckUnClickedInRegion(const SRect& r, void* id);
    int* CheckMoved(void* id);
    int* CheckMovedInRegion(const SRect& r, void* id);
    int* CheckUnMovedInRegion(const SRect& r);
    void GetCoorRate(float& rx, float& ry) const;

    int LiveCount() const { return m_liveCount; }
    const SEvent& Slot(int i) const { return m_slots[i]; }
    const std::list<SFinger>& Fingers() const { return m_fingers; }

    static int m_nLastX, m_nLastY;

private:
    // Records the event and answers its logic position.
    void Record(int x, int y, void* id, int kind, int value, int& lx, int& ly);
    template <typename Test>
    int* Find(Test test);

    int m_liveCount = 0;
    SEvent m_slots[SLOT_COUNT];
    std::list<SFinger> m_fingers;
};
