#include "input_assist.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "busy_state.h"
#include "calc_session.h"
#include "call_context.h"
#include "frm_main.h"
#include "frm_tree.h"
#include "help_files.h"
#include "help_viewer.h"
#include "help_window.h"
#include "library_listing.h"
#include "script_runner.h"
#include "vbs_highlighter.h"
#include "zel_calculator.h"

namespace zel {

namespace {

// The manual's descriptions of the built-in functions, built into the program.
FunctionDescriptions ManualDescriptions() {
  QFile f(QStringLiteral(":/manual/functions.txt"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return ParseFunctionDescriptions(f.readAll().toStdString());
}

QString Html(std::u16string_view s) {
  return ToQ(s).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

// The signature with parameter `argument` in bold.
QString SignatureHtml(const CatalogueEntry& e, int argument) {
  QString out;
  size_t at = 0;
  for (size_t i = 0; i < e.paramSpans.size(); ++i) {
    const auto [start, length] = e.paramSpans[i];
    if (int(i) != argument) continue;
    out += Html(std::u16string_view(e.signature).substr(at, start - at));
    out += QStringLiteral("<b>") + Html(std::u16string_view(e.signature).substr(start, length)) +
           QStringLiteral("</b>");
    at = start + length;
  }
  return out + Html(std::u16string_view(e.signature).substr(at));
}

}  // namespace

InputAssist* InputAssist::Attach(frmMain& main) {
  if (InputAssist* attached = Of(main)) return attached;
  return new InputAssist(main);
}

InputAssist* InputAssist::Of(frmMain& main) {
  return main.findChild<InputAssist*>(QString(), Qt::FindDirectChildrenOnly);
}

InputAssist::InputAssist(frmMain& main)
    : QObject(&main), main_(main), catalogue_(NamesOf(main.Session()).catalogue) {
  setObjectName(QStringLiteral("inputAssist"));
  catalogue_.SetBuiltins(BuiltinNames(ManualDescriptions()));

  // Children of the window laid over the log under the input line: they
  // never take the focus, so every key still reaches the input line.
  QWidget* client = main.centralWidget();
  list_ = new QListWidget(client);
  list_->setObjectName(QStringLiteral("lstCompletion"));
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setFont(main.txtUserInput->font());
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  list_->hide();
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { Insert(list_->row(item)); });
  hint_ = new QLabel(client);
  hint_->setObjectName(QStringLiteral("lblParameterHint"));
  hint_->setTextFormat(Qt::RichText);
  hint_->setWordWrap(true);
  hint_->setFocusPolicy(Qt::NoFocus);
  hint_->setAutoFillBackground(true);
  hint_->setFrameShape(QFrame::Box);
  hint_->setMargin(3);
  hint_->setFont(main.txtUserInput->font());
  QPalette p = hint_->palette();
  p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
  p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
  hint_->setPalette(p);
  hint_->hide();

  QLineEdit* edit = main.txtUserInput->lineEdit();
  edit->installEventFilter(this);
  main.txtUserInput->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, [this] { UpdateList(true); });
  connect(edit, &QLineEdit::cursorPositionChanged, this, [this] {
    if (ListOpen()) UpdateList(false);
    UpdateHint();
  });
  connect(edit, &QLineEdit::textChanged, this, [this] {
    UpdateColours();
    UpdateHint();
  });
  connect(&main, &frmMain::completionToggled, this, &InputAssist::CompletionToggled);

  log_ = new VbsHighlighter(main.txtOutputDisplay->document(), catalogue_, VbsHighlighter::Scope::EchoedInput);
  log_->SetEnabled(Enabled());
  LibraryLoaded();
}

InputAssist::~InputAssist() = default;

bool InputAssist::Enabled() const { return main_.Completion(); }

bool InputAssist::ListOpen() const { return list_->isVisible(); }

bool InputAssist::HintShown() const { return hint_->isVisible(); }

void InputAssist::LibraryLoaded() {
  catalogue_.SetLibrary(DeclareLibraryFolder(main_.Session()));
  if (log_) log_->rehighlight();
  for (const auto& b : boxes_)
    if (b) b->rehighlight();
  UpdateColours();
}

void InputAssist::ScriptExecuted(const QString& script) {
  const FileDeclarations d = DeclareLibraryText(std::u16string(), FileText{true, ToU16(script), {}});
  if (!d.error.empty() || d.names.empty()) return;
  catalogue_.AddScript(d);
  if (log_) log_->rehighlight();
  for (const auto& b : boxes_)
    if (b) b->rehighlight();
  UpdateColours();
}

void InputAssist::HighlightScriptBox(QPlainTextEdit* box) {
  auto* h = new VbsHighlighter(box->document(), catalogue_, VbsHighlighter::Scope::WholeText);
  h->SetEnabled(Enabled());
  boxes_.push_back(h);
}

void InputAssist::CompletionToggled(bool on) {
  if (!on) {
    CloseList();
    hint_->hide();
  }
  if (log_) log_->SetEnabled(on);
  for (const auto& b : boxes_)
    if (b) b->SetEnabled(on);
  UpdateColours();
  UpdateHint();
}

void InputAssist::UpdateColours() {
  ColourLineEdit(main_.txtUserInput->lineEdit(), catalogue_, Enabled());
}

void InputAssist::OpenList() {
  forced_ = true;
  UpdateList(true);
}

void InputAssist::UpdateList(bool typed) {
  QLineEdit* edit = main_.txtUserInput->lineEdit();
  const std::u16string text = ToU16(edit->text());
  const size_t caret = size_t(edit->cursorPosition());
  const std::optional<NameSpan> word = TypedName(text, caret);
  const bool open = ListOpen();
  if (!Enabled() || ScriptRunning() || (!word && !forced_) || (!typed && !open) ||
      (typed && !open && !forced_ && (!word || word->length < 2))) {
    CloseList();
    return;
  }
  const std::u16string_view typedText = word ? std::u16string_view(text).substr(word->start, word->length)
                                             : std::u16string_view();
  // The caret moves with every letter typed: the list is made once for it.
  if (open && typedText == listedFor_) return;
  listedFor_ = std::u16string(typedText);
  const std::vector<const CatalogueEntry*> names = catalogue_.Complete(typedText, kListLimit);
  if (names.empty()) {
    CloseList();
    return;
  }
  list_->setUpdatesEnabled(false);
  list_->clear();
  for (const CatalogueEntry* e : names) {
    auto* item = new QListWidgetItem(ToQ(e->name) + ToQ(e->ParameterText()) + QStringLiteral("   ") +
                                     ToQ(e->KindText()));
    item->setData(Qt::UserRole, ToQ(e->name));
    list_->addItem(item);
  }
  list_->setCurrentRow(0);
  list_->setUpdatesEnabled(true);
  Place();
  list_->show();
  list_->raise();
}

void InputAssist::CloseList() {
  forced_ = false;
  listedFor_.clear();
  if (list_->isVisible()) {
    list_->hide();
    Place();
  }
}

void InputAssist::UpdateHint() {
  QLineEdit* edit = main_.txtUserInput->lineEdit();
  const CatalogueEntry* e = nullptr;
  std::optional<CallContext> call;
  if (Enabled() && !ScriptRunning() && edit->hasFocus())
    call = FindCallContext(ToU16(edit->text()), size_t(edit->cursorPosition()));
  if (call && !call->member) e = catalogue_.Find(call->name);
  hintWanted_ = e && IsProcedureKind(e->kind);
  if (!hintWanted_) {
    hint_->hide();
    Place();
    return;
  }
  QString html = SignatureHtml(*e, call->argument);
  if (!e->description.empty()) html += QStringLiteral("<br>") + Html(e->description);
  hint_->setText(html);
  Place();
  hint_->show();
  hint_->raise();
}

void InputAssist::Place() {
  const QRect input = main_.txtUserInput->geometry();
  const QRect client = main_.centralWidget()->rect();
  const int width = std::max(input.width(), std::min(client.width() - input.left(), 480));
  int top = input.bottom() + 1;
  if (hintWanted_) {
    const int h = hint_->heightForWidth(width);
    hint_->setGeometry(input.left(), top, width, h > 0 ? h : hint_->sizeHint().height());
    top = hint_->geometry().bottom() + 1;
  }
  const int rows = std::max(1, std::min(list_->count(), 8));
  const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : list_->fontMetrics().height();
  const int listHeight = std::min(rows * rowHeight + 2 * list_->frameWidth(), client.bottom() - top);
  list_->setGeometry(input.left(), top, width, std::max(listHeight, rowHeight));
}

void InputAssist::Insert(int row) {
  QListWidgetItem* item = list_->item(row);
  if (!item) return;
  const CatalogueEntry* e = catalogue_.Find(ToU16(item->data(Qt::UserRole).toString()));
  QLineEdit* edit = main_.txtUserInput->lineEdit();
  const std::u16string text = ToU16(edit->text());
  const size_t caret = size_t(edit->cursorPosition());
  const std::optional<NameSpan> word = TypedName(text, caret);
  CloseList();
  if (!e) return;
  QString insert = ToQ(e->name);
  if (e->takesArguments && (caret >= text.size() || text[caret] != u'(')) insert += QLatin1Char('(');
  // Through the line edit's own editing, so that Ctrl+Z takes it back.
  if (word) edit->setSelection(int(word->start), int(word->length));
  edit->insert(insert);
}

bool InputAssist::KeyWithList(QKeyEvent* key) {
  if (key->modifiers() & Qt::AltModifier) {
    // Alt+Down is the history's drop-down: this list makes way for it.
    CloseList();
    return false;
  }
  const int rows = list_->count();
  const int row = list_->currentRow();
  const int page = 7;
  switch (key->key()) {
    case Qt::Key_Up: list_->setCurrentRow(std::max(0, row - 1)); return true;
    case Qt::Key_Down: list_->setCurrentRow(std::min(rows - 1, row + 1)); return true;
    case Qt::Key_PageUp: list_->setCurrentRow(std::max(0, row - page)); return true;
    case Qt::Key_PageDown: list_->setCurrentRow(std::min(rows - 1, row + page)); return true;
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter: Insert(row); return true;
    case Qt::Key_Escape: CloseList(); return true;
    default: return false;
  }
}

const CatalogueEntry* InputAssist::HelpTarget() const {
  QLineEdit* edit = main_.txtUserInput->lineEdit();
  const std::u16string text = ToU16(edit->text());
  const std::optional<NameSpan> at = NameAtCaret(text, size_t(edit->cursorPosition()));
  if (!at) return nullptr;
  // A member (obj.Name) is none of the catalogue's names.
  if (at->start > 0 && text[at->start - 1] == u'.') return nullptr;
  const CatalogueEntry* e = catalogue_.Find(std::u16string_view(text).substr(at->start, at->length));
  if (!e) return nullptr;
  if (e->source == NameSource::Builtin) return e;
  if (e->source == NameSource::Library && (e->kind == NameKind::Function || e->kind == NameKind::Sub)) return e;
  return nullptr;
}

void InputAssist::ShowHelpOn(const CatalogueEntry& entry) {
  if (entry.source == NameSource::Builtin) {
    if (!OpenHelpFile(VbsManualPath())) return;
    if (auto* help = qobject_cast<HelpWindow*>(CurrentHelpViewer())) help->ShowIndexEntry(ToQ(entry.helpKeyword));
    return;
  }
  frmTree* tree = frmTree::Open(main_);
  if (tree) tree->ShowProcedure(ToQ(entry.file), ToQ(entry.name));
}

bool InputAssist::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    // F1 on a known name is this line's own key, not the window's help key.
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && HelpTarget()) {
      event->accept();
      return true;
    }
    // Esc and Enter with the list open belong to the list.
    if (ListOpen() && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                       key->key() == Qt::Key_Enter)) {
      event->accept();
      return true;
    }
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
      if (const CatalogueEntry* e = HelpTarget()) {
        const CatalogueEntry target = *e;
        ShowHelpOn(target);
        return true;
      }
    }
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
      if (Enabled() && !ScriptRunning()) OpenList();
      return true;
    }
    if (ListOpen() && KeyWithList(key)) return true;
  } else if (event->type() == QEvent::FocusOut) {
    // Also on the way out, while the window is being taken down: only
    // what is still there is hidden.
    forced_ = false;
    hintWanted_ = false;
    listedFor_.clear();
    if (list_) list_->hide();
    if (hint_) hint_->hide();
  } else if (event->type() == QEvent::FocusIn) {
    QMetaObject::invokeMethod(this, [this] { UpdateHint(); }, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zel
