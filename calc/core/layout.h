#pragma once
// The main window's layout rule, in twips (1/1440 inch).

namespace zel {

struct TwRect {
  int left = 0, top = 0, width = 0, height = 0;
};

inline constexpr int kMinMainHeight = 3500;
inline constexpr int kMinMainWidth = 7600;
inline constexpr int kKeypadFrameWidth = 3135;
inline constexpr int kKeypadFrameHeight = 2535;
inline constexpr int kKeySize = 615;

struct MainLayout {
  int width = 0, height = 0;  // outer window size after the minimum rule
  TwRect input, log, keypad;
};

// width/height: outer window size; inputHeight: the input line's height,
// which follows from its font.
MainLayout ComputeMainLayout(int width, int height, int inputHeight);

// Geometry read from the settings store made safe to use: numbers that are
// not finite read 0, the size is limited to `screen` (the largest screen's
// twip size) and the position to a range far beyond any screen, so that
// nothing overflows; bringing the window onto a screen comes after.
struct StoredGeometry {
  int top = 0, left = 0, height = 0, width = 0;
};
StoredGeometry ClampStoredGeometry(double top, double left, double height, double width,
                                   int screenHeight, int screenWidth);

// Position of key `index` inside the keypad frame.
TwRect KeyRect(int index);

}  // namespace zel
