#pragma once
// Grouping the triangles of a large draw into spatially compact clusters, for the batch driver's
// segment splitting: a fixed grid of cells, greedy nearest-neighbour groups found with a k-d
// tree, or k-means. Items are (number, box) pairs; clusters map a key to item numbers (the grid
// gives list positions) and are walked in ascending key order. Main thread only.

#include "engine/core/aabbox3d.h"
#include "engine/core/vector3d.h"

#include <map>
#include <vector>

namespace pravik {

struct SKdItem {
    unsigned Number = 0;
    core::aabbox3d<float> Box;
};

inline core::vector3d<float> centreOf(const SKdItem& item) { return (item.Box.MinEdge + item.Box.MaxEdge) * 0.5f; }
inline bool operator==(const SKdItem& a, const SKdItem& b) { return a.Number == b.Number; }
// True when the item's centre lies strictly below value on the axis (0 x, 1 y, 2 z).
bool lessThanPlane(const SKdItem& item, float value, unsigned axis);
// Squared distances between centres, or from the centre to the plane at value on the axis.
float distanceKdTree(const SKdItem& item, const core::aabbox3d<float>& box);
float distanceKdTree(const SKdItem& item, const SKdItem& other);
float distanceKdTree(const SKdItem& item, float value, unsigned axis);

}  // namespace pravik

namespace pravik::video {

using SClusterMap = std::map<unsigned, std::vector<unsigned>>;

// Key: a hash of the cell's decimal coordinates (centre / cell size, truncated toward zero;
// a zero cell size gives cell 0 on that axis). Different cells may share a key.
void spatialGridClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, const core::vector3d<float>& cellSize);
// Seeds from the farthest remaining item, each with its vertexCountPerCluster / 3 nearest
// (at least one); keys 0, 1, 2, ...
void kdTreeClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, unsigned vertexCountPerCluster,
                      const core::aabbox3d<float>& bounds);
// Lloyd iterations from means spread over the halved bounds, with up to five rebalancings.
void kMeansClustering(SClusterMap& clusters, const std::vector<SKdItem>& items, unsigned clusterCount,
                      const core::aabbox3d<float>& bounds);
// Appends up to `remaining` random points, one per cell of the box halved `depth` times
// (axes in turn from `axis`), lower halves first.
void distributeMeans(unsigned depth, const core::aabbox3d<float>& box, std::vector<core::vector3d<float>>& means,
                     unsigned axis, unsigned& remaining);

}  // namespace pravik::video
