#include <QApplication>
#include <QCommandLineParser>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>

#include "frm_customize.h"
#include "frm_main.h"
#include "frm_plot.h"
#include "frm_unit_conv.h"
#include "input_assist.h"
#include "reload_on_save.h"
#include "startup.h"
#include "zel_calculator.h"
#include "zel_io_factory.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "zelCalc, the engineering calculator whose expressions are VBScript."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and ends."));
  const QCommandLineOption noLibrary(
      QStringLiteral("no-library"),
      QStringLiteral("Starts without loading the library files, for when one of them keeps "
                     "zelCalc from starting. Reload in the VBS File Editing window loads them."));
  parser.addOptions({help, noLibrary});
  // Help is given before the windowing system is reached, so it works
  // without a display too.
  parser.parse(Arguments(argc, argv));
  if (parser.isSet(help)) {
    std::fputs(parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("zelCalc"))
                   .toLocal8Bit()
                   .constData(),
               stdout);
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelCalc"));
  // The windowing system's own options are gone from the list by now.
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "zelCalc: %s\n", qPrintable(parser.errorText()));
    return 1;
  }
  zel::StartupSession session;
  zel::InstallIOObjectFactory(session.calc);
  session.calc.gCreatePlotObject = [&session] {
    return zel::CreatePlotObject([&session] { return session.window.get(); });
  };
  zel::StartupOptions options{QCoreApplication::applicationDirPath(), zel::DefaultLockDir(), QString()};
  options.loadLibrary = !parser.isSet(noLibrary);
  switch (zel::StartProgram(session, options)) {
    case zel::StartupResult::Running: break;
    case zel::StartupResult::AlreadyRunning: return 0;
    case zel::StartupResult::Failed:
    case zel::StartupResult::EditorStarted: return 1;
  }
  session.calc.gEndProgramNow = [&session] {
    if (session.lock) session.lock->unlock();
    std::_Exit(0);
  };
  zel::AttachLibraryTools(*session.window);
  zel::WatchLibraryForSaves(*session.window);
  zel::AttachUnitConversion(*session.window);
  zel::AttachPlot(*session.window);
  zel::InputAssist::Attach(*session.window);
  const int rc = app.exec();
  zel::ReleaseEngine(session.calc);
  session.calc.gIOObject = nullptr;
  // Windows closed on the way out (the help window with its search
  // indexing thread) are deleted while the application still exists.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return rc;
}
