#pragma once
// A k-d tree of boxed items for clustering triangles: the space halves on x, y, z in turn down
// to a fixed depth, and items live only in the leaves at that depth. Nodes come from a pool and
// are never freed one by one. The item type provides, found by argument lookup,
// lessThanPlane(item, value, axis), distanceKdTree(item, box), distanceKdTree(item, item),
// distanceKdTree(item, value, axis) (squared distances between centres) and operator==.
// Main thread only.

#include "engine/core/aabbox3d.h"
#include "engine/core/vector3d.h"

#include <boost/pool/object_pool.hpp>

#include <algorithm>
#include <queue>
#include <vector>

namespace pravik::core {

inline float axisOf(const vector3d<float>& v, unsigned axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }
inline void setAxis(vector3d<float>& v, unsigned axis, float value)
{
    (axis == 0 ? v.X : axis == 1 ? v.Y : v.Z) = value;
}

template <class Item>
class CKdTree {
public:
    struct SKdNode {
        std::vector<Item> Elements;
        float Split = 0.f;
        SKdNode* Lower = nullptr;
        SKdNode* Upper = nullptr;
        unsigned char Axis = 0;  // 0 x, 1 y, 2 z
    };
    // The search queue keeps its largest distance on top.
    struct SKdDistance {
        float Distance;
        const Item* Element;
        bool operator<(const SKdDistance& o) const { return Distance < o.Distance; }
    };

    CKdTree(const aabbox3d<float>& bounds, unsigned maximumDepth)
        : m_pool(32), m_maximumDepth(maximumDepth), m_bounds(bounds)
    {
        m_root.Axis = 0;
        m_root.Split = bounds.getCenter().X;
    }
    CKdTree(const CKdTree&) = delete;
    CKdTree& operator=(const CKdTree&) = delete;

    unsigned size() const { return m_count; }
    bool empty() const { return m_count == 0; }

    void add(const Item& item)
    {
        SKdNode* node = &m_root;
        aabbox3d<float> box = m_bounds;
        for (unsigned budget = m_maximumDepth; budget > 0; --budget) {
            const unsigned a = node->Axis;
            const float s = node->Split;
            const bool lower = lessThanPlane(item, s, a);  // a centre on the plane goes up
            SKdNode*& child = lower ? node->Lower : node->Upper;
            if (lower) setAxis(box.MaxEdge, a, s);
            else setAxis(box.MinEdge, a, s);
            if (!child) {
                child = m_pool.construct();
                child->Axis = (unsigned char)((a + 1) % 3);
                child->Split = axisOf(box.getCenter(), child->Axis);
            }
            node = child;
        }
        node->Elements.push_back(item);
        ++m_count;
    }

    // Every element with the item's number, from the leaf the item's centre leads to; the count removed.
    unsigned remove(const Item& item)
    {
        SKdNode* node = &m_root;
        for (unsigned budget = m_maximumDepth; budget > 0; --budget) {
            SKdNode* child = lessThanPlane(item, node->Split, node->Axis) ? node->Lower : node->Upper;
            if (!child) break;
            node = child;
        }
        auto& list = node->Elements;
        const auto end = std::remove_if(list.begin(), list.end(),
                                        [&](const Item& e) { return e == item; });
        const unsigned removed = unsigned(list.end() - end);
        list.erase(end, list.end());
        m_count -= removed;
        return removed;
    }

    // The element whose centre is farthest from the centre of the bounds (the first of equals); null when empty.
    const Item* findFarthest() const
    {
        const Item* best = nullptr;
        float bestDistance = -1.f;
        farthest(&m_root, m_maximumDepth, best, bestDistance);
        return best;
    }

    // Appends the k elements nearest to the item's centre (all when fewer), farthest first.
    void findKNearest(unsigned k, const Item& item, std::vector<Item>& result) const
    {
        if (k == 0) return;
        SSearch s{item, k, 0.f, {}};
        nearest(&m_root, m_maximumDepth, s);
        while (!s.queue.empty()) {
            result.push_back(*s.queue.top().Element);
            s.queue.pop();
        }
    }

private:
    struct SSearch {
        const Item& item;
        unsigned remaining;
        float bound;
        std::priority_queue<SKdDistance> queue;
    };

    void farthest(const SKdNode* node, unsigned budget, const Item*& best, float& bestDistance) const
    {
        if (budget == 0) {
            for (const Item& e : node->Elements) {
                const float d = distanceKdTree(e, m_bounds);
                if (d > bestDistance) {
                    bestDistance = d;
                    best = &e;
                }
            }
            return;
        }
        if (node->Lower) farthest(node->Lower, budget - 1, best, bestDistance);
        if (node->Upper) farthest(node->Upper, budget - 1, best, bestDistance);
    }

    void nearest(const SKdNode* node, unsigned budget, SSearch& s) const
    {
        if (budget == 0) {
            for (const Item& e : node->Elements) {
                const float d = distanceKdTree(s.item, e);
                if (s.remaining == 0) {
                    if (!(d < s.queue.top().Distance)) continue;
                    s.queue.pop();
                    s.bound = s.queue.empty() ? 0.f : s.queue.top().Distance;
                    ++s.remaining;
                }
                if (d > s.bound) s.bound = d;
                s.queue.push({d, &e});
                --s.remaining;
            }
            return;
        }
        const bool lowerIsNear = lessThanPlane(s.item, node->Split, node->Axis);
        const SKdNode* near = lowerIsNear ? node->Lower : node->Upper;
        const SKdNode* far = lowerIsNear ? node->Upper : node->Lower;
        if (near) nearest(near, budget - 1, s);
        if (far && !(s.remaining == 0 && !(distanceKdTree(s.item, node->Split, node->Axis) < s.bound)))
            nearest(far, budget - 1, s);
    }

    SKdNode m_root;
    boost::object_pool<SKdNode> m_pool;
    unsigned m_maximumDepth;
    aabbox3d<float> m_bounds;
    unsigned m_count = 0;
};

}  // namespace pravik::core
