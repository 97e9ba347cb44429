// The main window's frame: menu bar and its commands, settings at exit,
// the quit question, the resize rule, and the export of the log.
#include <QFileInfo>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app_fonts.h"
#include "calc_test_support.h"
#include "common_dialog.h"
#include "export_log.h"
#include "frm_about.h"
#include "frm_main.h"
#include "help_files.h"
#include "help_viewer.h"
#include "help_window.h"
#include "library_folder.h"
#include "text_file_write.h"
#include "twips.h"
#include "user_editor.h"
#include "window_registry.h"

namespace zel::test {
namespace {

class FrameTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    SetHelpFolder(tmp_.path());
    session_.gHelpFile = VbsManualPath();
    SetDialogFolders({TmpFile("programs"), TmpFile("documents")});
    OpenMainWindow();
  }
  void TearDown() override {
    CommonDialog::SetResponder(nullptr);
    SetDialogFolders({});
    w_.reset();
    CalcFixture::TearDown();
  }
  // The next file dialog answers with `path` (empty: cancelled).
  void ChooseFile(const QString& path) {
    CommonDialog::SetResponder([this, path](CommonDialog& d, CommonDialog::Kind kind) {
      shown_.push_back({kind, d.DialogTitle, d.Filters, d.DefaultExt, d.InitDir, d.FileName});
      if (path.isEmpty()) return false;
      d.FileName = path;
      return true;
    });
  }
  QString TmpFile(const QString& name) const { return QDir(tmp_.path()).filePath(name); }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  void SelectInLog(int from, int to) {
    QTextCursor c = w_->txtOutputDisplay->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    w_->txtOutputDisplay->setTextCursor(c);
  }
  QStringList PromptTexts() const {
    QStringList texts;
    for (const PromptRequest& p : recorder_->Asked()) texts << p.text;
    return texts;
  }

  struct Shown {
    CommonDialog::Kind kind;
    QString title;
    QStringList filters;
    QString defaultExt;
    QString initDir;
    QString fileName;  // the name offered
  };
  std::vector<Shown> shown_;
};

// ---- menu bar ---------------------------------------------------------------

TEST_F(FrameTest, MenuTreeCaptionsAndShortcuts) {
  QStringList bar;
  for (QAction* a : w_->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"Files (&P)", "Unit Conversion (&Q)", "Programs (&S)", "Option (&O)",
                              "Help (&H)"}));
  EXPECT_EQ(w_->mnuUnitConv->menu(), nullptr);  // a command on the bar itself
  auto entries = [](QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions()) {
      EXPECT_FALSE(a->isSeparator());
      EXPECT_EQ(a->menu(), nullptr);  // no third level
      out << a->text() + "|" + a->shortcut().toString();
    }
    return out;
  };
  EXPECT_EQ(entries(w_->mnuFile), (QStringList{"Export (&E)|Ctrl+E", "Exit (&X)|Ctrl+X", "Clear Log|"}));
  EXPECT_EQ(entries(w_->mnuExec),
            (QStringList{"User Added Program (&L)|Ctrl+L", "Script Execution (&U)|Ctrl+U",
                         "Edit VBS File (&V)|Ctrl+V", "Plot (&G)|Ctrl+G"}));
  EXPECT_EQ(entries(w_->mnuOpt), (QStringList{"Show Input|", "Edit Output Display|",
                                              "AC Key Clear Output|", "Editor (&D)|", "Fonts (&F)|",
                                              "Number Format...|", "Reload Library on Save|", "Keep Log|",
                                              "Completion|"}));
  EXPECT_EQ(entries(w_->mnuHELP),
            (QStringList{"VBS Manual|", "zelCalc Manual|", "Version Info.|"}));
  // Entries whose windows other modules attach do nothing until then.
  for (QAction* a : {w_->mnuUnitConv, w_->mnuBuiltinFunc, w_->mnuUserCode, w_->mnuVBS}) a->trigger();
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_EQ(RegisteredWindows(), QList<QWidget*>{w_.get()});
}

TEST_F(FrameTest, CtrlXAndCtrlVInTheInputLineRunTheMenu) {
  QApplication::setActiveWindow(w_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
  QLineEdit* edit = w_->txtUserInput->lineEdit();
  w_->txtUserInput->setFocus();
  QTest::keyClicks(edit, "1+2");
  edit->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("pasted"));
  QSignalSpy vbs(w_->mnuVBS, &QAction::triggered);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(vbs.count(), 1);
  EXPECT_EQ(edit->text(), "1+2");  // not pasted
  // Ctrl+X is Exit: the settings are saved and the quit question comes.
  Prompts().Answer(kAnswerNo);
  QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "1+2");  // not cut
  EXPECT_EQ(PromptTexts(), QStringList{"Do you want quit?"});
  EXPECT_TRUE(store_.Has("frmMain", "SizeW"));
  EXPECT_TRUE(w_->isVisible());
  // Ctrl+E in the log is the export.
  w_->txtOutputDisplay->setFocus();
  QTest::keyClick(w_->txtOutputDisplay, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(PromptTexts().value(1), "No Data Selected for Export");
  QApplication::clipboard()->clear();
}

TEST_F(FrameTest, OptionTogglesFollowTheFlagsAndWriteNothing) {
  EXPECT_TRUE(w_->mnuShowInput->isChecked());
  EXPECT_FALSE(w_->mnuEditDisplay->isChecked());
  w_->mnuShowInput->trigger();
  EXPECT_FALSE(session_.gShowInput);
  EXPECT_FALSE(w_->mnuShowInput->isChecked());
  w_->mnuShowInput->trigger();
  EXPECT_TRUE(session_.gShowInput);
  EXPECT_TRUE(w_->mnuShowInput->isChecked());
  w_->mnuACKeyOption->trigger();
  EXPECT_TRUE(session_.gACKeyClear);
  // Edit Output Display switches the log's enabled state with the flag.
  w_->mnuEditDisplay->trigger();
  EXPECT_TRUE(session_.gDisplayEdit);
  EXPECT_TRUE(w_->txtOutputDisplay->isEnabled());
  w_->mnuEditDisplay->trigger();
  EXPECT_FALSE(w_->txtOutputDisplay->isEnabled());
  // Not editable, but as readable as before.
  const QPalette log = w_->txtOutputDisplay->palette();
  EXPECT_EQ(log.color(QPalette::Disabled, QPalette::Text), log.color(QPalette::Active, QPalette::Text));
  EXPECT_EQ(log.color(QPalette::Disabled, QPalette::Base), log.color(QPalette::Active, QPalette::Base));
  EXPECT_FALSE(store_.Has("frmMain", "ShowInput"));
  EXPECT_FALSE(store_.Has("frmMain", "ACKeyClear"));
  // A flag set elsewhere shows when the menu opens.
  session_.gShowInput = false;
  emit w_->mnuOpt->aboutToShow();
  EXPECT_FALSE(w_->mnuShowInput->isChecked());
}

TEST_F(FrameTest, StoredFlagsSetTheCheckMarksButTheLogStartsEnabled) {
  store_.Set("frmMain", "DisplayEdit", "True");
  store_.Set("frmMain", "ShowInput", "False");
  frmMain w(session_);
  w.RestoreSettings();
  EXPECT_TRUE(w.mnuEditDisplay->isChecked());
  EXPECT_FALSE(w.mnuShowInput->isChecked());
  EXPECT_TRUE(w.txtOutputDisplay->isEnabled());
  w.mnuEditDisplay->trigger();  // from the first toggle on, the log follows
  EXPECT_FALSE(w.txtOutputDisplay->isEnabled());
}

// ---- editor --------------------------------------------------------------------

TEST_F(FrameTest, EditorChoiceStoresTheQuotedPathAndRefusesWhatCannotRun) {
  QDir(tmp_.path()).mkpath("my tools");
  const QString editor = TmpFile("my tools/edit or");
  Write(editor, "#!/bin/sh\n");
  QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ChooseFile(editor);
  w_->mnuUserEditor->trigger();
  const std::string stored = ("\"" + editor + "\"").toStdString();
  EXPECT_EQ(store_.Get("Option", "UserEditor", ""), stored);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].kind, CommonDialog::Kind::Open);
  EXPECT_EQ(shown_[0].title, "Set User Editor");
  EXPECT_EQ(shown_[0].initDir, TmpFile("programs"));

  const QString picture = TmpFile("my tools/shot.png");
  Write(picture, "\x89PNG\r\n");
  const struct {
    QString chosen;
    const char* message;
  } refused[] = {
      {TmpFile("nothing here"), "ファイルが存在しません。"},
      {picture, "実行できるファイルではありません。"},
      {TmpFile("my tools"), "実行できるファイルではありません。"},
  };
  for (const auto& c : refused) {
    Prompts().Clear();
    ChooseFile(c.chosen);
    w_->mnuUserEditor->trigger();
    ASSERT_EQ(Prompts().Asked().size(), 1u) << c.message;
    EXPECT_EQ(Prompts().Asked()[0].text, QString::fromUtf8(c.message));
    EXPECT_EQ(Prompts().Asked()[0].title, c.chosen);
    EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
    EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::OK);
    EXPECT_EQ(store_.Get("Option", "UserEditor", ""), stored);
  }
  Prompts().Clear();
  ChooseFile(QString());  // cancelled
  w_->mnuUserEditor->trigger();
  EXPECT_EQ(store_.Get("Option", "UserEditor", ""), stored);
  EXPECT_TRUE(Prompts().Asked().empty());
}

// The real dialog: the offered "*.txt" names no file, so Save keeps the
// dialog open; a name the user types is taken. The editor chooser hands
// back a name that does not exist, for the command to say so itself.
TEST_F(FrameTest, FileDialogTakesNoPatternAsANameAndLeavesMissingFilesToTheCommand) {
  CommonDialog d(w_.get());
  d.InitDir = tmp_.path();
  d.Filters = {QStringLiteral("Text File (*.txt)"), QStringLiteral("All Files (*)")};
  d.DefaultExt = QStringLiteral("txt");
  d.FileName = QStringLiteral("*.txt");
  std::vector<bool> stayedOpen;
  std::function<void()> answer;
  auto typeAndAccept = [&](const QString& typed, bool again) {
    answer = [&, typed, again] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        QTimer::singleShot(20, answer);
        return;
      }
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (again) {
        EXPECT_EQ(name->text(), "*.txt");
        static_cast<QDialog*>(dialog)->accept();
        stayedOpen.push_back(dialog->isVisible());
      }
      name->setText(typed);
      static_cast<QDialog*>(dialog)->accept();
    };
    QTimer::singleShot(0, answer);
  };
  typeAndAccept(QStringLiteral("result"), true);
  ASSERT_TRUE(d.ShowSave());
  EXPECT_EQ(stayedOpen, std::vector<bool>{true});
  EXPECT_EQ(QFileInfo(d.FileName).fileName(), "result.txt");

  d.FileName.clear();
  d.Filters = {QStringLiteral("Editor File (*)")};
  d.DefaultExt.clear();
  d.ExecutablesOnly = true;
  typeAndAccept(QStringLiteral("no-such-editor"), false);
  ASSERT_TRUE(d.ShowOpen());
  EXPECT_EQ(QFileInfo(d.FileName).fileName(), "no-such-editor");
}

TEST_F(FrameTest, EditorStartsWithBlanksInBothPathsAndFallsBackWhenMissing) {
  const QString editor = TmpFile("my editor.sh");
  Write(editor, "#!/bin/sh\n");
  QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  store_.Set("Option", "UserEditor", ("\"" + editor + "\"").toStdString());
  const QString file = TmpFile("VBS/my lib.vbs");
  EXPECT_TRUE(StartUserEditor(session_, file));
  ASSERT_EQ(started_.size(), 1);
  EXPECT_EQ(started_[0], (QStringList{editor, file}));

  // A stored editor that does not exist is never run; with nothing else
  // to start, a message says so, and the setting stays as it was.
  started_.clear();
  store_.Set("Option", "UserEditor", "\"/no/such/editor\"");
  EXPECT_FALSE(StartUserEditor(session_, file));
  for (const QStringList& call : started_) EXPECT_NE(call.value(0), "/no/such/editor");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(file));
  EXPECT_EQ(store_.Get("Option", "UserEditor", ""), "\"/no/such/editor\"");
}

// ---- font ---------------------------------------------------------------------

TEST_F(FrameTest, FontChoiceAppliesToTheLogOnlyAndKeepsItsEffects) {
  const QFont inputFont = w_->txtUserInput->font();
  QString presetName;
  double presetSize = 0;
  CommonDialog::SetResponder([&](CommonDialog& d, CommonDialog::Kind kind) {
    EXPECT_EQ(kind, CommonDialog::Kind::Font);
    presetName = d.FontName;
    presetSize = d.FontSize;
    d.FontName = ProportionalFamily();
    d.FontBold = true;
    d.FontSize = 14;
    d.Color = QColor(255, 0, 0);
    return true;
  });
  w_->mnuFont->trigger();
  EXPECT_EQ(presetName, w_->txtUserInput->font().family());
  EXPECT_DOUBLE_EQ(presetSize, 9.75);
  const QFont log = w_->txtOutputDisplay->font();
  EXPECT_EQ(QFontInfo(log).family(), ProportionalFamily());
  EXPECT_TRUE(log.bold());
  EXPECT_DOUBLE_EQ(log.pointSizeF(), 14);
  EXPECT_EQ(w_->txtOutputDisplay->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(w_->txtOutputDisplay->palette().color(QPalette::Disabled, QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(w_->txtUserInput->font(), inputFont);

  // Next time the dialog still holds bold and red; a cancel changes nothing.
  bool boldKept = false;
  QColor colorKept;
  CommonDialog::SetResponder([&](CommonDialog& d, CommonDialog::Kind) {
    boldKept = d.FontBold;
    colorKept = d.Color;
    d.FontItalic = true;
    return false;
  });
  w_->mnuFont->trigger();
  EXPECT_TRUE(boldKept);
  EXPECT_EQ(colorKept, QColor(255, 0, 0));
  EXPECT_FALSE(w_->txtOutputDisplay->font().italic());
}

// ---- help and version -------------------------------------------------------------

TEST_F(FrameTest, ProgramManualSwitchesTheHelpFileForOneMoment) {
  // The manuals are not there: each opening says which file is missing.
  QApplication::setActiveWindow(w_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
  w_->mnuZelCalcManu->trigger();
  EXPECT_EQ(session_.gHelpFile, VbsManualPath());
  QTest::keyClick(w_->txtUserInput->lineEdit(), Qt::Key_F1);
  w_->mnuVBSHelp->trigger();
  const QStringList texts = PromptTexts();
  ASSERT_EQ(texts.size(), 3);
  EXPECT_TRUE(texts[0].contains(ProgramManualPath()));
  EXPECT_TRUE(texts[1].contains(VbsManualPath()));
  EXPECT_TRUE(texts[2].contains(VbsManualPath()));
  EXPECT_NE(ProgramManualPath(), VbsManualPath());
}

TEST_F(FrameTest, HelpEntriesOpenTheirManualAndF1ReturnsToTheLanguageReference) {
  // The manuals built beside the program.
  SetHelpFolder(QCoreApplication::applicationDirPath());
  session_.gHelpFile = VbsManualPath();
  ASSERT_TRUE(QFileInfo::exists(VbsManualPath()));
  ASSERT_TRUE(QFileInfo::exists(ProgramManualPath()));
  auto shown = [] {
    auto* viewer = qobject_cast<HelpWindow*>(CurrentHelpViewer());
    return viewer ? viewer->HelpFile() : QString();
  };
  w_->mnuZelCalcManu->trigger();
  EXPECT_EQ(QFileInfo(shown()), QFileInfo(ProgramManualPath()));
  // F1 (its key is tested above) opens the current help file again.
  w_->Form_HelpKey();
  EXPECT_EQ(QFileInfo(shown()), QFileInfo(VbsManualPath()));
  w_->mnuZelCalcManu->trigger();
  w_->mnuVBSHelp->trigger();
  EXPECT_EQ(QFileInfo(shown()), QFileInfo(VbsManualPath()));
  EXPECT_TRUE(PromptTexts().isEmpty());
  // Gone before the test's application ends, with its search indexing.
  delete CurrentHelpViewer();
}

TEST_F(FrameTest, HelpWindowClosesWithTheProgram) {
  SetHelpFolder(QCoreApplication::applicationDirPath());
  session_.gHelpFile = VbsManualPath();
  w_->mnuVBSHelp->trigger();
  QPointer<QWidget> viewer = CurrentHelpViewer();
  ASSERT_TRUE(viewer);
  ASSERT_TRUE(viewer->isVisible());
  QApplication::setQuitOnLastWindowClosed(false);
  Prompts().Answer(kAnswerYes);
  EXPECT_TRUE(w_->close());
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_TRUE(!viewer || !viewer->isVisible());
  EXPECT_FALSE(CurrentHelpViewer() && CurrentHelpViewer()->isVisible());
  delete viewer.data();
}

TEST_F(FrameTest, VersionWindow) {
  EXPECT_EQ(VersionText(), "Version No. : 1.1.0");
  QString version, title, caption;
  QSize client;
  QColor background;
  QTimer::singleShot(0, [&] {
    auto* about = qobject_cast<frmAboutZelCalc*>(QApplication::activeModalWidget());
    ASSERT_NE(about, nullptr);
    version = about->lblVersion->text();
    title = about->Label2->text();
    caption = about->windowTitle();
    client = about->size();
    background = about->palette().color(QPalette::Window);
    about->close();
  });
  w_->mnuShowVersion->trigger();  // modal until closed
  EXPECT_EQ(version, "Version No. : 1.1.0");
  EXPECT_EQ(title, "zelCalc");
  EXPECT_EQ(caption, "zelCalc");
  EXPECT_EQ(client, QSize(TwipsToPixelsX(4680), TwipsToPixelsY(2895)));
  EXPECT_EQ(background, QColor(255, 255, 192));
}

// ---- resize rule and stored geometry -------------------------------------------

TEST_F(FrameTest, DraggedBelowTheMinimumSnapsBack) {
  w_->resize(100, 100);
  QApplication::processEvents();
  EXPECT_GE(PixelsToTwipsX(w_->frameGeometry().width()), 7600 - 15);
  EXPECT_GE(PixelsToTwipsY(w_->frameGeometry().height()), 3500 - 15);
  EXPECT_NEAR(PixelsToTwipsY(w_->txtOutputDisplay->height()),
              PixelsToTwipsY(w_->frameGeometry().height()) - 1455, 15);
}

TEST_F(FrameTest, AbsurdStoredGeometryIsClampedToTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (const char* bad : {"99999999", "1e999", "-1e999", "nan"}) {
    store_.Set("frmMain", "SizeH", bad);
    store_.Set("frmMain", "SizeW", bad);
    store_.Set("frmMain", "PositionT", bad);
    frmMain w(session_);
    w.RestoreSettings();
    w.show();
    EXPECT_LE(w.frameGeometry().height(), std::max(screen.height(), TwipsToPixelsY(3500)) + 2) << bad;
    EXPECT_LE(w.frameGeometry().width(), std::max(screen.width(), TwipsToPixelsX(7600)) + 2) << bad;
    EXPECT_TRUE(screen.intersects(w.frameGeometry())) << bad;
  }
}

// ---- quitting ----------------------------------------------------------------------

// A secondary window that records when it is closed.
struct RecordingWindow : QWidget {
  RecordingWindow(QString n, QStringList* l) : name(std::move(n)), log(l) {}
  void closeEvent(QCloseEvent* e) override {
    log->append(name);
    e->accept();
  }
  QString name;
  QStringList* log;
};

TEST_F(FrameTest, CloseBoxAsksAndNoLeavesEverythingAsItWas) {
  QStringList closed;
  RecordingWindow other("other", &closed);
  RegisterWindow(&other);
  other.show();
  Prompts().Answer(kAnswerNo);
  EXPECT_FALSE(w_->close());
  EXPECT_TRUE(w_->isVisible());
  EXPECT_TRUE(other.isVisible());
  EXPECT_TRUE(session_.gScriptEngine != nullptr);
  EXPECT_FALSE(store_.Has("frmMain", "PositionT"));
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].title, "zelCalc");
  EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Question);

  // Yes: engine released, the seven keys saved, the other window closed.
  session_.gACKeyClear = true;
  Prompts().Answer(kAnswerYes);
  EXPECT_TRUE(w_->close());
  EXPECT_FALSE(session_.gScriptEngine);
  EXPECT_EQ(closed, QStringList{"other"});
  EXPECT_EQ(store_.Get("frmMain", "ShowInput", ""), "True");
  EXPECT_EQ(store_.Get("frmMain", "DisplayEdit", ""), "False");
  EXPECT_EQ(store_.Get("frmMain", "ACKeyClear", ""), "True");
  EXPECT_NEAR(std::stod(store_.Get("frmMain", "SizeW", "0")), 7605, 15);
  EXPECT_NEAR(std::stod(store_.Get("frmMain", "SizeH", "0")), 3500, 15);
  EXPECT_NEAR(std::stod(store_.Get("frmMain", "PositionT", "0")), 105, 15);
  EXPECT_NEAR(std::stod(store_.Get("frmMain", "PositionL", "0")), 105, 15);
}

TEST_F(FrameTest, ExitSavesThenClosesInLoadOrderAndNoKeepsOnlyTheMainWindow) {
  QStringList closed;
  RecordingWindow first("first", &closed), second("second", &closed);
  RegisterWindow(&first);
  RegisterWindow(&second);
  RegisterWindow(&first);  // registered once only
  first.show();
  second.show();
  Prompts().Answer(kAnswerNo);
  w_->mnuExit->trigger();
  // The main window came first: its question was asked before the others closed.
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(closed, (QStringList{"first", "second"}));
  EXPECT_TRUE(w_->isVisible());
  EXPECT_TRUE(store_.Has("frmMain", "PositionT"));
  EXPECT_TRUE(session_.gScriptEngine != nullptr);

  Prompts().Answer(kAnswerYes);
  w_->mnuExit->trigger();
  EXPECT_FALSE(w_->isVisible());
  EXPECT_FALSE(session_.gScriptEngine);
}

TEST_F(FrameTest, SettingsThatCannotBeWrittenAtExitAreReported) {
  // The settings file's folder is a plain file.
  Write(TmpFile("plain"), "");
  QtSettingsStore broken(TmpFile("plain/zelCalc.ini"));
  SetAppSettings(&broken);
  Prompts().Answer(kAnswerYes);
  QApplication::setQuitOnLastWindowClosed(false);
  EXPECT_TRUE(w_->close());
  QApplication::setQuitOnLastWindowClosed(true);
  SetAppSettings(&store_);
  const QStringList texts = PromptTexts();
  ASSERT_EQ(texts.size(), 2);
  EXPECT_TRUE(texts[1].startsWith("The settings could not be saved")) << texts[1].toStdString();
  EXPECT_TRUE(texts[1].contains(TmpFile("plain/zelCalc.ini")));
}

// ---- export --------------------------------------------------------------------------

TEST_F(FrameTest, ExportOfAnEmptyOrBlankLogSaysSoAndALineBreakOnlyLogIsExported) {
  const QString out = TmpFile("out.txt");
  ChooseFile(out);
  w_->mnuExport->trigger();
  w_->txtOutputDisplay->setPlainText(QStringLiteral("   "));
  w_->mnuExport->trigger();
  EXPECT_EQ(PromptTexts(), (QStringList{"No Data Selected for Export", "No Data Selected for Export"}));
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Exclamation);
  EXPECT_TRUE(shown_.empty());

  w_->txtOutputDisplay->setPlainText(QStringLiteral("\n\n"));
  Prompts().Answer(kAnswerOK);
  w_->mnuExport->trigger();
  EXPECT_EQ(PromptTexts().value(2), "Export all text to a file.");
  EXPECT_EQ(Prompts().Asked()[2].title, "File Export");
  EXPECT_EQ(Read(out), "\r\n\r\n");
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].kind, CommonDialog::Kind::Save);
  EXPECT_EQ(shown_[0].title, "File Export");
  EXPECT_EQ(shown_[0].filters, (QStringList{"Text File (*.txt)", "All Files (*)"}));
  EXPECT_EQ(shown_[0].defaultExt, "txt");
  EXPECT_EQ(shown_[0].initDir, TmpFile("documents"));
  EXPECT_EQ(shown_[0].fileName, "*.txt");

  // Cancel at the first question: no dialog, no file.
  Prompts().Answer(kAnswerCancel);
  w_->mnuExport->trigger();
  EXPECT_EQ(shown_.size(), 1u);
}

TEST_F(FrameTest, ExportOfASelectionClearsItFirstAndKeepsItsBlanks) {
  w_->AppendLog(QStringLiteral("\r\nab   cd\r\n12"));
  SelectInLog(3, 6);  // the three spaces
  ChooseFile(QString());  // cancelled
  Prompts().Answer(kAnswerOK);
  w_->mnuExport->trigger();
  EXPECT_EQ(PromptTexts(), QStringList{"Export selected text to a file."});
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Question);
  EXPECT_FALSE(w_->txtOutputDisplay->textCursor().hasSelection());

  const QString out = TmpFile("sel.txt");
  SelectInLog(3, 6);
  ChooseFile(out);
  Prompts().Answer(kAnswerOK);
  w_->mnuExport->trigger();
  EXPECT_EQ(Read(out), "   ");
  // A selection over lines keeps CR LF and gains none at the end.
  SelectInLog(1, 11);
  ChooseFile(TmpFile("lines.txt"));
  Prompts().Answer(kAnswerOK);
  w_->mnuExport->trigger();
  EXPECT_EQ(Read(TmpFile("lines.txt")), "ab   cd\r\n12");
}

TEST_F(FrameTest, ExistingFileOverwriteAppendOrCancel) {
  const QString out = TmpFile("exists.txt");
  w_->txtOutputDisplay->setPlainText(QStringLiteral("A"));
  ChooseFile(out);
  for (int answer : {kAnswerNo, kAnswerYes, kAnswerCancel}) {
    Write(out, "B");
    Prompts().Clear();
    Prompts().Answer(kAnswerOK);
    Prompts().Answer(answer);
    w_->mnuExport->trigger();
    ASSERT_EQ(Prompts().Asked().size(), 2u);
    const PromptRequest& q = Prompts().Asked()[1];
    EXPECT_EQ(q.title, out);
    EXPECT_EQ(q.buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(q.text, QString::fromUtf8("すでに同名のファイルが存在します。上書きしますか？\r\n"
                                        "上書き=YES\r\n追加書=NO\r\nキャンセル=Cancel"));
    const QByteArray expected = answer == kAnswerNo ? "BA" : answer == kAnswerYes ? "A" : "B";
    EXPECT_EQ(Read(out), expected) << answer;
  }
  EXPECT_EQ(w_->LogText(), "A");
}

// The file layer itself is tested on its own (text_file_test); here, that
// the user hears of every failure and the file keeps what it held.
TEST_F(FrameTest, ExportThatCannotWriteSaysSoAndLeavesTheFileAsItWas) {
  const QString out = TmpFile("exists.txt");
  const QByteArray old = "300 lines of old text\r\n";
  w_->txtOutputDisplay->setPlainText(QStringLiteral("new text"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(TmpFile("fifo")).constData(), 0600), 0);
  struct Case {
    const char* what;
    QString path;
    int answer;  // to the existing-file question
    std::function<void(FileCalls&)> breakIt;
    const char* message;
    const char* also;
  } cases[] = {
      {"overwrite, no temporary file", out, kAnswerYes,
       [](FileCalls& c) {
         c.open = [](const char*, int, int) {
           errno = EACCES;
           return -1;
         };
       },
       "Nothing was written: no temporary file can be made", "never written over in place"},
      {"overwrite, disk full", out, kAnswerYes,
       [](FileCalls& c) {
         c.write = [](int, const char*, size_t) -> long {
           errno = ENOSPC;
           return -1;
         };
       },
       "The disk is full: nothing was written", "is as it was"},
      {"append, disk full", out, kAnswerNo,
       [](FileCalls& c) {
         // Part of the text gets in before the disk is full.
         auto wrote = std::make_shared<bool>(false);
         c.write = [wrote](int fd, const char* data, size_t) -> long {
           if (*wrote) {
             errno = ENOSPC;
             return -1;
           }
           *wrote = true;
           return long(::write(fd, data, 1));
         };
       },
       "The disk is full: the text could not be appended", "cut back to what it held before"},
      {"append to a pipe", TmpFile("fifo"), kAnswerNo, [](FileCalls&) {},
       "This is not a regular file", "nothing was written"},
  };
  for (const Case& c : cases) {
    Write(out, old);
    Prompts().Clear();
    Prompts().Answer(kAnswerOK);
    Prompts().Answer(c.answer);
    ChooseFile(c.path);
    c.breakIt(CurrentFileCalls());
    w_->mnuExport->trigger();
    CurrentFileCalls() = SystemFileCalls();
    ASSERT_EQ(Prompts().Asked().size(), 3u) << c.what;
    const PromptRequest& said = Prompts().Asked()[2];
    EXPECT_TRUE(said.text.startsWith(c.message)) << c.what << ": " << said.text.toStdString();
    EXPECT_TRUE(said.text.contains(c.path)) << c.what;
    EXPECT_TRUE(said.text.contains(c.also)) << c.what;
    EXPECT_EQ(said.icon, PromptIcon::Critical) << c.what;
    EXPECT_EQ(Read(out), old) << c.what;
  }
  // No temporary file is left behind.
  EXPECT_EQ(QDir(tmp_.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST(ExportText, BlankMeansSpacesOnly) {
  EXPECT_TRUE(IsBlankLog(""));
  EXPECT_TRUE(IsBlankLog(QString::fromUtf8("  \u3000 ")));
  EXPECT_FALSE(IsBlankLog("\r\n"));
  EXPECT_FALSE(IsBlankLog(" \t "));
}

}  // namespace
}  // namespace zel::test
