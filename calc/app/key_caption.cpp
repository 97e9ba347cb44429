#include "key_caption.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zel {

QRectF CaptionBox(QChar caption, const QRectF& ink, const QRectF& digit, const QRectF& key) {
  double scale = 1;
  if (!ink.isEmpty()) {
    if (caption == QLatin1Char('*')) scale = 0.75 * digit.height() / ink.height();
    else if (caption == QLatin1Char('-')) scale = 0.75 * digit.width() / ink.width();
    else if (caption == QLatin1Char('.')) scale = 0.22 * digit.height() / ink.height();
  }
  QRectF box(0, 0, ink.width() * scale, ink.height() * scale);
  box.moveCenter(key.center());
  return box;
}

bool IsDrawnCaption(const QString& caption) {
  return caption == QLatin1String("*") || caption == QLatin1String("-") ||
         caption == QLatin1String(".");
}

KeyButton::KeyButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void KeyButton::paintEvent(QPaintEvent* event) {
  if (!IsDrawnCaption(text())) {
    QPushButton::paintEvent(event);
    return;
  }
  QStylePainter p(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  p.drawControl(QStyle::CE_PushButton, option);

  QPainterPath glyph;
  glyph.addText(0, 0, font(), text());
  QPainterPath digit;
  digit.addText(0, 0, font(), QStringLiteral("8"));
  const QRectF ink = glyph.boundingRect();
  const QRectF target = CaptionBox(text().front(), ink, digit.boundingRect(), QRectF(rect()));
  if (ink.isEmpty()) return;
  QTransform t;
  t.translate(target.left(), target.top());
  t.scale(target.width() / ink.width(), target.height() / ink.height());
  t.translate(-ink.left(), -ink.top());
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  // A pressed key's caption moves with it, as the style moves text.
  if (isDown())
    p.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  p.drawPath(t.map(glyph));
}

}  // namespace zel
