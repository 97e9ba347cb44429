#pragma once
// Colours for VBScript text: the multi-line boxes through a syntax
// highlighter, the one-line input through the formats its line edit draws.
// Only the colour of the coloured pieces is set: the font and the text
// colour the user chose stay for the rest.
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextLayout>
#include <functional>

#include "vbs_tokens.h"

class QLineEdit;

namespace zel {

class NameCatalogue;

QTextCharFormat TokenFormat(TokenKind kind);

// Known names as the catalogue classifies them.
NameClassifier ClassifierFor(const NameCatalogue& catalogue);

class VbsHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  // Scope::EchoedInput colours only the expressions the log echoes between
  // 『 and 』; results and other lines stay plain.
  enum class Scope { WholeText, EchoedInput };
  VbsHighlighter(QTextDocument* document, const NameCatalogue& catalogue, Scope scope);
  // Off: no colours at all.
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }

 protected:
  void highlightBlock(const QString& text) override;

 private:
  const NameCatalogue& catalogue_;
  Scope scope_;
  bool enabled_ = true;
};

// Colours the text of a line edit without touching the text, its caret,
// its selection or its undo history; `on` false removes the colours.
void ColourLineEdit(QLineEdit* edit, const NameCatalogue& catalogue, bool on);

}  // namespace zel
