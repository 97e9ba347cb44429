#include "twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace zel {

double LogicalDpi(Qt::Orientation orientation) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 96.0;
  const double dpi = orientation == Qt::Horizontal ? screen->logicalDotsPerInchX()
                                                   : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : 96.0;
}

int TwipsToPixels(int twips, Qt::Orientation orientation) {
  return int(std::lround(twips * LogicalDpi(orientation) / kTwipsPerInch));
}

int PixelsToTwips(int pixels, Qt::Orientation orientation) {
  return int(std::lround(pixels * kTwipsPerInch / LogicalDpi(orientation)));
}

void SetGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                      TwipsToPixelsY(height));
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
  SetGeometryTwips(widget, left, top, width, height);
  const QSize needed = widget->sizeHint();
  const int h = std::max(widget->height(), needed.height());
  int w = widget->width();
  if (qobject_cast<QLabel*>(widget)) w = std::max(w, needed.width());
  widget->resize(w, h);
}

QSize ClientSizeForOuterTwips(const QWidget* window, int widthTwips, int heightTwips) {
  QMargins frame;
  if (const QWindow* handle = window->windowHandle()) frame = handle->frameMargins();
  return {TwipsToPixelsX(widthTwips) - frame.left() - frame.right(),
          TwipsToPixelsY(heightTwips) - frame.top() - frame.bottom()};
}

void SetFixedOuterTwips(QWidget* window, int widthTwips, int heightTwips, QSize least) {
  window->setFixedSize(ClientSizeForOuterTwips(window, widthTwips, heightTwips).expandedTo(least));
}

void AgainOnceFramed(QWidget* window, const std::function<void()>& apply,
                     std::initializer_list<int> delaysMs) {
  for (int ms : delaysMs) QTimer::singleShot(ms, window, apply);
}

}  // namespace zel
