#pragma once

#include <QWidget>

class CCalendarBar;
class CCalendarGrid;
class CDataFolder;
class CSheduleView;
class QLabel;

// The calendar page: the calendar bar (month title and the five navigation buttons) docked on
// top, the schedule view below it and a status line under the view that tells, once, what the
// user should know about the holiday files (hidden while it has nothing to say).  Creating it shows
// today's month; holiday files are read from, and on first start written to, the working directory.
class CMainInFrame : public QWidget {
    Q_OBJECT
public:
    // grid is the year table the page shows (the program's one table unless a test gives its own);
    // the memos and the home tide port are those of folder, which outlives the page.
    explicit CMainInFrame(const CDataFolder& folder, QWidget* parent = nullptr);
    CMainInFrame(CCalendarGrid& grid, const CDataFolder& folder, QWidget* parent = nullptr);

    void OnPrevYear();
    void OnPrevMonth();
    void OnToday();
    void OnNextMonth();
    void OnNextYear();

    // Empties the list, sets the month title and inserts the rows of the shown month.
    void FillMonthList(CSheduleView& list);

    CSheduleView* ScheduleView() const { return m_pScheduleView; }
    CCalendarBar* CalendarBar() const { return m_wndCalendarBar; }
    QLabel* StatusLine() const { return m_statusLine; }

    static constexpr int kStatusLineId = 1007;
    CCalendarGrid& Grid() const { return m_grid; }

private:
    using CNavigationStep = void (CCalendarGrid::*)();
    void Navigate(CNavigationStep step);
    void ShowNotice(const QString& notice);

    CCalendarGrid& m_grid;
    CSheduleView* m_pScheduleView = nullptr;
    CCalendarBar* m_wndCalendarBar = nullptr;
    QLabel* m_statusLine = nullptr;
};
