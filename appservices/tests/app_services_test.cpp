#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app_fonts.h"
#include "app_settings.h"
#include "appservices_test_support.h"
#include "guarded_text_edit.h"
#include "prompt_service.h"
#include "twips.h"

namespace zel {
namespace {

QString ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

TEST(QtSettingsStore, WritesSectionsAsIniGroupsAndReadsBackText) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("zelCalc.ini");
  {
    QtSettingsStore store(path);
    EXPECT_EQ(store.Get("frmMain", "PositionT", "105"), "105");  // absent: default
    WriteNumber(store, "frmMain", "SizeW", 7605, 7);
    WriteNumber(store, "frmMain", "SizeH", 3500.25, 7);
    WriteBool(store, "frmMain", "ShowInput", true);
    WriteBool(store, "frmMain", "DisplayEdit", false);
    store.Set("UnitOrder", "0", "5");
    store.Set("Option", "UserEditor", "gedit --new-window, -s");
  }
  const QString ini = ReadAll(path);
  EXPECT_TRUE(ini.contains("[frmMain]"));
  EXPECT_TRUE(ini.contains("SizeW=7605\n"));
  EXPECT_TRUE(ini.contains("SizeH=3500.25\n"));
  EXPECT_TRUE(ini.contains("ShowInput=True\n"));
  EXPECT_TRUE(ini.contains("DisplayEdit=False\n"));
  EXPECT_TRUE(ini.contains("[UnitOrder]\n0=5\n"));

  // A second store on the same file sees everything, the comma text intact.
  QtSettingsStore again(path);
  EXPECT_EQ(again.Get("frmMain", "SizeW", ""), "7605");
  EXPECT_EQ(again.Get("UnitOrder", "0", "0"), "5");
  EXPECT_EQ(again.Get("UnitOrder", "1", "1"), "1");
  EXPECT_EQ(again.Get("Option", "UserEditor", "NOTEPAD.EXE"), "gedit --new-window, -s");
  EXPECT_TRUE(ReadBool(again, "frmMain", "ShowInput", false));
  EXPECT_FALSE(ReadBool(again, "frmMain", "DisplayEdit", true));
  EXPECT_DOUBLE_EQ(ReadNumber(again, "frmMain", "SizeH", "0"), 3500.25);
}

TEST(QtSettingsStore, KeepsJapaneseTextAndReadsHandEditedFiles) {
  QTemporaryDir dir;
  const QString path = dir.filePath("hand.ini");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Option]\nUserEditor=mousepad, --opt\n[frmMain]\nSizeH=12abc\n");
  }
  QtSettingsStore store(path);
  EXPECT_EQ(store.Get("Option", "UserEditor", ""), "mousepad, --opt");
  EXPECT_DOUBLE_EQ(ReadNumber(store, "frmMain", "SizeH", "3495"), 12);
  store.Set("Option", "Memo", "計算機");
  QtSettingsStore again(path);
  EXPECT_EQ(again.Get("Option", "Memo", ""), "計算機");
}

QString WriteIni(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
  const QString path = dir.filePath(name);
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(text);
  return path;
}

TEST(IniFile, HandWrittenValuesReadBackAsWritten) {
  QTemporaryDir dir;
  const struct {
    const char* line;
    const char* value;
  } cases[] = {
      {R"(UserEditor="/usr/bin/vi" -x)", R"("/usr/bin/vi" -x)"},
      {R"(UserEditor="/opt/my editor/ed")", R"("/opt/my editor/ed")"},
      {"UserEditor=gedit --new-window, -s", "gedit --new-window, -s"},
      {"UserEditor=x;y = z # not a comment", "x;y = z # not a comment"},
      {"  UserEditor =  spaced out  \r", "spaced out"},
      {"UserEditor=", ""},
      // As earlier versions wrote them, in QSettings' escapes.
      {R"(UserEditor=\"/usr/bin/gedit\")", R"("/usr/bin/gedit")"},
      {R"(UserEditor=C:\\x)", R"(C:\x)"},
  };
  int n = 0;
  for (const auto& c : cases) {
    QtSettingsStore store(WriteIni(dir, QString("case%1.ini").arg(++n),
                                   QByteArray("; a comment\n[Option]\n") + c.line + "\n"));
    EXPECT_EQ(store.Get("Option", "UserEditor", "<absent>"), c.value) << c.line;
  }
}

TEST(IniFile, EveryValueSurvivesAWriteAndARead) {
  QTemporaryDir dir;
  const QString path = dir.filePath("zelCalc.ini");
  const QStringList values = {
      R"("/usr/bin/vi" -x)", R"("/opt/my editor/ed")", R"(C:\dir\x)", " lead", "trail ", "\t",
      "two\r\nlines", R"(" x")", R"(\x41)", "", QString::fromUtf8("計算機"), "@at", "a=b;c,d",
      R"(\")", "bell\x07"};
  {
    QtSettingsStore store(path);
    for (int i = 0; i < values.size(); ++i)
      store.Set("Option", std::to_string(i), values[i].toStdString());
    EXPECT_TRUE(store.Flush());
  }
  QtSettingsStore again(path);
  for (int i = 0; i < values.size(); ++i)
    EXPECT_EQ(QString::fromStdString(again.Get("Option", std::to_string(i), "<absent>")), values[i]) << i;
  // A value that needs no escape is written as it stands.
  EXPECT_TRUE(ReadAll(path).contains("\n0=\"/usr/bin/vi\" -x\n"));
}

TEST(IniFile, WrittenWhenFlushedOnceForABatchAndFailuresAreReported) {
  QTemporaryDir dir;
  QtSettingsStore store(dir.filePath("zelCalc.ini"));
  SetAppSettings(&store);
  const int before = SettingsFileWrites();
  {
    SettingsBatch batch;
    for (int i = 0; i < 50; ++i) store.Set("frmMain", std::to_string(i), "1");
    QTest::qWait(30);  // the event loop writes nothing during a batch
    EXPECT_EQ(SettingsFileWrites(), before);
  }
  EXPECT_EQ(SettingsFileWrites(), before + 1);
  EXPECT_TRUE(ReadAll(store.FileName()).contains("49=1"));
  // Outside a batch a change is written once the event loop runs.
  store.Set("frmMain", "late", "2");
  QTest::qWait(30);
  EXPECT_EQ(SettingsFileWrites(), before + 2);
  EXPECT_TRUE(ReadAll(store.FileName()).contains("late=2"));
  SetAppSettings(nullptr);

  // A file that cannot be written: its folder is a plain file.
  QFile plain(dir.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  QtSettingsStore broken(dir.filePath("plain/zelCalc.ini"));
  broken.Set("frmMain", "SizeW", "1");
  EXPECT_FALSE(broken.Flush());
}

TEST(SettingsHelpers, BooleanAndNumberReadingRules) {
  MemorySettingsStore store;
  const struct {
    const char* text;
    bool whenDefaultFalse;
    bool whenDefaultTrue;
  } cases[] = {
      {"True", true, true},  {"False", false, false}, {"true", true, true},
      {"0", false, false},   {"-1", true, true},      {" 2.5 ", true, true},
      {"yes", false, true},  {"", false, true},       {"1x", false, true},
  };
  for (const auto& c : cases) {
    store.Set("frmMain", "ACKeyClear", c.text);
    EXPECT_EQ(ReadBool(store, "frmMain", "ACKeyClear", false), c.whenDefaultFalse) << c.text;
    EXPECT_EQ(ReadBool(store, "frmMain", "ACKeyClear", true), c.whenDefaultTrue) << c.text;
  }
  EXPECT_TRUE(ReadBool(store, "frmMain", "Absent", true));
  EXPECT_FALSE(ReadBool(store, "frmMain", "Absent", false));

  EXPECT_DOUBLE_EQ(ReadNumber(store, "frmMain", "SizeW", "7605"), 7605);
  store.Set("frmMain", "SizeW", "abc");
  EXPECT_DOUBLE_EQ(ReadNumber(store, "frmMain", "SizeW", "7605"), 0);
  store.Set("frmMain", "SizeW", " 1 2.5e1x");
  EXPECT_DOUBLE_EQ(ReadNumber(store, "frmMain", "SizeW", "7605"), 125);

  WriteNumber(store, "frmMain", "SizeW", 1.0 / 3, 7);
  EXPECT_EQ(store.Get("frmMain", "SizeW", ""), "0.3333333");
  WriteNumber(store, "frmMain", "SizeW", -1200);
  EXPECT_EQ(store.Get("frmMain", "SizeW", ""), "-1200");
}

TEST(AppSettings, InstalledStoreReplacesThePerUserFile) {
  MemorySettingsStore memory;
  SetAppSettings(&memory);
  AppSettings().Set("UnitOrder", "3", "7");
  EXPECT_EQ(memory.Get("UnitOrder", "3", ""), "7");
  SetAppSettings(nullptr);
  EXPECT_NE(&AppSettings(), static_cast<SettingsStore*>(&memory));
  EXPECT_EQ(&AppSettings(), &AppSettings());
}

TEST(PromptService, RecorderAnswersFromItsQueueAndRecordsTheQuestion) {
  PromptRecorder recorder{kAnswerNo};
  EXPECT_EQ(ShowPrompt("", "Do you want quit?", PromptIcon::Question, PromptButtons::YesNo), kAnswerNo);
  // Queue used up: the button Enter would press.
  EXPECT_EQ(ShowPrompt("Title", "x", PromptIcon::None, PromptButtons::YesNo, 1), kAnswerNo);
  EXPECT_EQ(ShowPrompt("Title", "x", PromptIcon::None, PromptButtons::OKCancel), kAnswerOK);
  ASSERT_EQ(recorder.Asked().size(), 3u);
  const PromptRequest& first = recorder.Asked()[0];
  EXPECT_EQ(first.title, "zelCalc");
  EXPECT_EQ(first.text, "Do you want quit?");
  EXPECT_EQ(first.icon, PromptIcon::Question);
  EXPECT_EQ(first.buttons, PromptButtons::YesNo);
  EXPECT_EQ(recorder.Asked()[1].title, "Title");
}

TEST(PromptService, ScriptMsgBoxStyleIsDecoded) {
  PromptRecorder recorder;
  // vbYesNoCancel + vbExclamation + vbDefaultButton3 + vbSystemModal
  EXPECT_EQ(ShowScriptMsgBox("p", 3 + 48 + 512 + 4096, "t"), kAnswerCancel);
  EXPECT_EQ(ShowScriptMsgBox("p", 64, ""), kAnswerOK);
  ASSERT_EQ(recorder.Asked().size(), 2u);
  EXPECT_EQ(recorder.Asked()[0].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(recorder.Asked()[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(recorder.Asked()[0].defaultButton, 2);
  EXPECT_EQ(recorder.Asked()[1].icon, PromptIcon::Information);
  EXPECT_EQ(recorder.Asked()[1].title, "zelCalc");
}

TEST(PromptService, TextQuestionsAndNestedRecorders) {
  PromptRecorder outer{kAnswerYes};
  {
    PromptRecorder inner;
    inner.AnswerText(std::nullopt);
    EXPECT_EQ(AskText("", "Name?", "abc"), std::nullopt);
    EXPECT_EQ(AskText("T", "Again?", "def"), QString("def"));
    ASSERT_EQ(inner.AskedText().size(), 2u);
    EXPECT_EQ(inner.AskedText()[0].title, "zelCalc");
    EXPECT_EQ(inner.AskedText()[0].defaultText, "abc");
  }
  // The outer recorder is back in charge once the inner one is gone.
  EXPECT_EQ(ShowPrompt("", "q", PromptIcon::None, PromptButtons::YesNo, 1), kAnswerYes);
  EXPECT_EQ(outer.Asked().size(), 1u);
}

// Acts on the next real modal window of kind W once it is up; it is
// answered by `act` (its last step clicks a button or presses a key that
// ends it).
template <class W>
void OnModal(std::function<void(W&)> act) {
  test::WhenModal<W>([] { return qobject_cast<W*>(QApplication::activeModalWidget()); }, std::move(act),
                     "no message box came up");
}

void OnMessageBox(std::function<void(QMessageBox&)> act) { OnModal<QMessageBox>(std::move(act)); }

void SendEscape(QMessageBox& box) {
  QWidget* target = box.focusWidget() ? box.focusWidget() : &box;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

TEST(PromptService, EscAndTheCloseBoxNeverAnswerAYesNoQuestion) {
  bool openAfterEscape = false, openAfterClose = false;
  OnMessageBox([&](QMessageBox& box) {
    SendEscape(box);
    openAfterEscape = box.isVisible();
    box.close();
    openAfterClose = box.isVisible();
    box.button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(ShowPrompt("", "Do you want quit?", PromptIcon::Question, PromptButtons::YesNo),
            kAnswerYes);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(openAfterClose);

  // The same for a No answer given by its button after a stray Esc.
  OnMessageBox([&](QMessageBox& box) {
    SendEscape(box);
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(ShowPrompt("", "q", PromptIcon::None, PromptButtons::YesNo, 0), kAnswerNo);
}

TEST(PromptService, EscIsCancelWhereTheBoxHasCancelAndOkOnALoneOk) {
  OnMessageBox([](QMessageBox& box) { SendEscape(box); });
  EXPECT_EQ(ShowPrompt("", "q", PromptIcon::Question, PromptButtons::YesNoCancel), kAnswerCancel);
  OnMessageBox([](QMessageBox& box) { box.close(); });
  EXPECT_EQ(ShowPrompt("", "q", PromptIcon::None, PromptButtons::OKCancel), kAnswerCancel);
  OnMessageBox([](QMessageBox& box) { SendEscape(box); });
  EXPECT_EQ(ShowPrompt("", "note", PromptIcon::Exclamation, PromptButtons::OK), kAnswerOK);
}

TEST(PromptService, BoxesOfARunningScriptOfferStopScriptAndCtrlBreak) {
  {
    PromptRecorder recorder{kAnswerStopScript};
    bool stop = false;
    EXPECT_EQ(ShowScriptMsgBox("p", 4, "t", &stop), kAnswerNo);  // Yes/No: stopped as No
    EXPECT_TRUE(stop);
    ASSERT_EQ(recorder.Asked().size(), 1u);
    EXPECT_TRUE(recorder.Asked()[0].offersStop);
    recorder.AnswerTextStop();
    stop = false;
    EXPECT_EQ(AskText("", "Name?", "abc", &stop), std::nullopt);
    EXPECT_TRUE(stop);
    EXPECT_TRUE(recorder.AskedText()[0].offersStop);
  }
  auto stopButton = [](QWidget& w) { return w.findChild<QAbstractButton*>("cmdStopScript"); };
  // The button answers the box as Esc would, or with its first of No and Abort.
  const struct {
    int style;
    int answer;
  } sets[] = {{0, kAnswerOK}, {1, kAnswerCancel}, {2, kAnswerAbort}, {3, kAnswerCancel},
              {4, kAnswerNo}, {5, kAnswerCancel}};
  for (const auto& set : sets) {
    OnMessageBox([&](QMessageBox& box) { stopButton(box)->click(); });
    bool stop = false;
    EXPECT_EQ(ShowScriptMsgBox("x", set.style, "", &stop), set.answer) << set.style;
    EXPECT_TRUE(stop) << set.style;
  }
  // Ctrl+Break does the same, as X11 reports it: the keysym Break, for
  // which Qt has no key code.
  OnMessageBox([](QMessageBox& box) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 0, 0xFF6B, 0);
    QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &press);
  });
  bool stop = false;
  EXPECT_EQ(ShowScriptMsgBox("x", 4, "", &stop), kAnswerNo);
  EXPECT_TRUE(stop);
  // A lone OK still goes with Esc, without stopping anything.
  OnMessageBox([](QMessageBox& box) { SendEscape(box); });
  stop = false;
  EXPECT_EQ(ShowScriptMsgBox("x", 0, "", &stop), kAnswerOK);
  EXPECT_FALSE(stop);
  // The program's own questions offer no stop.
  bool offered = true;
  OnMessageBox([&](QMessageBox& box) {
    offered = stopButton(box) != nullptr;
    box.button(QMessageBox::Ok)->click();
  });
  ShowPrompt("", "note");
  EXPECT_FALSE(offered);

  // InputBox: OK gives the text; the button and Ctrl+Break cancel and stop.
  OnModal<QDialog>([](QDialog& d) {
    QLineEdit* edit = d.findChild<QLineEdit*>();
    edit->setText("typed");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  stop = false;
  EXPECT_EQ(AskText("", "Name?", "abc", &stop), QString("typed"));
  EXPECT_FALSE(stop);
  OnModal<QDialog>([&](QDialog& d) { stopButton(d)->click(); });
  EXPECT_EQ(AskText("", "Name?", "abc", &stop), std::nullopt);
  EXPECT_TRUE(stop);
  OnModal<QDialog>([](QDialog& d) { QTest::keyClick(d.findChild<QLineEdit*>(), Qt::Key_Pause, Qt::ControlModifier); });
  stop = false;
  EXPECT_EQ(AskText("", "Name?", "abc", &stop), std::nullopt);
  EXPECT_TRUE(stop);
}

TEST(GuardedTextEdit, PasteFromAMissingOrEmptyClipboardChangesNothing) {
  struct Probe : GuardedTextEdit {
    using GuardedTextEdit::canInsertFromMimeData;
    using GuardedTextEdit::insertFromMimeData;
  };
  Probe box;
  box.setPlainText(QStringLiteral("0.0021"));
  box.moveCursor(QTextCursor::End);
  box.insertFromMimeData(nullptr);
  EXPECT_FALSE(box.canInsertFromMimeData(nullptr));
  QMimeData empty;
  box.insertFromMimeData(&empty);
  EXPECT_FALSE(box.canInsertFromMimeData(&empty));
  QGuiApplication::clipboard()->clear();
  box.paste();
  QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(box.toPlainText(), "0.0021");
  // Text on the clipboard still pastes, by key and by the context menu's slot.
  QGuiApplication::clipboard()->setText(QStringLiteral("5"));
  QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
  box.paste();
  EXPECT_EQ(box.toPlainText(), "0.002155");
  QGuiApplication::clipboard()->clear();
}

TEST(Twips, FollowTheScreensLogicalDpi) {
  const double dpiX = LogicalDpi(Qt::Horizontal);
  const double dpiY = LogicalDpi(Qt::Vertical);
  EXPECT_GT(dpiX, 0);
  EXPECT_EQ(TwipsToPixelsX(1440), qRound(dpiX));
  EXPECT_EQ(TwipsToPixelsY(2880), qRound(2 * dpiY));
  EXPECT_EQ(TwipsToPixelsX(5985), qRound(5985 * dpiX / 1440));
  EXPECT_EQ(TwipsToPixelsX(0), 0);
  // Round trip within a pixel's worth of twips.
  EXPECT_NEAR(PixelsToTwipsX(TwipsToPixelsX(7605)), 7605, 1440 / dpiX);
}

TEST(Fonts, JapaneseCapableFixedAndProportionalFaces) {
  const QString fixed = FixedFamily();
  const QString proportional = ProportionalFamily();
  EXPECT_TRUE(QFontDatabase::writingSystems(fixed).contains(QFontDatabase::Japanese)) << fixed.toStdString();
  EXPECT_TRUE(QFontDatabase::writingSystems(proportional).contains(QFontDatabase::Japanese))
      << proportional.toStdString();
  // CJK faces mix half and full widths, so the font database may not call them
  // fixed pitch: check that narrow and wide Latin letters take the same room.
  const QFontMetrics fixedMetrics(FixedFont(12));
  EXPECT_EQ(fixedMetrics.horizontalAdvance('i'), fixedMetrics.horizontalAdvance('W'));
  const QFontMetrics propMetrics(ProportionalFont(12));
  EXPECT_LT(propMetrics.horizontalAdvance('i'), propMetrics.horizontalAdvance('W'));
  EXPECT_NE(fixed, proportional);
  const QFont bold = ProportionalFont(9.75, true);
  EXPECT_TRUE(bold.bold());
  EXPECT_DOUBLE_EQ(bold.pointSizeF(), 9.75);
  EXPECT_EQ(QFontInfo(FixedFont(9)).family(), fixed);
}

// A clean Debian with only the Japanese gothics and DejaVu: the log must
// not fall back to a gothic whose full stop reads as a comma.
TEST(Fonts, TheLogFaceHasAClearFullStopWheneverOneIsInstalled) {
  const struct {
    QStringList installed;
    const char* picked;
  } cases[] = {
      {{"IPAGothic", "IPAPGothic", "DejaVu Sans", "DejaVu Sans Mono"}, "DejaVu Sans Mono"},
      {{"IPAGothic", "Ricty Diminished", "DejaVu Sans Mono"}, "Ricty Diminished"},
      {{"VL Gothic", "Liberation Mono"}, "Liberation Mono"},
      {{"IPAGothic", "IPAPGothic"}, "IPAGothic"},
      {{"Some Other Face"}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FixedFamilyAmong(c.installed), QString::fromUtf8(c.picked)) << c.picked;
}

}  // namespace
}  // namespace zel
