#pragma once
// The keypad's operator captions. Text faces set "*" and "-" high and small
// (they are made to sit beside lower-case letters) and "." low at the left:
// on a key beside the digits they look out of place. These keys draw their
// caption's outline instead, sized against a digit and centred on the key.
#include <QPushButton>
#include <QRectF>

namespace zel {

// Where the caption `caption` is drawn on a key of rectangle `key`: `ink`
// is the caption's outline box and `digit` a digit's, both at the key's
// font. "*" takes three quarters of a digit's height, "-" three quarters of
// its width, "." a fifth of its height; all are centred on the key where
// the digits are. Other captions keep their own box, centred the same way.
QRectF CaptionBox(QChar caption, const QRectF& ink, const QRectF& digit, const QRectF& key);

class KeyButton : public QPushButton {
 public:
  KeyButton(const QString& caption, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Whether the caption is drawn by KeyButton rather than as text.
bool IsDrawnCaption(const QString& caption);

}  // namespace zel
