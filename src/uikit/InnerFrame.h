#pragma once

#include <utility>
#include <vector>

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

// The width of a page beside the navigation bar in an 800 x 600 main window, which the dialog
// bars are laid out for.
inline constexpr int kPageWidthAt800 = 632;

// Lets the controls of a dialog bar (placed for an 800-pixel-wide window) use a wider window:
// the width the bar has beyond that page width (or beyond its controls, if they reach further)
// goes to the growers, in proportion to their weights and never more than twice their own width
// each, and the controls right of a grower move along.  A narrower bar puts everything back.
struct CBarGrower {
    QWidget* control;
    int weight;
};
void StretchBarControls(QWidget* bar, std::vector<CBarGrower> growers);

// Gives the room a list has beyond the other columns' widths to one column, never narrower than
// minimumWidth, and keeps doing so as the list is resized.
// The same for several columns, which share the room equally; each pair is a section and its
// minimum width.
void GiveRoomToSections(QAbstractScrollArea* view, QHeaderView* header,
                        std::vector<std::pair<int, int>> sectionMinimums);
void GiveRoomToSection(QAbstractScrollArea* view, QHeaderView* header, int section,
                       int minimumWidth);
