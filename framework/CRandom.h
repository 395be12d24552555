// The game's random generator: a 32-bit linear congruential generator (x 1664525 + 1013904223).
// The statics act on the most recently constructed generator; the application object embeds one
// that starts at 0, so every run draws the same sequence.
#pragma once

class CRandom {
public:
    CRandom();                       // state 0
    explicit CRandom(unsigned seed);
    ~CRandom();
    CRandom(const CRandom&) = delete;
    CRandom& operator=(const CRandom&) = delete;

    static CRandom* GetRandom();     // the newest generator; a fixed one of state 0 when none lives
    static int Random(int n);        // (state >> 16) mod n, unsigned; 0 for n = 0 without advancing
    static int Random(int a, int b); // a + (state >> 16) mod (b - a), unsigned; a for a = b
    static bool Probability(int percent);

    unsigned State() const { return m_state; }

    static CRandom* m_pRandom;

private:
    unsigned Next();

    unsigned m_state;
};
