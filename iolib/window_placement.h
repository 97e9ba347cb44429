#pragma once
// Where a window restored from stored settings may go: a position stored
// for a screen that is gone, or a bad value, must not leave the window where
// nobody can reach it.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace zel {

// `outer` (frame included) unchanged when enough of its caption lies on a
// screen to grab it with the mouse; otherwise moved to `fallbackOffset` from
// the primary screen's available area, kept inside that area.
QRect KeepReachable(QRect outer, QPoint fallbackOffset);

// The largest screen's available size, in twips: stored sizes beyond it are
// limited to it.
QSize LargestScreenTwips();

}  // namespace zel
