#include <gtest/gtest.h>

#include <cmath>

#include "engine/video/gl/SphereMapTexCoords.h"

using namespace pravik;
using namespace pravik::video;
using v2 = core::vector2d<float>;
using v3 = core::vector3d<float>;

TEST(SphereMap, ReflectionTable)
{
    core::CMatrix4<float> identity;
    core::CMatrix4<float> doubleScale;
    doubleScale.setScale({2, 2, 2});
    const float r = 1.0f / std::sqrt(2.0f);
    const struct {
        const char* why;
        v3 position, normal;
        const core::CMatrix4<float>* normalMatrix;
        v2 expected;
    } kCases[] = {
        {"facing the viewer", {0, 0, -1}, {0, 0, 1}, nullptr, {0.5f, 0.5f}},
        {"at the eye", {0, 0, 0}, {0, 0, 1}, nullptr, {0.5f, 0.5f}},
        // u = (0, 0, -1), n = (r, 0, r): d = -2r, reflection (1, 0, 0), m = sqrt 2.
        {"tilted normal", {0, 0, -5}, {r, 0, r}, nullptr, {0.5f + 0.5f * r, 0.5f}},
        // Unnormalised without a normal matrix: n = (0, 0, 2), d = -4, r = (0, 0, 3), m = 4.
        {"long normal, no normal matrix", {0, 0, -1}, {0, 0, 2}, nullptr, {0.5f, 0.5f}},
        // A normal matrix normalises: the tilted case again through a scaling matrix.
        {"normal matrix normalises", {0, 0, -5}, {r, 0, r}, &doubleScale, {0.5f + 0.5f * r, 0.5f}},
        // Up-tilted: reflection (0, 1, 0) gives t below 0.5 (0.5 minus k r.y).
        {"t is 0.5 minus", {0, 0, -1}, {0, r, r}, nullptr, {0.5f, 0.5f - 0.5f * r}},
        // A normal across the view ray leaves the reflection at (0, 0, -1): m is zero, guarded.
        {"reflection straight back", {0, 0, -1}, {1, 0, 0}, nullptr, {0.5f, 0.5f}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        v2 out(-7, -7);
        computeSphereMapTexCoords(identity, c.normalMatrix, 1, &c.position, 12, &c.normal, 12, &out, 8);
        EXPECT_NEAR(out.X, c.expected.X, 1e-6f);
        EXPECT_NEAR(out.Y, c.expected.Y, 1e-6f);
        EXPECT_TRUE(std::isfinite(out.X) && std::isfinite(out.Y));
    }
}

TEST(SphereMap, SimpleTableAndStrides)
{
    core::CMatrix4<float> identity;
    const struct {
        v3 normal;
        bool normalize;
        v2 expected;
    } kCases[] = {
        {{1, 0, 0}, false, {1, 0.5f}},    {{0, 1, 0}, false, {0.5f, 0}}, {{0, 0, 1}, false, {0.5f, 0.5f}},
        {{2, 0, 0}, false, {1.5f, 0.5f}}, {{2, 0, 0}, true, {1, 0.5f}},  {{0, 0, 0}, true, {0.5f, 0.5f}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.normal.X + 10 * c.normal.Y + 100 * c.normal.Z + (c.normalize ? 1000 : 0));
        v2 out;
        computeSimpleSphereMapTexCoords(identity, 1, &c.normal, 12, &out, 8, c.normalize);
        EXPECT_EQ(out, c.expected);
    }

    // Interleaved input and a strided output; count 0 writes nothing.
    struct Vertex {
        v3 position, normal;
    } vertices[2] = {{{0, 0, -1}, {0, 0, 1}}, {{0, 0, -1}, {1, 0, 0}}};
    float out[6] = {9, 9, 9, 9, 9, 9};
    computeSimpleSphereMapTexCoords(identity, 2, &vertices[0].normal, sizeof(Vertex),
                                    reinterpret_cast<v2*>(out), 12, false);
    EXPECT_EQ(out[0], 0.5f);
    EXPECT_EQ(out[2], 9.0f);
    EXPECT_EQ(out[3], 1.0f);
    computeSphereMapTexCoords(identity, nullptr, 0, &vertices[0].position, sizeof(Vertex),
                              &vertices[0].normal, sizeof(Vertex), reinterpret_cast<v2*>(out), 12);
    EXPECT_EQ(out[3], 1.0f);
}
