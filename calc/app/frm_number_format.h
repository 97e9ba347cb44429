#pragma once
// frmNumberFormat: the Option menu's "Number Format..." dialog, and the
// display form it sets for numbers in the output log. The form changes only
// what the log shows: the answer, ANS and the history keep the full value.
#include <QDialog>
#include <QString>
#include <array>
#include <optional>
#include <string>

#include "display_format.h"
#include "keypad.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextBlock;

namespace zel {

class SettingsStore;

// The log's text of a judged result in `format`: set for Double,
// Single, Currency, Integer, Long and Byte values, empty for every other
// value (which is logged by its own text).
std::u16string DisplayedResultText(const EvalResult& result, const DisplayFormat& format);

// Section "Option": "NumberFormat", "SignificantDigits", "Decimals",
// "DigitGrouping". Absent or unusable values read as their defaults.
DisplayFormat ReadNumberFormat(const SettingsStore& store);
void WriteNumberFormat(SettingsStore& store, const DisplayFormat& format);

// Remembers the full text behind the log's last line, a number just logged
// in display form.
void MarkLoggedValue(QPlainTextEdit* log, const QString& fullText);
// The full text behind a line of the log; nullopt for other lines and for a
// result line the user has edited since.
std::optional<QString> LoggedValueAt(const QTextBlock& line);

// Shown when a box holds something else than a whole number in its range.
extern const char kSignificantDigitsRefused[];
extern const char kDecimalsRefused[];

class frmNumberFormat : public QDialog {
  Q_OBJECT

 public:
  frmNumberFormat(const DisplayFormat& current, QWidget* parent = nullptr);

  // In NumberForm order: General, Engineering, SI Prefix, Fixed.
  std::array<QRadioButton*, 4> optForm{};
  QLineEdit* txtSignificantDigits = nullptr;
  QLineEdit* txtDecimals = nullptr;
  QCheckBox* chkDigitGrouping = nullptr;
  QLabel* lblPreview = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;

  // What the dialog holds; nullopt while a box is out of range.
  std::optional<DisplayFormat> Entered() const;
  // The format chosen with OK.
  const DisplayFormat& Chosen() const { return chosen_; }

  // OK: refuses a box out of range with a message and the box selected;
  // otherwise accepts.
  void cmdOK_Click();
  void UpdatePreview();

 private:
  DisplayFormat chosen_;
};

}  // namespace zel
