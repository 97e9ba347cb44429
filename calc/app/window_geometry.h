#pragma once
// A top-level window's geometry as the settings store keeps it: the outer
// rectangle (frame included) in twips under PositionT, PositionL, SizeH and
// SizeW of the window's own section. The frame is known only once the
// window manager has framed the shown window, so an outer size set before
// that is applied again then.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

#include "layout.h"

class QWidget;

namespace zel {

struct GeometryDefaults {
  const char* section;
  const char* top;     // default texts of PositionT, PositionL, SizeH, SizeW
  const char* left;
  const char* height;
  const char* width;
};

// The outer pixel rectangle of a twip rectangle, brought back to
// `fallbackOffset` (pixels) from the primary screen's available area when
// too little of its caption would lie on any screen.
QRect ReachableOuter(int top, int left, int height, int width, QPoint fallbackOffset);

class WindowGeometry {
 public:
  WindowGeometry(QWidget& window, const GeometryDefaults& defaults)
      : window_(window), defaults_(defaults) {}

  // The stored rectangle, defaults where keys are absent, made safe to use.
  StoredGeometry Read() const;
  // Whether the section holds a place of the window's own.
  bool HasStoredPlace() const;

  // Moves the window to the outer rectangle and sizes its client area to
  // fit; before the window is framed its outer size is taken as the client
  // size, and kept to be applied once the frame is known.
  void Place(const QRect& outer);
  // The pending outer size, once the shown window is framed: the window is
  // resized to it and true is returned. `beforeResize` runs first (a layout
  // whose limits must allow for the frame).
  bool ApplyPendingOuter(const std::function<void()>& beforeResize = {});
  bool OuterPending() const { return pendingOuter_.isValid(); }

  // Writes the outer rectangle (pixels) in twips; a key that cannot be
  // written is skipped, the others are still written.
  void Save(const QRect& outer) const;

  // Outer size minus client size; empty until the window is framed.
  QSize FrameExtra() const;

 private:
  QWidget& window_;
  GeometryDefaults defaults_;
  QSize pendingOuter_;
};

}  // namespace zel
