#include "vbs_highlighter.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

#include "name_catalogue.h"
#include "qt_text.h"

namespace zel {

QTextCharFormat TokenFormat(TokenKind kind) {
  // Dark enough to read on white and on the transcript's light yellow.
  QTextCharFormat f;
  switch (kind) {
    case TokenKind::Keyword: f.setForeground(QColor(0x00, 0x00, 0xC0)); break;
    case TokenKind::String: f.setForeground(QColor(0xA3, 0x15, 0x15)); break;
    case TokenKind::Number: f.setForeground(QColor(0x9A, 0x50, 0x00)); break;
    case TokenKind::Comment: f.setForeground(QColor(0x3A, 0x7A, 0x3A)); break;
    case TokenKind::LibraryName: f.setForeground(QColor(0x7B, 0x1F, 0xA2)); break;
    case TokenKind::BuiltinName: f.setForeground(QColor(0x00, 0x6B, 0x8F)); break;
  }
  return f;
}

NameClassifier ClassifierFor(const NameCatalogue& catalogue) {
  return [&catalogue](std::u16string_view name) -> std::optional<TokenKind> {
    const CatalogueEntry* e = catalogue.Find(name);
    if (!e) return std::nullopt;
    return e->source == NameSource::Builtin ? TokenKind::BuiltinName : TokenKind::LibraryName;
  };
}

VbsHighlighter::VbsHighlighter(QTextDocument* document, const NameCatalogue& catalogue, Scope scope)
    : QSyntaxHighlighter(document), catalogue_(catalogue), scope_(scope) {}

void VbsHighlighter::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  rehighlight();
}

void VbsHighlighter::highlightBlock(const QString& text) {
  if (!enabled_) return;
  qsizetype from = 0, length = text.size();
  if (scope_ == Scope::EchoedInput) {
    static const QChar kOpen(0x300E), kClose(0x300F);
    if (!text.startsWith(kOpen) || !text.endsWith(kClose) || text.size() < 2) return;
    from = 1;
    length = text.size() - 2;
  }
  const std::u16string line = ToU16(text.mid(from, length));
  for (const Token& t : TokenizeLine(line, ClassifierFor(catalogue_)))
    setFormat(int(from + qsizetype(t.start)), int(t.length), TokenFormat(t.kind));
}

void ColourLineEdit(QLineEdit* edit, const NameCatalogue& catalogue, bool on) {
  QList<QInputMethodEvent::Attribute> formats;
  if (on) {
    const int caret = edit->cursorPosition();
    for (const Token& t : TokenizeLine(ToU16(edit->text()), ClassifierFor(catalogue)))
      formats.append(QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, int(t.start) - caret,
                                                  int(t.length), TokenFormat(t.kind)));
  }
  // An input-method event without text only changes what the line draws.
  QInputMethodEvent event(QString(), formats);
  QCoreApplication::sendEvent(edit, &event);
}

}  // namespace zel
