#include "reports/widgets/ReportDataFrame.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "reports/widgets/ReportDataView.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/QtText.h"

CReportDataFrame::CReportDataFrame(CCatchStore& store, QWidget* parent)
    : QWidget(parent),
      m_bar(new QWidget(this)),
      m_view(nullptr),
      m_search(new QLineEdit(m_bar)),
      m_from(new QLineEdit(m_bar)),
      m_to(new QLineEdit(m_bar))
{
    m_bar->setObjectName(QString::number(kDialogBarId));
    m_bar->setFont(CDialogUnits::DialogFont());
    const CDialogUnits units(m_bar->font());
    m_bar->setFixedHeight(units.Y(16));

    // Laid out to end within the page of an 800-pixel-wide window.
    auto* newTrip = new QPushButton(QStringLiteral("新規登録"), m_bar);
    newTrip->setObjectName(QString::number(kNewTripId));
    units.Place(newTrip, 4, 2, 50, 12);
    auto* remove = new QPushButton(QStringLiteral("削除"), m_bar);
    remove->setObjectName(QString::number(kDeleteId));
    remove->setToolTip(QStringLiteral("選んだ釣行を削除します (Delete)"));
    units.Place(remove, 58, 2, 50, 12);
    auto* searchLabel = new QLabel(QStringLiteral("検索:"), m_bar);
    units.Place(searchLabel, 116, 4, 20, 9);
    m_search->setObjectName(QString::number(kSearchId));
    m_search->setPlaceholderText(QStringLiteral("語句 (Ctrl+F)"));
    m_search->setClearButtonEnabled(true);
    m_search->setToolTip(QStringLiteral("空白で区切った語句をすべて含む釣行を表示します"));
    units.Place(m_search, 136, 2, 80, 12);
    auto* rangeLabel = new QLabel(QStringLiteral("期間:"), m_bar);
    units.Place(rangeLabel, 222, 4, 20, 9);
    m_from->setObjectName(QString::number(kFromDateId));
    m_from->setPlaceholderText(QStringLiteral("2004/1/1"));
    units.Place(m_from, 242, 2, 48, 12);
    auto* tilde = new QLabel(QStringLiteral("～"), m_bar);
    units.Place(tilde, 292, 4, 8, 9);
    m_to->setObjectName(QString::number(kToDateId));
    m_to->setPlaceholderText(QStringLiteral("2004/12/31"));
    units.Place(m_to, 302, 2, 48, 12);

    // A wider window gives the room to the search words first, then to the dates.
    StretchBarControls(m_bar, {{m_search, 2}, {m_from, 1}, {m_to, 1}});

    m_view = new CReportDataView(store, this);
    StackBarOverView(this, m_bar, m_view);

    connect(newTrip, &QPushButton::clicked, m_view, [this] { m_view->OnNewTrip(); });
    connect(remove, &QPushButton::clicked, m_view, &CReportDataView::OnDeleteSelected);
    for (QLineEdit* edit : {m_search, m_from, m_to})
        connect(edit, &QLineEdit::textChanged, this, &CReportDataFrame::ApplyFilter);
    // Quiet about a failure told at start (the offer of the backup).
    m_view->OnInitialUpdate(false);
    m_view->setFocus();
}

void CReportDataFrame::FocusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void CReportDataFrame::ApplyFilter()
{
    m_view->SetFilter(CTripFilter(StdFromQString(m_search->text()), StdFromQString(m_from->text()),
                                  StdFromQString(m_to->text())));
}
