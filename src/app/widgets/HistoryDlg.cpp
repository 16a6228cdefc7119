#include "app/widgets/HistoryDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "data/CatchStore.h"
#include "data/TripDiff.h"
#include "uikit/QtText.h"

namespace {
QString TripLine(const CTripRecord& trip)
{
    return QStringLiteral("  %1  %2").arg(QStringFromStd(trip.date), QStringFromStd(trip.place));
}

void AppendTrips(QStringList& lines, const QString& title,
                 const std::vector<const CTripRecord*>& trips)
{
    if (trips.empty()) return;
    lines << title.arg(trips.size());
    for (const CTripRecord* trip : trips) lines << TripLine(*trip);
}
}  // namespace

QString DescribeHistoryDifferences(const std::vector<CTripRecord>& copy,
                                   const std::vector<CTripRecord>& now,
                                   const std::vector<std::string>& otherFiles)
{
    const CTripDiff diff = DiffTrips(copy, now);
    QStringList lines;
    std::vector<const CTripRecord*> trips;
    for (const CTripRecord& trip : diff.added) trips.push_back(&trip);
    AppendTrips(lines, QStringLiteral("この後に追加された釣行 (復元すると消えます): %1 件"), trips);
    trips.clear();
    for (const CTripRecord& trip : diff.removed) trips.push_back(&trip);
    AppendTrips(lines, QStringLiteral("この後に削除された釣行 (復元すると戻ります): %1 件"), trips);
    trips.clear();
    for (const auto& [older, newer] : diff.changed) trips.push_back(&newer);
    AppendTrips(lines,
                QStringLiteral("この後に変更された釣行 (復元するとこの時の内容に戻ります): %1 件"),
                trips);
    if (lines.isEmpty()) lines << QStringLiteral("釣行データは今と同じです。");
    if (!otherFiles.empty()) {
        lines << QString() << QStringLiteral("一緒に戻すファイル:");
        for (const std::string& file : otherFiles)
            lines << QStringLiteral("  ") + QStringFromStd(file);
    }
    return lines.join(QLatin1Char('\n'));
}

CHistoryDlg::CHistoryDlg(const CCatchStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setWindowTitle(QStringLiteral("履歴から復元"));
    resize(560, 460);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "釣行データの履歴 (その日の最初の変更の前に保存したもの) を選んでください。"),
        this));
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("historyCopies"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("日付"), QStringLiteral("時刻"),
                                        QStringLiteral("釣行"), QStringLiteral("釣果")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // The columns share the list's whole width.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_table, 3);
    layout->addWidget(new QLabel(QStringLiteral("今の釣行データとの違い:"), this));
    m_differences = new QPlainTextEdit(this);
    m_differences->setObjectName(QStringLiteral("historyDifferences"));
    m_differences->setReadOnly(true);
    layout->addWidget(m_differences, 2);
    m_problems = new QLabel(this);
    m_problems->setWordWrap(true);
    m_problems->hide();
    layout->addWidget(m_problems);

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("復元(&R)"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("historyRestore"));
    m_restore->setEnabled(false);
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const CCatchHistory history(store.GetDataDir());
    std::vector<CCatchHistory::CProblem> problems;
    m_copies = history.ListCopies(&problems);
    std::reverse(m_copies.begin(), m_copies.end());
    m_table->setRowCount(static_cast<int>(m_copies.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const CCatchHistory::CCopyInfo& copy = m_copies[static_cast<size_t>(row)];
        const QDateTime when = QDateTime::fromSecsSinceEpoch(copy.when);
        const QString texts[] = {when.toString(QStringLiteral("yyyy/MM/dd")),
                                 when.toString(QStringLiteral("HH:mm:ss")),
                                 QString::number(copy.trips), QString::number(copy.catches)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    if (!problems.empty()) {
        QStringList lines{
            QStringLiteral("履歴のフォルダにある次のファイルは読めないため、"
                           "一覧に入れていません (削除はしません):")};
        for (const CCatchHistory::CProblem& problem : problems) {
            lines << QStringFromStd(problem.path) + QStringLiteral(" (") +
                         QStringFromStd(problem.reason) + QStringLiteral(")");
        }
        m_problems->setText(lines.join(QLatin1Char('\n')));
        m_problems->show();
    }
    if (m_copies.empty()) m_differences->setPlainText(QStringLiteral("履歴はまだありません。"));
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CHistoryDlg::OnSelectionChanged);
    if (!m_copies.empty()) m_table->selectRow(0);
}

QString CHistoryDlg::SelectedName() const
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= static_cast<int>(m_copies.size()) ||
        m_table->selectionModel()->selectedRows().isEmpty()) {
        return {};
    }
    return QStringFromStd(m_copies[static_cast<size_t>(row)].name);
}

QString CHistoryDlg::DifferenceText() const
{
    return m_differences->toPlainText();
}

void CHistoryDlg::OnSelectionChanged()
{
    const QString name = SelectedName();
    m_restore->setEnabled(false);
    if (name.isEmpty()) {
        m_differences->clear();
        return;
    }
    const CCatchHistory history(m_store.GetDataDir());
    std::vector<CCatchHistory::CMember> members;
    std::string error;
    std::vector<CTripRecord> copy;
    std::vector<CTripRecord> now;
    if (!history.ReadCopy(StdFromQString(name), members, &error) ||
        !CCatchStore::ParseTrips(members.front().bytes, copy).ok()) {
        m_differences->setPlainText(QStringLiteral("この履歴は読み込めません。\n") +
                                    QStringFromStd(error));
        return;
    }
    std::vector<std::string> others;
    // Only files restoring would change: a species list saved again unchanged is no difference.
    for (size_t n = 1; n < members.size(); ++n) {
        if (!CCatchHistory::MemberIsAsNow(m_store.GetDataDir(), members[n]))
            others.push_back(members[n].name);
    }
    const CStoreResult result = m_store.ReadAllTrips(now);
    if (!result.ok()) now.clear();
    QString text = DescribeHistoryDifferences(copy, now, others);
    if (!result.ok()) {
        text =
            QStringLiteral("今の釣行データは読み込めません (復元すると置き換えます)。\n\n") + text;
    }
    m_differences->setPlainText(text);
    m_restore->setEnabled(true);
}
