#pragma once
// Window and control geometry is given in twips (1440 per inch); the screen
// works in device-independent pixels at its logical DPI.
#include <QSize>
#include <Qt>
#include <functional>
#include <initializer_list>

class QWidget;

namespace zel {

inline constexpr int kTwipsPerInch = 1440;

// Logical DPI of the primary screen in that direction (96 without a screen).
double LogicalDpi(Qt::Orientation orientation);

// Twips to pixels, rounded to the nearest pixel.
int TwipsToPixels(int twips, Qt::Orientation orientation);
inline int TwipsToPixelsX(int twips) { return TwipsToPixels(twips, Qt::Horizontal); }
inline int TwipsToPixelsY(int twips) { return TwipsToPixels(twips, Qt::Vertical); }

// Pixels to twips (whole twips), for saving geometry.
int PixelsToTwips(int pixels, Qt::Orientation orientation);
inline int PixelsToTwipsX(int pixels) { return PixelsToTwips(pixels, Qt::Horizontal); }
inline int PixelsToTwipsY(int pixels) { return PixelsToTwips(pixels, Qt::Vertical); }

// Places a child control at a twip rectangle relative to its parent.
void SetGeometryTwips(QWidget* widget, int left, int top, int width, int height);

// The same, but labels and combo boxes grow to their font's height when the
// design height is too small for the face that replaces the original, and a
// label also grows to the right when its caption needs it.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// The client size that gives a top-level window the outer size (frame
// included) of the given twips. The frame counts only once the window
// exists; before that the outer size is the client size.
QSize ClientSizeForOuterTwips(const QWidget* window, int widthTwips, int heightTwips);

// Fixes a top-level window's size to the outer twips, but never below the
// client size `least` (pixels): a frame wider or a title bar taller than the
// design's must not cut off the lowest controls.
void SetFixedOuterTwips(QWidget* window, int widthTwips, int heightTwips, QSize least);

// Runs `apply` again after each delay (ms) once the window is shown: some
// window managers add the frame only after the window is mapped, and an
// outer size depends on the frame.
void AgainOnceFramed(QWidget* window, const std::function<void()>& apply,
                     std::initializer_list<int> delaysMs = {100});

}  // namespace zel
