// The main window's unload routine with the tool windows open: every window
// saves itself, and the settings file is written once, however large.
#include <QAction>
#include <QFile>

#include "app_settings.h"
#include "frm_customize.h"
#include "frm_tree.h"
#include "frm_user_scripting.h"
#include "libtools_test_support.h"

namespace zel::test {
namespace {

using UnloadTest = ToolFixture;

TEST_F(UnloadTest, ExitWritesTheSettingsFileOnceAndKeepsHandWrittenValues) {
  // A settings file of about half a megabyte that a user has also edited by hand.
  const QString path = QDir(tmp_.path()).filePath("zelCalc.ini");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Option]\nUserEditor=\"/usr/bin/vi\" -x\n");
    for (int s = 0; s < 500; ++s) {
      QByteArray section = "[Big" + QByteArray::number(s) + "]\n";
      for (int k = 0; k < 40; ++k)
        section += "Key" + QByteArray::number(k) + "=some value, with; odd = text\n";
      f.write(section);
    }
  }
  QtSettingsStore ini(path);
  SetAppSettings(&ini);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  frmUserScripting::Open(*main_);
  frmCustomize::Open(*main_);
  frmTree::Open(*main_);
  QTest::qWait(50);  // nothing is pending before the exit
  const int before = SettingsFileWrites();

  Prompts().Answer(kAnswerYes);
  QApplication::setQuitOnLastWindowClosed(false);
  main_->mnuExit->trigger();
  QTest::qWait(50);
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_EQ(SettingsFileWrites() - before, 1);
  EXPECT_FALSE(main_->isVisible());

  QtSettingsStore again(path);
  for (const char* section : {"frmMain", "frmUserScripting", "frmCustomize", "frmTree"})
    EXPECT_NE(again.Get(section, "SizeW", "<absent>"), "<absent>") << section;
  EXPECT_EQ(again.Get("Option", "UserEditor", ""), "\"/usr/bin/vi\" -x");
  EXPECT_EQ(again.Get("Big499", "Key39", ""), "some value, with; odd = text");
  SetAppSettings(&store_);
}

}  // namespace
}  // namespace zel::test
