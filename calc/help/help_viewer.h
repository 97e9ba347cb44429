#pragma once
// The program's offline help: the two manuals as Qt help files and the
// window that shows them (contents, index, full-text search).
#include <QString>

class QWidget;

namespace zel {

enum class Manual { VBScript, ZelCalc };

// The help file (a .qhc collection with its .qch beside it) of a manual:
// the program folder's help/ (a build folder or a portable copy) or, for an
// installed program, ../share/zelCalc/help/. The first that exists; when
// neither does, the installed place, so that the message names where the
// manual belongs.
QString ManualPath(Manual manual, const QString& programDir);
QString ManualPath(Manual manual);  // for the running program

// Prepares a per-user working copy of a help file's collection under
// `cacheDir` (the installed one may be read-only, and the search index is
// written beside the collection). Returns its path, or an empty string and
// a message for the user in *error when the manual is missing or damaged.
QString PrepareHelpCollection(const QString& helpFile, const QString& cacheDir, QString* error);

// Shows the help window on `helpFile` (one window; it switches manuals when
// already open) and raises it. False, with a message for the user in
// *error, when the manual is missing or damaged; no window is shown then.
bool ShowHelpViewer(QWidget* parent, const QString& helpFile, QString* error);

// ShowHelpViewer, with its failure told to the user in a message box.
void OpenHelpFile(QWidget* parent, const QString& helpFile);

// The open help window, for tests; nullptr when none is open.
QWidget* CurrentHelpViewer();

}  // namespace zel
