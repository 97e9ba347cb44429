#include <QApplication>

#include "frm_customize.h"
#include "frm_main.h"
#include "frm_unit_conv.h"
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
  zel::AttachLibraryTools(*session.window);
  zel::AttachUnitConversion(*session.window);
  const int rc = app.exec();
  zel::ReleaseEngine();
  zel::gIOObject = nullptr;
  return rc;
}
