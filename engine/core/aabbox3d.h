// Axis-aligned 3D box from MinEdge to MaxEdge.
#pragma once

#include <algorithm>

#include "engine/core/line3d.h"
#include "engine/core/vector3d.h"

namespace pravik::core {

template <typename T>
class aabbox3d {
public:
    vector3d<T> MinEdge{-1, -1, -1};
    vector3d<T> MaxEdge{1, 1, 1};

    constexpr aabbox3d() = default;
    constexpr aabbox3d(const vector3d<T>& min, const vector3d<T>& max) : MinEdge(min), MaxEdge(max) {}
    constexpr explicit aabbox3d(const vector3d<T>& p) : MinEdge(p), MaxEdge(p) {}
    constexpr aabbox3d(T minx, T miny, T minz, T maxx, T maxy, T maxz)
        : MinEdge(minx, miny, minz), MaxEdge(maxx, maxy, maxz) {}

    constexpr bool operator==(const aabbox3d& o) const { return MinEdge == o.MinEdge && MaxEdge == o.MaxEdge; }
    constexpr bool operator!=(const aabbox3d& o) const { return !(*this == o); }

    void reset(T x, T y, T z) { MaxEdge.set(x, y, z); MinEdge = MaxEdge; }
    void reset(const vector3d<T>& p) { MaxEdge = p; MinEdge = p; }
    void reset(const aabbox3d& b) { *this = b; }

    void addInternalPoint(const vector3d<T>& p) { addInternalPoint(p.X, p.Y, p.Z); }
    void addInternalPoint(T x, T y, T z)
    {
        MaxEdge.X = std::max(MaxEdge.X, x);
        MaxEdge.Y = std::max(MaxEdge.Y, y);
        MaxEdge.Z = std::max(MaxEdge.Z, z);
        MinEdge.X = std::min(MinEdge.X, x);
        MinEdge.Y = std::min(MinEdge.Y, y);
        MinEdge.Z = std::min(MinEdge.Z, z);
    }
    void addInternalBox(const aabbox3d& b)
    {
        addInternalPoint(b.MaxEdge);
        addInternalPoint(b.MinEdge);
    }

    constexpr vector3d<T> getCenter() const { return (MinEdge + MaxEdge) / static_cast<T>(2); }
    constexpr vector3d<T> getExtent() const { return MaxEdge - MinEdge; }
    constexpr bool isEmpty() const { return MinEdge == MaxEdge; }
    constexpr T getVolume() const
    {
        const vector3d<T> e = getExtent();
        return e.X * e.Y * e.Z;
    }

    constexpr bool isPointInside(const vector3d<T>& p) const
    {
        return p.X >= MinEdge.X && p.X <= MaxEdge.X && p.Y >= MinEdge.Y && p.Y <= MaxEdge.Y &&
               p.Z >= MinEdge.Z && p.Z <= MaxEdge.Z;
    }
    constexpr bool isPointTotalInside(const vector3d<T>& p) const
    {
        return p.X > MinEdge.X && p.X < MaxEdge.X && p.Y > MinEdge.Y && p.Y < MaxEdge.Y &&
               p.Z > MinEdge.Z && p.Z < MaxEdge.Z;
    }
    constexpr bool intersectsWithBox(const aabbox3d& o) const
    {
        return MinEdge.X <= o.MaxEdge.X && MinEdge.Y <= o.MaxEdge.Y && MinEdge.Z <= o.MaxEdge.Z &&
               MaxEdge.X >= o.MinEdge.X && MaxEdge.Y >= o.MinEdge.Y && MaxEdge.Z >= o.MinEdge.Z;
    }

    // Swaps coordinates so that MinEdge is the smaller corner.
    void repair()
    {
        if (MinEdge.X > MaxEdge.X) std::swap(MinEdge.X, MaxEdge.X);
        if (MinEdge.Y > MaxEdge.Y) std::swap(MinEdge.Y, MaxEdge.Y);
        if (MinEdge.Z > MaxEdge.Z) std::swap(MinEdge.Z, MaxEdge.Z);
    }

    // The eight corners; bit 0 of the index picks max X, bit 1 max Y, bit 2 max Z.
    void getEdges(vector3d<T>* edges) const
    {
        for (int i = 0; i < 8; ++i)
            edges[i].set((i & 1) ? MaxEdge.X : MinEdge.X, (i & 2) ? MaxEdge.Y : MinEdge.Y,
                         (i & 4) ? MaxEdge.Z : MinEdge.Z);
    }
};

using aabbox3df = aabbox3d<float>;

} // namespace pravik::core
