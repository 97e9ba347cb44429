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

// Position of key `index` inside the keypad frame.
TwRect KeyRect(int index);

}  // namespace zel
