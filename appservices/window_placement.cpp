#include "window_placement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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

namespace {

// `r` moved (and cut when larger) to lie on `screen`.
QRect OntoScreen(QRect r, const QRect& screen) {
  r.setWidth(std::min(r.width(), screen.width()));
  r.setHeight(std::min(r.height(), screen.height()));
  r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() + 1 - r.width()));
  r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() + 1 - r.height()));
  return r;
}

// The place of PlaceBeside moved on by `index` stagger steps.
QRect PlaceStaggered(const QRect& main, int keepClearBottom, QSize size, const QRect& screen,
                     int index) {
  const int shift = index * kStaggerStep;
  // Right of the main window, from its top down.
  const QRect right(QPoint(main.right() + 1, main.top() + shift), size);
  if (right.right() <= screen.right()) return OntoScreen(right, screen);
  // Below it, from its left edge on.
  const QRect below(QPoint(main.left() + shift, main.bottom() + 1), size);
  if (below.bottom() <= screen.bottom()) return OntoScreen(below, screen);
  // Over its log and keypad, cascaded, the input line left free; up over
  // the input line only on a screen with no room below it.
  QRect over(QPoint(main.left() + kStaggerStep + shift, keepClearBottom + 1 + shift), size);
  if (over.bottom() > screen.bottom()) over.moveTop(keepClearBottom + 1);
  return OntoScreen(over, screen);
}

}  // namespace

QRect PlaceBeside(const QRect& main, int keepClearBottom, QSize outer, const QRect& screen,
                  const QList<QPoint>& taken) {
  const QSize size = outer.boundedTo(screen.size());
  QRect placed = PlaceStaggered(main, keepClearBottom, size, screen, 0);
  for (int index = 1; index < 20 && taken.contains(placed.topLeft()); ++index)
    placed = PlaceStaggered(main, keepClearBottom, size, screen, index);
  return placed;
}

QRect PlaceBesideWindow(const QWidget* window, QSize outer, const QWidget* main,
                        const QWidget* keepVisible) {
  QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
  if (!screen) return QRect(QPoint(0, 0), outer);
  const QRect area = screen->availableGeometry();
  if (!main || !main->isVisible()) {
    QRect r(QPoint(0, 0), outer.boundedTo(area.size()));
    r.moveCenter(area.center());
    return OntoScreen(r, area);
  }
  QList<QPoint> taken;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != window && w != main && w->isVisible()) taken << w->frameGeometry().topLeft();
  const int keepClearBottom =
      keepVisible ? keepVisible->mapToGlobal(QPoint(0, keepVisible->height())).y() - 1
                  : main->geometry().top();
  return PlaceBeside(main->frameGeometry(), keepClearBottom, outer, area, taken);
}

}  // namespace zel
