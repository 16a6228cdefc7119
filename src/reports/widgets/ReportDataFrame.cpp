#include "reports/widgets/ReportDataFrame.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "data/Clock.h"
#include "reports/widgets/ReportDataView.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/QtText.h"

namespace {
const QString kDateFormsTip = QStringLiteral(
    "日付は 2026/04/01、2026-04-01、2026年4月1日、令和8年4月1日、R8/4/1 の形で"
    "入力します（年だけ、年と月だけでも可）");
}  // namespace

CReportDataFrame::CReportDataFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent)
    : QWidget(parent),
      m_bar(new QWidget(this)),
      m_view(nullptr),
      m_search(new QLineEdit(m_bar)),
      m_from(new QLineEdit(m_bar)),
      m_to(new QLineEdit(m_bar)),
      m_dateWarning(new QLabel(m_bar))
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
    units.Place(remove, 58, 2, 34, 12);
    auto* fromPhotos = new QPushButton(QStringLiteral("写真から登録"), m_bar);
    fromPhotos->setObjectName(QString::number(kFromPhotosId));
    fromPhotos->setToolTip(
        QStringLiteral("写真の撮影日時と位置から釣行を作ります "
                       "(写真やフォルダをこの一覧にドロップしても同じ)"));
    units.Place(fromPhotos, 96, 2, 50, 12);
    auto* searchLabel = new QLabel(QStringLiteral("検索:"), m_bar);
    units.Place(searchLabel, 150, 4, 20, 9);
    m_search->setObjectName(QString::number(kSearchId));
    m_search->setPlaceholderText(QStringLiteral("語句 (Ctrl+F)"));
    m_search->setClearButtonEnabled(true);
    m_search->setToolTip(QStringLiteral("空白で区切った語句をすべて含む釣行を表示します"));
    units.Place(m_search, 170, 2, 52, 12);
    auto* rangeLabel = new QLabel(QStringLiteral("期間:"), m_bar);
    units.Place(rangeLabel, 226, 4, 20, 9);
    // Examples of this year, in the form the catch file keeps.
    const int year = GetCurrentDate().year;
    m_from->setObjectName(QString::number(kFromDateId));
    m_from->setPlaceholderText(QStringLiteral("%1/01/01").arg(year));
    units.Place(m_from, 246, 2, 48, 12);
    auto* tilde = new QLabel(QStringLiteral("～"), m_bar);
    units.Place(tilde, 294, 4, 8, 9);
    m_to->setObjectName(QString::number(kToDateId));
    m_to->setPlaceholderText(QStringLiteral("%1/12/31").arg(year));
    units.Place(m_to, 304, 2, 48, 12);
    for (QLineEdit* edit : {m_from, m_to}) edit->setToolTip(kDateFormsTip);
    m_dateWarning->setObjectName(QString::number(kDateWarningId));
    m_dateWarning->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_dateWarning->hide();
    units.Place(m_dateWarning, 356, 4, 50, 9);

    // A wider window gives the room to the search words first, then to the dates.
    StretchBarControls(m_bar, {{m_search, 2}, {m_from, 1}, {m_to, 1}});

    m_view = new CReportDataView(store, folder, this);
    StackBarOverView(this, m_bar, m_view);

    connect(newTrip, &QPushButton::clicked, m_view, [this] { m_view->OnNewTrip(); });
    connect(remove, &QPushButton::clicked, m_view, &CReportDataView::OnDeleteSelected);
    connect(fromPhotos, &QPushButton::clicked, m_view, [this] { m_view->OnImportPhotos(); });
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
    CTripFilter filter(StdFromQString(m_search->text()), StdFromQString(m_from->text()),
                       StdFromQString(m_to->text()));
    // A bound that is no date bounds nothing: the field and a word beside it say so.
    // The word beside them shows where the bar has room; the field's own colour and tip always.
    const QString unreadable = QStringLiteral("QLineEdit { background: #ffd0d0; }");
    const QString unreadableTip =
        QStringLiteral("日付として読めないため、期間に使っていません。\n");
    for (auto [edit, bad] :
         {std::pair{m_from, filter.IsFromUnreadable()}, std::pair{m_to, filter.IsToUnreadable()}}) {
        edit->setStyleSheet(bad ? unreadable : QString());
        edit->setToolTip(bad ? unreadableTip + kDateFormsTip : kDateFormsTip);
    }
    const bool warn = filter.IsFromUnreadable() || filter.IsToUnreadable();
    m_dateWarning->setText(QStringLiteral("読めない日付"));
    m_dateWarning->setToolTip(warn ? unreadableTip + kDateFormsTip : QString());
    m_dateWarning->setVisible(warn);
    m_view->SetFilter(std::move(filter));
}
