#include "layout.h"

#include <algorithm>

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

TwRect KeyRect(int index) {
  // Row and column of each index on the 4 x 5 grid (top row first).
  static const int kRow[20] = {3, 3, 3, 2, 2, 2, 1, 1, 1, 0, 0, 0, 3, 3, 2, 2, 1, 1, 0, 0};
  static const int kCol[20] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 3, 4, 3, 4, 3, 4, 3, 4};
  if (index < 0 || index >= 20) return {};
  return {kCol[index] * kKeySize, kRow[index] * kKeySize, kKeySize, kKeySize};
}

}  // namespace zel
