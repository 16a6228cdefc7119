#pragma once

class QAbstractScrollArea;
class QHeaderView;
class QTableView;
class QWidget;

// Lays out an inner frame of the main window: its dialog bar docked at the top, a sunken line
// under it, and its view filling the rest.  With line false the bar sits straight on the view.
void StackBarOverView(QWidget* frame, QWidget* bar, QWidget* view, bool line = true);

// The look of the report-style lists (trip list, ranking): grid lines, whole rows selected,
// several at a time, no editing, no row numbers, rows of one fixed height.
void SetUpReportList(QTableView* list);

// Gives the room a list has beyond the other columns' widths to one column, never narrower than
// minimumWidth, and keeps doing so as the list is resized.
void GiveRoomToSection(QAbstractScrollArea* view, QHeaderView* header, int section,
                       int minimumWidth);
