#pragma once
// The program's two Japanese-capable faces: a fixed-pitch one (for input and
// output text) and a proportional one (for keys and prompts), picked from the
// installed fonts once.
#include <QFont>
#include <QString>
#include <QStringList>

namespace zel {

// Family names actually used; the first installed of a preference list, or
// the toolkit's fixed/general default when none is.
QString FixedFamily();
QString ProportionalFamily();

// The fixed-pitch face FixedFamily picks when `installed` are the font
// families there are; empty when none of its faces is among them.
QString FixedFamilyAmong(const QStringList& installed);

QFont FixedFont(double pointSize, bool bold = false);
QFont ProportionalFont(double pointSize, bool bold = false);

}  // namespace zel
