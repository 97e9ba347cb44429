#pragma once
// frmTree: the function library browser. The library's files and the
// procedures each declares, as call templates for the main window's input
// line.
#include <QPointer>

#include "library_tree.h"
#include "tool_window.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zel {

class frmMain;

class frmTree : public ToolWindow {
  Q_OBJECT

 public:
  // The menu command: opens the browser, or brings the open one forward.
  static frmTree* Open(frmMain& main);
  // The open browser, if any.
  static frmTree* Instance();

  explicit frmTree(frmMain& main);
  ~frmTree() override;

  QTreeWidget* tvwVBSFiles = nullptr;
  QPushButton* cmdSelect = nullptr;
  QPushButton* cmdExit = nullptr;
  // The selected procedure's template and the comment lines above its header.
  QLabel* lblDescription = nullptr;

  void cmdSelect_Click();
  void cmdExit_Click();
  void tvwVBSFiles_DblClick();
  // Reads the library folder again (after a reload).
  void Refresh();
  // Selects the procedure `name` of `file` (F1 on a library name in the
  // input line); false when the tree has no such node.
  bool ShowProcedure(const QString& file, const QString& name);
  QString Description() const;

  // The node's kind as stored on its item.
  static TreeNodeKind KindOf(const QTreeWidgetItem* item);

 protected:
  void ApplyLayout() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load();
  void ShowDescription();
  // Inserts the selected node's template; false when something else was
  // selected (the user has been told).
  bool InsertSelection();

  frmMain& main_;
  bool laying_ = false;
};

}  // namespace zel
