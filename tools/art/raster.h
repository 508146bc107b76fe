// A small anti-aliased vector painter for the generated art: shapes are
// tested at 4 x 4 samples per pixel, painted in order, and resolved to palette
// indices. Only +, -, *, / and square roots on doubles, so every compiler
// that follows IEEE arithmetic draws the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace quillfen::art {

struct Vec {
  double x = 0, y = 0;
};
inline Vec operator+(Vec a, Vec b) {
  return {a.x + b.x, a.y + b.y};
}
inline Vec operator-(Vec a, Vec b) {
  return {a.x - b.x, a.y - b.y};
}
inline Vec operator*(Vec a, double s) {
  return {a.x * s, a.y * s};
}

// Degrees; our own series so that no library's rounding enters the art.
double SinDeg(double degrees);
double CosDeg(double degrees);
// The point `length` away from `from` in direction `degrees` (0 = straight
// down, positive = towards +x, the way every figure faces).
Vec Swing(Vec from, double degrees, double length);

struct Colour {
  int r = 0, g = 0, b = 0;
};
inline Colour Rgb(std::uint32_t v) {
  return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
}

class Shape {
 public:
  virtual ~Shape() = default;
  // True when p lies inside the shape grown by `grow` on every side.
  virtual bool Contains(Vec p, double grow) const = 0;
  virtual void Bounds(double grow, Vec& low, Vec& high) const = 0;
};
using ShapePtr = std::shared_ptr<const Shape>;

ShapePtr Ellipse(Vec centre, double rx, double ry, double degrees = 0);
inline ShapePtr Circle(Vec centre, double r) {
  return Ellipse(centre, r, r);
}
// A segment with round ends whose radius runs from r0 to r1.
ShapePtr Capsule(Vec a, Vec b, double r0, double r1);
inline ShapePtr Capsule(Vec a, Vec b, double r) {
  return Capsule(a, b, r, r);
}
// Capsules through consecutive points, radius interpolated along the way.
ShapePtr Stroke(std::vector<Vec> points, double r0, double r1);
ShapePtr Polygon(std::vector<Vec> points);
// Points of a quadratic curve from a to c bent towards b, ends included.
std::vector<Vec> Curve(Vec a, Vec b, Vec c, int segments);

// Layers of the canvas: the figure proper is covered by the mask; details
// drawn apart from it are not.
enum class Layer { Figure, Detail };

struct Resolved {
  std::int32_t Width = 0, Height = 0;
  std::vector<std::uint8_t> Index;  // palette index per pixel
  std::vector<std::uint8_t> Mask;   // 1 where the mask is white
};

class Canvas {
 public:
  Canvas(std::int32_t width, std::int32_t height);

  // Maps figure coordinates to canvas pixels: canvas = origin + scale * p.
  void Place(Vec origin, double scale) {
    Origin_ = origin;
    Scale_ = scale;
  }

  void Fill(const ShapePtr& s, Colour c, Layer layer = Layer::Figure) { Paint(*s, 0, c, layer); }
  // The shape with an ink rim of `rim` pixels around it.
  void Part(const ShapePtr& s, Colour fill, Colour ink, double rim = 1.0) {
    Paint(*s, rim, ink, Layer::Figure);
    Paint(*s, 0, fill, Layer::Figure);
  }
  void Rim(const ShapePtr& s, Colour ink, double rim = 1.0) { Paint(*s, rim, ink, Layer::Figure); }
  // Paints only where the figure already is (shading, patterns).
  void Shade(const ShapePtr& s, Colour c);

  // Whole pixels covered by the figure show their colour under a white mask;
  // partly covered ones are blended towards white and left out of the mask;
  // details are blended the same way, never masked, and only where the figure
  // is not. `palette` has 64 entries; `allowed` limits the choice.
  Resolved Resolve(const std::vector<Colour>& palette, int firstIndex, int lastIndex) const;

  // A flat picture: every sample counts, over `background`.
  Resolved ResolveOpaque(const std::vector<Colour>& palette, Colour background, int firstIndex, int lastIndex) const;

 private:
  void Paint(const Shape& s, double grow, Colour c, Layer layer);

  std::int32_t Width_, Height_;
  Vec Origin_{0, 0};
  double Scale_ = 1.0;
  std::vector<std::int32_t> Figure_;  // 0x00RRGGBB per sample, -1 where empty
  std::vector<std::int32_t> Detail_;
};

int NearestIndex(const std::vector<Colour>& palette, Colour c, int firstIndex, int lastIndex);

}  // namespace quillfen::art
