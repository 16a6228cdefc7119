#include "calendar/widgets/SheduleView.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "calendar/CalendarGrid.h"
#include "calendar/HolidayLists.h"
#include "calendar/ScheduleMemo.h"
#include "calendar/TideCurveChart.h"
#include "calendar/widgets/ScheduleEntryDlg.h"
#include "calendar/widgets/TideCurveView.h"
#include "data/TextEncoding.h"
#include "places/PlaceBook.h"
#include "tides/TidePortLookup.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
const QColor kHolidayColor(255, 0, 0);
const QColor kGridLineColor(192, 192, 192);

// A memo shows on one line of its row; its line breaks become visible separators there.
QString OneLine(const QString& memo)
{
    QString line = memo;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    return line;
}

// Up to this many bytes of a memo are drawn in its row.
constexpr size_t kMaxDrawnMemoBytes = 259;

QString CutForDrawing(const QString& memo)
{
    return QStringFromStd(CutToCp932Bytes(StdFromQString(memo), kMaxDrawnMemoBytes));
}

// The memo column of a row; its tip names the holiday and shows a memo of several lines whole.
void SetMemoText(QTreeWidgetItem* item, const QString& memo, const QString& holidayName)
{
    item->setText(1, memo);
    QStringList tip;
    if (!holidayName.isEmpty()) tip << holidayName;
    // A memo may be cut at the row's edge or hold several lines: the tip has it whole.
    if (!memo.isEmpty()) tip << memo;
    item->setToolTip(1, tip.join(QLatin1Char('\n')));
}

// The home port of the side file in Data/, among the shipped stations; nullptr when none is set
// or it cannot be read (the calendar then shows no tides, and the memo dialog says why).
const CTideStation* HomeTidePort(const CDataFolder& folder)
{
    return TidePortLookupOf(folder)->HomePort();
}
}  // namespace

CSheduleView::CSheduleView(CCalendarGrid& grid, const CDataFolder& folder, QLabel* titleStatic,
                           QWidget* parent)
    : QTreeWidget(parent), m_grid(grid), m_folder(folder), m_titleStatic(titleStatic)
{
    setObjectName(QString::number(kPaneId));
    setFont(CDialogUnits::DialogFont());
    setFrameShape(QFrame::Box);
    m_pEntryDlg = new CScheduleEntryDlg(this);
    m_tidePortSource = [this] { return HomeTidePort(m_folder); };
    // A wider window gives the memo column the room.
    GiveRoomToSection(this, header(), 1, kMinMemoColumnWidth);
}

CSheduleView::~CSheduleView()
{
    delete m_pEntryDlg;
}

void CSheduleView::OnInitialUpdate()
{
    // A report list with whole rows drawn here, full-row selection and fixed row heights.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    clear();
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("曜日"), QStringLiteral("メモ"), QStringLiteral("潮汐")});
    header()->moveSection(header()->visualIndex(kTideColumn), 1);
    header()->resizeSection(0, kLabelColumnWidth);
    header()->resizeSection(1, kMemoColumnWidth);
    header()->setSectionHidden(kTideColumn, true);
    headerItem()->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    headerItem()->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    headerItem()->setTextAlignment(kTideColumn, Qt::AlignLeft | Qt::AlignVCenter);

    m_grid.SetShownToday();
    m_holidayNotice = QStringFromStd(m_grid.HolidayLists().RestoreDefaultHolidays());
    m_grid.Build();

    const QString title = QStringFromStd(m_grid.MonthTitle());
    if (m_titleStatic != nullptr) m_titleStatic->setText(title);
    InsertMonthRows();
    LoadMonthMemos(title);
}

QString CSheduleView::DayLabel(int day, int weekday)
{
    static const char* const kWeekdayNames[7] = {"日", "月", "火", "水", "木", "金", "土"};
    const QString number = QStringLiteral("%1").arg(day, 2);
    return QStringLiteral("%1日(%2)").arg(number, QString::fromUtf8(kWeekdayNames[weekday % 7]));
}

void CSheduleView::InsertMonthRows()
{
    clear();
    const auto& cells = m_grid.ShownMonthCells();
    // Fixed row height from the list's font, with the room a report list leaves around text.
    const int rowHeight = std::max(fontMetrics().height() + 4, kMinRowHeight);
    QList<QTreeWidgetItem*> rows;
    m_moonDays.clear();
    for (const DayCell& cell : cells) {
        if (cell.day == 0) break;
        auto* row = new QTreeWidgetItem(QStringList{DayLabel(cell.day, cell.weekday), QString()});
        row->setSizeHint(0, QSize(kLabelColumnWidth, rowHeight));
        const CMoonDay moon = MoonDayOf(m_grid.ShownFullYear(), m_grid.ShownMonth() + 1, cell.day);
        row->setToolTip(0, QStringLiteral("月齢 %1（旧暦 %2日）%3")
                               .arg(moon.age, 0, 'f', 1)
                               .arg(moon.lunarDay)
                               .arg(QStringFromStd(moon.tideName)));
        m_moonDays.push_back(moon);
        rows.append(row);
    }
    addTopLevelItems(rows);
    LoadMonthTides();
    // Every month opens at its first day, wherever the last one was scrolled to.
    scrollToTop();
}

void CSheduleView::SetTidePortSource(std::function<const CTideStation*()> source)
{
    m_tidePortSource = std::move(source);
}

void CSheduleView::LoadMonthTides()
{
    m_tidePort = m_tidePortSource ? m_tidePortSource() : nullptr;
    m_monthTides.clear();
    if (m_tidePort == nullptr) {
        header()->setSectionHidden(kTideColumn, true);
        return;
    }
    const CTidePredictor predictor(*m_tidePort);
    m_monthTides = MonthTides(predictor, m_grid.ShownFullYear(), m_grid.ShownMonth() + 1);
    int width = fontMetrics().horizontalAdvance(headerItem()->text(kTideColumn));
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QString text = TideText(row);
        width = std::max(width, fontMetrics().horizontalAdvance(text));
        topLevelItem(row)->setText(kTideColumn, text);
        topLevelItem(row)->setToolTip(kTideColumn,
                                      QStringLiteral("%1の潮汐（潮位は最低水面からのcm）")
                                          .arg(QStringFromStd(m_tidePort->nameJa)));
    }
    headerItem()->setText(kTideColumn,
                          QStringLiteral("潮汐（%1）").arg(QStringFromStd(m_tidePort->nameJa)));
    header()->setSectionHidden(kTideColumn, false);
    header()->resizeSection(kTideColumn, width + 2 * kTidePad);
}

const std::vector<CTideExtreme>& CSheduleView::TidesOfRow(int row) const
{
    static const std::vector<CTideExtreme> kNone;
    if (row < 0 || static_cast<size_t>(row) >= m_monthTides.size()) return kNone;
    return m_monthTides[static_cast<size_t>(row)];
}

QString CSheduleView::TideText(int row) const
{
    return QStringFromStd(TideRowText(TidesOfRow(row)));
}

void CSheduleView::LoadMonthMemos(const QString& title)
{
    const auto memos = ReadScheduleMonth(m_folder, StdFromQString(title));
    for (int row = 0; row < kMemoDaysPerMonth; ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        if (item == nullptr) continue;
        SetMemoText(item, QStringFromStd(memos[static_cast<size_t>(row)]), HolidayName(row));
    }
}

QString CSheduleView::MonthTitle() const
{
    if (m_titleStatic != nullptr) return m_titleStatic->text();
    return QStringFromStd(m_grid.MonthTitle());
}

QColor CSheduleView::LabelColor(int row) const
{
    if (row < 0 || row >= CCalendarGrid::kCellsPerMonth) return MemoColor();
    const DayCell& cell = m_grid.ShownMonthCells()[static_cast<size_t>(row)];
    if (cell.weekday == 0 || cell.weekday == 6 || cell.holiday == 1) return kHolidayColor;
    return MemoColor();
}

QString CSheduleView::HolidayName(int row) const
{
    if (row < 0 || row >= CCalendarGrid::kCellsPerMonth) return {};
    const DayCell& cell = m_grid.ShownMonthCells()[static_cast<size_t>(row)];
    if (cell.day == 0 || cell.holiday == 0) return {};
    return cell.name.empty() ? QStringLiteral("休日") : QStringFromStd(cell.name);
}

QString CSheduleView::MoonText(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_moonDays.size()) return {};
    const CMoonDay& moon = m_moonDays[static_cast<size_t>(row)];
    return QStringLiteral("%1 %2").arg(QStringFromStd(moon.tideName)).arg(moon.age, 4, 'f', 1);
}

int CSheduleView::MemoLeft(int row) const
{
    const bool tides = !header()->isSectionHidden(kTideColumn);
    int x = kMemoX + (tides ? header()->sectionSize(kTideColumn) : 0);
    const QString name = row >= 0 ? HolidayName(row) : QString();
    if (!name.isEmpty()) x += fontMetrics().horizontalAdvance(name) + kNameGap;
    return x;
}

QString CSheduleView::ShownMemo(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return {};
    const QString memo = OneLine(CutForDrawing(item->text(1)));
    // Rows are drawn from the first column's left edge; the memo ends a little inside the
    // list's visible right edge.
    const int left = header()->sectionViewportPosition(0);
    const int room = viewport()->width() - left - MemoLeft(row) - kTidePad;
    return fontMetrics().elidedText(memo, Qt::ElideRight, std::max(0, room));
}

void CSheduleView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    const int row = index.row();
    const int left = header()->sectionViewportPosition(0);
    int right = left;
    for (int section = 0; section < header()->count(); ++section) {
        if (header()->isSectionHidden(section)) continue;
        right = std::max(
            right, header()->sectionViewportPosition(section) + header()->sectionSize(section));
    }
    const bool tides = !header()->isSectionHidden(kTideColumn);
    const int tideLeft = header()->sectionViewportPosition(kTideColumn) - left;
    const QRect item(left, option.rect.top(), right - left, option.rect.height());

    const bool highlighted = selectionModel() != nullptr &&
                             selectionModel()->isRowSelected(row, index.parent()) && hasFocus();
    painter->save();
    painter->fillRect(item, highlighted ? SelectedRowColor() : QColor(Qt::white));
    painter->setPen(kGridLineColor);
    painter->drawLine(item.left(), item.bottom(), item.right(), item.bottom());
    painter->drawLine(left + header()->sectionSize(0) - 1, item.top(),
                      left + header()->sectionSize(0) - 1, item.bottom());
    if (tides) {
        const int x = left + tideLeft + header()->sectionSize(kTideColumn) - 1;
        painter->drawLine(x, item.top(), x, item.bottom());
    }
    painter->drawLine(item.right(), item.top(), item.right(), item.bottom());
    if (highlighted) {
        painter->setPen(palette().color(QPalette::Highlight));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(item.adjusted(0, 0, -1, -1));
    }

    if (row >= 0 && row < CCalendarGrid::kCellsPerMonth &&
        m_grid.ShownMonthCells()[static_cast<size_t>(row)].day != 0) {
        const DayCell& cell = m_grid.ShownMonthCells()[static_cast<size_t>(row)];
        painter->setFont(font());
        // Texts are not clipped by the columns: the label may run into the memo column.
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        // Text starts at the row's top, below a margin as the list's own rows have.
        const QRect text = item.adjusted(0, 2, 0, -1);
        painter->setPen(LabelColor(row));
        painter->drawText(text.adjusted(kLabelX, 0, 0, 0), flags, DayLabel(cell.day, cell.weekday));
        painter->setPen(MoonColor());
        painter->drawText(text.adjusted(kMoonX, 0, 0, 0), flags, MoonText(row));
        if (tides) {
            painter->setPen(TideColor());
            painter->drawText(text.adjusted(tideLeft + kTidePad, 0, 0, 0), flags, TideText(row));
        }
        // The holiday's name leads the memo column; the memo follows it, so neither hides the
        // other.
        const QString name = HolidayName(row);
        if (!name.isEmpty()) {
            painter->setPen(HolidayNameColor());
            painter->drawText(text.adjusted(MemoLeft(), 0, 0, 0), flags, name);
        }
        painter->setPen(MemoColor());
        painter->drawText(text.adjusted(MemoLeft(row), 0, 0, 0), flags, ShownMemo(row));
    }
    painter->restore();
}

bool CSheduleView::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && topLevelItemCount() > 0) {
        const CTideStation* port = m_tidePortSource ? m_tidePortSource() : nullptr;
        if (port != m_tidePort) {
            LoadMonthTides();
            viewport()->update();
        }
    }
    return QTreeWidget::event(event);
}

void CSheduleView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex hit = indexAt(event->position().toPoint());
    m_nEditRow = hit.isValid() ? hit.row() : -1;
    if (m_nEditRow >= 0 && !m_pEntryDlg->isVisible()) {
        const QString title = MonthTitle();
        const QString memo =
            QStringFromStd(ReadScheduleMemo(m_folder, StdFromQString(title), m_nEditRow + 1));
        ShowTideCurve(m_nEditRow);
        m_pEntryDlg->Create(memo, title, m_nEditRow);
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CSheduleView::ShowTideCurve(int row)
{
    CTideCurveView* curve = m_pEntryDlg->TideCurve();
    if (m_tidePort == nullptr) {
        curve->SetNote(
            QStringLiteral("潮汐の基準港が設定されていません。\n"
                           "環境設定の「潮汐の基準港」で選ぶと、その日の潮汐がここに"
                           "表示されます。"));
        return;
    }
    curve->SetDay(
        TideCurveDayOf(*m_tidePort, m_grid.ShownFullYear(), m_grid.ShownMonth() + 1, row + 1));
}

int CSheduleView::OnScheduleEntryResult(int result)
{
    m_pEntryDlg->hide();
    viewport()->update();
    if (result == CScheduleEntryDlg::kResultCancelled) return -1;

    // The memo belongs to the month and day the dialog was opened for, even when the list has
    // moved on to another month meanwhile.
    const QString title = m_pEntryDlg->MonthTitle();
    const int row = m_pEntryDlg->Row();
    const QString memo = m_pEntryDlg->m_strMemo;
    std::string error;
    const bool saved = m_store != nullptr
                           ? WriteScheduleMemo(*m_store, m_folder, StdFromQString(title), row + 1,
                                               StdFromQString(memo), &error)
                           : WriteScheduleMemo(m_folder, StdFromQString(title), row + 1,
                                               StdFromQString(memo), &error);
    if (!saved) {
        // The row keeps what the file holds; what was typed goes back into the dialog, so it is
        // neither shown as saved nor lost.
        ShowMessageBox(this,
                       QStringLiteral("%1%2日のスケジュールを保存できませんでした。\n%3\n\n"
                                      "入力した内容はダイアログに残しています。")
                           .arg(title, QString::number(row + 1), QStringFromStd(error)),
                       EMessageBoxIcon::Warning);
        m_pEntryDlg->Create(memo, title, row);
        return -1;
    }
    if (title == MonthTitle()) {
        if (QTreeWidgetItem* item = topLevelItem(row)) SetMemoText(item, memo, HolidayName(row));
    }
    return 0;
}
