#include "engine/video/SegmentClustering.h"

#include "engine/core/CKdTree.h"
#include "engine/os/StandardRandom.h"

#include <cfloat>
#include <cstdint>
#include <limits>
#include <string>

namespace pravik {

bool lessThanPlane(const SKdItem& item, float value, unsigned axis) { return core::axisOf(centreOf(item), axis) < value; }

float distanceKdTree(const SKdItem& item, const core::aabbox3d<float>& box)
{
    return centreOf(item).getDistanceFromSQ(box.getCenter());
}

float distanceKdTree(const SKdItem& item, const SKdItem& other) { return centreOf(item).getDistanceFromSQ(centreOf(other)); }

float distanceKdTree(const SKdItem& item, float value, unsigned axis)
{
    const float d = core::axisOf(centreOf(item), axis) - value;
    return d * d;
}

}  // namespace pravik

namespace pravik::video {

namespace {

unsigned bitLength(unsigned v)
{
    unsigned n = 0;
    for (; v; v >>= 1) ++n;
    return n;
}

int cellOf(float centre, float size) { return size == 0.f ? 0 : int(centre / size); }

unsigned hashText(const std::string& text)
{
    uint32_t h = 0;
    for (char c : text) h ^= uint32_t(int32_t(static_cast<signed char>(c))) + 0x9E3779B9u + (h << 6) + (h >> 2);
    return h;
}

}  // namespace

void spatialGridClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, const core::vector3d<float>& cellSize)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        const core::vector3d<float> c = centreOf(items[i]);
        text = std::to_string(cellOf(c.X, cellSize.X));
        text += std::to_string(cellOf(c.Y, cellSize.Y));
        text += std::to_string(cellOf(c.Z, cellSize.Z));
        clusters[hashText(text)].push_back(unsigned(i));
    }
}

void kdTreeClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, unsigned vertexCountPerCluster,
                      const core::aabbox3d<float>& bounds)
{
    const unsigned n = unsigned(items.size());
    const unsigned depth = vertexCountPerCluster ? bitLength(3u * n / vertexCountPerCluster) : 0u;
    core::CKdTree<SKdItem> tree(bounds, depth);
    for (const SKdItem& item : items) tree.add(item);
    // Fewer than three vertices a cluster would ask for no neighbours at all: one at least.
    const unsigned k = std::max(1u, vertexCountPerCluster / 3);
    std::vector<SKdItem> found;
    for (unsigned key = 0; !tree.empty(); ++key) {
        const SKdItem seed = *tree.findFarthest();
        tree.remove(seed);
        found.clear();
        tree.findKNearest(k, seed, found);
        std::vector<unsigned>& list = clusters[key];
        list.push_back(seed.Number);
        for (const SKdItem& f : found) {
            list.push_back(f.Number);
            tree.remove(f);
        }
    }
}

void distributeMeans(unsigned depth, const core::aabbox3d<float>& box, std::vector<core::vector3d<float>>& means,
                     unsigned axis, unsigned& remaining)
{
    if (remaining == 0) return;
    if (depth == 0) {
        const float x = float(os::standardRand()) / 32767.f;
        const float y = float(os::standardRand()) / 32767.f;
        const float z = float(os::standardRand()) / 32767.f;
        const core::vector3d<float> e = box.MaxEdge - box.MinEdge;
        means.emplace_back(box.MinEdge.X + x * e.X, box.MinEdge.Y + y * e.Y, box.MinEdge.Z + z * e.Z);
        --remaining;
        return;
    }
    const float middle = core::axisOf(box.getCenter(), axis);
    core::aabbox3d<float> lower = box, upper = box;
    core::setAxis(lower.MaxEdge, axis, middle);
    core::setAxis(upper.MinEdge, axis, middle);
    distributeMeans(depth - 1, lower, means, (axis + 1) % 3, remaining);
    distributeMeans(depth - 1, upper, means, (axis + 1) % 3, remaining);
}

void kMeansClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, unsigned clusterCount,
                      const core::aabbox3d<float>& bounds)
{
    const unsigned n = unsigned(items.size());
    if (n == 0) return;
    unsigned b = 1, log2b = 0;
    while (b < clusterCount) b <<= 1, ++log2b;
    const unsigned p = std::max(1u, n / b);  // fewer items than clusters: one a cluster at least
    auto depthFor = [](unsigned count) {
        unsigned d = 0;
        while ((1u << d) < count) ++d;
        return d;
    };

    std::vector<core::vector3d<float>> means;
    unsigned unlimited = std::numeric_limits<unsigned>::max();
    distributeMeans(log2b, bounds, means, 0, unlimited);
    std::vector<unsigned> assigned(n, 0);
    std::vector<unsigned> counts;
    std::vector<core::aabbox3d<float>> boxes;
    std::vector<core::vector3d<float>> sums;
    for (unsigned rebalancing = 0;;) {
        double h = std::numeric_limits<double>::max();
        // Lloyd steps; a cap keeps a case that never settles from running forever.
        for (unsigned step = 0; h > 0.01 && step < 1000; ++step) {
            const size_t m = means.size();
            counts.assign(m, 0);
            boxes.assign(m, core::aabbox3d<float>());
            sums.assign(m, core::vector3d<float>());
            for (unsigned i = 0; i < n; ++i) {
                const core::vector3d<float> c = centreOf(items[i]);
                unsigned best = 0;
                float bestDistance = FLT_MAX;
                for (unsigned j = 0; j < m; ++j) {
                    const float d = c.getDistanceFromSQ(means[j]);
                    if (d < bestDistance) bestDistance = d, best = j;
                }
                assigned[i] = best;
                if (counts[best]++ == 0) boxes[best] = items[i].Box;
                else boxes[best].addInternalBox(items[i].Box);
                sums[best] += c;
            }
            h = 0;
            for (unsigned j = 0; j < m; ++j) {
                if (!counts[j]) continue;
                const core::vector3d<float> moved = sums[j] * (1.f / float(counts[j]));
                h += moved.getDistanceFromSQ(means[j]);
                means[j] = moved;
            }
        }
        if (++rebalancing > 5) break;
        std::vector<core::vector3d<float>> rebuilt;
        for (size_t j = 0; j < counts.size() && rebuilt.size() < b; ++j) {
            unsigned share = counts[j] / p;
            distributeMeans(depthFor(share), boxes[j], rebuilt, 0, share);
        }
        if (rebuilt.size() < b) {
            unsigned missing = unsigned(b - rebuilt.size());
            distributeMeans(depthFor(missing), bounds, rebuilt, 0, missing);
        }
        if (rebuilt.size() > b) rebuilt.resize(b);
        means.swap(rebuilt);
    }
    for (unsigned i = 0; i < n; ++i) clusters[assigned[i]].push_back(i);
}

}  // namespace pravik::video
