#pragma once
// Where a restored window may go: a stored position that no screen shows
// any more would leave the window out of reach.
#include <QRect>

namespace zel {

// `outer` (pixels, frame included) when enough of its caption band is on
// some screen to grab it; otherwise moved onto the primary screen, near its
// top-left corner and inside it where the size allows.
QRect KeepOnScreen(QRect outer);

// The largest screen's available size, in twips: stored sizes beyond it are
// limited to it.
QSize LargestScreenTwips();

}  // namespace zel
