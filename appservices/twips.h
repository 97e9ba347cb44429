#pragma once
// Window and control geometry is given in twips (1440 per inch); the screen
// works in device-independent pixels at its logical DPI.
#include <QSize>
#include <Qt>

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

}  // namespace zel
