#include "frm_customize.h"

#include <QAction>
#include <algorithm>

#include <QDir>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "app_fonts.h"
#include "busy_state.h"
#include "calc_session.h"
#include "frm_main.h"
#include "frm_tree.h"
#include "frm_user_scripting.h"
#include "input_assist.h"
#include "library_listing.h"
#include "messages.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "twips.h"
#include "user_editor.h"
#include "zel_calculator.h"

namespace zel {

namespace {

QPointer<frmCustomize> gCustomizeWindow;

constexpr char16_t kReloadTitle[] = u"Reloading User VBS Files";

// How wide `window` must be (outer) for its caption to show whole.
int CaptionWidth(const QWidget* window, int titleBarHeight) {
  QFont font = window->font();
  font.setBold(true);
  // The title bar's icon and three buttons take about a bar's height each,
  // and the caption needs a margin on either side.
  return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + 6 * titleBarHeight;
}

}  // namespace

QString EditTarget(const QString& libraryPath, const QString& selectedName,
                   const std::function<bool()>& askCreate) {
  QString name = selectedName;
  if (name.isEmpty()) {
    if (!askCreate()) return {};
    name = QString::fromUtf16(kNewLibraryFileName);
  }
  return libraryPath + QDir::separator() + name;
}

frmCustomize* frmCustomize::Open(frmMain& main) {
  return OpenOnce(gCustomizeWindow, [&main] { return new frmCustomize(main); });
}

frmCustomize* frmCustomize::Instance() { return gCustomizeWindow && !gCustomizeWindow->Closed() ? gCustomizeWindow.data() : nullptr; }

void InstallLibraryMaintenanceHook(frmMain& main) {
  // Opened beside the main window without taking the keyboard: the
  // evaluation goes on and gives the input line the focus.
  main.Session().gShowLibraryMaintenance = [&main] {
    if (!gCustomizeWindow || gCustomizeWindow->Closed()) gCustomizeWindow = new frmCustomize(main);
    ShowWithoutFocus(gCustomizeWindow);
  };
}

void AttachLibraryTools(frmMain& main) {
  QObject::connect(main.mnuBuiltinFunc, &QAction::triggered, &main, [&main] { frmTree::Open(main); });
  QObject::connect(main.mnuUserCode, &QAction::triggered, &main,
                   [&main] { frmUserScripting::Open(main); });
  QObject::connect(main.mnuVBS, &QAction::triggered, &main, [&main] { frmCustomize::Open(main); });
  InstallLibraryMaintenanceHook(main);
}

frmCustomize::frmCustomize(frmMain& main)
    : ToolWindow(&main, {"frmCustomize", "0", "0", "4275", "2970"}), main_(main) {
  setObjectName(QStringLiteral("frmCustomize"));
  setWindowTitle(QStringLiteral("VBS File Editing"));
  const QFont font = ProportionalFont(9, true);
  setFont(font);

  Label1 = new QLabel(QStringLiteral("Curent user VBS file loaded"), this);
  File1 = new QListWidget(this);
  File1->setObjectName(QStringLiteral("File1"));
  connect(File1, &QListWidget::itemDoubleClicked, this, [this] { File1_DblClick(); });
  cmdVBSEdit = new QPushButton(QStringLiteral("Edit"), this);
  cmdReload = new QPushButton(QStringLiteral("Reload"), this);
  cmdCustomizeExit = new QPushButton(QStringLiteral("Exit"), this);
  for (QPushButton* b : {cmdVBSEdit, cmdReload, cmdCustomizeExit}) b->setAutoDefault(false);
  connect(cmdVBSEdit, &QPushButton::clicked, this, [this] { cmdVBSEdit_Click(); });
  connect(cmdReload, &QPushButton::clicked, this, [this] { cmdReload_Click(); });
  connect(cmdCustomizeExit, &QPushButton::clicked, this, [this] { cmdCustomizeExit_Click(); });
  DisableWhileScriptRuns(cmdReload);

  // The controls keep their places whatever the window's size.
  SetGeometryTwips(Label1, 240, 120, 2415, 255);
  SetGeometryTwips(File1, 240, 360, 2415, 2790);
  SetGeometryTwips(cmdVBSEdit, 240, 3240, 805, 495);
  SetGeometryTwips(cmdReload, 1050, 3240, 805, 495);
  SetGeometryTwips(cmdCustomizeExit, 1860, 3240, 805, 495);
  setTabOrder(File1, cmdVBSEdit);
  setTabOrder(cmdVBSEdit, cmdCustomizeExit);
  setTabOrder(cmdCustomizeExit, cmdReload);

  RestoreGeometry();
  Form_Load();
}

void frmCustomize::ApplyLayout() {
  const QSize frame = FrameExtra();
  // Before the window is framed its title bar's height is not known, and
  // some frames report only their borders: 24 pixels stands in for it.
  const int titleBar = std::max(frame.height(), 24);
  const int minimum = CaptionWidth(this, titleBar) - frame.width();
  if (minimumWidth() != minimum) setMinimumWidth(minimum);
}

void frmCustomize::Form_Load() {
  // The loader's own rule: every name whose extension is VBS in any letter
  // case, sorted by name without regard to case.
  for (const LibraryFile& f : ListLibraryFolder(main_.Session().gLibraryPath)) File1->addItem(ToQ(f.name));
  if (File1->count() > 0) {
    File1->setCurrentRow(0);
    File1->scrollToItem(File1->item(0));
  }
  File1->setFocus();
}

QString frmCustomize::SelectedName() const {
  const QList<QListWidgetItem*> selected = File1->selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
}

void frmCustomize::StartEditor(const QString& path) {
  if (path.isEmpty()) return;
  // The editor gets the path as one argument, blanks and all; the launcher
  // tells the user when nothing could be started.
  StartUserEditor(main_.Session(), path);
}

void frmCustomize::cmdVBSEdit_Click() {
  StartEditor(EditTarget(main_.Session().gLibraryPath, SelectedName(), [] {
    return ShowPrompt(ToQ(kAppTitle), QStringLiteral("File not selected.\r\nCreate new file?"),
                      PromptIcon::Critical, PromptButtons::YesNo) == kAnswerYes;
  }));
}

void frmCustomize::File1_DblClick() {
  const QString name = SelectedName();
  if (name.isEmpty()) return;
  StartEditor(EditTarget(main_.Session().gLibraryPath, name, [] { return false; }));
}

void frmCustomize::cmdReload_Click() {
  // The engine a script is running in cannot be replaced under it.
  if (ScriptRunning()) return;
  const int answer = ShowPrompt(ToQ(kReloadTitle),
                                QStringLiteral("All temporary memories will be lost.\r\nDo you want continue?"),
                                PromptIcon::Question, PromptButtons::YesNo);
  if (answer != kAnswerYes) return;
  ScriptHandler handler(*this);
  ReloadUserLibrary(main_);
}

LibraryReload ReloadUserLibrary(frmMain& mainWindow, ReloadTrigger trigger) {
  if (ScriptRunning()) return {};
  LoadStatus status = LoadStatus::Loaded;
  std::vector<std::u16string> notLoaded;
  try {
    status = LoadUserLibrary(mainWindow.Session(), LibraryFiles::Load, &notLoaded);
  } catch (const std::exception&) {
    // The folder could not be listed: the engine in use stays as it was.
    ShowPrompt(ToQ(kAppTitle),
               QStringLiteral("The library folder cannot be read:\r\n%1\r\nThe scripts loaded before stay in use.")
                   .arg(mainWindow.Session().gLibraryPath),
               PromptIcon::Exclamation, PromptButtons::OK);
    return {};
  }
  // The names the input line offers follow the new engine.
  if (InputAssist* assist = InputAssist::Of(mainWindow)) assist->LibraryLoaded();
  if (status != LoadStatus::EndProgram || trigger == ReloadTrigger::Saved) return {true, notLoaded};
  // The user chose to edit the failing file: the program ends, through the
  // main window's own closing so that every window saves itself. When the
  // user stays after all, the engine holds only part of the library: that
  // is said, with the reload offered again.
  QTimer::singleShot(0, &mainWindow, [main = &mainWindow, notLoaded] {
    if (main->close()) return;
    const int again = ShowPrompt(ToQ(kReloadTitle), ToQ(LibraryNotLoadedText(notLoaded)),
                                 PromptIcon::Exclamation, PromptButtons::YesNo);
    if (again == kAnswerYes) ReloadUserLibrary(*main);
  });
  return {true, notLoaded};
}

void frmCustomize::cmdCustomizeExit_Click() { close(); }

void frmCustomize::keyPressEvent(QKeyEvent* event) {
  // Exit is the window's cancel button.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    cmdCustomizeExit->click();
    return;
  }
  ToolWindow::keyPressEvent(event);
}

}  // namespace zel
