#include "entry/widgets/SettingsDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "data/ProgramDir.h"
#include "entry/FishNameList.h"
#include "uikit/DialogUnits.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {
// The row's entry as read or typed; the displayed text may lack its line feed.
constexpr int kEntryRole = Qt::UserRole + 1;

QPushButton* MakeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}
}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("環境設定画面"));
    const QFont font = CDialogUnits::DialogFont();
    setFont(font);
    const CDialogUnits units(font);
    setFixedSize(units.ToPixels(187, 147));

    auto* label = new QLabel(QStringLiteral("魚種名(狙い)："), this);
    units.Place(label, 4, 24, 45, 13);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QString::number(IDC_NAME_EDIT));
    units.Place(m_nameEdit, 53, 22, 73, 13);

    QPushButton* add = MakeButton(this, IDC_ADD, QStringLiteral("追加"));
    units.Place(add, 130, 22, 24, 14);

    m_speciesList = new QListWidget(this);
    m_speciesList->setObjectName(QString::number(IDC_SPECIES_LIST));
    m_speciesList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_speciesList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_speciesList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_speciesList->setUniformItemSizes(true);
    units.Place(m_speciesList, 53, 37, 73, 41);

    QPushButton* remove = MakeButton(this, IDC_DELETE, QStringLiteral("削除"));
    units.Place(remove, 130, 38, 24, 14);

    QPushButton* ok = MakeButton(this, IDOK_BUTTON, QStringLiteral("設定"));
    ok->setDefault(true);
    units.Place(ok, 34, 122, 50, 14);

    QPushButton* cancel = MakeButton(this, IDCANCEL_BUTTON, QStringLiteral("ｷｬﾝｾﾙ"));
    units.Place(cancel, 90, 122, 50, 14);

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
    if (!ReadSpeciesList(entries, &error, &missing) && !missing) {
        m_readError = QStringFromStd(error);
        ShowMessageBox(
            this, QStringLiteral("魚種名のファイルを読み込めませんでした。\n%1").arg(m_readError),
            EMessageBoxIcon::Warning);
    }
    for (const std::string& entry : entries) AppendEntry(QStringFromStd(entry));
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
    const std::string path = DataPath(kSpeciesFileName);
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
