#pragma once
// picPlot: the plot itself, drawn with QPainter. Axes with round ticks, a
// grid, the traces, a legend and a crosshair that reads x and each trace's
// y at the mouse. The mouse moves the view: the wheel zooms about the
// cursor, a drag pans, a drag with Shift zooms to the rectangle, a double
// click (or Home) asks for everything to be fitted in.
#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "plot_view.h"

class QPainter;

namespace zel::plot {

struct CanvasTrace {
  QString name;
  QColor color;
  const std::vector<double>* y = nullptr;  // one per x; NaN for a gap
};

class PlotCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit PlotCanvas(QWidget* parent = nullptr);

  // The samples drawn (owned by the caller, kept alive while shown).
  void SetData(const std::vector<double>* xs, std::vector<CanvasTrace> traces);
  void SetView(const PlotView& view);
  const PlotView& View() const { return view_; }

  // How the traces are stroked: Full (1.6 px, round joins) at rest and in
  // files; Moving (1 px cosmetic lines, which the painter draws several
  // times faster) while a drag or the wheel moves the view.
  enum class Quality { Full, Moving };

  // Draws the whole plot into `area` of any paint device: the window, an
  // image for the clipboard or a PNG, an SVG.
  void Render(QPainter& p, const QRect& area, bool withCrosshair, Quality quality = Quality::Full) const;
  QImage Image() const;

  // The plot area inside a widget rectangle of this size (axes outside).
  QRect PlotArea(const QRect& area) const;
  // What the crosshair reads at a widget position: "x = ..." then one line
  // per trace ("Sin(x): 0.841471"); empty outside the plot area.
  QStringList Readout(QPoint at) const;

 signals:
  // The mouse moved or zoomed the view.
  void viewChanged();
  void fitRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // A widget position as fractions of the plot area (y upwards).
  QPointF Fractions(QPointF at) const;

  const std::vector<double>* xs_ = nullptr;
  std::vector<CanvasTrace> traces_;
  PlotView view_;
  std::optional<QPoint> mouse_;       // the crosshair's place
  std::optional<QPoint> pressAt_;     // a drag under way
  PlotView pressView_;
  bool rubberBand_ = false;           // the drag draws a rectangle (Shift)
  class QTimer* settle_ = nullptr;    // the wheel's moving quality ends
};

}  // namespace zel::plot
