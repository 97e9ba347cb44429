#pragma once
// The program's two manuals and the "current help file" that F1 opens.
//
// Both manuals live in the help folder, by default the program's folder.
// The current help file is gHelpFile (zel_calculator.h): start-up sets it
// to the VBScript manual; the program-manual command switches it for one
// moment. OpenHelpFile is the one place a help file is shown.
#include <QString>

namespace zel {

// The folder the manuals are looked for in (native separators).
void SetHelpFolder(const QString& folder);
QString HelpFolder();

// The VBScript language reference and the program's own manual.
QString VbsManualPath();
QString ProgramManualPath();

// Shows a help file. A missing file, or one nothing can open, is reported
// in a message box; false then.
bool OpenHelpFile(const QString& path);

}  // namespace zel
