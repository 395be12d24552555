#include "tools/formats/Canvas.h"

#include "engine/io/CMemoryWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/IImageWriter.h"
#include "tools/formats/PngWriter.h"

#include <algorithm>
#include <cmath>

namespace formats {

namespace {

uint8_t clamp8(float v)
{
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

float segmentDistance(float px, float py, Point a, Point b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? std::clamp(((px - a.x) * dx + (py - a.y) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

float roundedRectDistance(float px, float py, float x, float y, float w, float h, float r)
{
    r = std::min({r, w / 2, h / 2});
    const float cx = x + w / 2, cy = y + h / 2;
    const float qx = std::abs(px - cx) - (w / 2 - r), qy = std::abs(py - cy) - (h / 2 - r);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

}  // namespace

Rgba Rgba::shade(float t) const
{
    const float target = t >= 0 ? 255.0f : 0.0f, k = std::min(std::abs(t), 1.0f);
    return Rgba(clamp8(r + (target - r) * k), clamp8(g + (target - g) * k), clamp8(b + (target - b) * k), a);
}

Rgba Rgba::mix(Rgba a, Rgba b, float t)
{
    return Rgba(clamp8(a.r + (b.r - a.r) * t), clamp8(a.g + (b.g - a.g) * t), clamp8(a.b + (b.b - a.b) * t),
                clamp8(a.a + (b.a - a.a) * t));
}

Canvas::Canvas(int width, int height, Rgba fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_pixels(size_t(m_width) * size_t(m_height) * 4)
{
    if (fill != Rgba(0, 0, 0, 0))
        this->fill(fill);
}

Rgba Canvas::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return Rgba(0, 0, 0, 0);
    const uint8_t* p = &m_pixels[(size_t(y) * size_t(m_width) + size_t(x)) * 4];
    return Rgba(p[0], p[1], p[2], p[3]);
}

void Canvas::set(int x, int y, Rgba c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    uint8_t* p = &m_pixels[(size_t(y) * size_t(m_width) + size_t(x)) * 4];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = c.a;
}

void Canvas::blend(int x, int y, Rgba c, float coverage)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0)
        return;
    const float sa = c.a / 255.0f * std::min(coverage, 1.0f);
    if (sa <= 0)
        return;
    uint8_t* p = &m_pixels[(size_t(y) * size_t(m_width) + size_t(x)) * 4];
    const float da = p[3] / 255.0f;
    const float oa = sa + da * (1 - sa);
    auto channel = [&](uint8_t s, uint8_t d) { return clamp8((s * sa + d * da * (1 - sa)) / oa); };
    p[0] = channel(c.r, p[0]);
    p[1] = channel(c.g, p[1]);
    p[2] = channel(c.b, p[2]);
    p[3] = clamp8(oa * 255.0f);
}

void Canvas::fill(Rgba c)
{
    for (size_t i = 0; i < m_pixels.size(); i += 4) {
        m_pixels[i] = c.r;
        m_pixels[i + 1] = c.g;
        m_pixels[i + 2] = c.b;
        m_pixels[i + 3] = c.a;
    }
}

void Canvas::fillRect(int x, int y, int w, int h, Rgba c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            blend(i, j, c);
}

void Canvas::verticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom)
{
    for (int j = 0; j < h; ++j) {
        const Rgba c = Rgba::mix(top, bottom, h > 1 ? float(j) / float(h - 1) : 0.0f);
        for (int i = 0; i < w; ++i)
            blend(x + i, y + j, c);
    }
}

void Canvas::fillShape(float x0, float y0, float x1, float y1, const std::function<float(float, float)>& distance,
                       const std::function<Rgba(float, float)>& paint)
{
    const int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    const int ix1 = std::min(m_width, int(std::ceil(x1)) + 1), iy1 = std::min(m_height, int(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float coverage = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
            if (coverage > 0)
                blend(x, y, paint(px, py), coverage);
        }
}

void Canvas::fillRoundedRect(float x, float y, float w, float h, float radius, Rgba c)
{
    fillShape(x, y, x + w, y + h, [=](float px, float py) { return roundedRectDistance(px, py, x, y, w, h, radius); },
              [=](float, float) { return c; });
}

void Canvas::strokeRoundedRect(float x, float y, float w, float h, float radius, float thickness, Rgba c)
{
    fillShape(x, y, x + w, y + h,
              [=](float px, float py) {
                  const float d = roundedRectDistance(px, py, x, y, w, h, radius);
                  return std::max(d, -d - thickness);
              },
              [=](float, float) { return c; });
}

void Canvas::fillCircle(float cx, float cy, float r, Rgba c)
{
    fillShape(cx - r, cy - r, cx + r, cy + r, [=](float px, float py) { return std::hypot(px - cx, py - cy) - r; },
              [=](float, float) { return c; });
}

void Canvas::strokeCircle(float cx, float cy, float r, float thickness, Rgba c)
{
    fillShape(cx - r, cy - r, cx + r, cy + r,
              [=](float px, float py) {
                  const float d = std::hypot(px - cx, py - cy) - r;
                  return std::max(d, -d - thickness);
              },
              [=](float, float) { return c; });
}

void Canvas::shadedDisc(float cx, float cy, float r, Rgba c)
{
    fillShape(cx - r, cy - r, cx + r, cy + r, [=](float px, float py) { return std::hypot(px - cx, py - cy) - r; },
              [=](float px, float py) {
                  const float hx = cx - r * 0.35f, hy = cy - r * 0.35f;
                  const float highlight = std::max(0.0f, 1.0f - std::hypot(px - hx, py - hy) / (r * 0.9f));
                  const float rim = std::hypot(px - cx, py - cy) / r;
                  return c.shade(-0.45f * rim * rim).shade(0.85f * highlight * highlight);
              });
}

void Canvas::fillCapsule(float x, float y, float w, float h, Rgba c)
{
    fillRoundedRect(x, y, w, h, std::min(w, h) / 2, c);
}

void Canvas::fillPolygon(const std::vector<Point>& pts, Rgba c)
{
    if (pts.size() < 3)
        return;
    float x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
    for (const Point& p : pts) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    fillShape(x0, y0, x1, y1,
              [&pts](float px, float py) {
                  bool inside = false;
                  float nearest = 1e9f;
                  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                      const Point a = pts[i], b = pts[j];
                      if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x)
                          inside = !inside;
                      nearest = std::min(nearest, segmentDistance(px, py, a, b));
                  }
                  return inside ? -nearest : nearest;
              },
              [=](float, float) { return c; });
}

void Canvas::line(float x0, float y0, float x1, float y1, float thickness, Rgba c)
{
    const float r = thickness / 2;
    fillShape(std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r,
              [=](float px, float py) { return segmentDistance(px, py, {x0, y0}, {x1, y1}) - r; },
              [=](float, float) { return c; });
}

void Canvas::copy(const Canvas& src, int x, int y)
{
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            set(x + i, y + j, src.at(i, j));
}

void Canvas::draw(const Canvas& src, int x, int y)
{
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            blend(x + i, y + j, src.at(i, j));
}

Canvas Canvas::crop(int x, int y, int w, int h) const
{
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.set(i, j, at(x + i, y + j));
    return out;
}

Canvas Canvas::scaled(int w, int h) const
{
    Canvas out(w, h);
    if (m_width == 0 || m_height == 0)
        return out;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.set(i, j, at(i * m_width / std::max(w, 1), j * m_height / std::max(h, 1)));
    return out;
}

std::string Canvas::encode(const std::string& fileName) const
{
    using namespace pravik;
    if (m_width == 0 || m_height == 0)
        return "";
    const auto endsWith = [&](const char* ext) {
        return fileName.size() >= 4 && fileName.compare(fileName.size() - 4, 4, ext) == 0;
    };
    if (endsWith(".png") || endsWith(".PNG")) {
        const std::vector<uint8_t> png = images::PngRGBA(m_width, m_height, m_pixels.data(), m_pixels.size());
        return std::string(png.begin(), png.end());
    }
    video::IImageWriter* tga = video::createImageWriterTGA();
    std::string out;
    if (tga->isAWriteableFileExtension(fileName.c_str())) {
        // The writer only reads: the image borrows the pixels instead of copying them.
        video::CImagePtr image(new video::CImage(video::EPF_R8G8B8A8, core::dimension2d<int>(m_width, m_height),
                                                 const_cast<uint8_t*>(m_pixels.data()), true, false));
        io::CMemoryWriteFile file;
        if (tga->writeImage(&file, image, 0) && file.getBuffer())
            out.assign(reinterpret_cast<const char*>(file.getBuffer()), file.getBufferSize());
    }
    tga->drop();
    return out;
}

std::vector<Point> starPoints(float cx, float cy, float outer, float inner, int points)
{
    std::vector<Point> pts;
    for (int i = 0; i < 2 * points; ++i) {
        const float angle = float(M_PI) * float(i) / float(points) - float(M_PI) / 2;
        const float r = i % 2 ? inner : outer;
        pts.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return pts;
}

}  // namespace formats
