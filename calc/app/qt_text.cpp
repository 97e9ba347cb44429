#include "qt_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "keypad.h"

namespace zel {

void FocusTextBox(QWidget* box) {
  if (!box) return;
  if (auto* combo = qobject_cast<QComboBox*>(box)) {
    if (QLineEdit* edit = combo->lineEdit()) {
      edit->deselect();
      edit->setCursorPosition(int(edit->text().size()));
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(box)) {
    edit->deselect();
    edit->setCursorPosition(int(edit->text().size()));
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
    QTextCursor c = plain->textCursor();
    c.movePosition(QTextCursor::End);
    plain->setTextCursor(c);
    plain->ensureCursorVisible();
  } else if (auto* rich = qobject_cast<QTextEdit*>(box)) {
    QTextCursor c = rich->textCursor();
    c.movePosition(QTextCursor::End);
    rich->setTextCursor(c);
    rich->ensureCursorVisible();
  }
  if (!box->window()->isVisible()) return;
  if (!box->isEnabled()) {
    box->setEnabled(true);
    box->setFocus();
    box->setEnabled(false);
  } else {
    box->setFocus();
  }
}

QString StripSpaces(const QString& text) { return ToQ(StripSpaces(ToU16(text))); }

}  // namespace zel
