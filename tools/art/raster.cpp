#include "tools/art/raster.h"

#include <algorithm>
#include <cmath>

namespace quillfen::art {

namespace {

constexpr int Samples = 4;  // per pixel and axis
constexpr double Pi = 3.14159265358979323846;

double Dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y;
}

// Distance from p to the segment a-b, and where along it (0..1) it is nearest.
double SegmentDistance(Vec p, Vec a, Vec b, double& t) {
  const Vec d = b - a;
  const double len2 = Dot(d, d);
  t = len2 > 0 ? std::clamp(Dot(p - a, d) / len2, 0.0, 1.0) : 0.0;
  const Vec q = a + d * t - p;
  return std::sqrt(Dot(q, q));
}

class EllipseShape final : public Shape {
 public:
  EllipseShape(Vec c, double rx, double ry, double degrees)
      : C_(c), Rx_(rx), Ry_(ry), Cos_(CosDeg(degrees)), Sin_(SinDeg(degrees)) {}
  bool Contains(Vec p, double grow) const override {
    const Vec d = p - C_;
    const double u = (d.x * Cos_ + d.y * Sin_) / (Rx_ + grow);
    const double v = (d.y * Cos_ - d.x * Sin_) / (Ry_ + grow);
    return u * u + v * v <= 1.0;
  }
  void Bounds(double grow, Vec& low, Vec& high) const override {
    const double r = std::max(Rx_, Ry_) + grow;
    low = {C_.x - r, C_.y - r};
    high = {C_.x + r, C_.y + r};
  }

 private:
  Vec C_;
  double Rx_, Ry_, Cos_, Sin_;
};

class StrokeShape final : public Shape {
 public:
  StrokeShape(std::vector<Vec> points, double r0, double r1) : P_(std::move(points)), R0_(r0), R1_(r1) {
    Total_ = 0;
    for (std::size_t i = 1; i < P_.size(); ++i) {
      Along_.push_back(Total_);
      const Vec d = P_[i] - P_[i - 1];
      Total_ += std::sqrt(Dot(d, d));
    }
    Along_.push_back(Total_);
  }
  bool Contains(Vec p, double grow) const override {
    for (std::size_t i = 1; i < P_.size(); ++i) {
      double t = 0;
      const double dist = SegmentDistance(p, P_[i - 1], P_[i], t);
      const double at = Total_ > 0 ? (Along_[i - 1] + t * (Along_[i] - Along_[i - 1])) / Total_ : 0.0;
      if (dist <= R0_ + (R1_ - R0_) * at + grow) return true;
    }
    if (P_.size() == 1) {
      const Vec d = p - P_[0];
      return std::sqrt(Dot(d, d)) <= R0_ + grow;
    }
    return false;
  }
  void Bounds(double grow, Vec& low, Vec& high) const override {
    const double r = std::max(R0_, R1_) + grow;
    low = high = P_[0];
    for (const Vec& q : P_) {
      low = {std::min(low.x, q.x), std::min(low.y, q.y)};
      high = {std::max(high.x, q.x), std::max(high.y, q.y)};
    }
    low = low - Vec{r, r};
    high = high + Vec{r, r};
  }

 private:
  std::vector<Vec> P_;
  std::vector<double> Along_;
  double R0_, R1_, Total_;
};

class PolygonShape final : public Shape {
 public:
  explicit PolygonShape(std::vector<Vec> points) : P_(std::move(points)) {}
  bool Contains(Vec p, double grow) const override {
    bool inside = false;
    const std::size_t n = P_.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      const Vec a = P_[i], b = P_[j];
      if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    if (inside || grow <= 0) return inside;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      double t = 0;
      if (SegmentDistance(p, P_[j], P_[i], t) <= grow) return true;
    }
    return false;
  }
  void Bounds(double grow, Vec& low, Vec& high) const override {
    low = high = P_[0];
    for (const Vec& q : P_) {
      low = {std::min(low.x, q.x), std::min(low.y, q.y)};
      high = {std::max(high.x, q.x), std::max(high.y, q.y)};
    }
    low = low - Vec{grow, grow};
    high = high + Vec{grow, grow};
  }

 private:
  std::vector<Vec> P_;
};

std::int32_t Pack(Colour c) {
  return c.r << 16 | c.g << 8 | c.b;
}

struct Sum {
  int n = 0, r = 0, g = 0, b = 0;
  void Add(std::int32_t v) {
    ++n;
    r += v >> 16 & 0xFF;
    g += v >> 8 & 0xFF;
    b += v & 0xFF;
  }
  // The average of the samples, blended with white for the uncovered ones.
  Colour OverWhite(int total) const {
    const int w = 255 * (total - n);
    return {(r + w + total / 2) / total, (g + w + total / 2) / total, (b + w + total / 2) / total};
  }
};

}  // namespace

double SinDeg(double degrees) {
  double d = degrees;
  while (d > 180) d -= 360;
  while (d < -180) d += 360;
  if (d > 90) d = 180 - d;
  if (d < -90) d = -180 - d;
  const double x = d * Pi / 180, x2 = x * x;
  double term = x, sum = x;
  for (int k = 1; k < 12; ++k) {
    term = -term * x2 / ((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}

double CosDeg(double degrees) {
  return SinDeg(degrees + 90);
}

Vec Swing(Vec from, double degrees, double length) {
  return {from.x + length * SinDeg(degrees), from.y + length * CosDeg(degrees)};
}

ShapePtr Ellipse(Vec centre, double rx, double ry, double degrees) {
  return std::make_shared<EllipseShape>(centre, rx, ry, degrees);
}
ShapePtr Capsule(Vec a, Vec b, double r0, double r1) {
  return Stroke({a, b}, r0, r1);
}
ShapePtr Stroke(std::vector<Vec> points, double r0, double r1) {
  return std::make_shared<StrokeShape>(std::move(points), r0, r1);
}
ShapePtr Polygon(std::vector<Vec> points) {
  return std::make_shared<PolygonShape>(std::move(points));
}

std::vector<Vec> Curve(Vec a, Vec b, Vec c, int segments) {
  std::vector<Vec> out;
  for (int i = 0; i <= segments; ++i) {
    const double t = static_cast<double>(i) / segments, u = 1 - t;
    out.push_back(a * (u * u) + b * (2 * u * t) + c * (t * t));
  }
  return out;
}

Canvas::Canvas(std::int32_t width, std::int32_t height)
    : Width_(width),
      Height_(height),
      Figure_(static_cast<std::size_t>(width) * height * Samples * Samples, -1),
      Detail_(Figure_.size(), -1) {}

void Canvas::Paint(const Shape& s, double grow, Colour c, Layer layer) {
  Vec low, high;
  s.Bounds(grow, low, high);
  const int sw = Width_ * Samples, sh = Height_ * Samples;
  const auto toSample = [&](double v, double origin) { return (origin + Scale_ * v) * Samples; };
  const int x0 = std::max(0, static_cast<int>(std::floor(toSample(low.x, Origin_.x))) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(toSample(low.y, Origin_.y))) - 1);
  const int x1 = std::min(sw, static_cast<int>(std::ceil(toSample(high.x, Origin_.x))) + 1);
  const int y1 = std::min(sh, static_cast<int>(std::ceil(toSample(high.y, Origin_.y))) + 1);
  std::vector<std::int32_t>& target = layer == Layer::Figure ? Figure_ : Detail_;
  const std::int32_t v = Pack(c);
  for (int sy = y0; sy < y1; ++sy) {
    for (int sx = x0; sx < x1; ++sx) {
      const Vec p{((sx + 0.5) / Samples - Origin_.x) / Scale_, ((sy + 0.5) / Samples - Origin_.y) / Scale_};
      if (s.Contains(p, grow / Scale_)) target[static_cast<std::size_t>(sy) * sw + sx] = v;
    }
  }
}

void Canvas::Shade(const ShapePtr& s, Colour c) {
  Vec low, high;
  s->Bounds(0, low, high);
  const int sw = Width_ * Samples, sh = Height_ * Samples;
  const std::int32_t v = Pack(c);
  for (int sy = 0; sy < sh; ++sy) {
    for (int sx = 0; sx < sw; ++sx) {
      std::int32_t& t = Figure_[static_cast<std::size_t>(sy) * sw + sx];
      if (t < 0) continue;
      const Vec p{((sx + 0.5) / Samples - Origin_.x) / Scale_, ((sy + 0.5) / Samples - Origin_.y) / Scale_};
      if (p.x < low.x || p.y < low.y || p.x > high.x || p.y > high.y) continue;
      if (s->Contains(p, 0)) t = v;
    }
  }
}

int NearestIndex(const std::vector<Colour>& palette, Colour c, int firstIndex, int lastIndex) {
  int best = firstIndex;
  long bestDistance = -1;
  for (int i = firstIndex; i <= lastIndex; ++i) {
    const Colour& p = palette[static_cast<std::size_t>(i)];
    const long dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

Resolved Canvas::Resolve(const std::vector<Colour>& palette, int firstIndex, int lastIndex) const {
  Resolved out;
  out.Width = Width_;
  out.Height = Height_;
  out.Index.assign(static_cast<std::size_t>(Width_) * Height_, 0);
  out.Mask.assign(out.Index.size(), 0);
  const int sw = Width_ * Samples;
  for (std::int32_t y = 0; y < Height_; ++y) {
    for (std::int32_t x = 0; x < Width_; ++x) {
      Sum figure, detail;
      for (int j = 0; j < Samples; ++j) {
        for (int i = 0; i < Samples; ++i) {
          const std::size_t at = static_cast<std::size_t>(y * Samples + j) * sw + (x * Samples + i);
          if (Figure_[at] >= 0) figure.Add(Figure_[at]);
          if (Detail_[at] >= 0) detail.Add(Detail_[at]);
        }
      }
      const std::size_t at = static_cast<std::size_t>(y) * Width_ + x;
      constexpr int total = Samples * Samples;
      if (figure.n == total) {
        out.Index[at] =
            static_cast<std::uint8_t>(NearestIndex(palette, figure.OverWhite(total), firstIndex, lastIndex));
        out.Mask[at] = 1;
      } else if (figure.n > 0) {
        out.Index[at] = static_cast<std::uint8_t>(NearestIndex(palette, figure.OverWhite(total), 0, lastIndex));
      } else if (detail.n > 0) {
        out.Index[at] = static_cast<std::uint8_t>(NearestIndex(palette, detail.OverWhite(total), 0, lastIndex));
      }
    }
  }
  return out;
}

Resolved Canvas::ResolveOpaque(const std::vector<Colour>& palette, Colour background, int firstIndex,
                               int lastIndex) const {
  Resolved out;
  out.Width = Width_;
  out.Height = Height_;
  out.Index.assign(static_cast<std::size_t>(Width_) * Height_, 0);
  out.Mask.assign(out.Index.size(), 1);
  const int sw = Width_ * Samples;
  const std::int32_t bg = Pack(background);
  for (std::int32_t y = 0; y < Height_; ++y) {
    for (std::int32_t x = 0; x < Width_; ++x) {
      Sum all;
      for (int j = 0; j < Samples; ++j) {
        for (int i = 0; i < Samples; ++i) {
          const std::size_t at = static_cast<std::size_t>(y * Samples + j) * sw + (x * Samples + i);
          all.Add(Figure_[at] >= 0 ? Figure_[at] : Detail_[at] >= 0 ? Detail_[at] : bg);
        }
      }
      out.Index[static_cast<std::size_t>(y) * Width_ + x] =
          static_cast<std::uint8_t>(NearestIndex(palette, all.OverWhite(Samples * Samples), firstIndex, lastIndex));
    }
  }
  return out;
}

}  // namespace quillfen::art
