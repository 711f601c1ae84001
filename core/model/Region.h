#pragma once
// Window regions in pixels: ellipses, rectangles and rounded rectangles combined by union,
// intersection and difference. A region is held as its pixel rows, so every window shape can be
// computed, compared and tested without a window system; the windows turn it into a mask.
#include <vector>

namespace sonavex {

// A box from (left, top) to (right, bottom), in pixels; right and bottom lie just outside it.
struct Box {
  int left, top, right, bottom;
  bool operator==(const Box&) const = default;
};

// The pixels [left, right) of row y.
struct Span {
  int y, left, right;
  bool operator==(const Span&) const = default;
};

class PixelRegion {
 public:
  PixelRegion() = default;

  static PixelRegion rect(Box box);
  // The ellipse inscribed in the box: a pixel belongs to it when its centre lies inside.
  static PixelRegion ellipse(Box box);
  // The box with its corners rounded by an ellipse of the given width and height, each clamped to
  // the box's own width and height.
  static PixelRegion roundRect(Box box, int ellipseWidth, int ellipseHeight);

  PixelRegion united(const PixelRegion& other) const;
  PixelRegion intersected(const PixelRegion& other) const;
  PixelRegion subtracted(const PixelRegion& other) const;

  // Rows from top to bottom, each row's spans from left to right, none touching or overlapping.
  const std::vector<Span>& spans() const { return spans_; }
  bool empty() const { return spans_.empty(); }
  bool contains(int x, int y) const;
  // The smallest box holding every pixel; all zero for an empty region.
  Box bounds() const;
  bool operator==(const PixelRegion&) const = default;

 private:
  enum class Op { Unite, Intersect, Subtract };
  PixelRegion combined(const PixelRegion& other, Op op) const;

  std::vector<Span> spans_;
};

}  // namespace sonavex
