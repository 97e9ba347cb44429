#pragma once
// The text of the settings file: [section] lines and key=value lines. A value
// is kept exactly as written, so a hand-edited value such as
// "/usr/bin/vi" -x, a,b or x;y reads back as it stands (QSettings' own INI
// syntax would take the quotes, the commas and the semicolon as syntax).
// Only values that could not stand on a line as they are (a backslash,
// control characters, blanks at either end) are written quoted with
// backslash escapes; files written earlier in that syntax still read.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

namespace zel {

// "Section/Key" to value, as QSettings hands a file format its keys. Keys
// of the section [General] have no section part.
using IniValues = QMap<QString, QVariant>;

IniValues ParseIni(const QByteArray& text);
QByteArray FormatIni(const IniValues& values);

// One value as it stands after '=' and back.
QString DecodeIniValue(const QString& written);
QString EncodeIniValue(const QString& value);

}  // namespace zel
