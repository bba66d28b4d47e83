// Colours of the series added to the summary chart.
#pragma once

#include <cstdint>
#include <vector>

namespace sarvanta {

// A colour: red in the lowest byte, then green, then blue.
using TColor = uint32_t;

constexpr TColor ColorBlue = 0xFF0000;

// Successive colours derived from the swatch colour, one colour byte at a time. The counter is
// shared by every series the window adds; it starts at 64 and grows by Delta before each colour.
class TSeriesColorCounter {
 public:
  // With the counter c after adding Delta and r = c mod 4: r = 0 puts c into the red byte,
  // 1 into the green byte, 2 into the blue byte (each after clearing that byte's top bit), and
  // 3 adds c to the swatch colour.
  TColor NextSeriesColor(int delta, TColor swatch);
  int Counter() const { return counter_; }

 private:
  int counter_ = 64;
};

// The swatch that sets the look of new summary series. Right-clicking steps its pen style back
// with Ctrl (solid wraps to inside frame), its brush style back with Shift (solid wraps to
// diagonal cross), and otherwise widens the pen by 1 (back to 1 after 4).
enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class TBrushStyle {
  Solid,
  Clear,
  Horizontal,
  Vertical,
  FDiagonal,
  BDiagonal,
  Cross,
  DiagCross
};

struct TSwatch {
  TColor BrushColor = ColorBlue;
  TBrushStyle BrushStyle = TBrushStyle::Vertical;
  TColor PenColor = 0;
  TPenStyle PenStyle = TPenStyle::Solid;
  int PenWidth = 1;

  void RightClick(bool ctrl, bool shift);
};

// Colour and line width of one muscle's series when all muscle forces are added at once.
struct TMuscleShade {
  TColor Color = 0;
  int LineWidth = 1;
};

// Shades of grey over the swatch colour: with n the number of muscle-list entries (the
// placeholder included), the step is 196 div (n - 1) (64 when n = 1). Muscles that lie in a
// plane (`inPlane`) and the others are counted apart; the k-th of its group (from 0) gets the
// swatch XOR k * step in every colour byte, and line width 1 in a plane, 2 otherwise.
std::vector<TMuscleShade> MuscleShades(const std::vector<bool>& inPlane, TColor swatch);

}  // namespace sarvanta
