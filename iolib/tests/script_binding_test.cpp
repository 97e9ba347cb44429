// zelIO as scripts see it through the engine.
#include <QListWidget>
#include <QPushButton>

#include "dialog_test_util.h"
#include "vbs/engine.h"

namespace zel::test {
namespace {

class ScriptBinding : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    engine.AddObject(u"zelIO", CreateIOObject());
  }
  vbs::Engine engine;
};

TEST_F(ScriptBinding, ScriptPreparesAndAsksAndGetsText) {
  ASSERT_TRUE(engine.AddCode(
      u"Function AskLength()\r\n"
      u"  zelIO.ClearListItem\r\n"
      u"  zelIO.AddListItem 10\r\n"
      u"  zelIO.AddListItem \"20\"\r\n"
      u"  zelIO.SetUnitId 2, 1\r\n"
      u"  AskLength = zelIO.getData(\"Length?\", 20, \"Pipe\")\r\n"
      u"End Function\r\n"))
      << std::string(engine.Error().Description.begin(), engine.Error().Description.end());
  QString title, unit;
  int items = 0;
  WhenShown([&](zelDialog& d) {
    title = d.windowTitle();
    unit = d.lstUnitList[1]->currentItem()->text();
    items = d.txtBaseValue->count();
    d.lstUnitList[0]->setCurrentRow(0);  // the user picks m on the left
    d.cmdConvertBtn[1]->click();         // 20 mm read back as m
    d.OKButton->click();
  });
  vbs::Variant result;
  ASSERT_TRUE(engine.Eval(u"AskLength()", result));
  ASSERT_TRUE(result.IsString());
  EXPECT_EQ(result.str(), u"0.02");
  EXPECT_EQ(title, "Pipe");
  EXPECT_EQ(unit, "mm");
  EXPECT_EQ(items, 2);

  // The script converts the text itself.
  WhenShown([](zelDialog& d) { d.OKButton->click(); });
  ASSERT_TRUE(engine.Eval(u"CDbl(zelIO.getData(\"again\")) * 2", result));
  EXPECT_EQ(vbs::ToText(result), u"0.04");
}

TEST_F(ScriptBinding, ErrorsReachTheScriptWithNumberAndText) {
  EXPECT_FALSE(engine.ExecuteStatement(u"zelIO.SetUnitId 23"));
  EXPECT_EQ(engine.Error().Number, 9);
  EXPECT_EQ(engine.Error().Description, u"Subscript out of range");
  EXPECT_FALSE(engine.ExecuteStatement(u"zelIO.SetUnitId 2, 5"));
  EXPECT_EQ(engine.Error().Number, 380);
  EXPECT_FALSE(engine.ExecuteStatement(u"zelIO.NoSuchMethod"));
  EXPECT_EQ(engine.Error().Number, 438);
  // A script can handle them itself.
  ASSERT_TRUE(engine.ExecuteStatement(
      u"On Error Resume Next\r\nzelIO.SetUnitId 99\r\nn = Err.Number\r\nOn Error GoTo 0"));
  vbs::Variant n;
  ASSERT_TRUE(engine.Eval(u"n", n));
  EXPECT_EQ(vbs::ToText(n), u"9");
  EXPECT_TRUE(engine.ExecuteStatement(u"zelIO.SetGuidePicture \"no such.bmp\""));
}

}  // namespace
}  // namespace zel::test
