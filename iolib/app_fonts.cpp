#include "app_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zel {

namespace {

QString FirstInstalled(const QStringList& wanted, QFontDatabase::SystemFont fallback) {
  const QStringList installed = QFontDatabase::families();
  for (const QString& name : wanted)
    if (installed.contains(name, Qt::CaseInsensitive)) return name;
  return QFontDatabase::systemFont(fallback).family();
}

QFont Make(const QString& family, double pointSize, bool bold) {
  QFont font(family);
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QString FixedFamily() {
  // Results must be unmistakable: a face whose "." and ",", "0" and "O",
  // "1", "l" and "I" differ clearly at small sizes comes first. (Font
  // configurations alias the Windows gothic names to faces that do not.)
  static const QString family = FirstInstalled(
      {QStringLiteral("Ricty Diminished"), QStringLiteral("ＭＳ ゴシック"),
       QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
       QStringLiteral("IPAexGothic"), QStringLiteral("TakaoGothic"),
       QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")},
      QFontDatabase::FixedFont);
  return family;
}

QString ProportionalFamily() {
  static const QString family = FirstInstalled(
      {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
       QStringLiteral("IPAexGothic"), QStringLiteral("TakaoPGothic"),
       QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")},
      QFontDatabase::GeneralFont);
  return family;
}

QFont FixedFont(double pointSize, bool bold) { return Make(FixedFamily(), pointSize, bold); }

QFont ProportionalFont(double pointSize, bool bold) {
  return Make(ProportionalFamily(), pointSize, bold);
}

}  // namespace zel
