#include "frm_tree.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include "app_fonts.h"
#include "calc_session.h"
#include "frm_main.h"
#include "library_listing.h"
#include "messages.h"
#include "prompt_service.h"
#include "twips.h"
#include "zel_calculator.h"

namespace zel {

namespace {

QPointer<frmTree> gTreeWindow;

constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;
constexpr int kDescriptionRole = Qt::UserRole + 3;
// The description pane under the tree, twips.
constexpr int kDescriptionHeight = 1000;
constexpr int kDescriptionGap = 60;

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, TreeNodeKind kind, const std::u16string& text) {
  auto* item = new QTreeWidgetItem(parent, QStringList(ToQ(text)));
  item->setData(0, kKindRole, int(kind));
  return item;
}

}  // namespace

frmTree* frmTree::Open(frmMain& main) {
  return OpenOnce(gTreeWindow, [&main] { return new frmTree(main); });
}

frmTree* frmTree::Instance() { return gTreeWindow && !gTreeWindow->Closed() ? gTreeWindow.data() : nullptr; }

frmTree::frmTree(frmMain& main)
    : ToolWindow(&main, {"frmTree", "0", "0", "4740", "4650"}), main_(main) {
  setObjectName(QStringLiteral("frmTree"));
  setWindowTitle(QStringLiteral("User Added Programs"));

  tvwVBSFiles = new QTreeWidget(this);
  tvwVBSFiles->setObjectName(QStringLiteral("tvwVBSFiles"));
  tvwVBSFiles->setHeaderHidden(true);
  tvwVBSFiles->setColumnCount(1);
  // Long templates are shown whole, with a horizontal scroll bar, never cut.
  tvwVBSFiles->setTextElideMode(Qt::ElideNone);
  tvwVBSFiles->header()->setStretchLastSection(false);
  tvwVBSFiles->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  // Double-clicks are taken whole (eventFilter): anywhere in the tree they
  // act as Select, except that a file opens or folds.
  tvwVBSFiles->setExpandsOnDoubleClick(false);
  tvwVBSFiles->viewport()->installEventFilter(this);
  lblDescription = new QLabel(this);
  lblDescription->setObjectName(QStringLiteral("lblDescription"));
  lblDescription->setWordWrap(true);
  lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblDescription->setFrameShape(QFrame::StyledPanel);
  lblDescription->setTextFormat(Qt::RichText);
  lblDescription->setMargin(3);
  connect(tvwVBSFiles, &QTreeWidget::currentItemChanged, this, [this] { ShowDescription(); });

  const QFont buttonFont = ProportionalFont(9, true);
  cmdSelect = new QPushButton(QStringLiteral("Select"), this);
  cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
  cmdExit = new QPushButton(QStringLiteral("Exit"), this);
  cmdExit->setObjectName(QStringLiteral("cmdExit"));
  for (QPushButton* b : {cmdSelect, cmdExit}) {
    b->setFont(buttonFont);
    b->setAutoDefault(false);
  }
  connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
  connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
  setTabOrder(tvwVBSFiles, cmdSelect);
  setTabOrder(cmdSelect, cmdExit);

  RestoreGeometry();
  Form_Load();
}

frmTree::~frmTree() = default;

TreeNodeKind frmTree::KindOf(const QTreeWidgetItem* item) {
  return TreeNodeKind(item->data(0, kKindRole).toInt());
}

void frmTree::Form_Load() {
  auto* root = new QTreeWidgetItem(tvwVBSFiles, QStringList(QStringLiteral("VBSFiles")));
  root->setData(0, kKindRole, int(TreeNodeKind::Root));
  // Each file is compiled on an engine of its own and never run; the
  // program's engine is not touched.
  for (const auto& d : DeclareLibraryFolder(main_.Session())) {
    const FileNode f = DescribeDeclarations(*d);
    QTreeWidgetItem* file = AddNode(root, TreeNodeKind::File, f.name);
    if (!f.error.empty()) AddNode(file, TreeNodeKind::Error, f.error);
    for (const ProcedureNode& p : f.procedures) {
      QTreeWidgetItem* item = AddNode(file, TreeNodeKind::Procedure, p.text);
      item->setData(0, kNameRole, ToQ(p.name));
      item->setData(0, kDescriptionRole, ToQ(p.description));
      if (!p.description.empty()) item->setToolTip(0, ToQ(p.description));
    }
    file->setExpanded(false);
  }
  root->setExpanded(true);
}

void frmTree::Refresh() {
  tvwVBSFiles->clear();
  Form_Load();
}

void frmTree::ApplyLayout() {
  if (laying_ || isMinimized() || !tvwVBSFiles) return;
  laying_ = true;
  const TreeLayout l = ComputeTreeLayout(WidthTwips());
  // The height is the layout's: the user can change only the width.
  const int clientHeight = TwipsToPixelsY(l.height) - FrameExtra().height();
  if (minimumHeight() != clientHeight || maximumHeight() != clientHeight) setFixedHeight(clientHeight);
  // The description of the selected procedure takes the foot of the tree's place.
  const int treeHeight = kTreeHeight - kDescriptionHeight - kDescriptionGap;
  SetGeometryTwips(tvwVBSFiles, kTreeLeft, kTreeTop, l.treeWidth, treeHeight);
  SetGeometryTwips(lblDescription, kTreeLeft, kTreeTop + treeHeight + kDescriptionGap, l.treeWidth,
                   kDescriptionHeight);
  SetGeometryTwips(cmdSelect, l.buttonLeft, 120, kTreeButtonWidth, 615);
  SetGeometryTwips(cmdExit, l.buttonLeft, 840, kTreeButtonWidth, 615);
  laying_ = false;
}

void frmTree::ShowDescription() {
  const QTreeWidgetItem* item = tvwVBSFiles->currentItem();
  if (!item || KindOf(item) != TreeNodeKind::Procedure) {
    lblDescription->clear();
    return;
  }
  QString text = QStringLiteral("<b>%1</b>").arg(item->text(0).toHtmlEscaped());
  const QString description = item->data(0, kDescriptionRole).toString();
  if (!description.isEmpty())
    text += QStringLiteral("<br>") + description.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  lblDescription->setText(text);
}

QString frmTree::Description() const { return lblDescription->text(); }

bool frmTree::ShowProcedure(const QString& file, const QString& name) {
  const QTreeWidgetItem* root = tvwVBSFiles->topLevelItem(0);
  for (int i = 0; root && i < root->childCount(); ++i) {
    QTreeWidgetItem* f = root->child(i);
    if (f->text(0) != file) continue;
    for (int j = 0; j < f->childCount(); ++j) {
      QTreeWidgetItem* p = f->child(j);
      if (KindOf(p) != TreeNodeKind::Procedure ||
          p->data(0, kNameRole).toString().compare(name, Qt::CaseInsensitive) != 0)
        continue;
      f->setExpanded(true);
      tvwVBSFiles->setCurrentItem(p);
      tvwVBSFiles->scrollToItem(p);
      tvwVBSFiles->setFocus();
      return true;
    }
  }
  return false;
}

bool frmTree::InsertSelection() {
  const QList<QTreeWidgetItem*> selected = tvwVBSFiles->selectedItems();
  std::optional<TreeNodeKind> kind;
  QString text;
  if (!selected.isEmpty()) {
    kind = KindOf(selected.front());
    text = selected.front()->text(0);
  }
  const SelectOutcome out = ChooseNode(kind, ToU16(text));
  if (!out.insert) {
    ShowPrompt(ToQ(kAppTitle), ToQ(out.message), PromptIcon::Critical, PromptButtons::OK);
    return false;
  }
  main_.txtUserInput->setCurrentIndex(-1);
  main_.txtUserInput->setEditText(ToQ(out.text));
  main_.activateWindow();
  main_.raise();
  main_.txtUserInput->setFocus();
  return true;
}

void frmTree::cmdSelect_Click() { InsertSelection(); }

void frmTree::cmdExit_Click() { close(); }

void frmTree::tvwVBSFiles_DblClick() {
  if (InsertSelection()) close();
}

bool frmTree::eventFilter(QObject* watched, QEvent* event) {
  if (tvwVBSFiles && watched == tvwVBSFiles->viewport() &&
      event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return true;
    QTreeWidgetItem* item = tvwVBSFiles->itemAt(mouse->position().toPoint());
    // A file (or the list of them) opens or folds, as in any tree; the
    // "Selection is not a function" message would only stand in the way.
    if (item && (KindOf(item) == TreeNodeKind::File || KindOf(item) == TreeNodeKind::Root)) {
      item->setExpanded(!item->isExpanded());
      return true;
    }
    // On a procedure, an error line or blank space: Select.
    tvwVBSFiles_DblClick();
    return true;
  }
  return ToolWindow::eventFilter(watched, event);
}

}  // namespace zel
