#pragma once
// The input line knows the library: a list of names under txtUserInput as
// the user types (or on Ctrl+Space), a tip with the parameters of the call
// the caret is in, colours in the input line, the log and the script box,
// and F1 on a name. It never changes the input by itself: only Tab or Enter
// on the list inserts a name. Option "Completion" turns all but F1 off.
#include <QLabel>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "name_catalogue.h"

class QPlainTextEdit;
class QKeyEvent;

namespace zel {

class frmMain;
class VbsHighlighter;

class InputAssist : public QObject {
  Q_OBJECT
 public:
  // Rows the list shows at most.
  static constexpr size_t kListLimit = 200;

  // Attaches to the main window and reads the library's names.
  static InputAssist* Attach(frmMain& main);
  // The one attached to `main`, if any.
  static InputAssist* Of(frmMain& main);
  ~InputAssist() override;

  const NameCatalogue& Catalogue() const { return catalogue_; }
  // After start-up and every reload: the library as the new engine has it.
  void LibraryLoaded();
  // After Execute in the user script window: what the script declared.
  void ScriptExecuted(const QString& script);
  // Colours a box of script text (the user script window's).
  void HighlightScriptBox(QPlainTextEdit* box);

  QListWidget* List() const { return list_; }
  QLabel* Hint() const { return hint_; }
  bool ListOpen() const;
  bool HintShown() const;
  // Ctrl+Space: the list for what is typed so far, even one letter or none.
  void OpenList();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit InputAssist(frmMain& main);
  bool Enabled() const;
  // `typed`: the user has just edited the line; the list may open.
  void UpdateList(bool typed);
  void UpdateHint();
  void UpdateColours();
  void Place();
  void CloseList();
  void Insert(int row);
  bool KeyWithList(QKeyEvent* key);
  // The entry F1 opens help on, or nullptr.
  const CatalogueEntry* HelpTarget() const;
  void ShowHelpOn(const CatalogueEntry& entry);
  void CompletionToggled(bool on);

  frmMain& main_;
  NameCatalogue& catalogue_;  // the session's
  QPointer<QListWidget> list_;
  QPointer<QLabel> hint_;
  bool forced_ = false;  // opened by Ctrl+Space
  bool hintWanted_ = false;
  std::u16string listedFor_;  // what the open list was made for
  QPointer<VbsHighlighter> log_;
  std::vector<QPointer<VbsHighlighter>> boxes_;
};

}  // namespace zel
