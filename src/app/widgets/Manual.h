#pragma once

#include <QString>

class QWidget;

// The manual shipped with the program: "help/manual.html" next to the program when it runs
// from the build tree, else the installed copy under share/lurebook/help, found from the
// program's folder (lib/lurebook) and, failing that, from the install prefix.  Empty when none
// exists.
QString FindManual(const QString& programDir);

// Opens the manual with the desktop; a manual that cannot be found or opened is told.
void OpenManual(QWidget* parent);
