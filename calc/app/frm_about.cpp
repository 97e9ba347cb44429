#include "frm_about.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPalette>

#include "app_fonts.h"
#include "twips.h"
#include "zel_dialog.h"

namespace zel {

QString VersionText() {
  return QStringLiteral("Version No. : %1.%2.%3")
      .arg(ZEL_VERSION_MAJOR)
      .arg(ZEL_VERSION_MINOR)
      .arg(ZEL_VERSION_PATCH);
}

QString ScriptFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* name : {"Brush Script MT", "Brush Script Std", "URW Chancery L", "Z003",
                           "TeX Gyre Chorus"}) {
    const QString family = QString::fromLatin1(name);
    // Faces that several foundries provide are listed as "Name [foundry]".
    for (const QString& f : installed)
      if (f.compare(family, Qt::CaseInsensitive) == 0 ||
          f.startsWith(family + QLatin1String(" ["), Qt::CaseInsensitive))
        return family;
  }
  return QString();
}

frmAboutZelCalc::frmAboutZelCalc(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAboutZelCalc"));
  setWindowTitle(QStringLiteral("zelCalc"));
  // Fixed dialog border: a close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(TwipsToPixelsX(4680), TwipsToPixelsY(2895));
  const QColor lightYellow(255, 255, 192);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, lightYellow);
  setPalette(pal);
  setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setScaledContents(true);
  Image1->setPixmap(zelDialog::LogoPicture());
  SetGeometryTwips(Image1, 360, 240, 795, 855);

  Label2 = new QLabel(QStringLiteral("zelCalc"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  QFont title = ProportionalFont(36, true);
  const QString script = ScriptFamily();
  if (!script.isEmpty()) title.setFamilies({script});
  title.setItalic(true);
  Label2->setFont(title);
  Label2->setAlignment(Qt::AlignCenter);
  SetGeometryTwips(Label2, 1800, 240, 2655, 975);

  lblVersion = new QLabel(QStringLiteral("Version No."), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->setFont(ProportionalFont(12, true));
  lblVersion->setAlignment(Qt::AlignCenter);
  SetGeometryTwips(lblVersion, 360, 1440, 3975, 255);
  // The replacement face may need more height than the design gave.
  if (lblVersion->sizeHint().height() > lblVersion->height())
    lblVersion->resize(lblVersion->width(), lblVersion->sizeHint().height());

  Form_Load();
}

void frmAboutZelCalc::Form_Load() { lblVersion->setText(VersionText()); }

}  // namespace zel
