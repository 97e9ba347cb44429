#pragma once
// A multi-line text box that survives a paste from an empty clipboard. On
// X11 the clipboard may have no owner and no content at all; Qt then hands
// the paste a missing or empty source. Every multi-line box of the program
// that accepts paste uses this class.
#include <QMimeData>
#include <QPlainTextEdit>

namespace zel {

class GuardedTextEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override {
    return source && source->hasText();
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (!source || !source->hasText()) return;
    QPlainTextEdit::insertFromMimeData(source);
  }
};

}  // namespace zel
