#include <QApplication>

#include "startup.h"
#include "zel_calculator.h"
#include "zel_io_factory.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelCalc"));
  zel::InstallIOObjectFactory();
  zel::StartupSession session;
  const auto result = zel::StartProgram(
      session, {QCoreApplication::applicationDirPath(), zel::DefaultLockDir(), QString()});
  if (result != zel::StartupResult::Running) return 0;
  const int rc = app.exec();
  zel::ReleaseEngine();
  zel::gIOObject = nullptr;
  return rc;
}
