#include "export_log.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextCursor>
#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

#include "common_dialog.h"
#include "prompt_service.h"
#include "vbs/textcodec.h"

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

std::optional<QByteArray> EncodeCp932(const QString& text) {
  iconv_t cd = iconv_open("CP932", "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  QByteArray in(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  std::vector<char> out(size_t(text.size()) * 2 + 16);
  char* ip = in.data();
  size_t inLeft = size_t(in.size());
  char* op = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &ip, &inLeft, &op, &outLeft);
  iconv_close(cd);
  if (rc == size_t(-1) || inLeft != 0) return std::nullopt;
  return QByteArray(out.data(), qsizetype(out.size() - outLeft));
}

bool WriteAll(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
  QFile f(path);
  if (!f.open(mode)) return false;
  return f.write(bytes) == bytes.size();
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

bool WriteNewFile(const QString& path, const QString& text) {
  // Written aside and renamed into place: a failed write never leaves an
  // old file half replaced.
  QSaveFile out(path);
  out.setDirectWriteFallback(true);
  if (!out.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  if (out.write(bytes) != bytes.size()) return false;
  return out.commit();
}

AppendResult AppendToFile(const QString& path, const QString& text,
                          const std::function<bool()>& rewriteAsUtf8) {
  QFile existing(path);
  if (!existing.open(QIODevice::ReadOnly)) return AppendResult::Failed;
  const QByteArray old = existing.readAll();
  existing.close();
  const std::string_view bytes(old.constData(), size_t(old.size()));
  std::optional<std::u16string> oldText;
  if (!vbs::IsValidUtf8(bytes)) oldText = vbs::DecodeScriptText(bytes);
  if (!oldText) {
    // UTF-8 (or bytes of no known encoding): the text goes on as UTF-8.
    return WriteAll(path, text.toUtf8(), QIODevice::WriteOnly | QIODevice::Append)
               ? AppendResult::Written
               : AppendResult::Failed;
  }
  // A CP932 file stays CP932: one file never holds two encodings.
  if (const std::optional<QByteArray> encoded = EncodeCp932(text)) {
    return WriteAll(path, *encoded, QIODevice::WriteOnly | QIODevice::Append)
               ? AppendResult::Written
               : AppendResult::Failed;
  }
  if (!rewriteAsUtf8 || !rewriteAsUtf8()) return AppendResult::Cancelled;
  // Written aside and renamed over the old file: a failure leaves it as it was.
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly)) return AppendResult::Failed;
  const QByteArray all =
      (QString::fromUtf16(oldText->data(), qsizetype(oldText->size())) + text).toUtf8();
  if (out.write(all) != all.size()) return AppendResult::Failed;
  return out.commit() ? AppendResult::Written : AppendResult::Failed;
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

  if (QFileInfo::exists(path)) {
    const int answer = ShowPrompt(path, ExistingFileQuestion(), PromptIcon::Question,
                                  PromptButtons::YesNoCancel);
    if (answer == kAnswerYes) {
      WriteNewFile(path, text);
    } else if (answer == kAnswerNo) {
      AppendToFile(path, text, [&] {
        return ShowPrompt(path, RewriteAsUtf8Question(), PromptIcon::Question,
                          PromptButtons::OKCancel) == kAnswerOK;
      });
    }
    return;
  }
  WriteNewFile(path, text);
}

}  // namespace zel
