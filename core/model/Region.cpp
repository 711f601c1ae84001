#include "core/model/Region.h"

#include <algorithm>
#include <cmath>

namespace sonavex {

namespace {

// The pixels of row y whose centres lie within [left, right].
void appendRow(std::vector<Span>& spans, int y, double left, double right) {
  // A pixel belongs when its centre x + 0.5 lies within [left, right].
  const int first = static_cast<int>(std::ceil(left - 0.5));
  const int last = static_cast<int>(std::floor(right - 0.5));
  if (last >= first) spans.push_back({y, first, last + 1});
}

// How far a quarter ellipse of radii (rx, ry) stands in from its box edge at `dy` from its centre.
double cornerInset(double rx, double ry, double dy) {
  const double t = dy / ry;
  return rx - rx * std::sqrt(std::max(0.0, 1.0 - t * t));
}

}  // namespace

PixelRegion PixelRegion::rect(Box box) {
  PixelRegion region;
  if (box.right <= box.left) return region;
  for (int y = box.top; y < box.bottom; ++y) region.spans_.push_back({y, box.left, box.right});
  return region;
}

PixelRegion PixelRegion::ellipse(Box box) {
  return roundRect(box, box.right - box.left, box.bottom - box.top);
}

PixelRegion PixelRegion::roundRect(Box box, int ellipseWidth, int ellipseHeight) {
  PixelRegion region;
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (width <= 0 || height <= 0) return region;
  const double rx = std::clamp(ellipseWidth, 0, width) / 2.0;
  const double ry = std::clamp(ellipseHeight, 0, height) / 2.0;
  for (int y = box.top; y < box.bottom; ++y) {
    const double centre = y + 0.5;
    // Distance past the straight middle part into the top or bottom corner band.
    const double intoTop = (box.top + ry) - centre;
    const double intoBottom = centre - (box.bottom - ry);
    const double dy = std::max(intoTop, intoBottom);
    const double inset = dy > 0 ? cornerInset(rx, ry, dy) : 0;
    appendRow(region.spans_, y, box.left + inset, box.right - inset);
  }
  return region;
}

PixelRegion PixelRegion::united(const PixelRegion& other) const {
  return combined(other, Op::Unite);
}
PixelRegion PixelRegion::intersected(const PixelRegion& other) const {
  return combined(other, Op::Intersect);
}
PixelRegion PixelRegion::subtracted(const PixelRegion& other) const {
  return combined(other, Op::Subtract);
}

PixelRegion PixelRegion::combined(const PixelRegion& other, Op op) const {
  PixelRegion result;
  auto a = spans_.begin();
  auto b = other.spans_.begin();
  while (a != spans_.end() || b != other.spans_.end()) {
    const int y = (b == other.spans_.end() || (a != spans_.end() && a->y < b->y)) ? a->y : b->y;
    // The edges of both rows, each flipping its own region in or out as the sweep passes it.
    struct Edge {
      int x;
      bool first;
    };
    std::vector<Edge> edges;
    for (; a != spans_.end() && a->y == y; ++a) {
      edges.push_back({a->left, true});
      edges.push_back({a->right, true});
    }
    for (; b != other.spans_.end() && b->y == y; ++b) {
      edges.push_back({b->left, false});
      edges.push_back({b->right, false});
    }
    std::stable_sort(edges.begin(), edges.end(),
                     [](const Edge& l, const Edge& r) { return l.x < r.x; });
    bool inA = false, inB = false, wasIn = false;
    int start = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
      bool& flag = edges[i].first ? inA : inB;
      flag = !flag;
      // Decide only once every edge at this x has been passed, so touching spans join.
      if (i + 1 < edges.size() && edges[i + 1].x == edges[i].x) continue;
      const bool in = op == Op::Unite       ? (inA || inB)
                      : op == Op::Intersect ? (inA && inB)
                                            : (inA && !inB);
      if (in && !wasIn) start = edges[i].x;
      if (!in && wasIn) result.spans_.push_back({y, start, edges[i].x});
      wasIn = in;
    }
  }
  return result;
}

bool PixelRegion::contains(int x, int y) const {
  return std::any_of(spans_.begin(), spans_.end(),
                     [&](const Span& s) { return s.y == y && s.left <= x && x < s.right; });
}

Box PixelRegion::bounds() const {
  if (spans_.empty()) return {0, 0, 0, 0};
  Box box{spans_.front().left, spans_.front().y, spans_.front().right, spans_.back().y + 1};
  for (const Span& s : spans_) {
    box.left = std::min(box.left, s.left);
    box.right = std::max(box.right, s.right);
  }
  return box;
}

}  // namespace sonavex
