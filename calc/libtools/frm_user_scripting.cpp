#include "frm_user_scripting.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>

#include "app_fonts.h"
#include "busy_state.h"
#include "common_dialog.h"
#include "guarded_text_edit.h"
#include "input_assist.h"
#include "library_folder.h"
#include "calc_session.h"
#include "frm_main.h"
#include "messages.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "twips.h"
#include "zel_calculator.h"

namespace zel {

namespace {

QPointer<frmUserScripting> gScriptWindow;

// Plain-text boxes keep lines apart by LF (and their selections by U+2029);
// the window's texts use CR LF.
QString ToCrLf(QString text) {
  text.replace(QChar(0x2029), QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void SetBoxText(QPlainTextEdit* box, const std::u16string& text) {
  QString t = ToQ(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box->setPlainText(t);
}

}  // namespace

frmUserScripting* frmUserScripting::Open(frmMain& main) {
  return OpenOnce(gScriptWindow, [&main] { return new frmUserScripting(main); });
}

frmUserScripting* frmUserScripting::Instance() { return gScriptWindow && !gScriptWindow->Closed() ? gScriptWindow.data() : nullptr; }

frmUserScripting::frmUserScripting(frmMain& main)
    : ToolWindow(&main, {"frmUserScripting", "105", "105", "7365", "4605"}), main_(main) {
  setObjectName(QStringLiteral("frmUserScripting"));
  setWindowTitle(QStringLiteral("User Script Execution"));
  // Sizable, with neither a minimise nor a maximise button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFont(ProportionalFont(9, true));

  const QFont textFont = FixedFont(9.75);
  txtInMemory = new GuardedTextEdit(this);
  txtInMemory->setObjectName(QStringLiteral("txtInMemory"));
  // Selectable and copyable, never typed into.
  txtInMemory->setReadOnly(true);
  txtInMemory->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPalette pal = txtInMemory->palette();
  pal.setColor(QPalette::Base, QColor(255, 255, 192));
  pal.setColor(QPalette::Text, Qt::black);
  txtInMemory->setPalette(pal);
  txtInMemory->viewport()->installEventFilter(this);
  txtUserScript = new GuardedTextEdit(this);
  txtUserScript->setObjectName(QStringLiteral("txtUserScript"));
  for (QPlainTextEdit* box : {txtInMemory, txtUserScript}) {
    box->setFont(textFont);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as in the platform's text boxes.
    box->setTabChangesFocus(true);
  }

  cmdExe = new QPushButton(QStringLiteral("Execute"), this);
  cmdExe->setToolTip(QStringLiteral("Execute the text below"));
  cmdExport = new QPushButton(QStringLiteral("Export"), this);
  cmdExport->setToolTip(QStringLiteral("Export above text to a file."));
  cmdImport = new QPushButton(QStringLiteral("Import"), this);
  cmdImport->setToolTip(QStringLiteral("Import text from a file"));
  cmdExit = new QPushButton(QStringLiteral("Exit"), this);
  for (QPushButton* b : {cmdExe, cmdExport, cmdImport, cmdExit}) b->setAutoDefault(false);
  connect(cmdExe, &QPushButton::clicked, this, [this] { cmdExe_Click(); });
  connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
  connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
  connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
  setTabOrder(txtInMemory, txtUserScript);
  setTabOrder(txtUserScript, cmdExport);
  setTabOrder(cmdExport, cmdExe);
  setTabOrder(cmdExe, cmdImport);
  setTabOrder(cmdImport, cmdExit);

  cmnDialog = new PatternAwareFileDialog(this);
  cmnDialog->setObjectName(QStringLiteral("cmnDialog"));
  cmnDialog->setNameFilters({QStringLiteral("Text File (*.txt)"), QStringLiteral("All Files (*)")});
  cmnDialog->setDefaultSuffix(QStringLiteral("txt"));

  DisableWhileScriptRuns(cmdExe);
  // The window's own script shows its busy state here too, with Stop (and
  // Esc) within reach; the script box, which Execute empties when the
  // script has run, and Import wait meanwhile.
  new ScriptBusyBar(this, txtUserScript, {txtUserScript, cmdImport}, [this] { return executing_; });
  if (InputAssist* assist = InputAssist::Of(main_)) assist->HighlightScriptBox(txtUserScript);
  RestoreGeometry();
  FocusTextBox(txtUserScript);
  // The window opens for typing a script: the script box, not the
  // transcript first in the tab order, has the focus when it appears.
  txtUserScript->setFocus();
}

QString frmUserScripting::Transcript() const { return ToCrLf(txtInMemory->toPlainText()); }
QString frmUserScripting::Script() const { return ToCrLf(txtUserScript->toPlainText()); }
QString frmUserScripting::SelectedTranscript() const {
  return ToCrLf(txtInMemory->textCursor().selectedText());
}

bool frmUserScripting::RunInEngine(const QString& script) {
  GlobalModule* module = main_.Session().gGlobalModule.get();
  return module && module->ExecuteStatement(ToU16(script));
}

void frmUserScripting::cmdExe_Click() {
  // The engine runs one script at a time.
  if (ScriptRunning()) return;
  ScriptHandler handler(*this);
  const QString script = Script();
  SetBoxText(txtInMemory, TranscriptAfterExecute(ToU16(Transcript()), ToU16(script)));
  FocusTextBox(txtInMemory);
  executing_ = true;
  const bool ran = RunInEngine(script);
  executing_ = false;
  // What the script declared is in the engine even when it failed later.
  if (InputAssist* assist = InputAssist::Of(main_)) assist->ScriptExecuted(script);
  if (!ran) {
    // A script stopped because a window is closing is not reported.
    const ScriptRunner* runner = ScriptRunner::Instance();
    if (handler.Closing() || (runner && runner->StoppingForClose())) return;
    ReportFailedScript();
    return;
  }
  if (handler.Closing()) return;
  txtUserScript->clear();
  txtUserScript->setFocus();
}

void frmUserScripting::ReportFailedScript() {
  // Stopped at the user's request (Stop, Esc, "Stop Script" on a box of the
  // script): said as such, in the words of the stop's own error.
  const ScriptRunner* runner = ScriptRunner::Instance();
  const vbs::Engine* engine = main_.Session().gScriptEngine.get();
  if (runner && runner->StopRequested() && engine && engine->Error().Number == vbs::kErrInterrupted) {
    ShowPrompt(ToQ(kAppTitle), ToQ(engine->Error().Description), PromptIcon::Information,
               PromptButtons::OK);
    return;
  }
  ShowPrompt(ToQ(kAppTitle), ToQ(kNotExecutableText), PromptIcon::Critical, PromptButtons::OK);
}

QString frmUserScripting::ChooseFile() {
  cmnDialog->selectNameFilter(cmnDialog->nameFilters().value(0));
  cmnDialog->setDirectory(CurrentDialogFolders().documents);
  if (cmnDialog->exec() != QDialog::Accepted) return {};
  return cmnDialog->selectedFiles().value(0);
}

void frmUserScripting::cmdImport_Click() {
  cmnDialog->setWindowTitle(QStringLiteral("File Import"));
  cmnDialog->setAcceptMode(QFileDialog::AcceptOpen);
  cmnDialog->setFileMode(QFileDialog::ExistingFile);
  const QString file = ChooseFile();
  if (file.isEmpty()) return;
  // Read as the library is read: UTF-8 when valid, else CP932.
  const auto script = ScriptAfterImport(ToU16(Script()), ReadLibraryFile(ToPath(file)));
  if (!script) return;
  SetBoxText(txtUserScript, *script);
  FocusTextBox(txtUserScript);
}

void frmUserScripting::cmdExport_Click() {
  const QString selection = SelectedTranscript();
  if (selection.isEmpty()) {
    ShowPrompt(ToQ(kAppTitle), ToQ(kSelectRangeText), PromptIcon::Exclamation, PromptButtons::OK);
    return;
  }
  cmnDialog->setAcceptMode(QFileDialog::AcceptSave);
  cmnDialog->setFileMode(QFileDialog::AnyFile);
  cmnDialog->selectFile(QStringLiteral("*.txt"));
  const QString file = ChooseFile();
  if (file.isEmpty()) return;
  // Written aside and put in place at the end: a failed write leaves an
  // existing file as it was.
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return;
  const std::string bytes = ExportBytes(ToU16(selection));
  if (out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) return;
  if (!out.commit()) return;
  FocusTextBox(txtUserScript);
}

void frmUserScripting::cmdExit_Click() { close(); }

void frmUserScripting::txtInMemory_DblClick() {
  ShowPrompt(ToQ(kAppTitle), ToQ(kLogReadOnlyText), PromptIcon::Exclamation, PromptButtons::OK);
}

bool frmUserScripting::eventFilter(QObject* watched, QEvent* event) {
  if (txtInMemory && watched == txtInMemory->viewport() &&
      event->type() == QEvent::MouseButtonDblClick)
    txtInMemory_DblClick();
  return ToolWindow::eventFilter(watched, event);
}

void frmUserScripting::ApplyLayout() {
  if (laying_ || isMinimized() || isMaximized() || !txtInMemory) return;
  laying_ = true;
  const QSize extra = FrameExtra();
  const ScriptWindowLayout l = ComputeScriptWindowLayout(float(WidthTwips()), float(HeightTwips()));
  setMinimumSize(QSize(TwipsToPixelsX(kScriptMinWidth), TwipsToPixelsY(kScriptMinHeight)) - extra);
  const QSize wanted(TwipsToPixelsX(l.width), TwipsToPixelsY(l.height));
  const QSize outer = frameGeometry().size();
  if (wanted.width() > outer.width() || wanted.height() > outer.height())
    resize(size() + (wanted - outer).expandedTo(QSize(0, 0)));
  auto place = [](QWidget* w, const TwRect& r) { SetGeometryTwips(w, r.left, r.top, r.width, r.height); };
  place(txtInMemory, l.inMemory);
  place(cmdExit, l.exitButton);
  place(txtUserScript, l.script);
  place(cmdExe, l.exe);
  place(cmdExport, l.exportButton);
  place(cmdImport, l.importButton);
  laying_ = false;
}

}  // namespace zel
