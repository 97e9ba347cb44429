#pragma once
// cmnDialog: one file/font dialog object per window. The properties a
// command sets stay on the object for the next command, as the commands of
// a window share it (the font dialog's effects and colour, the last folder).
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace zel {

// A name offered as a pattern ("*.txt") picks no file: Save or Open with it
// keeps the dialog open, listing what matches, as the platform's dialog
// does. Qt's own would take the pattern as the file's name.
class PatternAwareFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  void accept() override;
};

class CommonDialog {
 public:
  enum class Kind { Open, Save, Font };

  explicit CommonDialog(QWidget* owner = nullptr) : owner_(owner) {}

  // File dialogs.
  QString DialogTitle;
  QStringList Filters;    // "Text File (*.txt)", ...
  int FilterIndex = 0;    // the entry preselected
  QString FileName;       // in: the name offered; out: the full path chosen
  QString InitDir;
  QString DefaultExt;     // without the dot
  bool ExecutablesOnly = false;  // list only files that can be run
  // The open dialog itself refuses a name that does not exist. Off, the
  // name comes back and the command says what is wrong with it.
  bool FileMustExist = false;

  // Font dialog. Name and size are preset by the caller; the effects and
  // the colour keep what the last use left.
  QString FontName;
  double FontSize = 9;
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikethru = false;
  QColor Color = Qt::black;

  // false when the user cancelled.
  bool ShowOpen() { return Show(Kind::Open); }
  bool ShowSave() { return Show(Kind::Save); }
  bool ShowFont() { return Show(Kind::Font); }

  // Test hook: while set, no dialog is shown; the responder fills in what
  // the user would have chosen and returns false for a cancel.
  using Responder = std::function<bool(CommonDialog&, Kind)>;
  static void SetResponder(Responder responder);

 private:
  bool Show(Kind kind);
  bool ShowFileDialog(Kind kind);
  bool ShowFontDialog();
  QWidget* owner_;
};

}  // namespace zel
