#include "messages.h"

namespace zel {

namespace {

std::u16string Num(long long v) {
  std::string a = std::to_string(v);
  return std::u16string(a.begin(), a.end());
}

constexpr std::u16string_view kNl = u"\r\n";

std::u16string ErrorHead(int number, std::u16string_view description) {
  std::u16string t;
  t += u"スクリプト エラーです。";
  t += kNl;
  t += u"  エラー番号 " + Num(number);
  t += kNl;
  t += u"  (";
  t += description;
  t += u")";
  t += kNl;
  return t;
}

std::u16string ErrorTail(int line, int column) {
  std::u16string t;
  t += u"  " + Num(line) + u" 行 ";
  t += kNl;
  t += u"  " + Num(column) + u" 列で、発生しました。";
  t += kNl;
  t += u"処理を続けますか？";
  return t;
}

}  // namespace

std::u16string DuplicateDeclarationText(std::u16string_view fileName, int line) {
  std::u16string t;
  t += u"ファイル名；\u3000";
  t += fileName;
  t += u"の第" + Num(line) + u"行目";
  t += kNl;
  for (std::u16string_view l : {u"に変数の二重定義(宣言)がされています。", u"",
                                u"このエラーは他のファイルの変数宣言に",
                                u"競合している可能性もあります。", u"",
                                u"このファイルの読み込みを続けますか？",
                                u"(続ける場合，このファイルでの二重宣言",
                                u"された変数(定数)以外は有効になります。)"}) {
    t += l;
    t += kNl;
  }
  return t;
}

std::u16string LoadErrorText(int number, std::u16string_view description,
                             std::u16string_view fileName, int line, int column) {
  std::u16string t = ErrorHead(number, description);
  t += u"  が、ファイル\u3000";
  t += fileName;
  t += kNl;
  return t + ErrorTail(line, column);
}

std::u16string LibraryNotLoadedText(const std::vector<std::u16string>& fileNames) {
  // The box must fit on the screen however many files the folder holds.
  constexpr size_t kListed = 15;
  std::u16string t = u"These user VBS files are not loaded:";
  t += kNl;
  for (size_t i = 0; i < fileNames.size() && i < kListed; ++i) {
    t += u"  ";
    t += fileNames[i];
    t += kNl;
  }
  if (fileNames.size() > kListed) {
    t += u"  ... and " + Num(static_cast<long long>(fileNames.size() - kListed)) + u" more";
    t += kNl;
  }
  t += u"What they define cannot be used until they are loaded.";
  t += kNl;
  t += u"Reload the user VBS files now?";
  return t;
}

std::u16string EvaluationErrorText(int number, std::u16string_view description, int line,
                                   int column) {
  return ErrorHead(number, description) + ErrorTail(line, column);
}

}  // namespace zel
