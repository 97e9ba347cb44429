#pragma once
// Where a window restored from stored settings may go: a position stored
// for a screen that is gone, or a bad value, must not leave the window where
// nobody can reach it.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace zel {

// `outer` (frame included) unchanged when enough of its caption lies on a
// screen to grab it with the mouse; otherwise moved to `fallbackOffset` from
// the primary screen's available area, kept inside that area.
QRect KeepReachable(QRect outer, QPoint fallbackOffset);

// The largest screen's available size, in twips: stored sizes beyond it are
// limited to it.
QSize LargestScreenTwips();

// Where a window that has no stored place opens, all in screen pixels with
// frames included: right of the main window `main` when it fits on `screen`
// (the available area), else below it, else over the main window's lower
// part, never above `keepClearBottom` (the bottom of the main window's
// input line, which stays in sight). A place whose corner another window
// already has (`taken`: their outer top-left corners) moves on by a stagger
// step, so that windows opened one after the other do not hide each other.
// The result always lies on `screen`; a window larger than the screen is
// cut to it.
QRect PlaceBeside(const QRect& main, int keepClearBottom, QSize outer, const QRect& screen,
                  const QList<QPoint>& taken = {});

// How far each staggered window moves, pixels.
inline constexpr int kStaggerStep = 30;

// PlaceBeside for `window` about to open with outer size `outer` beside the
// window `main`, keeping `keepVisible` (a control of `main`) in sight; on
// main's screen, staggered by the other windows already open. Without a
// main window, centred on the primary screen. Returns the outer rectangle.
QRect PlaceBesideWindow(const QWidget* window, QSize outer, const QWidget* main,
                        const QWidget* keepVisible);

}  // namespace zel
