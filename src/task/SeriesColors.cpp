#include "task/SeriesColors.h"

#include <cstddef>

namespace sarvanta {

TColor TSeriesColorCounter::NextSeriesColor(int delta, TColor swatch) {
  counter_ += delta;
  const auto c = static_cast<uint32_t>(counter_);
  switch (counter_ % 4) {
    case 0:
      return (swatch & 16777087u) + c;
    case 1:
      return (swatch & 16744447u) + c * 256u;
    case 2:
      return (swatch & 8388607u) + c * 65536u;
    default:
      return swatch + c;
  }
}

namespace {

// The previous value of an enumeration of `count` values, the first wrapping to the last.
template <typename E>
E StepBack(E value, int count) {
  const int index = static_cast<int>(value);
  return static_cast<E>(index == 0 ? count - 1 : index - 1);
}

}  // namespace

void TSwatch::RightClick(bool ctrl, bool shift) {
  if (ctrl)
    PenStyle = StepBack(PenStyle, 7);
  else if (shift)
    BrushStyle = StepBack(BrushStyle, 8);
  else
    PenWidth = PenWidth >= 4 ? 1 : PenWidth + 1;
}

std::vector<TMuscleShade> MuscleShades(const std::vector<bool>& inPlane, TColor swatch) {
  const size_t entries = inPlane.size() + 1;
  const uint32_t step = entries == 1 ? 64u : static_cast<uint32_t>(196 / (entries - 1));
  uint32_t planeCount = 0;
  uint32_t otherCount = 0;
  std::vector<TMuscleShade> shades;
  for (const bool plane : inPlane) {
    const uint32_t k = plane ? planeCount++ : otherCount++;
    shades.push_back({swatch ^ (k * step * 65793u), plane ? 1 : 2});
  }
  return shades;
}

}  // namespace sarvanta
