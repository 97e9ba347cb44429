#include "frm_number_format.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app_fonts.h"
#include "app_settings.h"
#include "prompt_service.h"
#include "vbs/variant.h"
#include "zel_calculator.h"

namespace zel {

const char kSignificantDigitsRefused[] =
    "Significant digits must be a whole number from 1 to 15.";
const char kDecimalsRefused[] = "Decimals must be a whole number from 0 to 15.";

std::u16string DisplayedResultText(const EvalResult& result, const DisplayFormat& format) {
  const auto* value = std::any_cast<vbs::Variant>(&result.value);
  if (!value) return {};
  switch (value->Deref().type()) {
    case vbs::vbDouble: case vbs::vbSingle: case vbs::vbCurrency:
    case vbs::vbInteger: case vbs::vbLong: case vbs::vbByte:
      break;
    default:
      return {};
  }
  std::string text;
  for (char16_t c : result.text) {
    if (c > 0x7F) return {};
    text.push_back(char(c));
  }
  return ToU16(QString::fromStdString(FormatForDisplay(text, format)));
}

DisplayFormat ReadNumberFormat(const SettingsStore& store) {
  return SaneDisplayFormat(store.Get("Option", "NumberFormat", "General"),
                           ReadNumber(store, "Option", "SignificantDigits", "15"),
                           ReadNumber(store, "Option", "Decimals", "4"),
                           ReadBool(store, "Option", "DigitGrouping", false));
}

void WriteNumberFormat(SettingsStore& store, const DisplayFormat& format) {
  store.Set("Option", "NumberFormat", std::string(NumberFormWord(format.form)));
  WriteNumber(store, "Option", "SignificantDigits", format.significantDigits);
  WriteNumber(store, "Option", "Decimals", format.decimals);
  WriteBool(store, "Option", "DigitGrouping", format.digitGrouping);
}

namespace {

// Kept on the log's line: the text the line was logged with, so that an
// edited line is no longer taken for the value.
class LoggedValue : public QTextBlockUserData {
 public:
  LoggedValue(QString shown, QString full) : shown(std::move(shown)), full(std::move(full)) {}
  QString shown;
  QString full;
};

// The preview's values, as a user meets them.
constexpr double kSamples[] = {4.5e-6, 123456, 1.0 / 3, -2.675, 6.02214076e23, 1234567.891};

}  // namespace

void MarkLoggedValue(QPlainTextEdit* log, const QString& fullText) {
  QTextBlock line = log->document()->lastBlock();
  line.setUserData(new LoggedValue(line.text(), fullText));  // the document owns it
}

std::optional<QString> LoggedValueAt(const QTextBlock& line) {
  const auto* v = dynamic_cast<const LoggedValue*>(line.userData());
  if (!v || line.text() != v->shown) return std::nullopt;
  return v->full;
}

frmNumberFormat::frmNumberFormat(const DisplayFormat& current, QWidget* parent)
    : QDialog(parent), chosen_(current) {
  setObjectName(QStringLiteral("frmNumberFormat"));
  setWindowTitle(QStringLiteral("Number Format"));
  // A fixed dialog border: a close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* fraForm = new QGroupBox(QStringLiteral("Form"), this);
  auto* forms = new QVBoxLayout(fraForm);
  const char* const captions[] = {"&General", "&Engineering", "&SI Prefix", "&Fixed"};
  for (size_t i = 0; i < optForm.size(); ++i) {
    optForm[i] = new QRadioButton(QString::fromLatin1(captions[i]), fraForm);
    optForm[i]->setObjectName(QStringLiteral("optForm_%1").arg(i));
    forms->addWidget(optForm[i]);
    connect(optForm[i], &QRadioButton::toggled, this, &frmNumberFormat::UpdatePreview);
  }
  optForm[size_t(current.form)]->setChecked(true);

  auto* numbers = new QGridLayout;
  auto box = [this, numbers](const char* name, const char* caption, int value, int row) {
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(3);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(edit);
    numbers->addWidget(label, row, 0);
    numbers->addWidget(edit, row, 1);
    connect(edit, &QLineEdit::textChanged, this, &frmNumberFormat::UpdatePreview);
    return edit;
  };
  txtSignificantDigits = box("txtSignificantDigits", "Significant &digits (1-15):",
                             current.significantDigits, 0);
  txtDecimals = box("txtDecimals", "De&cimals (0-15):", current.decimals, 1);
  chkDigitGrouping = new QCheckBox(QStringLiteral("Digit g&rouping"), this);
  chkDigitGrouping->setObjectName(QStringLiteral("chkDigitGrouping"));
  chkDigitGrouping->setChecked(current.digitGrouping);
  connect(chkDigitGrouping, &QCheckBox::toggled, this, &frmNumberFormat::UpdatePreview);
  numbers->addWidget(chkDigitGrouping, 2, 0, 1, 2);
  numbers->setRowStretch(3, 1);

  auto* fraPreview = new QGroupBox(QStringLiteral("Preview"), this);
  auto* previewLayout = new QVBoxLayout(fraPreview);
  lblPreview = new QLabel(fraPreview);
  lblPreview->setObjectName(QStringLiteral("lblPreview"));
  lblPreview->setFont(FixedFont(9.75));
  lblPreview->setTextFormat(Qt::PlainText);
  previewLayout->addWidget(lblPreview);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdOK, &QPushButton::clicked, this, &frmNumberFormat::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addWidget(fraForm);
  top->addLayout(numbers);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addWidget(fraPreview);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);

  UpdatePreview();
}

std::optional<DisplayFormat> frmNumberFormat::Entered() const {
  DisplayFormat f = chosen_;
  for (size_t i = 0; i < optForm.size(); ++i)
    if (optForm[i]->isChecked()) f.form = NumberForm(i);
  f.digitGrouping = chkDigitGrouping->isChecked();
  // A box the form does not use keeps its value when it holds something else.
  const bool usesDigits = f.form == NumberForm::Engineering || f.form == NumberForm::SIPrefix;
  const std::optional<int> digits = ReadDigitCount(
      txtSignificantDigits->text().toStdString(), kMinSignificantDigits, kMaxSignificantDigits);
  if (digits) f.significantDigits = *digits;
  else if (usesDigits) return std::nullopt;
  const std::optional<int> decimals =
      ReadDigitCount(txtDecimals->text().toStdString(), kMinDecimals, kMaxDecimals);
  if (decimals) f.decimals = *decimals;
  else if (f.form == NumberForm::Fixed) return std::nullopt;
  return f;
}

void frmNumberFormat::UpdatePreview() {
  if (!lblPreview) return;  // still being built
  const bool usesDigits = optForm[1]->isChecked() || optForm[2]->isChecked();
  txtSignificantDigits->setEnabled(usesDigits);
  txtDecimals->setEnabled(optForm[3]->isChecked());
  const std::optional<DisplayFormat> f = Entered();
  QStringList lines;
  for (double v : kSamples) {
    const QString general = QString::fromStdString(FormatForDisplay(v, DisplayFormat{}));
    const QString shown = f ? QString::fromStdString(FormatForDisplay(v, *f)) : QStringLiteral("?");
    lines << general.leftJustified(18) + QStringLiteral(" \u2192 ") + shown;
  }
  lblPreview->setText(lines.join(QLatin1Char('\n')));
}

void frmNumberFormat::cmdOK_Click() {
  const std::optional<DisplayFormat> f = Entered();
  if (!f) {
    const bool digitsWrong = txtSignificantDigits->isEnabled() &&
                             !ReadDigitCount(txtSignificantDigits->text().toStdString(),
                                             kMinSignificantDigits, kMaxSignificantDigits);
    QLineEdit* wrong = digitsWrong ? txtSignificantDigits : txtDecimals;
    ShowPrompt(QString(),
               QString::fromLatin1(digitsWrong ? kSignificantDigitsRefused : kDecimalsRefused),
               PromptIcon::Exclamation, PromptButtons::OK);
    wrong->setFocus();
    wrong->selectAll();
    return;
  }
  chosen_ = *f;
  accept();
}

}  // namespace zel
