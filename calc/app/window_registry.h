#pragma once
// The program's open windows in the order they were loaded. The main
// window's unload routine closes them in that order.
//
// Every window of the program calls RegisterWindow once, when it is first
// created (the main window registers first). A window saves its own
// settings (its geometry section) in its close handling, so closing it
// through this list is all the unload routine does for it. A window that
// is destroyed drops out of the list by itself; a window that is only
// hidden stays registered and is closed again at the next unload.
#include <QList>
#include <QWidget>
#include <functional>

namespace zel {

void RegisterWindow(QWidget* window);

// The registered windows that still exist, in load order.
QList<QWidget*> RegisteredWindows();

// Closes every registered window in load order with `closeOne` (by default
// QWidget::close). A window whose closing fails is skipped and the next one
// is closed.
void UnloadRegisteredWindows(const std::function<void(QWidget*)>& closeOne = {});

}  // namespace zel
