#include "app_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zel {

namespace {

QString FirstInstalled(const QStringList& wanted, const QStringList& installed) {
  for (const QString& name : wanted)
    if (installed.contains(name, Qt::CaseInsensitive)) return name;
  return QString();
}

QString FirstInstalled(const QStringList& wanted, QFontDatabase::SystemFont fallback) {
  const QString name = FirstInstalled(wanted, QFontDatabase::families());
  return name.isEmpty() ? QFontDatabase::systemFont(fallback).family() : name;
}

// Results must be unmistakable: a face whose "." and ",", "0" and "O",
// "1", "l" and "I" differ clearly at small sizes comes first. The Japanese
// gothics set the full stop low at the left of its cell, where "0.3" reads
// as "0,3": a Latin face with a clear full stop goes before them (Japanese
// characters then come from the toolkit's fallback face). Font
// configurations alias the Windows gothic names to such faces, so only
// installed family names count.
const QStringList& FixedPreference() {
  static const QStringList names = {
      QStringLiteral("Ricty Diminished"), QStringLiteral("ＭＳ ゴシック"),
      QStringLiteral("MS Gothic"),        QStringLiteral("DejaVu Sans Mono"),
      QStringLiteral("Noto Sans Mono"),   QStringLiteral("Liberation Mono"),
      QStringLiteral("IPAGothic"),        QStringLiteral("IPAexGothic"),
      QStringLiteral("TakaoGothic"),      QStringLiteral("Noto Sans Mono CJK JP"),
      QStringLiteral("VL Gothic")};
  return names;
}

}  // namespace

QString FixedFamilyAmong(const QStringList& installed) {
  return FirstInstalled(FixedPreference(), installed);
}

namespace {

QFont Make(const QString& family, double pointSize, bool bold) {
  QFont font(family);
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QString FixedFamily() {
  static const QString family = FirstInstalled(FixedPreference(), QFontDatabase::FixedFont);
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
