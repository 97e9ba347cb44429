#include "frm_main.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <any>
#include <cstdlib>
#include <functional>

#include "app_fonts.h"
#include "app_settings.h"
#include "common_dialog.h"
#include "export_log.h"
#include "frm_about.h"
#include "frm_number_format.h"
#include "guarded_text_edit.h"
#include "help_files.h"
#include "busy_state.h"
#include "calc_session.h"
#include "key_caption.h"
#include "keypad.h"
#include "library_folder.h"
#include "log_keeper.h"
#include "layout.h"
#include "messages.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "status_line.h"
#include "twips.h"
#include "window_registry.h"
#include "zel_calculator.h"
#include "zel_dialog.h"

namespace zel {

namespace {

// How long the release of the engine at quit may go on after Stop.
constexpr int kReleaseGiveUpMs = 3000;

const char* const kCaptions[kKeyCount] = {"0", ".", "EXP", "1", "2", "3", "4",  "5",  "6",   "7",
                                          "8", "9", "ANS", "EXE", "+", "-", "*", "/", "CE", "AC"};

// A disabled log ("Edit Output Display" off) only takes no input: its text
// stays as readable as when it is enabled, not the platform's pale grey.
void ShowTextAsEnabledWhenDisabled(QWidget* box) {
  QPalette p = box->palette();
  for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base, QPalette::WindowText})
    p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
  box->setPalette(p);
}

bool IsSmallCaption(int index) {
  return index == kKeyExp || index == kKeyAns || index == kKeyExe || index == kKeyCe ||
         index == kKeyAc;
}

}  // namespace

frmMain::frmMain(CalcSession& session, QWidget* parent) : QMainWindow(parent), session_(session) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(ToQ(kMainCaption));
  auto* client = new QWidget(this);
  setCentralWidget(client);

  const QFont textFont = FixedFont(9.75);
  txtUserInput = new QComboBox(client);
  txtUserInput->setObjectName(QStringLiteral("txtUserInput"));
  txtUserInput->setEditable(true);
  txtUserInput->setInsertPolicy(QComboBox::NoInsert);
  txtUserInput->setFont(textFont);
  // The line evaluates exactly what was typed: no completion from history.
  txtUserInput->setCompleter(nullptr);
  // Keys arrive at the combo box when it has the focus and at its line
  // edit when sent there directly; Enter and Escape are taken at both.
  txtUserInput->installEventFilter(this);
  txtUserInput->lineEdit()->installEventFilter(this);
  // What the user types, or picks from the list, ends a walk through the history.
  connect(txtUserInput->lineEdit(), &QLineEdit::textEdited, this, [this] { historyWalk_ = {}; });
  connect(txtUserInput, &QComboBox::activated, this, [this](int index) { historyWalk_ = {index, {}}; });

  txtOutputDisplay = new GuardedTextEdit(client);
  txtOutputDisplay->setObjectName(QStringLiteral("txtOutputDisplay"));
  txtOutputDisplay->setFont(textFont);
  txtOutputDisplay->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtOutputDisplay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtOutputDisplay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtOutputDisplay->viewport()->installEventFilter(this);
  ShowTextAsEnabledWhenDisabled(txtOutputDisplay);

  fraUserTenKey = new QFrame(client);
  fraUserTenKey->setObjectName(QStringLiteral("fraUserTenKey"));
  fraUserTenKey->setFrameShape(QFrame::NoFrame);
  const QFont bigKeys = ProportionalFont(18, true);
  const QFont smallKeys = ProportionalFont(9, true);
  for (int i = 0; i < kKeyCount; ++i) {
    auto* b = new KeyButton(QString::fromLatin1(kCaptions[i]), fraUserTenKey);
    b->setObjectName(QStringLiteral("cmdUserNumKey_%1").arg(i));
    b->setFont(IsSmallCaption(i) ? smallKeys : bigKeys);
    b->setAutoDefault(false);
    const TwRect r = KeyRect(i);
    SetGeometryTwips(b, r.left, r.top, r.width, r.height);
    connect(b, &QPushButton::clicked, this, [this, i] { cmdUserNumKey_Click(i); });
    cmdUserNumKey[size_t(i)] = b;
  }
  SetGeometryTwips(fraUserTenKey, 0, 0, kKeypadFrameWidth, kKeypadFrameHeight);
  txtOutputDisplay->installEventFilter(this);
  lblStatus = new StatusLine(client);

  setWindowIcon(QIcon(zelDialog::LogoPicture()));
  cmnDialog = std::make_unique<CommonDialog>(this);
  BuildMenus();
  RegisterWindow(this);
  new ScriptBusyBar(this, fraUserTenKey, {txtUserInput, fraUserTenKey});
}

frmMain::~frmMain() = default;

void frmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto item = [this](QMenu* menu, const char* name, const char* caption, const char* shortcut,
                     void (frmMain::*handler)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return a;
  };
  auto menu = [bar](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };

  mnuFile = menu("mnuFile", "Files (&P)");
  mnuExport = item(mnuFile, "mnuExport", "Export (&E)", "Ctrl+E", &frmMain::mnuExport_Click);
  mnuExit = item(mnuFile, "mnuExit", "Exit (&X)", "Ctrl+X", &frmMain::mnuExit_Click);
  mnuClearLog = item(mnuFile, "mnuClearLog", "Clear Log", nullptr, &frmMain::mnuClearLog_Click);

  // A command on the bar itself; the unit conversion window attaches to it.
  mnuUnitConv = bar->addAction(QStringLiteral("Unit Conversion (&Q)"));
  mnuUnitConv->setObjectName(QStringLiteral("mnuUnitConv"));

  // The library tools attach their windows to these entries.
  mnuExec = menu("mnuExec", "Programs (&S)");
  mnuBuiltinFunc = item(mnuExec, "mnuBuiltinFunc", "User Added Program (&L)", "Ctrl+L", nullptr);
  mnuUserCode = item(mnuExec, "mnuUserCode", "Script Execution (&U)", "Ctrl+U", nullptr);
  mnuVBS = item(mnuExec, "mnuVBS", "Edit VBS File (&V)", "Ctrl+V", nullptr);
  mnuPlot = item(mnuExec, "mnuPlot", "Plot (&G)", "Ctrl+G", nullptr);

  mnuOpt = menu("mnuOpt", "Option (&O)");
  mnuShowInput = item(mnuOpt, "mnuShowInput", "Show Input", nullptr, &frmMain::mnuShowInput_Click);
  mnuEditDisplay = item(mnuOpt, "mnuEditDisplay", "Edit Output Display", nullptr,
                        &frmMain::mnuEditDisplay_Click);
  mnuACKeyOption = item(mnuOpt, "mnuACKeyOption", "AC Key Clear Output", nullptr,
                        &frmMain::mnuACKeyOption_Click);
  for (QAction* a : {mnuShowInput, mnuEditDisplay, mnuACKeyOption}) a->setCheckable(true);
  mnuUserEditor = item(mnuOpt, "mnuUserEditor", "Editor (&D)", nullptr, &frmMain::mnuUserEditor_Click);
  mnuFont = item(mnuOpt, "mnuFont", "Fonts (&F)", nullptr, &frmMain::mnuFont_Click);
  mnuNumberFormat = item(mnuOpt, "mnuNumberFormat", "Number Format...", nullptr,
                         &frmMain::mnuNumberFormat_Click);
  mnuReloadOnSave = item(mnuOpt, "mnuReloadOnSave", "Reload Library on Save", nullptr,
                         &frmMain::mnuReloadOnSave_Click);
  mnuKeepLog = item(mnuOpt, "mnuKeepLog", "Keep Log", nullptr, &frmMain::mnuKeepLog_Click);
  mnuCompletion = item(mnuOpt, "mnuCompletion", "Completion", nullptr, &frmMain::mnuCompletion_Click);
  for (QAction* a : {mnuReloadOnSave, mnuKeepLog, mnuCompletion}) a->setCheckable(true);
  // The check marks show the flags whenever the menu opens, whoever set them.
  connect(mnuOpt, &QMenu::aboutToShow, this, [this] {
    mnuShowInput->setChecked(session_.gShowInput);
    mnuEditDisplay->setChecked(session_.gDisplayEdit);
    mnuACKeyOption->setChecked(session_.gACKeyClear);
    mnuReloadOnSave->setChecked(mReloadOnSave);
    mnuKeepLog->setChecked(mKeepLog);
    mnuCompletion->setChecked(mCompletion);
  });

  mnuHELP = menu("mnuHELP", "Help (&H)");
  mnuVBSHelp = item(mnuHELP, "mnuVBSHelp", "VBS Manual", nullptr, &frmMain::mnuVBSHelp_Click);
  mnuZelCalcManu = item(mnuHELP, "mnuZelCalcManu", "zelCalc Manual", nullptr,
                        &frmMain::mnuZelCalcManu_Click);
  mnuShowVersion = item(mnuHELP, "mnuShowVersion", "Version Info.", nullptr,
                        &frmMain::mnuShowVersion_Click);

  auto* help = new QAction(this);
  help->setObjectName(QStringLiteral("helpKey"));
  help->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help, &QAction::triggered, this, &frmMain::Form_HelpKey);
  addAction(help);
}

bool frmMain::IsMenuShortcut(const QKeyEvent* key) const {
  const QKeySequence pressed(key->keyCombination());
  for (QAction* a : {mnuExport, mnuExit, mnuBuiltinFunc, mnuUserCode, mnuVBS})
    if (a->shortcut() == pressed) return true;
  return false;
}

void frmMain::mnuExport_Click() {
  ExportLog(txtOutputDisplay, *cmnDialog, CurrentDialogFolders().documents);
}

void frmMain::mnuExit_Click() {
  // While a script runs, closing asks first whether to stop it and comes
  // back once it has ended (see ScriptBusyBar); the quit question and the
  // unload routine run then.
  if (ScriptRunning()) {
    close();
    return;
  }
  Form_Unload(true);
}

void frmMain::mnuShowInput_Click() {
  session_.gShowInput = !session_.gShowInput;
  mnuShowInput->setChecked(session_.gShowInput);
}

void frmMain::mnuEditDisplay_Click() {
  session_.gDisplayEdit = !session_.gDisplayEdit;
  mnuEditDisplay->setChecked(session_.gDisplayEdit);
  txtOutputDisplay->setEnabled(session_.gDisplayEdit);
}

void frmMain::mnuACKeyOption_Click() {
  session_.gACKeyClear = !session_.gACKeyClear;
  mnuACKeyOption->setChecked(session_.gACKeyClear);
}

void frmMain::mnuClearLog_Click() {
  // No is the default: Enter alone does not throw the log away.
  if (ShowPrompt(QString(), QStringLiteral("Clear the output log?"), PromptIcon::Question,
                 PromptButtons::YesNo, 1) != kAnswerYes)
    return;
  txtOutputDisplay->clear();
  if (keeper_) keeper_->Cleared();
}

void frmMain::mnuReloadOnSave_Click() {
  mReloadOnSave = !mReloadOnSave;
  mnuReloadOnSave->setChecked(mReloadOnSave);
  emit reloadOnSaveToggled(mReloadOnSave);
}

void frmMain::mnuKeepLog_Click() {
  mKeepLog = !mKeepLog;
  mnuKeepLog->setChecked(mKeepLog);
  if (!keeper_) return;
  if (mKeepLog) keeper_->Start();
  else keeper_->Stop();
}

void frmMain::mnuCompletion_Click() {
  mCompletion = !mCompletion;
  mnuCompletion->setChecked(mCompletion);
  emit completionToggled(mCompletion);
}

void frmMain::StartKeptLog(const QString& folder) {
  keeper_ = std::make_unique<LogKeeper>(folder);
  if (!mKeepLog) return;
  const LogKeeper::Restored kept = keeper_->Restore(QDateTime::currentDateTime());
  if (!kept.logText.isEmpty()) {
    AppendLog(kept.logText);
    // Scrolled to the end once the window has its size.
    FocusTextBox(txtOutputDisplay);
    QTimer::singleShot(0, txtOutputDisplay, [box = txtOutputDisplay] {
      box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    });
  }
  if (!kept.history.isEmpty()) txtUserInput->insertItems(0, kept.history);
  txtUserInput->setCurrentIndex(-1);
  keeper_->Start();
}

void frmMain::mnuUserEditor_Click() {
  CommonDialog& d = *cmnDialog;
  d.DialogTitle = QStringLiteral("Set User Editor");
  d.DefaultExt.clear();  // programs carry no extension here
  d.Filters = {QStringLiteral("Editor File (*)")};
  d.FilterIndex = 0;
  d.FileName.clear();
  d.InitDir = CurrentDialogFolders().programs;
  d.ExecutablesOnly = true;
  if (!d.ShowOpen()) return;
  const QString path = d.FileName;
  if (path.isEmpty()) return;
  const QFileInfo chosen(QDir::fromNativeSeparators(path));
  if (!chosen.exists()) {
    ShowPrompt(path, QString::fromUtf8("ファイルが存在しません。"), PromptIcon::Critical,
               PromptButtons::OK);
    return;
  }
  // A picture or a folder would only fail later, when a file is edited.
  if (!chosen.isFile() || !chosen.isExecutable()) {
    ShowPrompt(path, QString::fromUtf8("実行できるファイルではありません。"), PromptIcon::Critical,
               PromptButtons::OK);
    return;
  }
  // Quoted, so that a path with blanks stays one word on a command line.
  AppSettings().Set("Option", "UserEditor", (QLatin1Char('"') + path + QLatin1Char('"')).toStdString());
}

void frmMain::mnuFont_Click() {
  CommonDialog& d = *cmnDialog;
  const QFont current = txtOutputDisplay->font();
  d.FontName = current.family();
  d.FontSize = current.pointSizeF();
  if (!d.ShowFont()) return;
  // Each attribute on its own: one that cannot be used is skipped.
  QFont f = txtOutputDisplay->font();
  f.setBold(d.FontBold);
  if (d.FontSize > 0 && d.FontSize < 1000) f.setPointSizeF(d.FontSize);
  f.setItalic(d.FontItalic);
  if (!d.FontName.isEmpty()) f.setFamilies({d.FontName});
  f.setUnderline(d.FontUnderline);
  f.setStrikeOut(d.FontStrikethru);
  txtOutputDisplay->setFont(f);
  if (d.Color.isValid()) {
    QPalette p = txtOutputDisplay->palette();
    p.setColor(QPalette::Active, QPalette::Text, d.Color);
    p.setColor(QPalette::Inactive, QPalette::Text, d.Color);
    txtOutputDisplay->setPalette(p);
    ShowTextAsEnabledWhenDisabled(txtOutputDisplay);
  }
}

void frmMain::mnuNumberFormat_Click() {
  frmNumberFormat d(session_.gNumberFormat, this);
  if (d.exec() == QDialog::Accepted) session_.gNumberFormat = d.Chosen();
}

void frmMain::Form_HelpKey() { OpenHelpFile(session_.gHelpFile); }

void frmMain::mnuVBSHelp_Click() { Form_HelpKey(); }

void frmMain::mnuZelCalcManu_Click() {
  session_.gHelpFile = ProgramManualPath();
  Form_HelpKey();
  session_.gHelpFile = VbsManualPath();
}

void frmMain::mnuShowVersion_Click() {
  frmAboutZelCalc about(this);
  about.exec();
}

bool frmMain::Form_QueryUnload() {
  return ShowPrompt(QString(), QStringLiteral("Do you want quit?"), PromptIcon::Question,
                    PromptButtons::YesNo) == kAnswerYes;
}

void frmMain::Form_Unload(bool closeMain) {
  // Every window saves its own settings as it closes; the file is written
  // once, when all of them have.
  SettingsBatch batch;
  SaveSettings();
  if (keeper_) keeper_->Finish();
  UnloadRegisteredWindows([this, closeMain](QWidget* w) {
    if (w != this)
      w->close();
    else if (closeMain)
      close();
  });
  if (session_.gUnloadLibraryWindows) session_.gUnloadLibraryWindows();
  if (!AppSettings().Flush())
    ShowPrompt(QString(),
               QStringLiteral("The settings could not be saved to the file\r\n") + AppSettingsFile(),
               PromptIcon::Exclamation, PromptButtons::OK);
}

void frmMain::ReleaseEngineAtQuit() {
  ScriptRunner* runner = ScriptRunner::Instance();
  QTimer giveUp;
  giveUp.setSingleShot(true);
  giveUp.setTimerType(Qt::PreciseTimer);
  giveUp.setInterval(kReleaseGiveUpMs);
  connect(&giveUp, &QTimer::timeout, this, [this] {
    if (session_.gEndProgramNow) session_.gEndProgramNow();
    else std::_Exit(0);
  });
  QMetaObject::Connection onStop;
  if (runner)
    onStop = connect(runner, &ScriptRunner::stopRequested, &giveUp, [&giveUp] {
      if (!giveUp.isActive()) giveUp.start();
    });
  try {
    ReleaseEngine(session_);
  } catch (...) {
    // Another script still runs in the engine: it goes with the process.
  }
  disconnect(onStop);
}

void frmMain::SaveSettings() {
  // The restored size and place, even while minimised or maximised.
  QRect outer = frameGeometry();
  if (isMinimized() || isMaximized()) {
    const QRect normal = normalGeometry();
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    if (normal.isValid()) outer = normal.marginsAdded(frame);
  }
  geometry_.Save(outer);
  SettingsStore& s = AppSettings();
  const std::function<void()> steps[] = {
      [&] { WriteBool(s, "frmMain", "ShowInput", session_.gShowInput); },
      [&] { WriteBool(s, "frmMain", "DisplayEdit", session_.gDisplayEdit); },
      [&] { WriteBool(s, "frmMain", "ACKeyClear", session_.gACKeyClear); },
      [&] { WriteNumberFormat(s, session_.gNumberFormat); },
      [&] { WriteBool(s, "Option", "ReloadOnSave", mReloadOnSave); },
      [&] { WriteBool(s, "Option", "KeepLog", mKeepLog); },
      [&] { WriteBool(s, "Option", "Completion", mCompletion); },
  };
  for (const auto& step : steps) {
    try {
      step();
    } catch (...) {
      // A step that fails is skipped; the others are still saved.
    }
  }
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (quitting_) {
    event->accept();
    return;
  }
  if (!Form_QueryUnload()) {
    event->ignore();
    return;
  }
  quitting_ = true;
  // The settings are on disk before any script code runs again.
  Form_Unload(false);
  ReleaseEngineAtQuit();
  event->accept();
}

void frmMain::RestoreSettings() {
  const StoredGeometry g = geometry_.Read();
  SetWindowTwips(g.top, g.left, g.height, g.width);
  SettingsStore& s = AppSettings();
  session_.gShowInput = ReadBool(s, "frmMain", "ShowInput", true);
  session_.gDisplayEdit = ReadBool(s, "frmMain", "DisplayEdit", false);
  session_.gACKeyClear = ReadBool(s, "frmMain", "ACKeyClear", false);
  session_.gNumberFormat = ReadNumberFormat(s);
  mnuShowInput->setChecked(session_.gShowInput);
  mnuEditDisplay->setChecked(session_.gDisplayEdit);
  mnuACKeyOption->setChecked(session_.gACKeyClear);
  mReloadOnSave = ReadBool(s, "Option", "ReloadOnSave", true);
  mKeepLog = ReadBool(s, "Option", "KeepLog", true);
  mnuReloadOnSave->setChecked(mReloadOnSave);
  mnuKeepLog->setChecked(mKeepLog);
  const bool completion = ReadBool(s, "Option", "Completion", true);
  mnuCompletion->setChecked(completion);
  if (completion != mCompletion) {
    mCompletion = completion;
    emit completionToggled(mCompletion);
  }
  txtOutputDisplay->setEnabled(true);
}

void frmMain::SetWindowTwips(int top, int left, int height, int width) {
  const MainLayout l = ComputeMainLayout(width, height, 0);
  geometry_.Place(ReachableOuter(top, left, l.height, l.width,
                                 QPoint(TwipsToPixelsX(105), TwipsToPixelsY(105))));
  ApplyLayout();
}

void frmMain::ApplyLayout() {
  if (laying_ || isMinimized()) return;
  laying_ = true;
  geometry_.ApplyPendingOuter();
  const QSize outer = frameGeometry().size();
  const int inputHeight = PixelsToTwipsY(txtUserInput->sizeHint().height());
  const MainLayout l = ComputeMainLayout(PixelsToTwipsX(outer.width()),
                                         PixelsToTwipsY(outer.height()), inputHeight);
  const QSize wanted(TwipsToPixelsX(l.width), TwipsToPixelsY(l.height));
  if (wanted.width() > outer.width() || wanted.height() > outer.height())
    resize(size() + (wanted - outer).expandedTo(QSize(0, 0)));
  // Control positions are relative to the client area.
  SetGeometryTwips(txtUserInput, l.input.left, l.input.top, l.input.width, l.input.height);
  SetGeometryTwips(txtOutputDisplay, l.log.left, l.log.top, l.log.width, l.log.height);
  SetGeometryTwips(fraUserTenKey, l.keypad.left, l.keypad.top, l.keypad.width, l.keypad.height);
  lblStatus->Place(txtOutputDisplay->geometry().united(fraUserTenKey->geometry()));
  laying_ = false;
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ApplyLayout();
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  ApplyLayout();
  AgainOnceFramed(
      this, [this] {
        if (geometry_.OuterPending()) ApplyLayout();
      },
      {100, 500});
}

QString frmMain::LogText() const {
  QString t = txtOutputDisplay->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

void frmMain::AppendLog(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextDocument* doc = txtOutputDisplay->document();
  // The program's appends are not the user's edits: kept out of the undo
  // history, which would otherwise hold every result ever logged.
  doc->setUndoRedoEnabled(false);
  QTextCursor c(doc);
  c.movePosition(QTextCursor::End);
  c.insertText(t);
  doc->setUndoRedoEnabled(true);
}

void frmMain::cmdUserNumKey_Click(int index) {
  // One script at a time: a key that arrives while one runs is dropped.
  if (ScriptRunning()) return;
  KeyState st;
  st.input = ToU16(txtUserInput->currentText());
  st.selText = ToU16(mSelText);
  if (!session_.gLastAnswer.IsNull()) {
    try {
      st.lastAnswerText = vbs::ToText(session_.gLastAnswer);
    } catch (const vbs::ScriptError&) {
    }
  }
  st.showInput = session_.gShowInput;
  st.acKeyClear = session_.gACKeyClear;

  KeyEffects fx = PressKey(st, index, [this](const std::u16string& expression) {
    EvalResult r = JudgeValue(EvaluateExpression(session_, expression));
    r.shownText = DisplayedResultText(r, session_.gNumberFormat);
    return r;
  });

  if (fx.historyInsert) {
    txtUserInput->insertItem(0, ToQ(*fx.historyInsert));
    if (keeper_) keeper_->HistoryAdded(ToQ(*fx.historyInsert));
  }
  if (fx.answerChanged) session_.gLastAnswer = std::any_cast<vbs::Variant>(fx.answerValue);
  if (fx.clearLog) {
    txtOutputDisplay->clear();
    if (keeper_) keeper_->Cleared();
  }
  if (!fx.logAppend.empty()) {
    AppendLog(ToQ(fx.logAppend));
    if (keeper_) keeper_->Logged(ToQ(fx.logAppend));
  }
  if (fx.loggedValue) MarkLoggedValue(txtOutputDisplay, ToQ(*fx.loggedValue));
  if (fx.focusLogEnd) FocusTextBox(txtOutputDisplay);

  QLineEdit* edit = txtUserInput->lineEdit();
  const QString input = ToQ(st.input);
  if (fx.inputChanged || fx.historyInsert || edit->text() != input) {
    txtUserInput->setCurrentIndex(-1);
    txtUserInput->setEditText(input);
    edit->setCursorPosition(int(input.size()));
  }
  mSelText = ToQ(st.selText);
  historyWalk_ = {};
  if (fx.selectAllInput) edit->setSelection(0, int(input.size()));
  if (fx.focusInput) {
    // A window opened on the way (the library maintenance window after an
    // evaluation error) must not keep the keys the user types next.
    if (!isActiveWindow()) activateWindow();
    txtUserInput->setFocus();
  }
}

bool frmMain::txtUserInput_KeyPress(int keyAscii) {
  if (keyAscii == 13) {
    cmdUserNumKey_Click(kKeyExe);
    return true;
  }
  if (keyAscii == 27) {
    txtUserInput->setEditText(QString());
    historyWalk_ = {};
    return true;
  }
  return false;
}

bool frmMain::txtUserInput_KeyDown(int key) {
  if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
  const std::optional<std::u16string> shown = StepHistory(
      historyWalk_, key == Qt::Key_Up, txtUserInput->count(),
      [this](int i) { return ToU16(txtUserInput->itemText(i)); }, ToU16(txtUserInput->currentText()));
  if (shown) {
    // Set as a whole, as the user will see it: no completion, caret at the end.
    const QString text = ToQ(*shown);
    txtUserInput->setEditText(text);
    txtUserInput->lineEdit()->setCursorPosition(int(text.size()));
  }
  // Taken either way: the list's own Up and Down would run the other way.
  return true;
}

void frmMain::txtOutputDisplay_DblClick(int line) {
  if (session_.gACKeyClear) {
    // A logged number copies as its full value, not as the log shows it.
    if (const std::optional<QString> full =
            LoggedValueAt(txtOutputDisplay->document()->findBlockByNumber(line)))
      QGuiApplication::clipboard()->setText(*full);
    return;
  }
  ShowPrompt(ToQ(kAppTitle), ToQ(kLogReadOnlyText), PromptIcon::Exclamation, PromptButtons::OK);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      (watched == txtUserInput || watched == txtUserInput->lineEdit() ||
       watched == txtOutputDisplay) &&
      IsMenuShortcut(static_cast<QKeyEvent*>(event))) {
    // Left unaccepted: the menu's shortcut runs instead of cut or paste.
    return true;
  }
  if ((watched == txtUserInput || watched == txtUserInput->lineEdit()) &&
      event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    int ascii = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) ascii = 13;
    else if (key->key() == Qt::Key_Escape) ascii = 27;
    if (ascii && txtUserInput_KeyPress(ascii)) return true;
    // Alt+Down still opens the list.
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier)
      if (txtUserInput_KeyDown(key->key())) return true;
  } else if (watched == txtOutputDisplay->viewport() &&
             event->type() == QEvent::MouseButtonDblClick) {
    // The filter sees mouse events even of a disabled box; a disabled log
    // takes no mouse input at all.
    if (txtOutputDisplay->isEnabled()) {
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
      txtOutputDisplay_DblClick(txtOutputDisplay->cursorForPosition(at).blockNumber());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace zel
