#include "framework/FixedPointMath.h"

#include "framework/CRandom.h"

#include <algorithm>
#include <cmath>
#include <cstring>

int Math_Angle90 = Math_DegreeToFixedPointAngle(90);
int Math_Angle180 = Math_DegreeToFixedPointAngle(180);
int Math_Angle270 = Math_DegreeToFixedPointAngle(270);
int Math_Angle360 = Math_DegreeToFixedPointAngle(360);

namespace {

struct SComputedCos {
    int entries[65];
    SComputedCos()
    {
        for (int i = 0; i <= 64; ++i)
            entries[i] = int(std::lround(256.0 * std::cos(i * 3.14159265358979323846 / 128.0)));
    }
};

const int* computedCos()
{
    static const SComputedCos table;
    return table.entries;
}

const int* s_cosTable = nullptr;
bool s_atanBuilt = false;
int s_atanTable[257];

const int* cosTable()
{
    return s_cosTable ? s_cosTable : computedCos();
}

void buildAtanTable()
{
    for (int i = 0; i <= 256; ++i) {
        int lo = 0, hi = 64;   // tan(lo) <= i always holds (tan 0 = 0)
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (Math_Tan(mid) <= i)
                lo = mid;
            else
                hi = mid - 1;
        }
        s_atanTable[i] = lo;
    }
    s_atanBuilt = true;
}

} // namespace

int Math_FixedPoint_Multiply(int a, int b)
{
    return int((int64_t(a) * b + 128) >> 8);
}

int Math_FixedPoint_Multiply_t(int a, int b)
{
    return Math_FixedPoint_Multiply(a, b);
}

int Math_FixedPoint_Divide(int a, int b)
{
    if (b == 0)
        return a == 0 ? 0 : (a > 0 ? 0x7FFFFFFF : -0x7FFFFFFF);
    const int q = int(int64_t(a) * 512 / b);
    return int(unsigned(q) + 1u) >> 1;
}

int Math_FixedPoint_DotProduct(int a, int b, int c, int d)
{
    return int(unsigned(Math_FixedPoint_Multiply(a, c)) + unsigned(Math_FixedPoint_Multiply(b, d)));
}

int64_t Math_FixedPoint_DotProduct_t(int a, int b, int c, int d)
{
    return int64_t(Math_FixedPoint_Multiply(a, c)) + Math_FixedPoint_Multiply(b, d);
}

int64_t Math_FixedPoint_NormPow(int a, int b)
{
    return (int64_t(a) * a + int64_t(b) * b + 128) >> 8;
}

int Math_FixedPoint_Sqrt(float x)
{
    return int(std::sqrt(x / 256.0f) * 256.0f);
}

int Math_FixedPoint_Norm(int a, int b)
{
    return Math_FixedPoint_Sqrt(((float)a * a + (float)b * b + 128.0f) / 256.0f);
}

int Math_DegreeToFixedPointAngle(int degrees)
{
    return degrees * 256 / 360;
}

int Math_Cos(int angle)
{
    const int* t = cosTable();
    const int m = int(unsigned(angle < 0 ? -int64_t(angle) : angle) & 255u);
    if (m <= 64)
        return t[m];
    if (m < 128)
        return -t[128 - m];
    if (m <= 192)
        return -t[m - 128];
    return t[256 - m];
}

int Math_Sin(int angle)
{
    return Math_Cos(Math_Angle90 - angle);
}

int Math_Tan(int angle)
{
    const int c = Math_Cos(angle);
    if (c == 0)
        return 0x7FFFFFFF;
    return Math_Sin(angle) * 256 / c;
}

void Math_SetCosTable(const int* table, int count)
{
    s_cosTable = (table && count >= 65) ? table : nullptr;
    s_atanBuilt = false;   // built from the cosine, so it follows the table
}

int Math_Atan(int x, int y)
{
    if (!s_atanBuilt)
        buildAtanTable();
    if (x == 0)
        return y > 0 ? 64 : (y == 0 ? 0 : 192);
    const int64_t ax = x < 0 ? -int64_t(x) : x, ay = y < 0 ? -int64_t(y) : y;
    const int64_t small = std::min(ax, ay), large = std::max(ax, ay);
    const int r = s_atanTable[(small << 8) / large];
    if (x > 0 && y >= 0)
        return ax >= ay ? r : 64 - r;
    if (x > 0)
        return ax >= ay ? 256 - r : 192 + r;
    if (y >= 0)
        return ay <= ax ? 128 - r : 64 + r;
    return ax >= ay ? 128 + r : 192 - r;
}

int Math_Log2(int n)
{
    int i = 0;
    while (i < 31 && (n >> i) > 1)
        ++i;
    return i;
}

int Math_Rand(int a, int b)
{
    return CRandom::Random(a, b);
}

void Math_QuickSortIndices(const int* values, int* indices, int count)
{
    count = std::min(count, 64);
    if (count <= 0)
        return;
    int copy[64];
    for (int i = 0; i < count; ++i) {
        copy[i] = values[i];
        indices[i] = i;
    }
    for (int pass = 0; pass < count - 1; ++pass)
        for (int i = 0; i + 1 < count - pass; ++i)
            if (copy[i] > copy[i + 1]) {
                std::swap(copy[i], copy[i + 1]);
                std::swap(indices[i], indices[i + 1]);
            }
}

void System_arraycopy(const void* src, int srcPos, void* dst, int dstPos, int length)
{
    if (length > 0)
        std::memmove(static_cast<char*>(dst) + dstPos, static_cast<const char*>(src) + srcPos, std::size_t(length));
}

void MyItoa(wchar_t* buffer, int value)
{
    if (!buffer)
        return;
    int64_t magnitude = value;
    int n = 0;
    if (magnitude < 0) {
        buffer[n++] = L'-';
        magnitude = -magnitude;
    }
    wchar_t digits[12];
    int d = 0;
    do {
        digits[d++] = wchar_t(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (d)
        buffer[n++] = digits[--d];
    buffer[n] = 0;
}
