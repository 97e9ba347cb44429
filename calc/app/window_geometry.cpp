#include "window_geometry.h"

#include <QWidget>

#include "app_settings.h"
#include "twips.h"
#include "window_placement.h"

namespace zel {

QRect ReachableOuter(int top, int left, int height, int width, QPoint fallbackOffset) {
  return KeepReachable(QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                             TwipsToPixelsY(height)),
                       fallbackOffset);
}

StoredGeometry WindowGeometry::Read() const {
  const SettingsStore& s = AppSettings();
  // Stored numbers may be anything ("1e999"): limited before any use.
  const QSize screen = LargestScreenTwips();
  return ClampStoredGeometry(ReadNumber(s, defaults_.section, "PositionT", defaults_.top),
                             ReadNumber(s, defaults_.section, "PositionL", defaults_.left),
                             ReadNumber(s, defaults_.section, "SizeH", defaults_.height),
                             ReadNumber(s, defaults_.section, "SizeW", defaults_.width),
                             screen.height(), screen.width());
}

bool WindowGeometry::HasStoredPlace() const {
  const SettingsStore& s = AppSettings();
  return HasSetting(s, defaults_.section, "PositionT") ||
         HasSetting(s, defaults_.section, "PositionL");
}

void WindowGeometry::Place(const QRect& outer) {
  const QSize extra = FrameExtra();
  window_.move(outer.topLeft());
  window_.resize(outer.size() - extra);
  pendingOuter_ = extra.isEmpty() ? outer.size() : QSize();
}

void WindowGeometry::Save(const QRect& outer) const {
  SettingsStore& s = AppSettings();
  const char* section = defaults_.section;
  const std::pair<const char*, int> values[] = {{"PositionT", PixelsToTwipsY(outer.top())},
                                                {"PositionL", PixelsToTwipsX(outer.left())},
                                                {"SizeH", PixelsToTwipsY(outer.height())},
                                                {"SizeW", PixelsToTwipsX(outer.width())}};
  for (const auto& [key, value] : values) {
    try {
      WriteNumber(s, section, key, value, 7);
    } catch (...) {
      // Skipped; the other keys are still saved.
    }
  }
}

QSize WindowGeometry::FrameExtra() const {
  return window_.frameGeometry().size() - window_.geometry().size();
}

bool WindowGeometry::ApplyPendingOuter(const std::function<void()>& beforeResize) {
  const QSize extra = FrameExtra();
  if (!OuterPending() || !window_.isVisible() || extra.isEmpty()) return false;
  const QSize outer = pendingOuter_;
  pendingOuter_ = QSize();
  if (beforeResize) beforeResize();
  window_.resize(outer - extra);
  return true;
}

}  // namespace zel
