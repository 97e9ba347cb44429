#include "export_log.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "common_dialog.h"
#include "prompt_service.h"
#include "text_file_write.h"
#include "vbs/textcodec.h"
#include "zel_calculator.h"

namespace zel {

namespace {

const QString kExportTitle = QStringLiteral("File Export");

// The text as the log holds it: lines ended by CR LF.
QString WithCrLf(QString text) {
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void Report(const WriteOutcome& outcome, const QString& path) {
  const QString text = WriteFailureText(outcome, path);
  if (!text.isEmpty()) ShowPrompt(kExportTitle, text, PromptIcon::Critical, PromptButtons::OK);
}

}  // namespace

bool IsBlankLog(const QString& text) {
  for (QChar c : text)
    if (c != QLatin1Char(' ') && c != QChar(0x3000)) return false;
  return true;
}

QString ExistingFileQuestion() {
  return QString::fromUtf8(
      "すでに同名のファイルが存在します。上書きしますか？\r\n"
      "上書き=YES\r\n"
      "追加書=NO\r\n"
      "キャンセル=Cancel");
}

QString RewriteAsUtf8Question() {
  return QString::fromUtf8(
      "このファイルは Shift_JIS (CP932) で書かれていますが、書き出す文字の一部は "
      "CP932 で表せません。\r\n"
      "ファイル全体を UTF-8 で書き直して追加しますか？ (元の内容はそのまま残ります)\r\n"
      "書き直す=OK\r\n"
      "キャンセル=Cancel");
}

QString WriteFailureText(const WriteOutcome& outcome, const QString& path) {
  const QString reason = outcome.error
                             ? QStringLiteral("\r\n(") + QString::fromLocal8Bit(std::strerror(outcome.error)) +
                                   QLatin1Char(')')
                             : QString();
  const bool full = outcome.error == ENOSPC || outcome.error == EDQUOT;
  QString text;
  switch (outcome.fault) {
    case WriteFault::None:
    case WriteFault::Cancelled:
      return {};
    case WriteFault::NotRegular:
      return QStringLiteral("This is not a regular file (a folder, a device or a pipe); "
                            "nothing was written:\r\n") + path;
    case WriteFault::CannotOpen:
      return QStringLiteral("The file cannot be opened; nothing was written:\r\n") + path + reason;
    case WriteFault::NoTempFile:
      return QStringLiteral("Nothing was written: no temporary file can be made in the file's "
                            "folder, and the file is never written over in place.\r\n") +
             path + reason;
    case WriteFault::NotReplaced:
      return QStringLiteral("The text was written aside but could not take the file's place; "
                            "the file is as it was.\r\n") + path + reason;
    case WriteFault::NotText:
      return QStringLiteral("The file is not Shift_JIS (CP932) text throughout, so it was not "
                            "rewritten; it is as it was.\r\n") + path;
    case WriteFault::WriteFailed:
      break;
  }
  if (!outcome.appending)
    return (full ? QStringLiteral("The disk is full: nothing was written, and an existing file "
                                  "is as it was.\r\n")
                 : QStringLiteral("The file could not be written: nothing was written, and an "
                                  "existing file is as it was.\r\n")) +
           path + reason;
  return (full ? QStringLiteral("The disk is full: the text could not be appended.\r\n")
               : QStringLiteral("The text could not be appended.\r\n")) +
         path + reason +
         (outcome.restored
              ? QStringLiteral("\r\nThe file was cut back to what it held before.")
              : QStringLiteral("\r\nThe file could not be cut back to its old length: its end "
                               "may hold part of the text."));
}

void ExportLog(QPlainTextEdit* log, CommonDialog& dialog, const QString& startFolder) {
  QTextCursor cursor = log->textCursor();
  QString text;
  if (!cursor.hasSelection()) {
    text = WithCrLf(log->toPlainText());
    if (IsBlankLog(text)) {
      ShowPrompt(QString(), QStringLiteral("No Data Selected for Export"),
                 PromptIcon::Exclamation, PromptButtons::OK);
      return;
    }
    if (ShowPrompt(kExportTitle, QStringLiteral("Export all text to a file."),
                   PromptIcon::Exclamation, PromptButtons::OKCancel) != kAnswerOK)
      return;
  } else {
    if (ShowPrompt(kExportTitle, QStringLiteral("Export selected text to a file."),
                   PromptIcon::Question, PromptButtons::OKCancel) != kAnswerOK)
      return;
    text = WithCrLf(cursor.selectedText());
    // The selection goes now, before the file dialog, even if it is cancelled.
    cursor.clearSelection();
    log->setTextCursor(cursor);
  }

  dialog.DialogTitle = kExportTitle;
  dialog.DefaultExt = QStringLiteral("txt");
  dialog.Filters = {QStringLiteral("Text File (*.txt)"), QStringLiteral("All Files (*)")};
  dialog.FilterIndex = 0;
  dialog.FileName = QStringLiteral("*.txt");
  dialog.InitDir = startFolder;
  dialog.ExecutablesOnly = false;
  if (!dialog.ShowSave()) return;
  const QString path = dialog.FileName;
  if (path.isEmpty()) return;

  const std::filesystem::path file = ToPath(path);
  // A dangling link counts as a new file; a pipe or a folder is asked
  // about like a file, and then refused.
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    const int answer = ShowPrompt(path, ExistingFileQuestion(), PromptIcon::Question,
                                  PromptButtons::YesNoCancel);
    if (answer == kAnswerYes) {
      Report(ReplaceFileContent(file, vbs::Utf16ToUtf8(ToU16(text))), path);
    } else if (answer == kAnswerNo) {
      Report(AppendText(file, ToU16(text),
                        [&] {
                          return ShowPrompt(path, RewriteAsUtf8Question(), PromptIcon::Question,
                                            PromptButtons::OKCancel) == kAnswerOK;
                        }),
             path);
    }
    return;
  }
  Report(ReplaceFileContent(file, vbs::Utf16ToUtf8(ToU16(text))), path);
}

}  // namespace zel
