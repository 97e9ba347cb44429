#pragma once
// The program's two manuals and the "current help file" that F1 opens.
//
// The manuals are looked for from the help folder, by default the
// program's folder (its help/ folder, or ../share/zelCalc/help when
// installed).
// The current help file is the session's gHelpFile (calc_session.h):
// start-up sets it to the VBScript manual; the program-manual command
// switches it for one moment. OpenHelpFile is the one place a help file is shown.
#include <QString>

namespace zel {

// The folder the manuals are looked for in (native separators).
void SetHelpFolder(const QString& folder);
QString HelpFolder();

// The VBScript language reference and the program's own manual.
QString VbsManualPath();
QString ProgramManualPath();

// Shows a help file in the help window. A missing or damaged file is
// reported in a message box; false then.
bool OpenHelpFile(const QString& path);

}  // namespace zel
