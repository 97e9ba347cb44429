#pragma once
// frmAboutZelCalc: the version window, shown modally from the Help menu.
#include <QDialog>

class QLabel;

namespace zel {

// "Version No. : major.minor.revision" of the program's own version.
QString VersionText();

class frmAboutZelCalc : public QDialog {
  Q_OBJECT

 public:
  explicit frmAboutZelCalc(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* lblVersion = nullptr;

 private:
  void Form_Load();
};

// The face of the title: a script face when one is installed, else empty
// (the title is then bold italic in the program's proportional face).
QString ScriptFamily();

}  // namespace zel
