#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "twips.h"

namespace zel {

QRect KeepReachable(QRect outer, QPoint fallbackOffset) {
  // Enough of the caption to grab it with the mouse.
  const QRect titleBand(outer.topLeft(), QSize(outer.width(), std::min(outer.height(), 30)));
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect seen = screen->availableGeometry().intersected(titleBand);
    if (seen.width() >= std::min(40, titleBand.width()) &&
        seen.height() >= std::min(10, titleBand.height()))
      return outer;
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    outer.moveTopLeft(avail.topLeft() + fallbackOffset);
    if (outer.right() > avail.right())
      outer.moveLeft(std::max(avail.left(), avail.right() - outer.width()));
    if (outer.bottom() > avail.bottom())
      outer.moveTop(std::max(avail.top(), avail.bottom() - outer.height()));
  }
  return outer;
}

QSize LargestScreenTwips() {
  QSize largest(0, 0);
  for (QScreen* screen : QGuiApplication::screens()) {
    const QSize s = screen->availableGeometry().size();
    largest = largest.expandedTo(QSize(PixelsToTwipsX(s.width()), PixelsToTwipsY(s.height())));
  }
  return largest;
}

}  // namespace zel
