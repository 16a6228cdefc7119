#include "reports/widgets/ReportDataFrame.h"

#include <QFrame>
#include <QPushButton>
#include <QVBoxLayout>

#include "reports/widgets/ReportDataView.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"

CReportDataFrame::CReportDataFrame(CCatchStore& store, QWidget* parent)
    : QWidget(parent), m_bar(new QWidget(this)), m_view(nullptr)
{
    m_bar->setObjectName(QString::number(kDialogBarId));
    m_bar->setFont(CDialogUnits::DialogFont());
    const CDialogUnits units(m_bar->font());
    m_bar->setFixedHeight(units.Y(16));

    auto* newTrip = new QPushButton(QStringLiteral("新規登録"), m_bar);
    newTrip->setObjectName(QString::number(kNewTripId));
    units.Place(newTrip, 4, 2, 50, 12);
    auto* remove = new QPushButton(QStringLiteral("削除"), m_bar);
    remove->setObjectName(QString::number(kDeleteId));
    units.Place(remove, 58, 2, 50, 12);

    m_view = new CReportDataView(store, this);
    StackBarOverView(this, m_bar, m_view);

    connect(newTrip, &QPushButton::clicked, m_view, [this] { m_view->OnNewTrip(); });
    connect(remove, &QPushButton::clicked, m_view, &CReportDataView::OnDeleteSelected);
    // Quiet about a failure told at start (the offer of the backup).
    m_view->OnInitialUpdate(false);
    m_view->setFocus();
}
