#pragma once

#include <QString>

class CCatchStore;
class QWidget;

// Copies the catch file of store to a path the user chooses.  The copy is written safely: an
// existing target is replaced whole or not at all, and only after the user agreed to replace it.
// Every failure is told with a message.  Returns true when a copy was written.
bool ExportCatchFile(QWidget* parent, const CCatchStore& store);

// The copy itself, without dialogs: false with a reason in error.
bool CopyCatchFile(const QString& source, const QString& target, QString* error);
