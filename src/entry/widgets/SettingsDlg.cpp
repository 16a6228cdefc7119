#include "entry/widgets/SettingsDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "data/DataFolder.h"
#include "entry/FishNameList.h"
#include "entry/widgets/TidePortCombo.h"
#include "tides/TideStations.h"
#include "uikit/DialogUnits.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
// The row's entry as read or typed; the displayed text may lack its line feed.
constexpr int kEntryRole = Qt::UserRole + 1;
// A tide port row's station id.
constexpr int kPortIdRole = Qt::UserRole + 2;

QPushButton* MakeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}
}  // namespace

CSettingsDlg::CSettingsDlg(const CDataFolder& folder, QWidget* parent,
                           const CTideStations* stations)
    : QDialog(parent),
      m_folder(folder),
      m_stations(stations != nullptr ? *stations : ShippedTideStations()),
      m_tidePorts(&m_stations)
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QStringLiteral("環境設定画面"));
    const QFont font = CDialogUnits::DialogFont();
    setFont(font);
    const CDialogUnits units(font);
    setFixedSize(units.ToPixels(187, 200));

    auto* label = new QLabel(QStringLiteral("魚種名(狙い)："), this);
    units.Place(label, 4, 24, 45, 13);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QString::number(kNameEditId));
    units.Place(m_nameEdit, 53, 22, 73, 13);

    QPushButton* add = MakeButton(this, kAddId, QStringLiteral("追加"));
    units.Place(add, 130, 22, 24, 14);

    m_speciesList = new QListWidget(this);
    m_speciesList->setObjectName(QString::number(kSpeciesListId));
    m_speciesList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_speciesList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_speciesList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_speciesList->setUniformItemSizes(true);
    units.Place(m_speciesList, 53, 37, 73, 41);

    QPushButton* remove = MakeButton(this, kDeleteId, QStringLiteral("削除"));
    units.Place(remove, 130, 38, 24, 14);

    QPushButton* ok = MakeButton(this, kOkId, QStringLiteral("設定"));
    ok->setDefault(true);
    units.Place(ok, 34, 180, 50, 14);

    QPushButton* cancel = MakeButton(this, kCancelId, QStringLiteral("ｷｬﾝｾﾙ"));
    units.Place(cancel, 90, 180, 50, 14);

    CreateTidePortControls();

    connect(add, &QPushButton::clicked, this, &CSettingsDlg::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CSettingsDlg::OnDelete);
    connect(ok, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSettingsDlg::reject);

    OnInitDialog();
}

void CSettingsDlg::OnInitDialog()
{
    // A missing or unreadable file opens an empty list.
    std::vector<std::string> entries;
    std::string error;
    bool missing = false;
    if (!ReadSpeciesList(m_folder, entries, &error, &missing) && !missing) {
        m_readError = QStringFromStd(error);
        ShowMessageBox(
            this, QStringLiteral("魚種名のファイルを読み込めませんでした。\n%1").arg(m_readError),
            EMessageBoxIcon::Warning);
    }
    for (const std::string& entry : entries) AppendEntry(QStringFromStd(entry));
    LoadTidePorts();
}

void CSettingsDlg::CreateTidePortControls()
{
    const CDialogUnits units(font());
    auto* label = new QLabel(QStringLiteral("潮汐の基準港："), this);
    units.Place(label, 4, 86, 48, 13);
    m_tidePortFilter = new QLineEdit(this);
    m_tidePortFilter->setObjectName(QString::number(kTidePortFilterId));
    m_tidePortFilter->setPlaceholderText(QStringLiteral("港名・よみ・ローマ字・県で絞り込み"));
    m_tidePortFilter->setClearButtonEnabled(true);
    units.Place(m_tidePortFilter, 53, 84, 101, 13);
    m_tidePortList = new QListWidget(this);
    m_tidePortList->setObjectName(QString::number(kTidePortListId));
    m_tidePortList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tidePortList->setUniformItemSizes(true);
    units.Place(m_tidePortList, 53, 99, 101, 60);
    m_tidePortChosen = new QLabel(this);
    m_tidePortChosen->setObjectName(QString::number(kTidePortChosenId));
    units.Place(m_tidePortChosen, 53, 162, 130, 10);

    connect(m_tidePortFilter, &QLineEdit::textChanged, this, &CSettingsDlg::NarrowTidePorts);
    m_tidePortFilter->installEventFilter(this);
    connect(m_tidePortList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item == nullptr) return;
        m_homePortId = StdFromQString(item->data(kPortIdRole).toString());
        ShowChosenTidePort();
    });
}

bool CSettingsDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the port filter takes the best match instead of closing the dialog.
    if (watched == m_tidePortFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_tidePortList->count() > 0) m_tidePortList->setCurrentRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSettingsDlg::LoadTidePorts()
{
    if (!m_tidePorts.Load(m_folder)) {
        ShowMessageBox(this,
                       QStringLiteral("場所の記録ファイルに問題があります。読めた部分だけを"
                                      "表示します。ファイルを直すまで基準港は保存できません。\n%1")
                           .arg(QStringFromStd(m_tidePorts.ProblemText())),
                       EMessageBoxIcon::Warning);
    }
    m_homePortId = m_tidePorts.HomePortId();
    NarrowTidePorts(QString());
}

void CSettingsDlg::NarrowTidePorts(const QString& typed)
{
    const QSignalBlocker blocker(m_tidePortList);
    m_tidePortList->clear();
    // The best matches first, in sight; the chosen port is brought into view below if listed.
    m_tidePortList->scrollToTop();
    for (const CTideStation* port :
         m_stations.Search(StdFromQString(typed), m_stations.Shown().size())) {
        auto* item = new QListWidgetItem(TidePortText(*port), m_tidePortList);
        item->setData(kPortIdRole, QStringFromStd(port->id));
        item->setToolTip(QStringFromStd(port->nameKana + "  " + port->nameRomaji));
        if (port->id == m_homePortId) {
            m_tidePortList->setCurrentItem(item);
            m_tidePortList->scrollToItem(item, QAbstractItemView::PositionAtCenter);
        }
    }
    ShowChosenTidePort();
}

void CSettingsDlg::ShowChosenTidePort()
{
    if (m_stations.Shown().empty()) {
        std::string error;
        ShippedTideStations(&error);
        m_tidePortChosen->setText(QStringLiteral("潮汐の港の一覧を読み込めませんでした"));
        m_tidePortChosen->setToolTip(QStringFromStd(error));
        return;
    }
    const CTideStation* port = m_stations.FindById(m_homePortId);
    m_tidePortChosen->setText(port ? QStringLiteral("基準港: ") + TidePortText(*port)
                                   : QStringLiteral("基準港: 未設定"));
}

bool CSettingsDlg::SaveTidePorts()
{
    if (m_homePortId == m_tidePorts.HomePortId()) return true;
    // Read again: an entry dialog may have kept a place's port since this one opened.
    CPlaceBook current(&m_stations);
    current.Load(m_folder);
    current.SetHomePortId(m_homePortId);
    std::string error;
    if (current.Save(error)) {
        m_tidePorts = current;
        return true;
    }
    ShowMessageBox(
        this, QStringLiteral("潮汐の基準港を保存できませんでした。\n%1").arg(QStringFromStd(error)),
        EMessageBoxIcon::Warning);
    return false;
}

void CSettingsDlg::AppendEntry(const QString& entry)
{
    QString shown = entry;
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    auto* item = new QListWidgetItem(shown);
    item->setData(kEntryRole, entry);
    // Inserted at the end, never sorted: the list keeps the file's order.
    m_speciesList->addItem(item);
}

void CSettingsDlg::OnAdd()
{
    // No check on purpose: an empty name or a repeated one is added as it stands; saving drops
    // empty entries.
    AppendEntry(m_nameEdit->text());
}

void CSettingsDlg::OnDelete()
{
    const QList<QListWidgetItem*> selected = m_speciesList->selectedItems();
    if (selected.isEmpty()) return;
    delete selected.front();
}

QStringList CSettingsDlg::Entries() const
{
    QStringList entries;
    for (int i = 0; i < m_speciesList->count(); ++i)
        entries << m_speciesList->item(i)->data(kEntryRole).toString();
    return entries;
}

void CSettingsDlg::accept()
{
    std::vector<std::string> entries;
    for (const QString& entry : Entries()) entries.push_back(StdFromQString(entry));
    const std::string path = m_folder.GetSpeciesFile();
    if (!SaveTidePorts()) return;
    if (!m_readError.isEmpty()) {
        ShowMessageBox(
            this,
            QStringLiteral("魚種名のファイルは読み込めなかったため、上書きしません。\n%1")
                .arg(m_readError),
            EMessageBoxIcon::Warning);
        return;
    }
    std::string error;
    const bool saved = m_store != nullptr ? WriteSpeciesList(*m_store, path, entries, &error)
                                          : WriteSpeciesList(path, entries, &error);
    if (!saved) {
        // The user's edits are still in the list: say so and keep the dialog open.
        ShowMessageBox(this,
                       QStringLiteral("魚種名のファイルを保存できませんでした。\n%1\n%2")
                           .arg(QStringFromStd(path), QStringFromStd(error)),
                       EMessageBoxIcon::Warning);
        return;
    }
    QDialog::accept();
}
