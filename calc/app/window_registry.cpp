#include "window_registry.h"

#include <QPointer>

namespace zel {

namespace {

QList<QPointer<QWidget>>& Windows() {
  static QList<QPointer<QWidget>> windows;
  return windows;
}

}  // namespace

void RegisterWindow(QWidget* window) {
  if (!window) return;
  QList<QPointer<QWidget>>& list = Windows();
  list.removeAll(QPointer<QWidget>());
  for (const QPointer<QWidget>& w : list)
    if (w == window) return;
  list.append(window);
}

QList<QWidget*> RegisteredWindows() {
  QList<QWidget*> out;
  for (const QPointer<QWidget>& w : Windows())
    if (w) out.append(w.data());
  return out;
}

void UnloadRegisteredWindows(const std::function<void(QWidget*)>& closeOne) {
  // A copy: closing a window may create or destroy others.
  const QList<QPointer<QWidget>> order = Windows();
  for (const QPointer<QWidget>& w : order) {
    if (!w) continue;
    try {
      if (closeOne)
        closeOne(w.data());
      else
        w->close();
    } catch (...) {
      // One window that cannot be closed does not keep the others open.
    }
  }
}

}  // namespace zel
