#include "calendar/widgets/MainInFrame.h"

#include <QLabel>
#include <QVBoxLayout>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/widgets/CalendarBar.h"
#include "calendar/widgets/SheduleView.h"
#include "uikit/QtText.h"

CMainInFrame::CMainInFrame(const CDataFolder& folder, QWidget* parent)
    : CMainInFrame(TheCalendarGrid(), folder, parent)
{
}

CMainInFrame::CMainInFrame(CCalendarGrid& grid, const CDataFolder& folder, QWidget* parent)
    : QWidget(parent), m_grid(grid)
{
    m_wndCalendarBar = new CCalendarBar(this);
    m_pScheduleView = new CSheduleView(m_grid, folder, m_wndCalendarBar->TitleStatic(), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_wndCalendarBar);
    layout->addWidget(m_pScheduleView, 1);
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QString::number(kStatusLineId));
    m_statusLine->setWordWrap(true);
    m_statusLine->setContentsMargins(6, 3, 6, 3);
    m_statusLine->hide();
    layout->addWidget(m_statusLine);

    connect(m_wndCalendarBar, &CCalendarBar::PrevYearClicked, this, &CMainInFrame::OnPrevYear);
    connect(m_wndCalendarBar, &CCalendarBar::PrevMonthClicked, this, &CMainInFrame::OnPrevMonth);
    connect(m_wndCalendarBar, &CCalendarBar::TodayClicked, this, &CMainInFrame::OnToday);
    connect(m_wndCalendarBar, &CCalendarBar::NextMonthClicked, this, &CMainInFrame::OnNextMonth);
    connect(m_wndCalendarBar, &CCalendarBar::NextYearClicked, this, &CMainInFrame::OnNextYear);

    m_pScheduleView->OnInitialUpdate();
    ShowNotice(m_pScheduleView->HolidayNotice());
    m_pScheduleView->setFocus();
}

void CMainInFrame::OnPrevYear()
{
    Navigate(&CCalendarGrid::PrevYear);
}

void CMainInFrame::OnPrevMonth()
{
    Navigate(&CCalendarGrid::PrevMonth);
}

void CMainInFrame::OnToday()
{
    Navigate(&CCalendarGrid::ShowToday);
}

void CMainInFrame::OnNextMonth()
{
    Navigate(&CCalendarGrid::NextMonth);
}

void CMainInFrame::OnNextYear()
{
    Navigate(&CCalendarGrid::NextYear);
}

void CMainInFrame::Navigate(CNavigationStep step)
{
    (m_grid.*step)();
    ShowNotice(QStringFromStd(m_grid.HolidayLists().RestoreDefaultHolidays()));
    m_grid.Build();
    FillMonthList(*m_pScheduleView);
    m_pScheduleView->LoadMonthMemos(m_wndCalendarBar->TitleText());
}

void CMainInFrame::FillMonthList(CSheduleView& list)
{
    list.clear();
    m_wndCalendarBar->SetTitleText(QStringFromStd(m_grid.MonthTitle()));
    list.InsertMonthRows();
}

void CMainInFrame::ShowNotice(const QString& notice)
{
    // Each matter is told once; the line keeps the last one told until there is another.
    if (notice.isEmpty()) return;
    m_statusLine->setText(notice);
    m_statusLine->show();
}
