#include "plot_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "plot_axis.h"
#include "plot_path.h"

namespace zel::plot {

namespace {

// Ticks roughly this many pixels apart.
constexpr int kTickSpacingX = 80;
constexpr int kTickSpacingY = 45;
// One wheel notch zooms by this factor.
constexpr double kWheelZoom = 0.8;

QString Label(const std::string& utf8) { return QString::fromUtf8(utf8.c_str()); }

std::vector<Tick> TicksFor(const AxisRange& a, int pixels, int spacing) {
  const int count = std::max(2, pixels / spacing);
  return a.log ? LogTicks(a.lo, a.hi, count) : LinearTicks(a.lo, a.hi, count);
}

}  // namespace

PlotCanvas::PlotCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picPlot"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(240, 160);
  setCursor(Qt::CrossCursor);
  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(150);
  connect(settle_, &QTimer::timeout, this, [this] { update(); });
}

void PlotCanvas::SetData(const std::vector<double>* xs, std::vector<CanvasTrace> traces) {
  xs_ = xs;
  traces_ = std::move(traces);
  update();
}

void PlotCanvas::SetView(const PlotView& view) {
  view_ = {Usable(view.x), Usable(view.y)};
  update();
}

QRect PlotCanvas::PlotArea(const QRect& area) const {
  const QFontMetrics fm(font());
  // Room for the widest label the y axis may get.
  const int left = fm.horizontalAdvance(QStringLiteral("-888.888m")) + 10;
  const int bottom = fm.height() + 10;
  return area.adjusted(left, 10, -14, -bottom);
}

QPointF PlotCanvas::Fractions(QPointF at) const {
  const QRect r = PlotArea(rect());
  return {(at.x() - r.left()) / std::max(1, r.width()), (r.bottom() - at.y()) / std::max(1, r.height())};
}

void PlotCanvas::Render(QPainter& p, const QRect& area, bool withCrosshair, Quality quality) const {
  p.save();
  p.setFont(font());
  p.fillRect(area, Qt::white);
  const QRect r = PlotArea(area);
  const QFontMetrics fm(font());

  // Grid and tick labels.
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPen grid(QColor(225, 225, 225), 0);
  const QPen text(Qt::black);
  for (const Tick& t : TicksFor(view_.x, r.width(), kTickSpacingX)) {
    const double f = ToFraction(view_.x, t.value);
    if (!(f >= -1e-9 && f <= 1 + 1e-9)) continue;
    const int px = r.left() + int(std::lround(f * r.width()));
    p.setPen(grid);
    p.drawLine(px, r.top(), px, r.bottom());
    p.setPen(text);
    const QString s = Label(t.label);
    p.drawText(QRect(px - 60, r.bottom() + 4, 120, fm.height()), Qt::AlignHCenter | Qt::AlignTop, s);
  }
  for (const Tick& t : TicksFor(view_.y, r.height(), kTickSpacingY)) {
    const double f = ToFraction(view_.y, t.value);
    if (!(f >= -1e-9 && f <= 1 + 1e-9)) continue;
    const int py = r.bottom() - int(std::lround(f * r.height()));
    p.setPen(grid);
    p.drawLine(r.left(), py, r.right(), py);
    p.setPen(text);
    p.drawText(QRect(area.left(), py - fm.height() / 2, r.left() - area.left() - 6, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, Label(t.label));
  }
  // The zero lines, where they are in view.
  p.setPen(QPen(QColor(160, 160, 160), 0));
  if (!view_.x.log && view_.x.lo < 0 && view_.x.hi > 0) {
    const int px = r.left() + int(std::lround(ToFraction(view_.x, 0) * r.width()));
    p.drawLine(px, r.top(), px, r.bottom());
  }
  if (!view_.y.log && view_.y.lo < 0 && view_.y.hi > 0) {
    const int py = r.bottom() - int(std::lround(ToFraction(view_.y, 0) * r.height()));
    p.drawLine(r.left(), py, r.right(), py);
  }

  // The traces, clipped to the plot area.
  p.save();
  p.setClipRect(r);
  p.translate(r.topLeft());
  p.setRenderHint(QPainter::Antialiasing, true);
  if (xs_) {
    for (const CanvasTrace& t : traces_) {
      if (!t.y) continue;
      QPen pen(t.color, quality == Quality::Full ? 1.6 : 0);
      if (quality == Quality::Full) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
      }
      p.setPen(pen);
      for (const Polyline& line : TraceLines(*xs_, *t.y, view_, r.width(), r.height())) {
        if (line.size() == 1) {
          p.drawPoint(QPointF(line[0].x, line[0].y));
          continue;
        }
        std::vector<QPointF> pts;
        pts.reserve(line.size());
        for (const PixelPoint& pt : line) pts.emplace_back(pt.x, pt.y);
        p.drawPolyline(pts.data(), int(pts.size()));
      }
    }
  }
  p.restore();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);

  // The legend, top right inside the plot area.
  if (!traces_.empty()) {
    int width = 0;
    QStringList names;
    for (const CanvasTrace& t : traces_) {
      names << fm.elidedText(t.name, Qt::ElideRight, 260);
      width = std::max(width, fm.horizontalAdvance(names.back()));
    }
    const int lineH = fm.height();
    const QRect box(r.right() - width - 40, r.top() + 6, width + 34, lineH * int(names.size()) + 8);
    p.fillRect(box, QColor(255, 255, 255, 225));
    p.setPen(QPen(QColor(180, 180, 180), 0));
    p.drawRect(box);
    for (int i = 0; i < names.size(); ++i) {
      const int y = box.top() + 4 + i * lineH;
      p.setPen(QPen(traces_[size_t(i)].color, 2.5));
      p.drawLine(box.left() + 5, y + lineH / 2, box.left() + 22, y + lineH / 2);
      p.setPen(text);
      p.drawText(QRect(box.left() + 28, y, width + 4, lineH), Qt::AlignLeft | Qt::AlignVCenter, names[i]);
    }
  }

  // The crosshair and what it reads.
  if (withCrosshair && mouse_ && r.contains(*mouse_)) {
    p.setPen(QPen(QColor(90, 90, 90), 0, Qt::DashLine));
    p.drawLine(mouse_->x(), r.top(), mouse_->x(), r.bottom());
    p.drawLine(r.left(), mouse_->y(), r.right(), mouse_->y());
    const QStringList lines = Readout(*mouse_);
    int width = 0;
    for (const QString& s : lines) width = std::max(width, fm.horizontalAdvance(s));
    // Beside the cursor, on whichever side has room, clear of the legend.
    QRect box(0, 0, width + 12, fm.height() * int(lines.size()) + 8);
    box.moveTopLeft(*mouse_ + QPoint(14, 14));
    if (box.right() > r.right()) box.moveRight(mouse_->x() - 14);
    if (box.bottom() > r.bottom()) box.moveBottom(mouse_->y() - 14);
    p.fillRect(box, QColor(255, 255, 224, 235));
    p.setPen(QPen(QColor(150, 150, 150), 0));
    p.drawRect(box);
    p.setPen(text);
    for (int i = 0; i < lines.size(); ++i)
      p.drawText(QRect(box.left() + 6, box.top() + 4 + i * fm.height(), width + 4, fm.height()),
                 Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
  }
  if (pressAt_ && rubberBand_ && mouse_) {
    p.setPen(QPen(QColor(0, 90, 200), 0, Qt::DashLine));
    p.setBrush(QColor(0, 90, 200, 30));
    p.drawRect(QRect(*pressAt_, *mouse_).normalized());
  }
  p.restore();
}

QStringList PlotCanvas::Readout(QPoint at) const {
  QStringList lines;
  const QRect r = PlotArea(rect());
  if (!r.contains(at)) return lines;
  const QPointF f = Fractions(at);
  const double x = FromFraction(view_.x, f.x());
  lines << QStringLiteral("x = ") + Label(ReadoutText(x));
  for (const CanvasTrace& t : traces_) {
    const double y = xs_ && t.y ? ValueAt(*xs_, *t.y, x) : std::nan("");
    lines << QFontMetrics(font()).elidedText(t.name, Qt::ElideRight, 200) + QStringLiteral(": ") +
                 Label(ReadoutText(y));
  }
  return lines;
}

QImage PlotCanvas::Image() const {
  QImage image(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatioF());
  QPainter p(&image);
  Render(p, rect(), false);
  return image;
}

void PlotCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool moving = (pressAt_ && !rubberBand_) || settle_->isActive();
  Render(p, rect(), true, moving ? Quality::Moving : Quality::Full);
}

void PlotCanvas::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  const QPointF f = Fractions(event->position());
  const double factor = std::pow(kWheelZoom, notches);
  view_.x = ZoomAbout(view_.x, f.x(), factor);
  view_.y = ZoomAbout(view_.y, f.y(), factor);
  settle_->start();
  update();
  emit viewChanged();
  event->accept();
}

void PlotCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressAt_ = event->position().toPoint();
  pressView_ = view_;
  rubberBand_ = event->modifiers() & Qt::ShiftModifier;
  setCursor(rubberBand_ ? Qt::CrossCursor : Qt::ClosedHandCursor);
}

void PlotCanvas::mouseMoveEvent(QMouseEvent* event) {
  mouse_ = event->position().toPoint();
  if (pressAt_ && !rubberBand_) {
    const QRect r = PlotArea(rect());
    const QPoint d = *mouse_ - *pressAt_;
    // From the view at the press: the value grabbed stays under the mouse.
    view_.x = Pan(pressView_.x, -double(d.x()) / std::max(1, r.width()));
    view_.y = Pan(pressView_.y, double(d.y()) / std::max(1, r.height()));
    emit viewChanged();
  }
  update();
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressAt_) return;
  if (rubberBand_) {
    const QPointF a = Fractions(*pressAt_), b = Fractions(event->position());
    const PlotView before = view_;
    view_.x = Between(view_.x, a.x(), b.x());
    view_.y = Between(view_.y, a.y(), b.y());
    if (!(view_.x == before.x && view_.y == before.y)) emit viewChanged();
  }
  pressAt_.reset();
  rubberBand_ = false;
  setCursor(Qt::CrossCursor);
  update();
}

void PlotCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit fitRequested();
}

void PlotCanvas::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home) {
    emit fitRequested();
    return;
  }
  QWidget::keyPressEvent(event);
}

void PlotCanvas::leaveEvent(QEvent* event) {
  mouse_.reset();
  update();
  QWidget::leaveEvent(event);
}

}  // namespace zel::plot
