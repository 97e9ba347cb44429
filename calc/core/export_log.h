#pragma once
// Export of the output log to a text file: the whole log or the selection,
// into a new file, over an existing one, or appended to it.
#include <QString>
#include <functional>

class QPlainTextEdit;

namespace zel {

class CommonDialog;

// The menu command: asks, shows the save dialog on `dialog` (starting in
// `startFolder`), asks about an existing file and writes. Every failure
// after the first question ends it silently.
void ExportLog(QPlainTextEdit* log, CommonDialog& dialog, const QString& startFolder);

// A log holding nothing but blanks has nothing to export.
bool IsBlankLog(const QString& text);

// Writes `text` as the whole content of `path` (UTF-8, nothing added).
bool WriteNewFile(const QString& path, const QString& text);

enum class AppendResult { Written, Failed, Cancelled };

// Appends `text` directly after the content of `path` in the file's own
// encoding: CP932 when the file is CP932 (not valid UTF-8), else UTF-8.
// When the text has characters CP932 cannot hold, `rewriteAsUtf8` is asked:
// true rewrites the whole file as UTF-8 (old content kept), false leaves it
// untouched (Cancelled).
AppendResult AppendToFile(const QString& path, const QString& text,
                          const std::function<bool()>& rewriteAsUtf8);

// The texts of the export's questions.
QString ExistingFileQuestion();
QString RewriteAsUtf8Question();

}  // namespace zel
