// zelHelpView HELPFILE [--search WORDS] [--index KEYWORD]: the help window
// on its own, for looking at a manual while writing it and for the
// screenshot script.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "help_viewer.h"
#include "help_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelCalc"));
  const QStringList args = QApplication::arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: zelHelpView HELPFILE [--search WORDS] [--index KEYWORD]\n");
    return 2;
  }
  QString error;
  if (!zel::ShowHelpViewer(nullptr, args[1], &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  auto* window = qobject_cast<zel::HelpWindow*>(zel::CurrentHelpViewer());
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  const int search = args.indexOf(QStringLiteral("--search"));
  const int index = args.indexOf(QStringLiteral("--index"));
  // After the contents have shown the home page.
  QTimer::singleShot(500, window, [&] {
    if (search > 0 && search + 1 < args.size()) window->Search(args[search + 1]);
    if (index > 0 && index + 1 < args.size()) window->ShowIndexEntry(args[index + 1]);
  });
  const int rc = app.exec();
  delete window;
  return rc;
}
