// Integer fixed point with 8 fraction bits (1.0 = 256), framework angles of 256 units a turn with
// a table cosine, and a few integer helpers. The cosine table is the game's "COS.ARRAY" once the
// loading hands it in (Math_SetCosTable); until then a table computed here (round(256 cos(i pi/128)))
// answers, so nothing reads a missing table.
#pragma once

#include <cstdint>

inline int Math_IntToFixedPoint(int a) { return int(unsigned(a) << 8); }
inline int Math_FixedPointToInt(int a) { return (a + 128) >> 8; }   // a half goes up
int Math_FixedPoint_Multiply(int a, int b);
int Math_FixedPoint_Multiply_t(int a, int b);
int Math_FixedPoint_Divide(int a, int b);       // b = 0 gives +-0x7FFFFFFF, 0 for a = 0
int Math_FixedPoint_DotProduct(int a, int b, int c, int d);
int64_t Math_FixedPoint_DotProduct_t(int a, int b, int c, int d);
int64_t Math_FixedPoint_NormPow(int a, int b);
int Math_FixedPoint_Sqrt(float x);
int Math_FixedPoint_Norm(int a, int b);
inline int Math_FixedPoint_Add(int a, int b) { return a + b; }

int Math_DegreeToFixedPointAngle(int degrees);
extern int Math_Angle90, Math_Angle180, Math_Angle270, Math_Angle360;
int Math_Cos(int angle);
int Math_Sin(int angle);
int Math_Tan(int angle);                        // 0x7FFFFFFF where the cosine is 0
int Math_Atan(int x, int y);                    // 0..256

// The quarter-wave table, entries 0..64 (not owned; kept until replaced). A table of fewer than 65
// entries, or null, puts the computed table back.
void Math_SetCosTable(const int* table, int count);

int Math_Log2(int n);                           // floor log2 n; 0 for n <= 1
int Math_Rand(int a, int b);
// Positions 0..count-1 by ascending value, equal values in input order; at most 64 are sorted.
void Math_QuickSortIndices(const int* values, int* indices, int count);
void System_arraycopy(const void* src, int srcPos, void* dst, int dstPos, int length);
void MyItoa(wchar_t* buffer, int value);        // nothing for a null buffer
