#pragma once
// Export of the output log to a text file: the whole log or the selection,
// into a new file, over an existing one, or appended to it.
#include <QString>

class QPlainTextEdit;

namespace zel {

class CommonDialog;

// The menu command: asks, shows the save dialog on `dialog` (starting in
// `startFolder`), asks about an existing file and writes. A cancelled dialog
// ends it silently; a file that cannot be written is reported, and keeps
// what it held.
void ExportLog(QPlainTextEdit* log, CommonDialog& dialog, const QString& startFolder);

// A log holding nothing but blanks has nothing to export.
bool IsBlankLog(const QString& text);

struct WriteOutcome;

// What the user is told when writing `path` failed; empty when it did not
// (or the user cancelled).
QString WriteFailureText(const WriteOutcome& outcome, const QString& path);

// The texts of the export's questions.
QString ExistingFileQuestion();
QString RewriteAsUtf8Question();

}  // namespace zel
