#pragma once

class CCatchStore;
class QWidget;

// The CSV commands of the ファイル menu.  Export writes every trip to a file the user chooses.
// Import reads a file the user chooses, shows what it found (trips, catches, trips already in
// the file, the first problems) and, when the user agrees, adds the new trips in one save.
// Failures are told with a message; each returns true when something was written.
bool ExportTripsCsv(QWidget* parent, const CCatchStore& store);
bool ImportTripsCsv(QWidget* parent, CCatchStore& store);
