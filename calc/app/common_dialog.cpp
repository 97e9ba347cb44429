#include "common_dialog.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

namespace zel {

namespace {

CommonDialog::Responder& TheResponder() {
  static CommonDialog::Responder responder;
  return responder;
}

class ExecutablesOnlyModel : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!files) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
  }
};

void PaintSwatch(QLabel* swatch, const QColor& color) {
  swatch->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                            .arg(color.name()));
}

}  // namespace

void PatternAwareFileDialog::accept() {
  const QStringList chosen = selectedFiles();
  const QString name = chosen.isEmpty() ? QString() : QFileInfo(chosen.first()).fileName();
  if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) return;
  QFileDialog::accept();
}

void CommonDialog::SetResponder(Responder responder) { TheResponder() = std::move(responder); }

bool CommonDialog::Show(Kind kind) {
  if (TheResponder()) return TheResponder()(*this, kind);
  return kind == Kind::Font ? ShowFontDialog() : ShowFileDialog(kind);
}

bool CommonDialog::ShowFileDialog(Kind kind) {
  PatternAwareFileDialog dialog(owner_, DialogTitle, InitDir);
  dialog.setAcceptMode(kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind == Kind::Open && FileMustExist ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
  // The program asks its own question about an existing file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!Filters.isEmpty()) {
    dialog.setNameFilters(Filters);
    dialog.selectNameFilter(Filters.value(FilterIndex, Filters.first()));
  }
  if (ExecutablesOnly) {
    // Programs have no common extension here: list folders and what can
    // be run.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setProxyModel(new ExecutablesOnlyModel(&dialog));
  }
  dialog.setDefaultSuffix(DefaultExt);
  if (!FileName.isEmpty()) dialog.selectFile(FileName);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  FileName = chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.first());
  const int index = Filters.indexOf(dialog.selectedNameFilter());
  if (index >= 0) FilterIndex = index;
  return true;
}

bool CommonDialog::ShowFontDialog() {
  // Qt's font chooser has no colour: the colour sits beside it in one box.
  QDialog box(owner_);
  box.setWindowTitle(QStringLiteral("Font"));
  auto* fonts = new QFontDialog(&box);
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOption(QFontDialog::NoButtons, true);
  QFont preset(FontName);
  preset.setPointSizeF(FontSize > 0 ? FontSize : 9);
  preset.setBold(FontBold);
  preset.setItalic(FontItalic);
  preset.setUnderline(FontUnderline);
  preset.setStrikeOut(FontStrikethru);
  fonts->setCurrentFont(preset);
  // Esc or Enter inside the chooser would end only the chooser itself,
  // leaving an empty box: they end the whole box.
  QObject::connect(fonts, &QDialog::finished, &box, [&box](int result) {
    if (result == QDialog::Accepted)
      box.accept();
    else
      box.reject();
  });

  QColor color = Color;
  auto* colorLabel = new QLabel(QStringLiteral("Color:"), &box);
  auto* swatch = new QLabel(&box);
  swatch->setFixedSize(48, 20);
  PaintSwatch(swatch, color);
  auto* chooseColor = new QPushButton(QStringLiteral("Choose..."), &box);
  QObject::connect(chooseColor, &QPushButton::clicked, &box, [&] {
    const QColor picked = QColorDialog::getColor(color, &box, QStringLiteral("Color"));
    if (picked.isValid()) {
      color = picked;
      PaintSwatch(swatch, color);
    }
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(colorLabel);
  colorRow->addWidget(swatch);
  colorRow->addWidget(chooseColor);
  colorRow->addStretch(1);
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(fonts);
  layout->addLayout(colorRow);
  layout->addWidget(buttons);

  if (box.exec() != QDialog::Accepted) return false;
  const QFont chosen = fonts->currentFont();
  FontName = chosen.family();
  FontSize = chosen.pointSizeF();
  FontBold = chosen.bold();
  FontItalic = chosen.italic();
  FontUnderline = chosen.underline();
  FontStrikethru = chosen.strikeOut();
  Color = color;
  return true;
}

}  // namespace zel
