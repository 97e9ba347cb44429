#pragma once
// Text at the Qt boundary: the engine and the Qt-free core speak UTF-16
// strings, the windows QString; and the text boxes' common caret rule.
#include <QFile>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

class QWidget;

namespace zel {

inline std::u16string ToU16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}
inline QString ToQ(std::u16string_view s) {
  return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
// A file name as the file system spells it (QFile::encodeName).
inline std::filesystem::path ToPath(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// Caret after the last character; focus when the window is visible (a
// disabled box is enabled for the moment it takes the focus).
void FocusTextBox(QWidget* box);

QString StripSpaces(const QString& text);

}  // namespace zel
