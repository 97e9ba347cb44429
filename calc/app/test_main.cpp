// Window tests need a QApplication that outlives every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelCalc"));
  // Nothing a test keeps lands in the user's own data folder.
  QStandardPaths::setTestModeEnabled(true);
  return RUN_ALL_TESTS();
}
