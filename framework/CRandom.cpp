#include "framework/CRandom.h"

CRandom* CRandom::m_pRandom = nullptr;

CRandom::CRandom() : CRandom(0u) {}

CRandom::CRandom(unsigned seed) : m_state(seed)
{
    m_pRandom = this;
}

CRandom::~CRandom()
{
    if (m_pRandom == this)
        m_pRandom = nullptr;
}

CRandom* CRandom::GetRandom()
{
    // A draw before any generator exists must not dereference null; it gets a generator of its own.
    if (!m_pRandom) {
        static CRandom* fallback = new CRandom(0u);
        m_pRandom = fallback;
    }
    return m_pRandom;
}

unsigned CRandom::Next()
{
    m_state = m_state * 1664525u + 1013904223u;
    return m_state >> 16;
}

int CRandom::Random(int n)
{
    if (n == 0)
        return 0;
    return int(GetRandom()->Next() % unsigned(n));
}

int CRandom::Random(int a, int b)
{
    if (a == b)
        return a;
    return int(unsigned(a) + GetRandom()->Next() % (unsigned(b) - unsigned(a)));
}

bool CRandom::Probability(int percent)
{
    return Random(0, 100) < percent;
}
