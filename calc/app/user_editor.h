#pragma once
// The user's text editor, started on a library file without waiting.
#include <QString>
#include <QStringList>

namespace zel {

struct CalcSession;

// Opens a library file in the user's editor without waiting: the
// "UserEditor" command (split into program and arguments; the file's path
// is one argument of its own, blanks and all), started through the
// session's gStartProcess when set. When the setting is absent or
// names a program that cannot be found, the desktop's default text editor
// is used. When nothing starts, a message says so and false is returned.
// The setting is never changed here.
bool StartUserEditor(const CalcSession& session, const QString& filePath);

}  // namespace zel
