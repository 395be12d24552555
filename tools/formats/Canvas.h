#pragma once
// An RGBA picture in memory for generated art: shapes drawn with anti-aliased edges (coverage
// from a signed distance), source-over blending, and encoding through the engine's image
// writers (PNG, TGA). Bytes are R, G, B, A a pixel, rows top to bottom.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace formats {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    constexpr Rgba() = default;
    constexpr Rgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
        : r(red), g(green), b(blue), a(alpha) {}
    bool operator==(const Rgba&) const = default;
    // Towards white (t > 0) or black (t < 0) by |t| (0..1); alpha kept.
    Rgba shade(float t) const;
    Rgba withAlpha(uint8_t alpha) const { return Rgba(r, g, b, alpha); }
    static Rgba mix(Rgba a, Rgba b, float t);
};

struct Point {
    float x = 0, y = 0;
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = Rgba(0, 0, 0, 0));

    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::vector<uint8_t>& pixels() const { return m_pixels; }
    Rgba at(int x, int y) const;  // transparent black outside
    void set(int x, int y, Rgba c);
    // Source-over blend of c with extra coverage (0..1).
    void blend(int x, int y, Rgba c, float coverage = 1.0f);

    void fill(Rgba c);
    void fillRect(int x, int y, int w, int h, Rgba c);
    // Top to bottom from `top` to `bottom`.
    void verticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom);

    // Any shape given by its signed distance (negative inside) within a bounding box; `paint`
    // gives the colour at a point (for shading), coverage comes from the distance.
    void fillShape(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& distance,
                   const std::function<Rgba(float, float)>& paint);
    void fillRoundedRect(float x, float y, float w, float h, float radius, Rgba c);
    void strokeRoundedRect(float x, float y, float w, float h, float radius, float thickness, Rgba c);
    void fillCircle(float cx, float cy, float r, Rgba c);
    void strokeCircle(float cx, float cy, float r, float thickness, Rgba c);
    // A disc lit from the upper left: highlight, body colour, darker rim.
    void shadedDisc(float cx, float cy, float r, Rgba c);
    void fillCapsule(float x, float y, float w, float h, Rgba c);
    void fillPolygon(const std::vector<Point>& points, Rgba c);
    void line(float x0, float y0, float x1, float y1, float thickness, Rgba c);

    // Copies (no blending) or blends another canvas at (x, y), clipped.
    void copy(const Canvas& src, int x, int y);
    void draw(const Canvas& src, int x, int y);
    Canvas crop(int x, int y, int w, int h) const;
    // Nearest-neighbour scaling to a new size.
    Canvas scaled(int w, int h) const;

    // The picture as a file of the writer that takes `fileName`'s extension (".png", ".tga");
    // "" when no writer takes it.
    std::string encode(const std::string& fileName) const;

private:
    int m_width = 0, m_height = 0;
    std::vector<uint8_t> m_pixels;
};

// The points of a star with `points` tips around (cx, cy).
std::vector<Point> starPoints(float cx, float cy, float outer, float inner, int points = 5);

}  // namespace formats
