#include "layout.h"

#include <algorithm>
#include <cmath>

namespace zel {

MainLayout ComputeMainLayout(int width, int height, int inputHeight) {
  MainLayout l;
  l.height = std::max(height, kMinMainHeight);
  l.width = std::max(width, kMinMainWidth);
  l.input = {120, 120, l.width - kKeypadFrameWidth - 500, inputHeight};
  l.log = {l.input.left, l.input.top + l.input.height + 50, l.input.width, l.height - 1455};
  l.keypad = {l.input.left + l.input.width + 200, l.input.top, kKeypadFrameWidth,
              kKeypadFrameHeight};
  return l;
}

StoredGeometry ClampStoredGeometry(double top, double left, double height, double width,
                                   int screenHeight, int screenWidth) {
  auto limit = [](double v, double low, double high) {
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(v, low, high));
  };
  constexpr double kFar = 10'000'000;  // twips; far beyond any desktop, well within int
  StoredGeometry g;
  g.top = limit(top, -kFar, kFar);
  g.left = limit(left, -kFar, kFar);
  g.height = limit(height, 0, std::max(screenHeight, kMinMainHeight));
  g.width = limit(width, 0, std::max(screenWidth, kMinMainWidth));
  return g;
}

TwRect KeyRect(int index) {
  // Row and column of each index on the 4 x 5 grid (top row first).
  static const int kRow[20] = {3, 3, 3, 2, 2, 2, 1, 1, 1, 0, 0, 0, 3, 3, 2, 2, 1, 1, 0, 0};
  static const int kCol[20] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 3, 4, 3, 4, 3, 4, 3, 4};
  if (index < 0 || index >= 20) return {};
  return {kCol[index] * kKeySize, kRow[index] * kKeySize, kKeySize, kKeySize};
}

}  // namespace zel
