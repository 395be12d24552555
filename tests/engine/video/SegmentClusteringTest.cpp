// The k-d tree and the three ways of grouping triangles into clusters.
#include "engine/core/CKdTree.h"
#include "engine/os/StandardRandom.h"
#include "engine/video/SegmentClustering.h"

#include <gtest/gtest.h>

#include <set>

namespace pravik::video {
namespace {

using core::aabbox3d;
using core::vector3d;

SKdItem at(unsigned number, float x, float y, float z, float half = 0.5f)
{
    return {number, aabbox3d<float>(x - half, y - half, z - half, x + half, y + half, z + half)};
}

std::vector<unsigned> numbers(const std::vector<SKdItem>& items)
{
    std::vector<unsigned> out;
    for (const SKdItem& i : items) out.push_back(i.Number);
    return out;
}

const aabbox3d<float> kBounds(-10, -10, -10, 10, 10, 10);

TEST(KdTree, FarthestAndNearestOverEveryDepth)
{
    for (unsigned depth : {0u, 1u, 3u}) {
        SCOPED_TRACE(depth);
        core::CKdTree<SKdItem> tree(kBounds, depth);
        EXPECT_EQ(tree.findFarthest(), nullptr);
        tree.add(at(7, 1, 1, 1));
        ASSERT_NE(tree.findFarthest(), nullptr);
        EXPECT_EQ(tree.findFarthest()->Number, 7u);
        tree.add(at(8, -9, 0, 0));
        tree.add(at(9, 3, 0, 0));
        tree.add(at(10, 9, 0, 0));  // as far as 8: the first visited (lower side) wins
        EXPECT_EQ(tree.size(), 4u);
        EXPECT_EQ(tree.findFarthest()->Number, 8u);

        std::vector<SKdItem> found;
        tree.findKNearest(2, at(99, 4, 0, 0), found);
        EXPECT_EQ(numbers(found), (std::vector<unsigned>{7, 9}));  // farthest first
        found.clear();
        tree.findKNearest(10, at(99, 4, 0, 0), found);  // more than it holds: all of them
        EXPECT_EQ(numbers(found), (std::vector<unsigned>{8, 10, 7, 9}));

        EXPECT_EQ(tree.remove(at(9, 3, 0, 0)), 1u);
        EXPECT_EQ(tree.remove(at(9, 3, 0, 0)), 0u);
        EXPECT_EQ(tree.size(), 3u);
    }
}

TEST(KdTree, ACentreOnTheSplitPlaneGoesUpOnAddAndRemove)
{
    core::CKdTree<SKdItem> tree(kBounds, 1);  // the root splits on x = 0
    tree.add(at(1, 0, 5, 5));
    tree.add(at(2, -0.001f, 5, 5));
    std::vector<SKdItem> found;
    // A search from far down the upper side with one slot, pruned: only the upper leaf is near.
    tree.findKNearest(1, at(99, 0.5f, 5, 5), found);
    EXPECT_EQ(numbers(found), (std::vector<unsigned>{1}));
    EXPECT_EQ(tree.remove(at(1, 0, 0, 0)), 1u);
    EXPECT_EQ(tree.size(), 1u);
}

TEST(SegmentClustering, KdTreeGroupsTwelveTrianglesIntoThreeOfFour)
{
    // Three tight groups of four far apart.
    std::vector<SKdItem> items;
    const float centres[3] = {-8, 0, 8};
    for (unsigned g = 0; g < 3; ++g)
        for (unsigned i = 0; i < 4; ++i) items.push_back(at(g * 4 + i, centres[g] + 0.1f * float(i), 0, 0, 0.05f));
    SClusterMap clusters;
    kdTreeClustering(clusters, items, 9, kBounds);
    ASSERT_EQ(clusters.size(), 3u);
    std::set<std::set<unsigned>> groups;
    for (const auto& [key, list] : clusters) {
        EXPECT_LT(key, 3u);
        EXPECT_EQ(list.size(), 4u);
        groups.insert(std::set<unsigned>(list.begin(), list.end()));
    }
    EXPECT_EQ(groups, (std::set<std::set<unsigned>>{{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}}));

    // Fewer than three vertices a cluster still takes one neighbour with each seed.
    clusters.clear();
    kdTreeClustering(clusters, items, 2, kBounds);
    EXPECT_EQ(clusters.size(), 6u);
}

TEST(SegmentClustering, GridCellsTruncateTowardZeroAndZeroSizeIsOneCell)
{
    const std::vector<SKdItem> items = {at(0, 5, 5, 5), at(1, 9, 9, 9), at(2, -5, 5, 5), at(3, 15, 5, 5)};
    SClusterMap clusters;
    spatialGridClustering(clusters, items, {10, 10, 10});
    ASSERT_EQ(clusters.size(), 2u);
    size_t sizes[2] = {clusters.begin()->second.size(), std::next(clusters.begin())->second.size()};
    EXPECT_EQ(std::max(sizes[0], sizes[1]), 3u);
    clusters.clear();
    spatialGridClustering(clusters, items, {0, 10, 10});  // x ignored: every item in one cell
    ASSERT_EQ(clusters.size(), 1u);
    EXPECT_EQ(clusters.begin()->second, (std::vector<unsigned>{0, 1, 2, 3}));
}

TEST(SegmentClustering, MeansSpreadOneToACellUpToTheCount)
{
    os::seedStandardRand(1);
    std::vector<vector3d<float>> means;
    unsigned remaining = 3;
    distributeMeans(2, aabbox3d<float>(0, 0, 0, 4, 4, 4), means, 0, remaining);
    ASSERT_EQ(means.size(), 3u);
    EXPECT_EQ(remaining, 0u);
    // Lower x half split on y, then the upper x half's lower y quarter.
    const aabbox3d<float> quarters[3] = {{0, 0, 0, 2, 2, 4}, {0, 2, 0, 2, 4, 4}, {2, 0, 0, 4, 2, 4}};
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(quarters[i].isPointInside(means[size_t(i)])) << i;

    // k-means of two far groups keeps them apart.
    std::vector<SKdItem> items;
    for (unsigned i = 0; i < 8; ++i) items.push_back(at(i, i < 4 ? -8.f + 0.1f * float(i) : 8.f - 0.1f * float(i), 0, 0));
    SClusterMap clusters;
    kMeansClustering(clusters, items, 2, kBounds);
    size_t total = 0;
    for (const auto& [key, list] : clusters) {
        total += list.size();
        for (unsigned i : list) EXPECT_EQ(i < 4, list.front() < 4);
    }
    EXPECT_EQ(total, 8u);
}

}  // namespace
}  // namespace pravik::video
